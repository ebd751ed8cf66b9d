// Layout and hit testing of connectors with a label at the centre.
#include "drawing/LabeledConnector.h"

#include "drawing/Outline.h"

LabeledConnector::LabeledConnector(std::uint16_t legCount,
                                   std::unique_ptr<Shape> labelShape, const Line& legPrototype)
    : Connector(legCount, legPrototype), labelShape_(std::move(labelShape)) {}

LabeledConnector::LabeledConnector(const Connector& base, std::unique_ptr<Shape> labelShape)
    : CloneableObject(base), Connector(base), labelShape_(std::move(labelShape)) {}

LabeledConnector::LabeledConnector(const LabeledConnector& other)
    : CloneableObject(other),
      Connector(other),
      labelShape_(other.labelShape_ ? other.labelShape_->clone() : nullptr) {}

LabeledConnector::~LabeledConnector() = default;

void LabeledConnector::layOut(DrawingContext& dc) {
  if (labelShape_ && (labelShape_->isLayoutPending() || isEmptyRect(labelShape_->getRect()))) {
    labelShape_->layOut(dc);
    centreLabel();
    invalidate();
  }
}

void LabeledConnector::draw(DrawingContext& dc) {
  if (labelShape_) labelShape_->setHighlighted(isHighlighted());
  Connector::draw(dc);
  if (labelShape_) labelShape_->draw(dc);
}

RECT LabeledConnector::getRect() const {
  RECT r = Connector::getRect();
  // A label that has never been laid out has no place yet.
  if (!labelShape_ || isEmptyRect(labelShape_->getRect())) return r;
  return unionRect(r, labelShape_->invalidRect());
}

unsigned LabeledConnector::hitTest(const POINT& p) const {
  if (labelShape_) {
    labelShape_->setHighlighted(isHighlighted());
    if (unsigned answer = labelShape_->hitTest(p)) return answer;
  }
  return Connector::hitTest(p);
}

void LabeledConnector::setHighlighted(bool on) {
  if (labelShape_) labelShape_->setHighlighted(on);
  Connector::setHighlighted(on);
}

void LabeledConnector::setLabel(const char* text) {
  if (!labelShape_) return;
  invalidate();
  labelShape_->setLabel(text);
  labelShape_->setShapeFlags(labelShape_->shapeFlags() | Shape::kAutoSize | Shape::kLayoutPending);
  invalidate();
}

void LabeledConnector::placeCentre(const POINT& p) {
  Connector::placeCentre(p);
  if (labelShape_ && !isEmptyRect(labelShape_->getRect())) centreLabel();
}

void LabeledConnector::centreLabel() {
  const RECT r = labelShape_->getRect();
  const POINT& c = centre();
  labelShape_->moveTo({c.x - (r.right - r.left) / 2, c.y - (r.bottom - r.top) / 2});
}
