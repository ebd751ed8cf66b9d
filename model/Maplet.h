// The connector elements of a map: terminals that follow the elements they are hooked to.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/Graphic.h"
#include "model/SRGraphic.h"
#include "support/Subject.h"

class Connector;
class RelationableGraphic;

/// A connector whose terminals are attached to elements (observed, not owned) or float.
class Maplet : public virtual BehaviouralGraphic, public virtual Observer {
 public:
  /// Two floating terminals around a connector centred at `p`.
  Maplet(const std::string& connectorName, const POINT& p);
  /// A copy pointing at the same elements, without observing them.
  Maplet(const Maplet& other);
  /// Repaints its area and stops observing every attached element.
  ~Maplet() override;

  Graphic* clone() const override { return new Maplet(*this); }
  const char* className() const override { return "Maplet"; }
  const char* observerClassName() const override { return className(); }

  /// The maplet component text.
  void printOn(std::ostream& out) const override;
  void readFrom(std::istream& in, const Version* version) override;

  VisualGraphic* getVisual() override;
  /// Replaces the connector by a clone of the named one (null: of the current name).
  virtual void changeConnector(const char* prototypeName);
  int changeShape(const char* prototypeName) override {
    changeConnector(prototypeName);
    return 0;
  }
  /// The text shown at the centre (the linking phrase), or null when none is shown.
  const char* label() const;
  /// Shows `text` at the centre. A connector of a type without a label gets one (a
  /// borderless white box over the legs), and drops it again when the text is emptied.
  void setLabel(const char* text);
  /// The connector, made from the prototype name on first use.
  Connector* getConnector();
  const Connector* getConnector() const { return const_cast<Maplet*>(this)->getConnector(); }

  /// Hooks terminal i to `target` (null floats it); -1 for an index out of range.
  virtual int setConnection(std::uint16_t i, RelationableGraphic* target);
  /// The element terminal i is hooked to, or null (with a warning when out of range).
  virtual RelationableGraphic* operator[](std::uint16_t i) const;
  virtual std::uint16_t terminalCount() const;
  /// Moves the centre; floating ends float again and hooked ends follow.
  virtual void setCentre(const POINT& p);
  virtual POINT centre() const;
  /// Places terminal i beside the connector, unhooked.
  void floatTerminal(std::uint16_t i);
  /// For a copy: hooks each terminal to the member of `elements` with the id of the element
  /// the copy points at, and leaves the others floating where their ends are. A copy
  /// observes none of the elements it points at, so it lets go of them without a word.
  void rehookCopy(const GraphicContainer* elements);

  void update(Subject* subject) override;
  void subjectGone(Subject* subject) override;

  /// SET CONNECTION, SET FLAGS and CLEAR FLAGS; -143 for the rest.
  int execute(Command* cmd) override;
  int undo(Command* cmd) override;
  /// A SET CONNECTION of terminal i to the element with `targetId` (0 unhooks).
  virtual std::unique_ptr<Command> generateSetConnection(std::uint16_t i, std::uint32_t targetId);

  POINT origin() const override { return centre(); }
  void moveTo(const POINT& p) override { setCentre(p); }

 protected:
  /// Sets terminal i's end point to where its element meets a line from the centre.
  void placeAttached(std::uint16_t i);
  /// Places hooked terminal i on its element toward `aim`.
  void placeAttached(std::uint16_t i, Connector& c, const POINT& aim);
  /// What the hooked ends aim at: the middle of the elements joined while auto-centred, else the centre.
  POINT aimPoint(const Connector& c) const;
  /// Floats every floating end again and moves every hooked end to its attach point.
  void placeAllTerminals();

 private:
  int applyOwnCommand(Command* cmd, bool forward);
  /// Puts `fresh` in place of the connector (taking over its centre and ends) and places the terminals.
  void installConnector(std::unique_ptr<Connector> fresh);
  /// The label unless it is the one the connector's type shows by itself, else empty.
  std::string typedLabel() const;
  std::vector<RelationableGraphic*> terminals_;
  // Per terminal, the fields of its spec after LineColor1 (line style, thickness,
  // arrow styles and colours, end texts and colours) as read, each with the ','
  // before it; empty when the file gave none. This version does not draw them,
  // but saving writes them back.
  std::vector<std::string> terminalStyles_;
};

/// The maplet maps hold: selectable, draggable by its centre, re-hookable by its ends.
class SMaplet : public SRGraphic, public Maplet {
 public:
  static constexpr const char* kCommandPtrName = "CommandPtr1<SMaplet>";

  SMaplet(const std::string& connectorName, const POINT& p);
  SMaplet(const SMaplet& other);

  Graphic* clone() const override { return new SMaplet(*this); }
  const char* className() const override { return "SMaplet"; }

  /// Reads the maplet, then tells the maplets attached to this one.
  void readFrom(std::istream& in, const Version* version) override;
  int leftButtonDown(unsigned keys, const POINT& p) override;
  /// A CHANGE LABEL to `text`, or to what the user types when `text` is null.
  std::unique_ptr<Command> generateChangeLabel(const char* text);
  /// Edits the label, as "Edit Label..." does.
  int leftDoubleClick(unsigned keys, const POINT& p) override;
  /// The popup, with "Unhook Terminal" when it opens on the end of a terminal.
  int rightButtonDown(unsigned keys, const POINT& p) override;
  int execute(Command* cmd) override;
  int undo(Command* cmd) override;
  /// The move of the centre (with the selection), then auto-centre off.
  std::unique_ptr<Command> generateMoveTo(const POINT& p) override;
  std::unique_ptr<Command> doGenerateCommand(std::uint16_t id, const POINT* at, const char* itemText) override;
  Menu buildPopupMenu() override;

  /// Moves the centre; the ends are placed from it again and the maplets hooked here follow.
  void moveTo(const POINT& p) override;
  void setCentre(const POINT& p) override { moveTo(p); }
  POINT origin() const override { return centre(); }

 protected:
  POINT dragReference() const override { return centre(); }

 private:
  int popupTerminal_ = -1;  // the terminal whose end the open popup was opened on, or -1
  bool telling_ = false;    // its hooked maplets are being told it moved
};
