// Finds a graphic again through the ids of it and of the containers above it.
#pragma once

#include <cstdint>
#include <vector>

#include "commands/ObjectLocator.h"

class Graphic;
class GraphicContainer;

/// A path of ids: path[0] in the graphic's own container, the last entry in the root.
class GraphicObjectLocator : public ObjectLocator {
 public:
  GraphicObjectLocator() = default;
  /// The path from the graphic up to the outermost container.
  explicit GraphicObjectLocator(const Graphic& g);
  /// The single id 0 in `c`: locates nothing, and `c` acts on behalf.
  explicit GraphicObjectLocator(GraphicContainer* c);

  CommandReceiver* locate() const override;
  CommandReceiverContainer* locateContainer() const override;
  ObjectLocator* clone() const override { return new GraphicObjectLocator(*this); }
  void printOn(std::ostream& out) const override;
  /// Reads "(id,id,...)"; the path grows with what it reads.
  void readFrom(std::istream& in) override;
  void setRoot(GraphicContainer* root) override { root_ = root; }
  const char* className() const override { return "GraphicObjectLocator"; }

  const std::vector<std::uint32_t>& path() const { return path_; }
  GraphicContainer* root() const { return root_; }

 private:
  // The last graphic the path leads to, or null when a step fails.
  Graphic* walk() const;
  std::vector<std::uint32_t> path_;
  GraphicContainer* root_ = nullptr;
};
