// A drawing context that paints nothing and measures text as the test context does, for timing the map alone.
#pragma once

#include <cstdint>
#include <string_view>

#include "drawing/DrawingContext.h"

/// Counts the primitives it is handed; text is 8 pixels a byte and 16 pixels a line.
class NullDC : public DrawingContext {
 public:
  void rectangle(const RECT&, OptionalColor, OptionalColor) override { ++primitives; }
  void ellipse(const RECT&, OptionalColor, OptionalColor) override { ++primitives; }
  void roundRect(const RECT&, std::int32_t, std::int32_t, OptionalColor, OptionalColor) override { ++primitives; }
  void polygon(std::span<const POINT>, OptionalColor, OptionalColor) override { ++primitives; }
  void line(const POINT&, const POINT&, OptionalColor) override { ++primitives; }
  int textExtent(std::string_view text, TextExtent& extent) override {
    extent = {static_cast<std::int32_t>(text.size()) * 8, 16};
    return 0;
  }
  bool textOut(std::int32_t, std::int32_t, std::string_view) override {
    ++primitives;
    return true;
  }
  void setTextColor(Color) override {}
  void setCopyPen() override {}
  void setTransparentBackground() override {}

  std::uint64_t primitives = 0;
};
