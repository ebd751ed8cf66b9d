// A map at the top of its chain: it keeps the history of its commands and answers id 0 with itself.
#pragma once

#include <memory>

#include "commands/Command.h"
#include "commands/CommandHandler.h"
#include "model/CMap.h"

/// The map a view shows: commands submitted by its elements are executed and
/// kept for undo; repaint requests and window questions end here.
class RootMap : public CMap, public CommandHandler {
 public:
  RootMap() : BehaviouralGraphic(nullptr, "default"), CMap(nullptr) {}
  /// Drops the history before the elements, so no command outlives what it points into.
  ~RootMap() override { CommandHandler::clear(); }

  const char* className() const override { return "CMap"; }

  /// Executes the command through the history, which keeps it when it succeeds.
  int submitCommand(std::unique_ptr<Command> cmd) override;
  /// The map itself for id 0, so that commands made by the map find it.
  Graphic* operator[](std::uint32_t id) const override;
  /// Where repaints of map areas arrive; the view repaints them.
  void invalidateRect(const RECT& r) override { repaint(r); }
  NativeWindow window() const override { return nullptr; }
  POINT fromWindow(const POINT& p) const override { return p; }
  POINT toWindow(const POINT& p) const override { return p; }
  RECT fromWindow(const RECT& r) const override { return r; }
  RECT toWindow(const RECT& r) const override { return r; }

  using CMap::execute;
  using CMap::undo;
  using CommandHandler::execute;
  using CommandHandler::undo;

 protected:
  /// Repaints an area of the map; nothing without a window.
  virtual void repaint(const RECT& r) {}
};
