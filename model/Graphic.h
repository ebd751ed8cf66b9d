// The roots of everything that can stand in a map: identity, membership, geometry, text form.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>

#include "model/ErrorMsgException.h"
#include "support/Geometry.h"
#include "model/GraphicContainer.h"
#include "support/Version.h"

class Command;
class DrawingContext;

/// Anything that can be copied through a prototype.
class CloneableObject {
 public:
  virtual ~CloneableObject() = default;
  /// A new object of the same class, owned by the caller. The default warns.
  virtual CloneableObject* clone() const;
  /// The run-time class name used in files, registries and reports.
  virtual const char* className() const { return "CloneableObject"; }
};

/// Zone bits of a hit: 0x10 for inside, combined with one side code.
enum HitZone : unsigned {
  kHitInside = 0x10,
  kSideLeft = 1,
  kSideRight = 2,
  kSideTop = 4,
  kSideBottom = 8,
};

/// Identity within a container, membership and the geometry interface.
class Graphic : public virtual CloneableObject {
 public:
  /// The one exception of the model, thrown by lookups by id.
  class Exception : public ErrorMsgException {
   public:
    using ErrorMsgException::ErrorMsgException;
    const char* name() const override { return "CMap exception"; }
  };

  /// A graphic in no container yet: whoever makes it adds it where it belongs, and
  /// the container gives it an id.
  Graphic() = default;
  /// A copy with the other's id, in no container.
  Graphic(const Graphic& other) : CloneableObject(other), id_(other.id_) {}
  ~Graphic() override = default;

  Graphic* clone() const override;
  const char* className() const override { return "Graphic"; }

  /// Keeps this graphic's own id and container: only what a graphic shows is assigned.
  Graphic& operator=(const Graphic&) { return *this; }
  virtual bool operator<(const Graphic& other) const { return depth() < other.depth(); }
  virtual bool operator==(const Graphic& other) const { return id_ == other.id_; }

  /// Writes the id as a hexadecimal field.
  virtual void printOn(std::ostream& out) const;
  /// Reads the id; a missing or malformed field makes it 0.
  virtual void readFrom(std::istream& in, const Version* version);

  virtual std::uint8_t depth() const = 0;
  virtual void setDepth(std::uint8_t depth) = 0;
  /// Draws; changes nothing of the element (layOut does that first).
  virtual void draw(DrawingContext& dc) = 0;
  /// Before a draw: sizes what waits for its label to be measured and moves what follows
  /// it. `dc` only measures text.
  virtual void layOut(DrawingContext& dc) {}
  virtual bool isHighlighted() const = 0;
  virtual void setHighlighted(bool on) = 0;
  virtual RECT getRect() const = 0;
  virtual void setRect(const RECT& r) = 0;

  /// The area repainted when the graphic changes: getRect grown by 3.
  virtual RECT invalidRect() const;
  virtual RECT boundingRect() const { return getRect(); }
  /// The top-left corner of getRect.
  virtual POINT origin() const;
  /// Moves the top-left corner to `p`, keeping the size; repaints old and new areas.
  virtual void moveTo(const POINT& p);
  /// 0 outside getRect, else kHitInside with the zone code of the point.
  virtual unsigned hitTest(const POINT& p) const;
  virtual bool intersects(const RECT& r) const { return rectsIntersect(getRect(), r); }
  virtual bool isInside(const RECT& r) const { return rectInside(getRect(), r); }
  /// Asks the container to repaint invalidRect.
  virtual void invalidate();
  virtual NativeWindow window() const;
  virtual POINT fromWindow(const POINT& p) const;
  virtual POINT toWindow(const POINT& p) const;
  virtual RECT fromWindow(const RECT& r) const;
  virtual RECT toWindow(const RECT& r) const;

  std::uint32_t id() const { return id_; }
  /// Changes the id; the container's index follows.
  void setId(std::uint32_t id);
  /// The container that owns this graphic; null for none.
  GraphicContainer* container() const { return container_; }

  /// The zone code of `p` in `r` (vertical before horizontal), with kHitInside.
  static unsigned zoneCode(const RECT& r, const POINT& p);

 private:
  friend class GraphicContainer;
  std::uint32_t id_ = 0;
  GraphicContainer* container_ = nullptr;
  GraphicContainer::MemberList::iterator member_{};  // its place in container_'s list
};

/// While a map is being read nothing of it is shown, so its graphics ask for no
/// repaints (the window that shows the map paints it whole afterwards).
class RepaintPause {
 public:
  explicit RepaintPause(GraphicContainer& map);
  ~RepaintPause();
  RepaintPause(const RepaintPause&) = delete;
  RepaintPause& operator=(const RepaintPause&) = delete;

 private:
  GraphicContainer& map_;
};

/// Adds `g` to `c`, which owns it from then on; the graphic, to go on using it.
template <class T>
T* addTo(GraphicContainer& c, std::unique_ptr<T> g) {
  T* member = g.get();
  c.add(std::move(g));
  return member;
}

/// The same graphic owned as a T; null (and the graphic destroyed) when it is no T.
template <class T>
std::unique_ptr<T> ownedAs(std::unique_ptr<Graphic> g) {
  T* typed = dynamic_cast<T*>(g.get());
  if (!typed) return nullptr;
  g.release();
  return std::unique_ptr<T>(typed);
}

/// A copy made by the graphic's own clone operation, owned by the caller; null when
/// the class makes no copies.
template <class T>
std::unique_ptr<T> cloneOf(const T& g) {
  return ownedAs<T>(std::unique_ptr<Graphic>(g.clone()));
}

/// Writes with printOn and reads with readFrom in the oldest syntax.
std::ostream& operator<<(std::ostream& out, const Graphic& g);
std::istream& operator>>(std::istream& in, Graphic& g);

/// A drawable primitive with a depth and a highlight flag.
class VisualGraphic : public Graphic {
 public:
  static constexpr std::uint32_t kHighlighted = 1;

  VisualGraphic() = default;
  VisualGraphic(const VisualGraphic& other) : Graphic(other), depth_(other.depth_), flags_(other.flags_) {}
  VisualGraphic& operator=(const VisualGraphic& other);

  const char* className() const override { return "VisualGraphic"; }
  std::uint8_t depth() const override { return depth_; }
  void setDepth(std::uint8_t depth) override { depth_ = depth; }
  bool isHighlighted() const override { return (flags_ & kHighlighted) != 0; }
  /// Sets or clears the highlight and repaints when it changes.
  void setHighlighted(bool on) override;
  void printOn(std::ostream& out) const override;
  void readFrom(std::istream& in, const Version* version) override;

  /// Takes over the other's attributes (here its depth).
  virtual void copyAttributes(const VisualGraphic& other) { depth_ = other.depth_; }
  /// The point of the outline for a side code (left 1, right 2, top 4, bottom 8, or corners).
  virtual POINT attachPoint(unsigned side) const = 0;
  /// Where a line from `from` toward the primitive's middle meets its outline, from inside
  /// as well; by default the attach point of the side `from` lies on (the top for the middle).
  virtual POINT outlinePointToward(const POINT& from) const;

  std::uint32_t flags() const { return flags_; }
  void setFlags(std::uint32_t flags) { flags_ = flags; }

 private:
  std::uint8_t depth_ = 128;
  std::uint32_t flags_ = 0;
};

/// A composite graphic: it owns its parts, one of which is its visual.
class BehaviouralGraphic : public Graphic, public GraphicContainer {
 public:
  explicit BehaviouralGraphic(const std::string& prototypeName);
  /// Clones every part; the first part becomes the visual when it is one.
  BehaviouralGraphic(const BehaviouralGraphic& other);
  ~BehaviouralGraphic() override;
  BehaviouralGraphic& operator=(const BehaviouralGraphic& other);

  const char* className() const override { return "BehaviouralGraphic"; }

  /// Takes a part out and hands it to the caller; the visual link is cleared when it was the visual.
  virtual std::unique_ptr<Graphic> removePart(Graphic& g);
  /// Adds a part (now owned by this graphic); returns its id.
  virtual std::uint32_t addPart(std::unique_ptr<Graphic> g);
  /// The part that gives geometry and looks, or null.
  virtual VisualGraphic* getVisual() = 0;
  const VisualGraphic* getVisual() const { return const_cast<BehaviouralGraphic*>(this)->getVisual(); }
  /// Replaces the visual by a clone of the named prototype.
  virtual int changeShape(const char* prototypeName) = 0;
  /// Passes a repaint request to the container.
  void invalidateRect(const RECT& r) override;
  /// The state of the map this element is in.
  MapState& mapState() override;
  /// Hands a command toward whoever executes (and perhaps records) it; takes ownership.
  int submitCommand(std::unique_ptr<Command> cmd) override;
  virtual int execute(Command* cmd) = 0;
  virtual int undo(Command* cmd) = 0;

  // Geometry and looks come from the visual.
  std::uint8_t depth() const override;
  void setDepth(std::uint8_t depth) override;
  void draw(DrawingContext& dc) override;
  void layOut(DrawingContext& dc) override;
  bool isHighlighted() const override;
  void setHighlighted(bool on) override;
  RECT getRect() const override;
  void setRect(const RECT& r) override;
  RECT invalidRect() const override;
  RECT boundingRect() const override;
  void moveTo(const POINT& p) override;
  unsigned hitTest(const POINT& p) const override;

  // Window questions go up the chain of containers.
  NativeWindow window() const override { return Graphic::window(); }
  POINT fromWindow(const POINT& p) const override { return Graphic::fromWindow(p); }
  POINT toWindow(const POINT& p) const override { return Graphic::toWindow(p); }
  RECT fromWindow(const RECT& r) const override { return Graphic::fromWindow(r); }
  RECT toWindow(const RECT& r) const override { return Graphic::toWindow(r); }

  /// Writes the id and the prototype name.
  void printOn(std::ostream& out) const override;
  /// Reads the id and, when it is a complete string, the prototype name.
  void readFrom(std::istream& in, const Version* version) override;

  const std::string& prototypeName() const { return prototypeName_; }
  void setPrototypeName(const std::string& name) { prototypeName_ = name; }
  /// The visual link as it stands, without making one.
  VisualGraphic* visualPart() const { return visual_; }

 protected:
  void setVisualPart(VisualGraphic* v) { visual_ = v; }

 private:
  VisualGraphic* visual_ = nullptr;
  std::string prototypeName_;
};
