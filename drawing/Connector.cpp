// Drawing, hit testing and geometry of maplet connectors.
#include "drawing/Connector.h"

#include <algorithm>

#include "drawing/Outline.h"
#include "drawing/ViewScale.h"

namespace {

RECT around(const POINT& p, std::int32_t half) { return {p.x - half, p.y - half, p.x + half, p.y + half}; }

}  // namespace

Connector::Connector(std::uint16_t legCount, const Line& legPrototype)
    {
  legs_.reserve(legCount);
  for (std::uint16_t i = 0; i < legCount; ++i) {
    auto leg = std::make_unique<Line>(legPrototype);
    leg->setPoints(centre_, centre_);
    legs_.push_back(std::move(leg));
  }
}

Connector::Connector(const Connector& other)
    : CloneableObject(other),
      VisualGraphic(other),
      centre_(other.centre_),
      connectorFlags_(other.connectorFlags_) {
  legs_.reserve(other.legs_.size());
  for (const auto& leg : other.legs_) legs_.push_back(std::make_unique<Line>(*leg));
}

Connector::~Connector() = default;

void Connector::draw(DrawingContext& dc) {
  for (const auto& leg : legs_) leg->draw(dc);
  if (!isHighlighted()) return;
  // Zoomed in, the handles keep their size on the screen; zoomed out they stay as they are,
  // inside the area the connector repaints.
  const std::int32_t half = std::min(kHandleHalf, unitsForPixels(kHandleHalf));
  for (const auto& leg : legs_) dc.ellipse(around(leg->end(), half), kBlack, kBlack);
  dc.rectangle(around(centre_, half), kBlack, kBlack);
}

RECT Connector::getRect() const {
  if (legs_.empty()) return {centre_.x, centre_.y, centre_.x, centre_.y};
  RECT r = legs_.front()->invalidRect();
  for (const auto& leg : legs_) r = unionRect(r, leg->invalidRect());
  return r;
}

void Connector::setRect(const RECT& r) {
  const RECT old = getRect();
  const std::int64_t dx = std::int64_t{r.left} - old.left, dy = std::int64_t{r.top} - old.top;
  invalidate();
  for (const auto& leg : legs_) leg->setEnd(offsetPoint(leg->end(), dx, dy));
  placeCentre(offsetPoint(centre_, dx, dy));
  invalidate();
}

unsigned Connector::hitTest(const POINT& p) const {
  const bool selected = isHighlighted();
  // On a selected connector the terminal handles come first, so that an end lying on
  // another leg or near the centre can still be grabbed.
  if (selected)
    for (std::size_t i = 0; i < legs_.size(); ++i)
      if (legs_[i]->hitTest(p) & kHitLineEnd) return static_cast<unsigned>(i + 1) << 8 | kHitTerminalHandle;
  if (isNear(p, centre_, kCentreReach)) return selected ? kHitConnectorHandle : kHitInside;
  for (std::size_t i = 0; i < legs_.size(); ++i) {
    const unsigned answer = legs_[i]->hitTest(p);
    if (!answer) continue;
    const unsigned handle = static_cast<unsigned>(i + 1) << 8;
    if (answer & kHitLineEnd) {
      // A terminal end is a handle only on a selected connector; otherwise
      // another leg may still pass there.
      if (!selected) continue;
      return handle | kHitTerminalHandle;
    }
    return handle | kHitInside;
  }
  return 0;
}

int Connector::terminalAt(const POINT& p) const {
  const unsigned hit = hitTest(p);
  return (hit & kHitTerminalHandle) == kHitTerminalHandle ? static_cast<int>((hit >> 8) & 0xFF) - 1 : -1;
}

void Connector::copyAttributes(const VisualGraphic& other) {
  VisualGraphic::copyAttributes(other);
  auto* connector = dynamic_cast<const Connector*>(&other);
  if (!connector) return;
  invalidate();
  const std::size_t common = std::min(legs_.size(), connector->legs_.size());
  for (std::size_t i = 0; i < common; ++i) legs_[i]->setEnd(connector->legs_[i]->end());
  placeCentre(connector->centre_);
  invalidate();
}

void Connector::setCentre(const POINT& p) {
  invalidate();
  placeCentre(p);
  invalidate();
}

POINT Connector::terminalPoint(std::uint16_t i) const { return i < legs_.size() ? legs_[i]->end() : centre_; }

void Connector::setTerminalPoint(std::uint16_t i, const POINT& p) {
  if (i >= legs_.size()) return;
  invalidate();
  legs_[i]->setEnd(p);
  invalidate();
}

void Connector::placeCentre(const POINT& p) {
  centre_ = clampPoint(p);
  for (const auto& leg : legs_) leg->setStart(centre_);
}
