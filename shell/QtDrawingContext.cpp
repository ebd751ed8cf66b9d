// Map drawing on a QPainter: colours converted at the boundary, text measured in the label font.
#include "shell/QtDrawingContext.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <QString>

QColor toQColor(Color c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }

Color fromQColor(const QColor& c) {
  return rgbColor(static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
                  static_cast<std::uint8_t>(c.blue()));
}

QFont labelFont() {
  // Sized in pixels, so that a label measures the same in a window and in an exported picture.
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(12);
  return font;
}

namespace {

QString utf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// A rectangle from its corners: right and bottom are coordinates, and the outline runs
// just inside them as a one-pixel pen does on the map's reference surface.
QRect boxOf(const RECT& r) {
  auto side = [](std::int32_t from, std::int32_t to) {
    return static_cast<int>(std::clamp<std::int64_t>(std::int64_t{to} - from - 1, -1, INT_MAX));
  };
  return QRect(r.left, r.top, side(r.left, r.right), side(r.top, r.bottom));
}

}  // namespace

QtDrawingContext::QtDrawingContext(QPainter& painter)
    : painter_(painter), penColor_(Qt::black), brushColor_(Qt::white), textColor_(Qt::black) {
  painter_.setFont(labelFont());
  painter_.setBackgroundMode(Qt::OpaqueMode);
  painter_.setBackground(Qt::white);
}

void QtDrawingContext::use(OptionalColor fill, OptionalColor pen) {
  if (fill) brushColor_ = toQColor(*fill);
  if (pen) penColor_ = toQColor(*pen);
  painter_.setBrush(brushColor_);
  painter_.setPen(QPen(penColor_, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
}

void QtDrawingContext::rectangle(const RECT& r, OptionalColor fill, OptionalColor pen) {
  use(fill, pen);
  painter_.drawRect(boxOf(r));
}

void QtDrawingContext::ellipse(const RECT& bounds, OptionalColor fill, OptionalColor pen) {
  use(fill, pen);
  painter_.drawEllipse(boxOf(bounds));
}

void QtDrawingContext::roundRect(const RECT& bounds, std::int32_t cornerWidth, std::int32_t cornerHeight,
                                 OptionalColor fill, OptionalColor pen) {
  use(fill, pen);
  // The corners are quarters of a cornerWidth x cornerHeight ellipse: radii are halves.
  painter_.drawRoundedRect(boxOf(bounds), cornerWidth / 2.0, cornerHeight / 2.0, Qt::AbsoluteSize);
}

void QtDrawingContext::polygon(std::span<const POINT> points, OptionalColor fill, OptionalColor pen) {
  use(fill, pen);
  QPolygon shape;
  shape.reserve(static_cast<qsizetype>(points.size()));
  for (const POINT& p : points) shape << QPoint(p.x, p.y);
  painter_.drawPolygon(shape, Qt::OddEvenFill);
}

void QtDrawingContext::line(const POINT& from, const POINT& to, OptionalColor pen) {
  use(std::nullopt, pen);
  painter_.drawLine(QPoint(from.x, from.y), QPoint(to.x, to.y));
}

int QtDrawingContext::textExtent(std::string_view text, TextExtent& extent) {
  const QFontMetrics metrics(painter_.font());
  extent.width = metrics.horizontalAdvance(utf8(text));
  extent.height = metrics.height();
  return 0;
}

bool QtDrawingContext::textOut(std::int32_t x, std::int32_t y, std::string_view text) {
  const QFontMetrics metrics(painter_.font());
  painter_.setPen(textColor_);
  // The text cell's top-left corner is given; Qt places text by its baseline.
  painter_.drawText(QPoint(x, y + metrics.ascent()), utf8(text));
  painter_.setPen(QPen(penColor_, 1));
  return true;
}

void QtDrawingContext::setTextColor(Color c) { textColor_ = toQColor(c); }

void QtDrawingContext::setCopyPen() { painter_.setCompositionMode(QPainter::CompositionMode_SourceOver); }

void QtDrawingContext::setTransparentBackground() { painter_.setBackgroundMode(Qt::TransparentMode); }
