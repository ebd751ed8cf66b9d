// The recording drawing context of the tests.
#include "tests/RecordingDC.h"

void RecordingDC::rectangle(const RECT& r, OptionalColor fill, OptionalColor pen) {
  calls.push_back({.op = "rectangle", .rect = r, .fill = fill, .pen = pen});
}

void RecordingDC::ellipse(const RECT& bounds, OptionalColor fill, OptionalColor pen) {
  calls.push_back({.op = "ellipse", .rect = bounds, .fill = fill, .pen = pen});
}

void RecordingDC::roundRect(const RECT& bounds, std::int32_t cornerWidth, std::int32_t, OptionalColor fill,
                            OptionalColor pen) {
  calls.push_back({.op = "roundRect", .rect = bounds, .fill = fill, .pen = pen, .cornerWidth = cornerWidth});
}

void RecordingDC::polygon(std::span<const POINT> points, OptionalColor fill, OptionalColor pen) {
  calls.push_back({.op = "polygon", .points = {points.begin(), points.end()}, .fill = fill, .pen = pen});
}

void RecordingDC::line(const POINT& from, const POINT& to, OptionalColor pen) {
  calls.push_back({.op = "line", .points = {from, to}, .pen = pen});
}

int RecordingDC::textExtent(std::string_view text, TextExtent& extent) {
  calls.push_back({.op = "textExtent", .text = std::string(text)});
  if (extentError) {
    extent = {};
    return extentError;
  }
  extent = {characters(text) * charWidth, lineHeight};
  return 0;
}

bool RecordingDC::textOut(std::int32_t x, std::int32_t y, std::string_view text) {
  calls.push_back({.op = "textOut", .points = {{x, y}}, .text = std::string(text)});
  return !failTextOut;
}

void RecordingDC::setTextColor(Color c) { calls.push_back({.op = "setTextColor", .color = c}); }

std::vector<RecordingDC::Call> RecordingDC::callsOf(std::string_view op) const {
  std::vector<Call> out;
  for (const Call& c : calls)
    if (c.op == op) out.push_back(c);
  return out;
}

std::vector<std::string> RecordingDC::drawingOps() const {
  std::vector<std::string> out;
  for (const Call& c : calls)
    if (c.op != "textExtent") out.push_back(c.op);
  return out;
}

std::int32_t RecordingDC::characters(std::string_view utf8) {
  std::int32_t n = 0;
  for (unsigned char byte : utf8)
    if ((byte & 0xC0) != 0x80) ++n;  // continuation bytes belong to the character before
  return n;
}
