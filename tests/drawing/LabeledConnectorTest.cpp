// Connectors with a label at the centre: layout, hits and following the centre.
#include "drawing/LabeledConnector.h"

#include <gtest/gtest.h>

#include "tests/RecordingDC.h"
#include "tests/TestSupport.h"

namespace {

/// "AGNT" in an ellipse between (0, 50) and (100, 50); the label measures 32 × 16.
LabeledConnector agnt() {
  auto label = std::make_unique<EllipseShape>();
  label->setLabel("AGNT");
  LabeledConnector c(2, std::move(label));
  c.setTerminalPoint(0, {0, 50});
  c.setTerminalPoint(1, {100, 50});
  return c;
}

}  // namespace

// The label sizes itself on the centre, is drawn over the legs, answers hits before them,
// follows the centre and takes a new size for a new text at the next drawing.
TEST(LabeledConnectorTest, TheLabelSitsOnTheCentreAndIsDrawnAndHitOverTheLegs) {
  LabeledConnector c = agnt();
  RecordingDC dc;
  layOutAndDraw(c, dc);
  EXPECT_EQ(c.labelShape()->getRect(), (RECT{25, 37, 75, 64}));  // 50 × 27 around (50, 50)
  EXPECT_EQ(dc.drawingOps(), (std::vector<std::string>{"line", "line", "ellipse", "setTextColor", "setCopyPen",
                                                       "setTransparentBackground", "textOut"}));
  EXPECT_EQ(c.getRect(), (RECT{-3, 34, 103, 67}));
  EXPECT_EQ(c.hitTest({50, 45}), 0x14u);
  EXPECT_EQ(c.hitTest({10, 50}), 0x110u);
  c.setHighlighted(true);
  EXPECT_TRUE(c.labelShape()->isHighlighted());
  EXPECT_EQ(c.hitTest({27, 39}), 0x25u);
  EXPECT_EQ(c.hitTest({98, 50}), 0x260u);

  c.setCentre({60, 60});
  EXPECT_EQ(c.labelShape()->getRect(), (RECT{35, 47, 85, 74}));
  c.setLabel("BTWN-and-more");
  layOutAndDraw(c, dc);
  EXPECT_STREQ(c.getLabel(), "BTWN-and-more");
  RECT r = c.labelShape()->getRect();
  EXPECT_EQ(r.right - r.left, 152);
  EXPECT_EQ((r.left + r.right) / 2, 60);
}
