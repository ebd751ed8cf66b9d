// Word wrapping and writing of labels.
#include "drawing/TextDrawing.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

#include "drawing/ViewScale.h"
#include "support/ErrorReporter.h"

namespace {
// Lines lower than this many pixels on the screen are too small to read and are not written.
constexpr double kLegibleLineHeight = 4.0;

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
  // A line feed ends a line of its own (a carriage return before it goes with it);
  // within each paragraph lines wrap at blanks.
  std::vector<std::string_view> paragraphs;
  const std::string_view text = text_;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = std::min(text.find('\n', start), text.size());
    std::string_view p = text.substr(start, end - start);
    if (!p.empty() && p.back() == '\r') p.remove_suffix(1);
    paragraphs.push_back(p);
    if (end == text.size()) break;
    start = end + 1;
    if (start == text.size()) paragraphs.push_back({});  // a final line feed opens an empty line
  }

  // The width of all the text on one line, and the height of a line.
  std::int64_t lineHeight = 0;
  double width = 0;
  int error = 0;
  for (std::string_view p : paragraphs) {
    TextExtent e;
    if (int failed = dc.textExtent(p, e); failed && !error) error = failed;
    lineHeight = std::max<std::int64_t>(lineHeight, e.height);
    width += e.width;
  }
  if (error)
    reportError(nullptr, 'E', "Internal error... TextDrawing::computeSize: GetTextExtent call failed, error: %d",
                error);
  if (width * double(lineHeight) < 1) lineHeight = 10;

  // No line is narrower than the widest word, so that only blanks break lines.
  std::int32_t widestWord = 0;
  for (std::string_view p : paragraphs) {
    for (std::size_t start = 0; start < p.size();) {
      std::size_t end = std::min(p.find(kBlank, start), p.size());
      if (end > start) widestWord = std::max(widestWord, widthOf(dc, p.substr(start, end - start)));
      start = end + 1;
    }
  }

  // One layout: lines filled up to the wrap width, a word given back at a time.
  auto layOut = [&](std::int32_t wrapWidth) {
    if (wrapWidth % 2 != 0) ++wrapWidth;
    lines_.clear();
    // Short labels still get a block half a line high wide.
    width_ = static_cast<std::int32_t>(lineHeight / 2);
    lineCount_ = 0;
    for (std::string_view p : paragraphs) {
      if (p.empty()) {
        lines_.push_back({});
        ++lineCount_;
        continue;
      }
      for (std::size_t start = 0; start < p.size();) {
        // The longest run up to a blank (or the end) that fits; a blank at the very start
        // of the line cannot end it, and a first word wider than the wrap width stands
        // alone. Runs are measured growing a word at a time, so a long text costs no more
        // than its lines.
        std::string_view line;
        std::int32_t lineWidth = 0;
        for (std::size_t end = start + 1;; ++end) {
          end = std::min(p.find(kBlank, end), p.size());
          const std::string_view run = p.substr(start, end - start);
          const std::int32_t runWidth = widthOf(dc, run);
          if (runWidth > wrapWidth && !line.empty()) break;
          line = run;
          lineWidth = runWidth;
          if (runWidth > wrapWidth || end == p.size()) break;
        }
        width_ = std::max(width_, lineWidth);
        lines_.push_back({std::string(line), lineWidth});
        ++lineCount_;
        start += line.size();
        if (start < p.size() && p[start] == kBlank) ++start;
      }
    }
  };

  // As few lines as keep the block at most `aspect` times wider than high: the wrap
  // width shares the text out over one line, two, three... until the block fits.
  const double total = std::min(width, 1e9);
  const std::size_t words = std::max<std::size_t>(1, std::count(text.begin(), text.end(), kBlank) + paragraphs.size());
  // A block of L lines is at least total / L wide and L lines high, so fewer lines than
  // sqrt(total / (aspect · line height)) never fit: long texts start near there.
  const double least = std::sqrt(total / (std::max(aspect_, 0.01f) * double(std::max<std::int64_t>(lineHeight, 1))));
  const auto first = static_cast<std::size_t>(std::clamp(std::floor(least) - 1, 1.0, double(words)));
  for (std::size_t n = first;; ++n) {
    const auto share = static_cast<std::int32_t>(std::ceil(total / static_cast<double>(n)));
    layOut(std::max(widestWord, share));
    const double high = double(lineHeight) * std::max(lineCount_, 1);
    if (width_ <= aspect_ * high || n >= words || share <= widestWord) break;
  }
  height_ = static_cast<std::int32_t>(std::min<std::int64_t>(lineHeight * std::max(lineCount_, 1), INT32_MAX));
  return {width_, height_};
}

void TextDrawing::draw(DrawingContext& dc, const POINT& reference, Color color, Alignment alignment) {
  dc.setTextColor(color);
  dc.setCopyPen();
  dc.setTransparentBackground();
  if (!isMeasured()) computeSize(dc);
  const std::int32_t lineHeight = height_ / std::max(lineCount_, 1);
  // Zoomed far out, lines too small to read are not written: they would only cost time.
  if (lineHeight * viewPixelsPerUnit() < kLegibleLineHeight) return;
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
