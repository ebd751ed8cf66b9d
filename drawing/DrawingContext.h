// The surface every drawing primitive paints on: a handful of primitives, nothing composite.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "support/Geometry.h"

/// A colour as the map stores it: 0x00BBGGRR (0x000000FF is red, 0x00FF0000 blue).
using Color = std::uint32_t;

inline constexpr Color kBlack = 0x00000000;
inline constexpr Color kWhite = 0x00FFFFFF;

/// The colour made of the three intensities.
constexpr Color rgbColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return Color{red} | (Color{green} << 8) | (Color{blue} << 16);
}
constexpr std::uint8_t redOf(Color c) { return c & 0xFF; }
constexpr std::uint8_t greenOf(Color c) { return (c >> 8) & 0xFF; }
constexpr std::uint8_t blueOf(Color c) { return (c >> 16) & 0xFF; }

/// A fill or pen colour; empty leaves the context's current brush or pen in use.
using OptionalColor = std::optional<Color>;

/// The size of a run of text in device pixels of the context's current font.
struct TextExtent {
  std::int32_t width = 0;
  std::int32_t height = 0;  ///< the height of one line of the font
  friend bool operator==(const TextExtent&, const TextExtent&) = default;
};

/// What a platform must offer for the map to be drawn on it.
///
/// Coordinates are map coordinates in pixels, x to the right and y downwards;
/// rectangles are left, top, right, bottom (right and bottom are coordinates,
/// not sizes). Pens are solid and one pixel wide. Text is UTF-8 and is
/// measured and written in the context's current font; a character is never
/// split. An implementation keeps no pointer to anything it is handed.
class DrawingContext {
 public:
  virtual ~DrawingContext() = default;

  /// Fills the rectangle with `fill` and outlines it with `pen`.
  virtual void rectangle(const RECT& r, OptionalColor fill, OptionalColor pen) = 0;
  /// Fills and outlines the ellipse inscribed in `bounds`.
  virtual void ellipse(const RECT& bounds, OptionalColor fill, OptionalColor pen) = 0;
  /// Fills and outlines a rectangle whose corners are quarters of a
  /// cornerWidth × cornerHeight ellipse.
  virtual void roundRect(const RECT& bounds, std::int32_t cornerWidth, std::int32_t cornerHeight,
                         OptionalColor fill, OptionalColor pen) = 0;
  /// Fills the closed polygon with alternate (even-odd) filling, so that an
  /// inner ring stays unfilled, and outlines it.
  virtual void polygon(std::span<const POINT> points, OptionalColor fill, OptionalColor pen) = 0;
  /// Draws the straight line between the two points.
  virtual void line(const POINT& from, const POINT& to, OptionalColor pen) = 0;
  /// Measures `text` as one line: its advance width and the line height of
  /// the current font. Answers 0, or the platform's error code when the
  /// extent cannot be measured (then `extent` holds what could be had).
  virtual int textExtent(std::string_view text, TextExtent& extent) = 0;
  /// Writes `text` as one line whose cell has its top-left corner at (x, y);
  /// answers false when it cannot be written.
  virtual bool textOut(std::int32_t x, std::int32_t y, std::string_view text) = 0;
  /// Makes `c` the colour of the text written from now on.
  virtual void setTextColor(Color c) = 0;
  /// Makes later drawing replace what lies below with the pen or brush colour.
  virtual void setCopyPen() = 0;
  /// Leaves the background behind written text as it is.
  virtual void setTransparentBackground() = 0;
};
