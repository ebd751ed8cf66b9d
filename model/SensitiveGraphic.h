// A map element the user can touch: mouse handling, selection, dragging, popup menu and its generic edits.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "commands/CommandReceiver.h"
#include "model/Graphic.h"
#include "model/Menu.h"

/// Key-state bit of a mouse event: Control held.
inline constexpr unsigned kKeyControl = 0x0008;

/// True for a maplet whose connector keeps its centre between its terminals:
/// moving its neighbours moves it, so selection moves and context moves skip it.
bool followsItsTerminals(Graphic* g);

/// An element that executes and undoes its own commands and answers the mouse.
class SensitiveGraphic : public CommandReceiver, public virtual BehaviouralGraphic {
 public:
  static constexpr const char* kCommandPtrName = "CommandPtr1<SensitiveGraphic>";

  explicit SensitiveGraphic(const std::string& prototypeName)
      : BehaviouralGraphic(prototypeName) {}
  SensitiveGraphic(const SensitiveGraphic& other)
      : CloneableObject(other), BehaviouralGraphic(other) {}
  /// Clears the drag state when it points here.
  ~SensitiveGraphic() override;
  /// Who answers this element's questions to the user: its map's backend, or the installed one.
  InteractionBackend* interaction();

  const char* className() const override { return "SensitiveGraphic"; }

  /// Builds the popup menu, shows it at `at` (or at three quarters of the
  /// element when null) and submits the command the chosen item makes.
  virtual void showPopupMenu(const POINT* at);

  // Mouse handlers: key-state flags and the pointer in map coordinates; 1 when used.
  virtual int leftButtonDown(unsigned keys, const POINT& p);
  virtual int leftButtonUp(unsigned keys, const POINT& p);
  virtual int leftDoubleClick(unsigned keys, const POINT& p) { return 0; }
  virtual int rightButtonDown(unsigned keys, const POINT& p);
  virtual int rightButtonUp(unsigned keys, const POINT& p) { return 0; }
  virtual int rightDoubleClick(unsigned keys, const POINT& p) { return 0; }
  virtual int mouseMove(unsigned keys, const POINT& p);

  /// DELETE, RESIZE, CHANGE SHAPE and MOVE TO; -1 for the rest.
  int execute(Command* cmd) override;
  int undo(Command* cmd) override;

  /// A RESIZE to `newRect`, or to a rectangle the user drags out when null.
  virtual std::unique_ptr<Command> generateResize(const RECT* newRect);
  /// A DELETE that holds no element yet.
  virtual std::unique_ptr<Command> generateDelete();
  virtual std::unique_ptr<Command> generateChangeShape(const char* prototypeName);
  /// A MOVE TO from the drag origin; for a selected element, the whole selection moves.
  virtual std::unique_ptr<Command> generateMoveTo(const POINT& newTopLeft);
  /// The command a popup item makes, or null.
  virtual std::unique_ptr<Command> doGenerateCommand(std::uint16_t id, const POINT* at, const char* itemText);
  /// Sets the rectangle (tracked interactively when null); a user's size ends automatic sizing.
  virtual void applyResize(const RECT* r);
  /// The popup menu: "Delete".
  virtual Menu buildPopupMenu();

 protected:
  /// The point a drag is measured from: the top-left corner (a maplet uses its centre).
  virtual POINT dragReference() const { return origin(); }
  /// Starts a drag at `p`: to the front, capture, drag state.
  void beginDrag(const POINT& p);
  /// Makes a single MOVE TO of this element.
  std::unique_ptr<Command> makeMoveTo(const POINT& newValue, const POINT& oldValue) const;
};
