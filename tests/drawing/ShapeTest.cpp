// Shapes: automatic size, fixed size and drawing by kind; the context frame's band and hits.
#include "drawing/Shape.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "drawing/FrameShape.h"
#include "tests/RecordingDC.h"
#include "tests/TestSupport.h"

namespace {

/// A root that also records which members said they changed.
class ChangeRecordingRoot : public TestRoot {
 public:
  void memberChanged(std::uint32_t id) override { changed.push_back(id); }
  std::vector<std::uint32_t> changed;
};

using ShapeMaker = std::function<std::unique_ptr<Shape>(RECT)>;

template <class S>
ShapeMaker maker() {
  return [](RECT r) -> std::unique_ptr<Shape> { return std::make_unique<S>(r); };
}

/// A highlighted 100 × 50 shape at the origin.
std::unique_ptr<Shape> selected(const ShapeMaker& make) {
  auto s = make({0, 0, 100, 50});
  s->setHighlighted(true);
  return s;
}

}  // namespace

TEST(ShapeTest, AnEmptyShapeWithoutLabelIsDrawn40By30FromItsCorner) {
  ChangeRecordingRoot root;
  auto* s = addTo(root, std::make_unique<RectangleShape>(RECT{10, 20, 10, 20}));
  RecordingDC dc;
  layOutAndDraw(*s, dc);
  EXPECT_EQ(s->getRect(), (RECT{10, 20, 50, 50}));
  EXPECT_EQ(root.changed, std::vector<std::uint32_t>{s->id()});
  EXPECT_EQ(root.invalidated.back(), (RECT{7, 17, 53, 53}));
}

TEST(ShapeTest, AutomaticSizeFitsTheLabelByKind) {
  // The label "abcdefghij" measures 100 × 20 with 10-pixel characters and 20-pixel lines.
  struct Case {
    const char* kind;
    ShapeMaker make;
    RECT expected;
  };
  for (const Case& c : {Case{"rectangle", maker<RectangleShape>(), {5, 5, 115, 35}},
                        Case{"ellipse", maker<EllipseShape>(), {5, 5, 151, 38}},
                        Case{"round", maker<RoundRectShape>(), {5, 5, 120, 40}},
                        Case{"null", maker<NullShape>(), {5, 5, 105, 25}},
                        Case{"frame", maker<FrameShape>(), {5, 5, 115, 35}}}) {
    auto s = c.make({5, 5, 5, 5});
    s->setLabel("abcdefghij");
    RecordingDC dc;
    dc.charWidth = 10;
    dc.lineHeight = 20;
    layOutAndDraw(*s, dc);
    EXPECT_EQ(s->getRect(), c.expected) << c.kind;
  }
}

TEST(ShapeTest, DrawsItsOutlineInItsColoursByKind) {
  struct Case {
    ShapeMaker make;
    RECT rect;
    std::vector<std::string> ops;
    std::int32_t corner;
  };
  for (const Case& c : {Case{maker<RectangleShape>(), {0, 0, 40, 40}, {"rectangle"}, 0},
                        Case{maker<EllipseShape>(), {0, 0, 40, 40}, {"ellipse"}, 0},
                        Case{maker<RoundRectShape>(), {0, 0, 20, 40}, {"roundRect"}, 10},
                        Case{maker<RoundRectShape>(), {0, 0, 40, 40}, {"roundRect"}, 15},
                        Case{maker<NullShape>(), {0, 0, 40, 40}, {}, 0}}) {
    auto s = c.make(c.rect);
    s->setFillColor(0x0000FF);
    s->setBorderColor(0x00FF00);
    RecordingDC dc;
    layOutAndDraw(*s, dc);
    ASSERT_EQ(dc.drawingOps(), c.ops);
    if (c.ops.empty()) continue;
    const auto& call = dc.calls[0];
    const OptionalColor blue = 0x0000FF, green = 0x00FF00;
    EXPECT_EQ(std::tie(call.rect, call.fill, call.pen, call.cornerWidth), std::tie(c.rect, blue, green, c.corner));
  }
}

TEST(ShapeTest, ASelectedShapeShowsBlackHandlesInItsCornersAndHitsThemFirst) {
  auto s = selected(maker<RectangleShape>());
  RecordingDC dc;
  layOutAndDraw(*s, dc);
  auto rects = dc.callsOf("rectangle");
  ASSERT_EQ(rects.size(), 5u);
  EXPECT_EQ((std::vector<RECT>{rects[1].rect, rects[2].rect, rects[3].rect, rects[4].rect}),
            (std::vector<RECT>{{0, 0, 6, 6}, {94, 0, 100, 6}, {94, 44, 100, 50}, {0, 44, 6, 50}}));
  EXPECT_EQ(rects[4].fill, kBlack);
  // Hits find the handles first (the zones are the graphic's); unselected, the corners are zones again.
  for (const auto& [p, code] : std::vector<std::pair<POINT, unsigned>>{
           {{3, 2}, 0x25}, {{97, 48}, 0x2A}, {{97, 2}, 0x26}, {{3, 48}, 0x29}}) {
    EXPECT_EQ(s->hitTest(p), code) << p.x << "," << p.y;
  }
  s->setHighlighted(false);
  EXPECT_EQ(s->hitTest({3, 2}), 0x14u);
  // Ellipses and rounded rectangles are hit inside their outline only, but the handles of a
  // selected ellipse stay in the corners of its rectangle.
  for (const ShapeMaker& make : {maker<EllipseShape>(), maker<RoundRectShape>()}) {
    auto round = make({0, 0, 100, 50});
    EXPECT_EQ((std::vector<unsigned>{round->hitTest({1, 1}), round->hitTest({50, 1}), round->hitTest({50, 25})}),
              (std::vector<unsigned>{0, 0x14, 0x10}));
  }
  EXPECT_EQ(selected(maker<EllipseShape>())->hitTest({1, 1}), 0x25u);
}

// The label is written centred in the label area, in the text colour; a colour left as the
// kind's own is drawn readably on the fill, one chosen by the user is kept, however it reads.
TEST(ShapeTest, TheLabelIsWrittenCentredReadablyOnItsFill) {
  struct Case {
    Color fill, presetText, setText, drawn;
  };
  const Color blue = 0x00FF0000, red = 0x000000FF, yellow = 0x0000FFFF, white = 0x00FFFFFF;
  for (const Case& c : {Case{blue, kBlack, kBlack, white},     // black on pure blue turns white
                        Case{red, yellow, yellow, kBlack},     // yellow on red turns black
                        Case{white, kBlack, kBlack, kBlack},   // readable: kept
                        Case{blue, kBlack, 0x00FF0080, 0x00FF0080}}) {  // chosen: kept, however it reads
    EllipseShape s({0, 0, 100, 60}, c.fill, kBlack, c.presetText);
    s.setTextColor(c.setText);
    s.setLabel("ab");
    std::unique_ptr<Shape> copy(s.clone());
    RecordingDC dc;
    layOutAndDraw(*copy, dc);
    SCOPED_TRACE(testing::Message() << std::hex << c.fill << " " << c.setText);
    EXPECT_EQ(dc.callsOf("setTextColor").at(0).color, c.drawn);
    EXPECT_EQ(copy->textColor(), c.setText);  // what is stored and saved stays as set
    const auto out = dc.callsOf("textOut");
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].points[0], (POINT{42, 22}));  // centre (50, 30) less half of 16 × 16
  }
}

TEST(ShapeTest, AttachPointsByKindAndSide) {
  const RECT r{0, 0, 100, 50};
  const std::vector<std::tuple<const char*, ShapeMaker, std::vector<std::pair<unsigned, POINT>>>> cases = {
      {"rect", maker<RectangleShape>(),
       {{kSideLeft, {0, 25}}, {kSideBottom, {50, 50}}, {kSideRight | kSideBottom, {100, 50}}}},
      {"null", maker<NullShape>(), {{kSideRight | kSideTop, {100, 0}}}},
      {"frame", maker<FrameShape>(), {{kSideLeft | kSideBottom, {0, 50}}}},
      {"ellipse", maker<EllipseShape>(),
       {{kSideTop, {50, 0}}, {kSideLeft | kSideTop, {14, 7}}}},
      {"round", maker<RoundRectShape>(),
       {{kSideRight, {100, 25}}, {kSideLeft | kSideTop, {2, 2}}}},
  };
  for (const auto& [kind, make, sides] : cases)
    for (const auto& [side, expected] : sides) EXPECT_EQ(make(r)->attachPoint(side), expected) << kind << " side " << side;
}

TEST(ShapeTest, TheRepaintAreaCoversALabelOverflowingItsShape) {
  RectangleShape s({0, 0, 40, 10});
  s.setLabel("abcdefghij");
  RecordingDC dc;
  dc.charWidth = 10;
  dc.lineHeight = 20;
  EXPECT_EQ(s.invalidRect(), (RECT{-3, -3, 43, 13}));  // not measured yet
  layOutAndDraw(s, dc);                                           // 100 × 20 on a 40 × 10 shape
  EXPECT_EQ(s.invalidRect(), (RECT{-36, -11, 76, 21}));
  EXPECT_EQ(s.getRect(), (RECT{0, 0, 40, 10})) << "a shape of fixed size keeps it";
}

TEST(FrameShapeTest, DrawsABandAroundAHollowInsideAsOnePolygonThatTheInsideDoesNotHit) {
  FrameShape f({0, 0, 100, 80}, 0x0000FF, 0x00FF00);
  RecordingDC dc;
  layOutAndDraw(f, dc);
  auto polygons = dc.callsOf("polygon");
  ASSERT_EQ(polygons.size(), 1u);
  // Without a title the inside is (4, 3, 96, 76).
  EXPECT_EQ(polygons[0].points, (std::vector<POINT>{{0, 80}, {0, 0}, {100, 0}, {100, 80}, {4, 80},
                                                    {4, 3}, {96, 3}, {96, 76}, {4, 76}, {4, 80}}));
  EXPECT_EQ(polygons[0].fill, Color{0x0000FF});
  EXPECT_EQ(polygons[0].pen, Color{0x00FF00});
  for (const auto& [p, code] : std::vector<std::pair<POINT, unsigned>>{
           {{50, 40}, 0}, {{96, 76}, 0}, {{2, 40}, 0x11}, {{50, 1}, 0x14}, {{50, 78}, 0x18}}) {
    EXPECT_EQ(f.hitTest(p), code) << p.x << "," << p.y;  // the inner edge belongs to the inside
  }
}

