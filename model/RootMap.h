// A map document: the map at the top of its chain, with its history, clean mark, gesture state and view.
#pragma once

#include <memory>

#include "commands/Command.h"
#include "commands/CommandHandler.h"
#include "model/CMap.h"
#include "model/MapState.h"

class InteractionBackend;
class MapView;

/// One open map. Commands submitted by its elements are executed and kept in its
/// history; repaint requests and window questions end here and go to its view, if it
/// has one. It is used the same way with a window, by the command-line tools and by
/// the tests.
class RootMap : public CMap {
 public:
  RootMap() : BehaviouralGraphic("default"), CMap() {}
  ~RootMap() override { closeDown(); }

  const char* className() const override { return "CMap"; }
  /// A document cannot be copied: reports the refusal and answers null.
  Graphic* clone() const override;

  /// The window that shows this map; null for none (repaints then go nowhere and
  /// the elements have no window to track the mouse in). Not owned.
  void setView(MapView* view) { view_ = view; }
  MapView* view() const { return view_; }
  /// Who answers this map's questions to the user; null for the installed backend. Not owned.
  void setInteraction(InteractionBackend* backend) { state_.interaction = backend; }
  /// Ends the document before whoever shows it goes: the history is dropped before the
  /// elements, so no command outlives what it points into, and nothing repaints on the way.
  void closeDown();

  CommandHandler& history() { return history_; }
  const CommandHandler& history() const { return history_; }
  /// True when the map differs from the one last read or saved.
  bool isChanged() const { return !history_.isClean(); }

  /// Executes the command through the history, which keeps it when it succeeds.
  int submitCommand(std::unique_ptr<Command> cmd) override { return history_.execute(std::move(cmd)); }
  /// The map itself for id 0, so that commands made by the map find it.
  Graphic* operator[](std::uint32_t id) const override;
  /// Bringing an element to the front changes the painting order, and with it what Save
  /// writes: the map counts as changed until it is saved again (no undo restores it).
  int popToFront(Graphic* g) override;
  /// The map's own state: its drag, its repaint pause, its interaction backend.
  MapState& mapState() override { return state_; }

  /// Repaints go to the view.
  void invalidateRect(const RECT& r) override;
  NativeWindow window() const override;
  /// Window points are the view's: they pass through its conversions (none without a view).
  POINT fromWindow(const POINT& p) const override;
  POINT toWindow(const POINT& p) const override;
  RECT fromWindow(const RECT& r) const override;
  RECT toWindow(const RECT& r) const override;

  /// Selects by a rubber band dragged from `p` (a press on empty space in the view).
  using CMap::rubberBandSelect;

 private:
  CommandHandler history_;
  MapState state_;
  MapView* view_ = nullptr;
};
