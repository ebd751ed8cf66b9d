// Identity, membership and geometry shared by every graphic.
#include "model/Graphic.h"

#include <cstdlib>
#include <istream>
#include <ostream>

#include "commands/Command.h"
#include "commands/CommandHandler.h"
#include "support/Fields.h"

CloneableObject* CloneableObject::clone() const {
  reportError(nullptr, 'W', "ClonableObject::clone() should be overridden");
  return new CloneableObject;
}

Graphic* Graphic::clone() const {
  reportError(nullptr, 'E', "You must override Graphic::clone() in class %s", className());
  return nullptr;
}

void Graphic::printOn(std::ostream& out) const { writeHex(out, id_); }

void Graphic::readFrom(std::istream& in, const Version*) {
  std::uint32_t v = 0;
  setId(readHex(in, v) == kFieldRead ? v : 0);
}

RECT Graphic::invalidRect() const { return inflateRect(getRect(), 3); }

POINT Graphic::origin() const {
  RECT r = getRect();
  return {r.left, r.top};
}

void Graphic::moveTo(const POINT& p) {
  RECT r = getRect();
  const POINT to = clampPoint(p);
  const std::int64_t dx = std::int64_t{to.x} - r.left, dy = std::int64_t{to.y} - r.top;
  RECT moved{to.x, to.y, clampCoordinate(r.right + dx), clampCoordinate(r.bottom + dy)};
  invalidate();
  setRect(moved);
  invalidate();
}

unsigned Graphic::zoneCode(const RECT& r, const POINT& p) {
  std::int32_t w = (r.right - r.left) / 3, h = (r.bottom - r.top) / 3;
  unsigned horizontal = p.x < r.left + w ? 1u : p.x > r.left + 2 * w ? 2u : 0u;  // left, right
  unsigned vertical = p.y < r.top + h ? 4u : p.y > r.top + 2 * h ? 8u : 0u;  // top, bottom
  return kHitInside | (vertical ? vertical : horizontal);
}

unsigned Graphic::hitTest(const POINT& p) const {
  RECT r = getRect();
  return pointInRect(r, p) ? zoneCode(r, p) : 0;
}

RepaintPause::RepaintPause(GraphicContainer& map) : map_(map) { ++map_.mapState().repaintPauses; }
RepaintPause::~RepaintPause() { --map_.mapState().repaintPauses; }

void Graphic::invalidate() {
  if (!container_ || container_->mapState().repaintPauses > 0) return;
  container_->memberMayHaveMoved(this);
  container_->invalidateRect(invalidRect());
}

NativeWindow Graphic::window() const { return container_ ? container_->window() : nullptr; }
POINT Graphic::fromWindow(const POINT& p) const { return container_ ? container_->fromWindow(p) : p; }
POINT Graphic::toWindow(const POINT& p) const { return container_ ? container_->toWindow(p) : p; }
RECT Graphic::fromWindow(const RECT& r) const { return container_ ? container_->fromWindow(r) : r; }
RECT Graphic::toWindow(const RECT& r) const { return container_ ? container_->toWindow(r) : r; }

void Graphic::setId(std::uint32_t id) {
  std::uint32_t old = id_;
  id_ = id;
  if (container_ && old != id) container_->idChanged(this, old);
}

std::ostream& operator<<(std::ostream& out, const Graphic& g) {
  g.printOn(out);
  return out;
}

std::istream& operator>>(std::istream& in, Graphic& g) {
  g.readFrom(in, nullptr);
  return in;
}

VisualGraphic& VisualGraphic::operator=(const VisualGraphic& other) {
  Graphic::operator=(other);
  depth_ = other.depth_;
  return *this;
}

void VisualGraphic::setHighlighted(bool on) {
  if (isHighlighted() == on) return;
  flags_ = on ? (flags_ | kHighlighted) : (flags_ & ~kHighlighted);
  invalidate();
}

void VisualGraphic::printOn(std::ostream& out) const {
  Graphic::printOn(out);
  out.put(kFieldSeparator);
  writeDecimal(out, depth_);
  out.put(kFieldSeparator);
  writeHex(out, flags_);
}

void VisualGraphic::readFrom(std::istream& in, const Version* version) {
  Graphic::readFrom(in, version);
  if (expectChar(in, kFieldSeparator) != kFieldRead) return;
  readDecimal(in, depth_);
  if (expectChar(in, kFieldSeparator) != kFieldRead) return;
  readHex(in, flags_);
}

BehaviouralGraphic::BehaviouralGraphic(const std::string& prototypeName) : prototypeName_(prototypeName) {}

BehaviouralGraphic::BehaviouralGraphic(const BehaviouralGraphic& other)
    : CloneableObject(other),
      Graphic(other),
      GraphicContainer(other),
      prototypeName_(other.prototypeName_) {
  visual_ = memberCount() ? dynamic_cast<VisualGraphic*>(*begin()) : nullptr;
}

BehaviouralGraphic::~BehaviouralGraphic() {
  visual_ = nullptr;
  // Parts going now need not tidy up after each other (a maplet need not float
  // the ends its vanishing neighbours leave).
  setContainerFlags(containerFlags() | kBeingDestroyed);
  clear();
}

BehaviouralGraphic& BehaviouralGraphic::operator=(const BehaviouralGraphic& other) {
  if (this == &other) return *this;
  Graphic::operator=(other);
  GraphicContainer::operator=(other);
  visual_ = memberCount() ? dynamic_cast<VisualGraphic*>(*begin()) : nullptr;
  prototypeName_ = other.prototypeName_;
  return *this;
}

std::unique_ptr<Graphic> BehaviouralGraphic::removePart(Graphic& g) {
  if (&g == visual_) visual_ = nullptr;
  return remove(g);
}

std::uint32_t BehaviouralGraphic::addPart(std::unique_ptr<Graphic> g) { return add(std::move(g)); }

MapState& BehaviouralGraphic::mapState() {
  GraphicContainer* c = container();
  return c ? c->mapState() : GraphicContainer::mapState();
}

void BehaviouralGraphic::invalidateRect(const RECT& r) {
  // A part repainting means this element's looks or geometry may have changed.
  if (GraphicContainer* c = container(); c && c->mapState().repaintPauses == 0) {
    c->memberMayHaveMoved(this);
    c->invalidateRect(r);
  }
}

int BehaviouralGraphic::submitCommand(std::unique_ptr<Command> cmd) {
  if (!cmd) return kResultDropped;
  if (cmd->type() == kCmdMoveTo) {
    // Tiny drags make no history entries.
    if (auto* move = dynamic_cast<Command1<tagPOINT>*>(cmd.get())) {
      POINT a = move->getNew(), b = move->getOld();
      if (std::abs(std::int64_t{a.x} - b.x) < 3 && std::abs(std::int64_t{a.y} - b.y) < 3) return kResultDropped;
    }
  }
  if (GraphicContainer* c = container()) return c->submitCommand(std::move(cmd));
  if (auto* handler = dynamic_cast<CommandHandler*>(this)) return handler->execute(std::move(cmd));
  int r = execute(cmd.get());
  cmd->release();
  return r;
}

std::uint8_t BehaviouralGraphic::depth() const {
  const VisualGraphic* v = getVisual();
  return v ? v->depth() : 0;
}

void BehaviouralGraphic::setDepth(std::uint8_t depth) {
  if (VisualGraphic* v = getVisual()) v->setDepth(depth);
}

void BehaviouralGraphic::layOut(DrawingContext& dc) {
  if (VisualGraphic* v = getVisual()) v->layOut(dc);
}

void BehaviouralGraphic::draw(DrawingContext& dc) {
  if (VisualGraphic* v = getVisual()) v->draw(dc);
}

bool BehaviouralGraphic::isHighlighted() const { return visual_ && getVisual()->isHighlighted(); }

void BehaviouralGraphic::setHighlighted(bool on) {
  if (VisualGraphic* v = getVisual()) v->setHighlighted(on);
}

RECT BehaviouralGraphic::getRect() const {
  const VisualGraphic* v = getVisual();
  return v ? v->getRect() : RECT{};
}

void BehaviouralGraphic::setRect(const RECT& r) {
  if (VisualGraphic* v = getVisual()) v->setRect(r);
}

RECT BehaviouralGraphic::invalidRect() const {
  const VisualGraphic* v = getVisual();
  return v ? v->invalidRect() : Graphic::invalidRect();
}

RECT BehaviouralGraphic::boundingRect() const {
  const VisualGraphic* v = getVisual();
  return v ? v->boundingRect() : RECT{};
}

void BehaviouralGraphic::moveTo(const POINT& p) {
  if (VisualGraphic* v = getVisual()) v->moveTo(p);
}

unsigned BehaviouralGraphic::hitTest(const POINT& p) const {
  const VisualGraphic* v = getVisual();
  return v ? v->hitTest(p) : 0;
}

void BehaviouralGraphic::printOn(std::ostream& out) const {
  Graphic::printOn(out);
  out.put(kFieldSeparator);
  writeQuoted(out, prototypeName_);
}

void BehaviouralGraphic::readFrom(std::istream& in, const Version* version) {
  Graphic::readFrom(in, version);
  if (expectChar(in, kFieldSeparator) != kFieldRead) return;
  std::string name;
  if (readQuoted(in, name) == kFieldRead) prototypeName_ = std::move(name);
}

POINT VisualGraphic::outlinePointToward(const POINT& p) const {
  const RECT r = getRect();
  unsigned code = (p.x <= r.left ? 1u : p.x >= r.right ? 2u : 0u) | (p.y <= r.top ? 4u : p.y >= r.bottom ? 8u : 0u);
  if (code == 0) {
    // Inside: the side of the centre the point lies on decides.
    POINT c{halfFloor(std::int64_t{r.left} + r.right), halfFloor(std::int64_t{r.top} + r.bottom)};
    code = (p.x < c.x ? 1u : p.x > c.x ? 2u : 0u) | (p.y < c.y ? 4u : p.y > c.y ? 8u : 0u);
    if (code == 0) code = 4;
  }
  return attachPoint(code);
}
