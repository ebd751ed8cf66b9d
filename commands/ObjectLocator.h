// Finding the receiver of a command again, each time the command runs.
#pragma once

#include <iosfwd>

class CommandReceiver;
class CommandReceiverContainer;
class GraphicContainer;

/// Names the target of a command without pointing at it.
class ObjectLocator {
 public:
  virtual ~ObjectLocator() = default;
  /// The receiver, or null when it cannot be found now.
  virtual CommandReceiver* locate() const = 0;
  /// The container that acts for a receiver that is gone, or null.
  virtual CommandReceiverContainer* locateContainer() const { return nullptr; }
  /// A copy owned by the caller.
  virtual ObjectLocator* clone() const = 0;
  virtual void printOn(std::ostream& out) const = 0;
  virtual void readFrom(std::istream& in) = 0;
  /// The outermost container the path starts from.
  virtual void setRoot(GraphicContainer* root) = 0;
  virtual const char* className() const = 0;
};

/// Locates nothing; the locator of composite commands.
class NullObjectLocator : public ObjectLocator {
 public:
  CommandReceiver* locate() const override { return nullptr; }
  ObjectLocator* clone() const override { return new NullObjectLocator; }
  void printOn(std::ostream& out) const override;
  void readFrom(std::istream& in) override;
  void setRoot(GraphicContainer*) override {}
  const char* className() const override { return "NullObjectLocator"; }
};
