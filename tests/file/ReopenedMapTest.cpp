// A map edited by gestures, saved and read again, is laid out exactly as it was shown.
#include <sstream>

#include "file/MapFile.h"
#include "model/CMap.h"
#include "tests/MapFixture.h"

namespace {

using ReopenedMap = MapFixture;

// The map as drawn: every call with its rectangle, its points and its text.
std::vector<std::string> drawing(CMap& m) {
  RecordingDC dc;
  m.layOutAll(dc);
  dc.calls.clear();
  m.draw(dc);
  std::vector<std::string> out;
  for (const RecordingDC::Call& c : dc.calls) {
    std::ostringstream call;
    call << c.op << ' ' << c.rect.left << ' ' << c.rect.top << ' ' << c.rect.right << ' ' << c.rect.bottom;
    for (const POINT& p : c.points) call << ' ' << p.x << ',' << p.y;
    out.push_back(call.str() + ' ' + c.text);
  }
  return out;
}

TEST_F(ReopenedMap, ElementsMovedHookedAndUnhookedComeBackWhereTheyWereShown) {
  ContextBox* sky = context({280, -40, 500, 140});
  sky->setLabel("sky");  // its title strip is measured when it is laid out
  Node* a = node({0, 0, 81, 41}, "water", "Ellipse");
  Node* b = node({300, 0, 381, 41}, "cloud");
  Node* c = node({150, 200, 231, 241}, "rain", "RoundRect");
  SMaplet* ab = arc(a, b, "Directed");
  SMaplet* loose = arc(b, nullptr, "Directed");  // one end floats beside
  arc(ab, c, "Directed");                         // hooked to a maplet's centre
  SMaplet* three = arc(a, b, "Trinary Undirected");
  three->setConnection(2, c);
  RecordingDC dc;
  map.layOutAll(dc);

  drag({340, 20}, {400, 90});  // a node, with its maplets following
  map.setAllHighlighted(false);
  ab->setHighlighted(true);
  drag(ab->centre(), {ab->centre().x, ab->centre().y - 50});  // the centre by hand
  map.setAllHighlighted(false);
  loose->setHighlighted(true);
  drag(loose->centre(), {loose->centre().x + 30, loose->centre().y + 30});
  map.setAllHighlighted(false);

  const std::vector<std::string> shown = drawing(map);
  std::ostringstream saved;
  writeMapFile(map, saved, 0);
  CMap reopened;
  std::istringstream in(saved.str());
  ASSERT_TRUE(init(reopened, in, "water.CM"));
  EXPECT_EQ(drawing(reopened), shown);
}

}  // namespace
