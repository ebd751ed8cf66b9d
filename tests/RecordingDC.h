// A drawing context for tests: records every call and measures text with fixed metrics.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/DrawingContext.h"

/// Records each call with its geometry and colours, and measures text exactly:
/// every character (a UTF-8 code point, not a byte) is `charWidth` pixels wide
/// (8 unless a test changes it) and every line `lineHeight` pixels high (16),
/// so a text of n characters measures n·charWidth × lineHeight, and the empty
/// text 0 × lineHeight. Nothing is painted.
class RecordingDC : public DrawingContext {
 public:
  static constexpr std::int32_t kCharWidth = 8;
  static constexpr std::int32_t kLineHeight = 16;

  /// One call. `op` is the operation's name ("rectangle", "ellipse",
  /// "roundRect", "polygon", "line", "textExtent", "textOut", "setTextColor",
  /// "setCopyPen", "setTransparentBackground"); the other members hold what
  /// that operation was given: the rectangle of the first three, the points of
  /// a polygon or line (from, to) or the (x, y) of textOut, the text of the
  /// text operations and the colour of setTextColor.
  struct Call {
    std::string op;
    RECT rect{};
    std::vector<POINT> points{};
    OptionalColor fill{};
    OptionalColor pen{};
    std::int32_t cornerWidth = 0;  // of roundRect (its corner height is not recorded)
    std::string text{};
    Color color = 0;
  };

  void rectangle(const RECT& r, OptionalColor fill, OptionalColor pen) override;
  void ellipse(const RECT& bounds, OptionalColor fill, OptionalColor pen) override;
  void roundRect(const RECT& bounds, std::int32_t cornerWidth, std::int32_t cornerHeight, OptionalColor fill,
                 OptionalColor pen) override;
  void polygon(std::span<const POINT> points, OptionalColor fill, OptionalColor pen) override;
  void line(const POINT& from, const POINT& to, OptionalColor pen) override;
  /// Fails with `extentError` (extent 0 × 0) when it is not 0.
  int textExtent(std::string_view text, TextExtent& extent) override;
  /// Fails when `failTextOut` is set (the call is still recorded).
  bool textOut(std::int32_t x, std::int32_t y, std::string_view text) override;
  void setTextColor(Color c) override;
  void setCopyPen() override { calls.push_back({.op = "setCopyPen"}); }
  void setTransparentBackground() override { calls.push_back({.op = "setTransparentBackground"}); }

  /// The calls of one operation, in order.
  std::vector<Call> callsOf(std::string_view op) const;
  /// The names of the calls in order, leaving out text measurement.
  std::vector<std::string> drawingOps() const;
  /// The number of characters in UTF-8 text.
  static std::int32_t characters(std::string_view utf8);

  std::vector<Call> calls;
  std::int32_t charWidth = kCharWidth;
  std::int32_t lineHeight = kLineHeight;
  int extentError = 0;
  bool failTextOut = false;
};
