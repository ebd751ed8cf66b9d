// Label text: wrapping, line breaks and measuring.
#include "drawing/TextDrawing.h"

#include <gtest/gtest.h>

#include "tests/RecordingDC.h"
#include "tests/TestSupport.h"

namespace {

std::vector<std::string> linesOf(const TextDrawing& t) {
  std::vector<std::string> out;
  for (const auto& line : t.lines()) out.push_back(line.text);
  return out;
}

}  // namespace

// Laying out a long label measures each line as it grows a word at a time, not the rest of the text
// again for every line: a 4,000-word label took minutes before.
TEST(TextDrawingTest, ALongLabelIsMeasuredAboutAsOftenAsItHasCharacters) {
  std::string text;
  for (int i = 0; i < 4000; ++i) text += (i ? " w" : "w") + std::to_string(i);
  RecordingDC dc;
  TextDrawing t(text);
  t.computeSize(dc);
  std::size_t measured = 0;
  for (const auto& call : dc.callsOf("textExtent")) measured += call.text.size();
  EXPECT_LT(measured, 200 * text.size());  // re-measuring the rest per line: over 10,000 times
  EXPECT_GT(t.lineCount(), 20);
}

// Each line is centred on the reference: "aaaa\nbb" lays out as "aaaa" (32 wide) over "bb" (16 wide),
// 32 × 32, in the colour given.
TEST(TextDrawingTest, DrawsEachLineCentredOnTheReference) {
  RecordingDC dc;
  TextDrawing("aaaa\nbb").draw(dc, {100, 50}, 0x0000FF, TextDrawing::kAlignCentre);
  const auto out = dc.callsOf("textOut");
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ((std::vector<POINT>{out[0].points[0], out[1].points[0]}), (std::vector<POINT>{{84, 34}, {92, 50}}));
  EXPECT_EQ(out[1].text, "bb");
  EXPECT_EQ(dc.callsOf("setTextColor")[0].color, 0x0000FFu);
}

// A failed measurement is reported and the layout goes on; so does drawing after a line that
// cannot be written.
TEST(TextDrawingTest, FailuresToMeasureOrWriteAreReportedAndWorkGoesOn) {
  RecordingReports reports;
  RecordingDC dc;
  dc.extentError = 1400;
  EXPECT_EQ(TextDrawing("abc def").computeSize(dc), (TextExtent{5, 10}));
  EXPECT_TRUE(reports.saw("Internal error... TextDrawing::computeSize: GetTextExtent call failed, error: 1400"));
  RecordingDC failing;
  failing.failTextOut = true;
  TextDrawing("aaaa\nbb").draw(failing, {0, 0}, 0, TextDrawing::kAlignCentre);
  EXPECT_EQ(failing.callsOf("textOut").size(), 2u);
  ASSERT_EQ(reports.shown.size(), 3u);
  EXPECT_EQ((std::string{char(reports.shown[1].severity), char(reports.shown[2].severity)}), "WW");
  EXPECT_TRUE(reports.saw("GraphicTextBlock::draw: failed"));
}

// A label takes as few lines as keep its block at most four times wider than high (8 × 16
// pixels a character here), never one word per line when fewer lines fit; a word wider than
// the share of a line stands alone, text without blanks stays on one line, characters are
// UTF-8 code points, a title keeps several words on a line, and line feeds always break.
TEST(TextDrawingTest, LinesBreakAtLineFeedsAndWrapAtBlanks) {
  struct Case {
    std::string text;
    float aspect;
    std::vector<std::string> lines;
    std::int32_t width = 0;  // 0: not checked
  } cases[] = {
      {"aaa bbb ccc ddd", TextDrawing::kShapeAspect, {"aaa bbb", "ccc ddd"}, 56},
      {"water vapour condenses into clouds", TextDrawing::kShapeAspect, {"water vapour", "condenses into", "clouds"}, 112},
      {"a b supercalifragilistic c", TextDrawing::kShapeAspect, {"a b", "supercalifragilistic", "c"}, 160},
      {std::string(300, 'x'), TextDrawing::kShapeAspect, {std::string(300, 'x')}, 2400},
      {"Größe Maß", TextDrawing::kShapeAspect, {"Größe", "Maß"}, 40},  // 9 characters in 12 bytes
      {"one two three four", TextDrawing::kTitleAspect, {"one two three four"}, 144},
      {"hello\r\nworld", TextDrawing::kShapeAspect, {"hello", "world"}},
      {"a b\n\nc", TextDrawing::kShapeAspect, {"a b", "", "c"}},
      {"one two\nthree four", TextDrawing::kTitleAspect, {"one two", "three four"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 30));
    RecordingDC dc;
    TextDrawing t(c.text, c.aspect);
    TextExtent size = t.computeSize(dc);
    EXPECT_EQ(linesOf(t), c.lines);
    EXPECT_EQ(size.height, 16 * static_cast<int>(c.lines.size()));
    if (c.width) {
      EXPECT_EQ(size.width, c.width);
    }
  }
}
