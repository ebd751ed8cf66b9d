// Geometry of the context frame.
#include "drawing/FrameShape.h"

#include <array>

void FrameShape::drawOutline(DrawingContext& dc) {
  const RECT r = getRect(), in = innerRect();
  // The outer ring runs round and comes back along the bottom to trace the
  // inner ring; even-odd filling leaves the inside empty.
  const std::array<POINT, 10> points{{{r.left, r.bottom},
                                      {r.left, r.top},
                                      {r.right, r.top},
                                      {r.right, r.bottom},
                                      {in.left, r.bottom},
                                      {in.left, in.top},
                                      {in.right, in.top},
                                      {in.right, in.bottom},
                                      {in.left, in.bottom},
                                      {in.left, r.bottom}}};
  dc.polygon(points, fillColor(), borderColor());
}

RECT FrameShape::boundingRect() const {
  const RECT r = getRect();
  const std::int32_t bottom = hasTitle() ? r.top + label()->height() + 1 : r.top + 3;
  return {r.left + 1, r.top + 1, r.right - 1, bottom};
}

void FrameShape::setLabel(const char* text) {
  Shape::setLabel(text);
  if (TextDrawing* title = mutableLabel()) {
    title->setAspect(TextDrawing::kTitleAspect);
    setShapeFlags(shapeFlags() | kLayoutPending);
  }
}

RECT FrameShape::innerRect() const {
  const RECT r = getRect();
  const std::int32_t top = hasTitle() ? r.top + label()->height() + 2 : r.top + 3;
  return {r.left + kBand, top, r.right - kBand, r.bottom - kBand};
}
