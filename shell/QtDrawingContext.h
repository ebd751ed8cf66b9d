// The drawing surface of the map on a QPainter: windows, pictures, SVG and PDF alike.
#pragma once

#include <QColor>
#include <QFont>

#include "drawing/DrawingContext.h"

class QPainter;

/// The colour of a map colour value (0x00BBGGRR) for Qt.
QColor toQColor(Color c);
/// The map colour value of a Qt colour.
Color fromQColor(const QColor& c);
/// The font labels are measured and written in, the same on screen and in pictures.
QFont labelFont();

/// Draws on a painter the caller owns and keeps alive while this context is used.
/// The painter's pen, brush and font are changed; the caller saves them if it cares.
class QtDrawingContext : public DrawingContext {
 public:
  /// Draws with `painter`, starting with a black pen, a white brush, black text and labelFont().
  explicit QtDrawingContext(QPainter& painter);

  void rectangle(const RECT& r, OptionalColor fill, OptionalColor pen) override;
  void ellipse(const RECT& bounds, OptionalColor fill, OptionalColor pen) override;
  void roundRect(const RECT& bounds, std::int32_t cornerWidth, std::int32_t cornerHeight, OptionalColor fill,
                 OptionalColor pen) override;
  void polygon(std::span<const POINT> points, OptionalColor fill, OptionalColor pen) override;
  void line(const POINT& from, const POINT& to, OptionalColor pen) override;
  int textExtent(std::string_view text, TextExtent& extent) override;
  bool textOut(std::int32_t x, std::int32_t y, std::string_view text) override;
  void setTextColor(Color c) override;
  void setCopyPen() override;
  void setTransparentBackground() override;

 private:
  void use(OptionalColor fill, OptionalColor pen);

  QPainter& painter_;
  QColor penColor_;
  QColor brushColor_;
  QColor textColor_;
};
