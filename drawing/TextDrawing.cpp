// Word wrapping and writing of labels.
#include "drawing/TextDrawing.h"

#include <algorithm>
#include <cmath>

#include "support/ErrorReporter.h"

namespace {

constexpr char kBlank = ' ';

// Width of a piece of text; a failed measurement counts with what it got, as the
// whole text's failure has already been reported.
std::int32_t widthOf(DrawingContext& dc, std::string_view text) {
  TextExtent e;
  dc.textExtent(text, e);
  return e.width;
}

}  // namespace

void TextDrawing::setText(std::string text) {
  text_ = std::move(text);
  resetSize();
}

void TextDrawing::setAspect(float aspect) {
  aspect_ = aspect;
  resetSize();
}

void TextDrawing::resetSize() {
  width_ = 0;
  height_ = 0;
  lineCount_ = 0;
  lines_.clear();
}

TextExtent TextDrawing::computeSize(DrawingContext& dc) {
  lines_.clear();
  const std::string_view text = text_;

  TextExtent whole;
  if (int error = dc.textExtent(text, whole))
    reportError(nullptr, 'E', "Internal error... TextDrawing::computeSize: GetTextExtent call failed, error: %d",
                error);
  std::int64_t lineHeight = whole.height;
  double area = double(whole.width) * double(lineHeight);
  if (area < 1) {
    lineHeight = 10;
    area = 10;
  }

  // The wrap width makes the block roughly `aspect` times wider than high, but
  // never narrower than its widest word, so that only blanks break lines.
  auto wrapWidth = static_cast<std::int32_t>(std::sqrt(area) * aspect_);
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = std::min(text.find(kBlank, start), text.size());
    if (end > start) wrapWidth = std::max(wrapWidth, widthOf(dc, text.substr(start, end - start)));
    start = end + 1;
  }
  if (wrapWidth % 2 != 0) ++wrapWidth;

  // Short labels still get a block half a line high wide.
  width_ = static_cast<std::int32_t>(lineHeight / 2);
  lineCount_ = 0;
  for (std::size_t start = 0; start < text.size();) {
    std::string_view line = text.substr(start);
    std::int32_t lineWidth = widthOf(dc, line);
    // Give back a word at a time. A blank at the very start of the line cannot
    // end it; when no blank is left the line keeps its first word, however wide.
    while (lineWidth > wrapWidth) {
      std::size_t blank = line.rfind(kBlank);
      if (blank == std::string_view::npos || blank == 0) break;
      line = line.substr(0, blank);
      lineWidth = widthOf(dc, line);
    }
    width_ = std::max(width_, lineWidth);
    lines_.push_back({std::string(line), lineWidth});
    ++lineCount_;
    start += line.size();
    if (start < text.size() && text[start] == kBlank) ++start;
  }
  height_ = static_cast<std::int32_t>(lineHeight * std::max(lineCount_, 1));
  return {width_, height_};
}

void TextDrawing::draw(DrawingContext& dc, const POINT& reference, Color color, Alignment alignment) {
  dc.setTextColor(color);
  dc.setCopyPen();
  dc.setTransparentBackground();
  if (!isMeasured()) computeSize(dc);
  const std::int32_t lineHeight = height_ / std::max(lineCount_, 1);
  const std::int32_t top = reference.y - height_ / 2;
  const std::int32_t left = reference.x - width_ / 2;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const TextLine& line = lines_[i];
    std::int32_t x = alignment == kAlignLeft    ? left
                     : alignment == kAlignRight ? left + (width_ - line.width)
                                                : reference.x - line.width / 2;
    std::int32_t y = top + static_cast<std::int32_t>(i) * lineHeight;
    if (!dc.textOut(x, y, line.text)) reportError(nullptr, 'W', "GraphicTextBlock::draw: failed");
  }
}
