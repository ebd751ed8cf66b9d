// The label of a shape: its text, its word-wrapped layout and how it is written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "drawing/DrawingContext.h"
#include "support/Geometry.h"

/// A block of text laid out on as few lines as keep it within its aspect (the widest it
/// may be for its height), breaking at blanks and line feeds.
class TextDrawing {
 public:
  /// How lines sit relative to each other.
  enum Alignment : int { kAlignLeft = 0, kAlignRight = 1, kAlignCentre = 2 };

  /// The widest a label's block may be for its height (a shape's label about 4:1), and
  /// that of a frame's one-line title.
  static constexpr float kShapeAspect = 4.0f;
  static constexpr float kTitleAspect = 100.0f;

  /// One laid-out line and its measured width.
  struct TextLine {
    std::string text;
    std::int32_t width = 0;
  };

  explicit TextDrawing(std::string text = {}, float aspect = kShapeAspect)
      : text_(std::move(text)), aspect_(aspect) {}

  const std::string& text() const { return text_; }
  /// Replaces the text; the size must be measured again.
  void setText(std::string text);
  float aspect() const { return aspect_; }
  /// Changes the bias of the layout; the size must be measured again.
  void setAspect(float aspect);
  /// Forgets the measured size and layout, so that the next use measures anew.
  void resetSize();

  /// True once the text has been laid out on a context.
  bool isMeasured() const { return width_ != 0; }
  std::int32_t width() const { return width_; }
  std::int32_t height() const { return height_; }
  std::int32_t lineCount() const { return lineCount_; }
  const std::vector<TextLine>& lines() const { return lines_; }

  /// Wraps the text at blanks on `dc` and answers the size of the block.
  /// A failed measurement is reported and layout goes on with what it got.
  TextExtent computeSize(DrawingContext& dc);
  /// Writes the lines in `color`, the block centred on `reference`, each line
  /// placed by `alignment`; measures first when needed.
  void draw(DrawingContext& dc, const POINT& reference, Color color, Alignment alignment);

 private:
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::int32_t lineCount_ = 0;
  std::string text_;
  float aspect_ = kShapeAspect;
  std::vector<TextLine> lines_;
};
