// Layout, drawing, hit tests and attach points of the shapes nodes are drawn with.
#include "drawing/Shape.h"

#include "drawing/Outline.h"
#include "drawing/ViewScale.h"

#include <algorithm>
#include <cmath>

namespace {

// A shape that has never been given a size is drawn this large until its label says otherwise.
constexpr std::int32_t kEmptyWidth = 40;
constexpr std::int32_t kEmptyHeight = 30;

// Shapes whose both sides are below this many pixels on the screen are drawn as dots.
constexpr double kDotPixels = 2.0;

constexpr unsigned kHorizontalSides = kSideLeft | kSideRight;
constexpr unsigned kVerticalSides = kSideTop | kSideBottom;

std::int32_t widthOf(const RECT& r) { return r.right - r.left; }
std::int32_t heightOf(const RECT& r) { return r.bottom - r.top; }

// The fraction of a length, truncated toward zero as all shape geometry is.
std::int32_t fraction(double factor, std::int32_t length) {
  return static_cast<std::int32_t>(factor * length);
}

bool isCorner(unsigned side) { return (side & kHorizontalSides) && (side & kVerticalSides); }

// Relative luminance of a 0x00BBGGRR colour, from its sRGB channels.
double luminance(Color c) {
  auto channel = [](std::uint32_t v) {
    const double s = v / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(c & 0xFF) + 0.7152 * channel((c >> 8) & 0xFF) + 0.0722 * channel((c >> 16) & 0xFF);
}

double contrast(Color a, Color b) {
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

constexpr double kReadableContrast = 4.5;
constexpr Color kWhiteText = 0x00FFFFFF;
constexpr Color kBlackText = 0x00000000;

}  // namespace

Shape::Shape(const RECT& rect, Color fill, Color border, Color text)
    : rect_(rect), fillColor_(fill), borderColor_(border), textColor_(text), presetTextColor_(text) {}

Shape::Shape(const Shape& other)
    : CloneableObject(other),
      VisualGraphic(other),
      rect_(other.rect_),
      fillColor_(other.fillColor_),
      borderColor_(other.borderColor_),
      textColor_(other.textColor_),
      presetTextColor_(other.presetTextColor_),
      label_(other.label_ ? std::make_unique<TextDrawing>(*other.label_) : nullptr),
      shapeFlags_(other.shapeFlags_) {}

Shape::~Shape() = default;

Shape& Shape::operator=(const Shape& other) {
  if (this == &other) return *this;
  VisualGraphic::operator=(other);
  rect_ = other.rect_;
  fillColor_ = other.fillColor_;
  borderColor_ = other.borderColor_;
  textColor_ = other.textColor_;
  presetTextColor_ = other.presetTextColor_;
  label_ = other.label_ ? std::make_unique<TextDrawing>(*other.label_) : nullptr;
  shapeFlags_ = other.shapeFlags_;
  return *this;
}

void Shape::layOut(DrawingContext& dc) {
  if (isEmptyRect(rect_)) shapeFlags_ |= kAutoSize | kLayoutPending;
  if (isLayoutPending()) {
    if (!label_) {
      if (isAutoSize()) setRect({rect_.left, rect_.top, rect_.left + kEmptyWidth, rect_.top + kEmptyHeight});
    } else {
      if (!label_->isMeasured()) label_->computeSize(dc);
      const std::int32_t w = label_->width(), h = label_->height();
      RECT area = boundingRect();
      if (isAutoSize() && (widthOf(area) != w || heightOf(area) != h)) sizeForLabel(w, h);
    }
    // The element's maplets follow a shape that has just found its size.
    if (GraphicContainer* c = container()) c->memberChanged(id());
    invalidate();
  }
  shapeFlags_ &= ~kLayoutPending;
}

void Shape::draw(DrawingContext& dc) {
  // Smaller than a pixel or two on the screen, a shape is a dot of its border colour.
  const double scale = viewPixelsPerUnit();
  if (scale < 1 && widthOf(rect_) * scale < kDotPixels && heightOf(rect_) * scale < kDotPixels) {
    dc.rectangle(rect_, borderColor_, borderColor_);
    return;
  }
  drawOutline(dc);
  if (isHighlighted()) drawHandles(dc);
  if (label_) {
    RECT area = boundingRect();
    label_->draw(dc, {(area.left + area.right) / 2, (area.top + area.bottom) / 2}, drawnTextColor(),
                 TextDrawing::kAlignCentre);
  }
}

Color Shape::drawnTextColor() const {
  if (textColor_ != presetTextColor_ || contrast(textColor_, fillColor_) >= kReadableContrast) return textColor_;
  return contrast(kBlackText, fillColor_) >= contrast(kWhiteText, fillColor_) ? kBlackText : kWhiteText;
}

void Shape::setRect(const RECT& r) {
  invalidate();
  rect_ = clampRect(r);
  invalidate();
}

RECT Shape::invalidRect() const {
  RECT r = VisualGraphic::invalidRect();
  if (!label_) return r;
  // A label that overflows its shape is repainted with it.
  if (std::int32_t excess = label_->width() - widthOf(rect_); excess > 0) {
    r.left -= excess / 2 + 3;
    r.right += excess / 2 + 3;
  }
  if (std::int32_t excess = label_->height() - heightOf(rect_); excess > 0) {
    r.top -= excess / 2 + 3;
    r.bottom += excess / 2 + 3;
  }
  return r;
}

RECT Shape::boundingRect() const { return inflateRect(rect_, -5); }

unsigned Shape::hitTest(const POINT& p) const {
  if (!pointInRect(rect_, p)) return 0;
  if (unsigned handle = hitHandle(p)) return handle;
  if (!outlineContains(p)) return 0;
  return zoneCode(rect_, p);
}

void Shape::copyAttributes(const VisualGraphic& other) {
  VisualGraphic::copyAttributes(other);
  if (auto* shape = dynamic_cast<const Shape*>(&other)) {
    setRect(shape->rect_);
    setLabel(shape->getLabel());
  }
}

POINT Shape::attachPoint(unsigned side) const { return sidePoint(rect_, side); }

POINT Shape::outlinePointToward(const POINT& from) const { return rectEdgeToward(rect_, from); }

void Shape::copyLooks(const Shape& other) {
  setRect(other.rect_);
  setFillColor(other.fillColor_);
  setBorderColor(other.borderColor_);
  setTextColor(other.textColor_);
}

void Shape::drawOutline(DrawingContext& dc) { dc.rectangle(rect_, fillColor_, borderColor_); }

RECT Shape::sizeForLabel(std::int32_t width, std::int32_t height) {
  setRect({rect_.left, rect_.top, rect_.left + width + 10, rect_.top + height + 10});
  return rect_;
}

const char* Shape::getLabel() const { return label_ ? label_->text().c_str() : nullptr; }

void Shape::setLabel(const char* text) {
  invalidate();
  if (!text)
    label_.reset();
  else if (label_)
    label_->setText(text);
  else
    label_ = std::make_unique<TextDrawing>(text);
  invalidate();
}

namespace {

// The side of a handle in map units: the same size on the screen at any zoom. Zoomed out,
// a handle grows in map units, but never past half the shape, so it stays inside it.
std::int32_t handleSide(const RECT& r) {
  const std::int32_t s = unitsForPixels(Shape::kHandleSize);
  if (s <= Shape::kHandleSize) return s;
  const std::int64_t half = std::min(std::int64_t{r.right} - r.left, std::int64_t{r.bottom} - r.top) / 2;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(half, Shape::kHandleSize, s));
}

}  // namespace

unsigned Shape::hitHandle(const POINT& p) const {
  if (!isHighlighted() || !pointInRect(rect_, p)) return 0;
  const std::int32_t side = handleSide(rect_);
  unsigned horizontal = 0, vertical = 0;
  if (p.x <= rect_.left + side)
    horizontal = kSideLeft;
  else if (p.x >= rect_.right - side)
    horizontal = kSideRight;
  if (p.y <= rect_.top + side)
    vertical = kSideTop;
  else if (p.y >= rect_.bottom - side)
    vertical = kSideBottom;
  return horizontal && vertical ? kHitHandle | horizontal | vertical : 0;
}

void Shape::drawHandles(DrawingContext& dc) {
  const RECT& r = rect_;
  const std::int32_t s = handleSide(r);
  for (const RECT& handle : {RECT{r.left, r.top, r.left + s, r.top + s}, RECT{r.right - s, r.top, r.right, r.top + s},
                             RECT{r.right - s, r.bottom - s, r.right, r.bottom},
                             RECT{r.left, r.bottom - s, r.left + s, r.bottom}})
    dc.rectangle(handle, kBlack, kBlack);
}

void Shape::setFillColor(Color c) {
  fillColor_ = c;
  invalidate();
}

void Shape::setBorderColor(Color c) {
  borderColor_ = c;
  invalidate();
}

void Shape::setTextColor(Color c) {
  textColor_ = c;
  invalidate();
}

void EllipseShape::drawOutline(DrawingContext& dc) { dc.ellipse(getRect(), fillColor(), borderColor()); }

RECT EllipseShape::boundingRect() const {
  // The largest rectangle inside the ellipse has its corners 14.65% in from each side.
  RECT r = getRect();
  std::int32_t dx = fraction(0.1465, widthOf(r)), dy = fraction(0.1465, heightOf(r));
  return {r.left + dx, r.top + dy, r.right - dx, r.bottom - dy};
}

RECT EllipseShape::sizeForLabel(std::int32_t width, std::int32_t height) {
  RECT r = getRect();
  setRect({r.left, r.top, r.left + fraction(1.4142, width) + 5, r.top + fraction(1.4142, height) + 5});
  return getRect();
}

POINT EllipseShape::attachPoint(unsigned side) const {
  if (!isCorner(side)) return Shape::attachPoint(side);
  RECT r = getRect();
  std::int32_t dx = fraction(0.146, widthOf(r)), dy = fraction(0.146, heightOf(r));
  return {side & kSideLeft ? r.left + dx : r.right - dx, side & kSideBottom ? r.bottom - dy : r.top + dy};
}

bool EllipseShape::outlineContains(const POINT& p) const { return pointInEllipse(getRect(), p); }

POINT EllipseShape::outlinePointToward(const POINT& from) const { return ellipseEdgeToward(getRect(), from); }

POINT RoundRectShape::outlinePointToward(const POINT& from) const {
  return roundRectEdgeToward(getRect(), cornerWidth(), cornerHeight(), from);
}

std::int32_t RoundRectShape::cornerWidth() const {
  std::int32_t w = widthOf(getRect());
  return w < 30 ? w / 2 : 15;
}

std::int32_t RoundRectShape::cornerHeight() const {
  std::int32_t h = heightOf(getRect());
  return h < 30 ? h / 2 : 15;
}

void RoundRectShape::drawOutline(DrawingContext& dc) {
  dc.roundRect(getRect(), cornerWidth(), cornerHeight(), fillColor(), borderColor());
}

RECT RoundRectShape::boundingRect() const {
  RECT r = getRect();
  std::int32_t w = widthOf(r), h = heightOf(r);
  std::int32_t dx = w >= 30 ? 3 : w / 8, dy = h >= 30 ? 3 : h / 8;
  return {r.left + dx, r.top + dy, r.right - dx, r.bottom - dy};
}

RECT RoundRectShape::sizeForLabel(std::int32_t width, std::int32_t height) {
  RECT r = getRect();
  setRect({r.left, r.top, r.left + width + 15, r.top + height + 15});
  return getRect();
}

POINT RoundRectShape::attachPoint(unsigned side) const {
  POINT p = Shape::attachPoint(side);
  if (!isCorner(side)) return p;
  std::int32_t dx = fraction(0.146, cornerWidth()), dy = fraction(0.146, cornerHeight());
  p.x += side & kSideLeft ? dx : -dx;
  p.y += side & kSideBottom ? -dy : dy;
  return p;
}

bool RoundRectShape::outlineContains(const POINT& p) const {
  return pointInRoundRect(getRect(), cornerWidth(), cornerHeight(), p);
}

RECT NullShape::sizeForLabel(std::int32_t width, std::int32_t height) {
  RECT r = getRect();
  setRect({r.left, r.top, r.left + width, r.top + height});
  return getRect();
}
