// Ids, stacking order, the id index (which answers as a plain multimap would), hit search and taking back deleted members.
#include "model/GraphicContainer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>
#include <random>
#include <sstream>

#include "commands/GraphicsFactory.h"
#include "model/GraphicObjectLocator.h"
#include "model/IdIndex.h"
#include "model/RootMap.h"
#include "tests/MapGenerator.h"
#include "tests/RecordingDC.h"
#include "tests/TestSupport.h"

namespace {

using Ids = std::vector<std::uint32_t>;

Ids order(const GraphicContainer& c) {
  Ids ids;
  for (Graphic* g : c) ids.push_back(g->id());
  return ids;
}

std::unique_ptr<Command> deletion(SensitiveGraphic& g) {
  return std::make_unique<CommandPtr1<SensitiveGraphic>>(GraphicObjectLocator(g), kCmdDelete, nullptr, nullptr);
}

// Members get ids in turn unless they bring one, and keep theirs when they move to another
// container; clearing starts again at 1.
TEST(GraphicContainer, GivesAndAdoptsIdsAndClearRestartsThem) {
  TestRoot root;
  for (int i = 0; i < 3; ++i) root.add(std::make_unique<TestVisual>());
  EXPECT_EQ(order(root), (Ids{1, 2, 3}));
  auto ten = std::make_unique<TestVisual>();
  ten->setId(10);
  TestVisual* g = ten.get();
  EXPECT_EQ(root.add(std::move(ten)), 10u);
  root.add(std::make_unique<TestVisual>());
  auto four = std::make_unique<TestVisual>();
  four->setId(4);
  root.add(std::move(four));
  EXPECT_EQ(order(root), (Ids{1, 2, 3, 10, 11, 4}));
  EXPECT_EQ(root.nextId(), 12u);
  EXPECT_EQ(root.add(nullptr), 0u);
  std::unique_ptr<Graphic> out = root.remove(*g);
  EXPECT_EQ(root.remove(*g), nullptr) << "no longer a member";
  TestRoot other;
  other.add(std::move(out));
  EXPECT_EQ(other[10], g);
  EXPECT_EQ(other.nextId(), 11u);
  root.clear();  // the sanitizers see that it destroys the members
  EXPECT_EQ(root.add(std::make_unique<TestVisual>()), 1u);
}

// Pop to front moves a member to the end of the order, and reports a stranger; lookup by id
// answers the first in list order.
TEST(GraphicContainer, PopToFrontAndLookupByIdFollowTheListOrder) {
  RecordingReports reports;
  TestRoot root;
  auto* a = addTo(root, std::make_unique<TestVisual>());
  auto* b = addTo(root, std::make_unique<TestVisual>());
  auto* c = addTo(root, std::make_unique<TestVisual>());
  EXPECT_EQ(root.popToFront(a), 0);
  EXPECT_EQ(order(root), (Ids{2, 3, 1}));
  TestVisual stranger;
  EXPECT_EQ(root.popToFront(&stranger), -1);
  EXPECT_TRUE(reports.saw("E: GraphicContainer::popToFront: can't find graphic"));
  b->setId(1);  // two members share id 1 now
  EXPECT_EQ(root[1], b);
  root.popToFront(b);
  EXPECT_EQ(root[1], a);
  root.remove(*a);
  EXPECT_EQ(root[3], c);
  EXPECT_THROW(root[0], Graphic::Exception);  // its text is the one a refused undo reports
}

TEST(GraphicContainer, HitSearchRunsFrontToBackAndContinues) {
  TestRoot root;
  auto* back = addTo(root, std::make_unique<TestElement>(RECT{0, 0, 20, 20}));
  addTo(root, std::make_unique<TestVisual>(RECT{0, 0, 20, 20}));  // not sensitive: never answered
  auto* front = addTo(root, std::make_unique<TestElement>(RECT{10, 10, 30, 30}));
  addTo(root, std::make_unique<TestElement>(RECT{100, 100, 110, 110}));
  GraphicContainer::Position pos;
  EXPECT_EQ(root.findSensitiveAt({15, 15}, &pos), front);
  EXPECT_EQ(root.findSensitiveAt({15, 15}, &pos), back);
  EXPECT_EQ(root.findSensitiveAt({15, 15}, &pos), nullptr);
  EXPECT_EQ(root.findSensitiveAt({5, 5}), back);
  root.setCaptured(front);
  EXPECT_EQ(root.findSensitiveAt({500, 500}), front);
  root.remove(*front);
  EXPECT_EQ(root.captured(), nullptr);
}

TEST(GraphicContainer, HighlightAllAndCopyWithFreshIds) {
  TestRoot root;
  auto* a = addTo(root, std::make_unique<TestVisual>(RECT{1, 1, 2, 2}));
  a->setId(40);
  auto* b = addTo(root, std::make_unique<TestVisual>(RECT{3, 3, 4, 4}));
  root.setAllHighlighted(true);
  EXPECT_TRUE(a->isHighlighted() && b->isHighlighted());
  TestRoot copy;
  static_cast<GraphicContainer&>(copy) = root;
  EXPECT_EQ(order(copy), (Ids{1, 2}));
  EXPECT_EQ(copy[1]->getRect(), (RECT{1, 1, 2, 2}));
  EXPECT_GE(copy.nextId(), 41u);
}

TEST(GraphicContainer, UndoOfDeleteBringsTheElementBackWhereItStood) {
  TestHistoryRoot root;
  auto* doomed = addTo(root, std::make_unique<TestElement>(RECT{0, 0, 10, 10}));
  addTo(root, std::make_unique<TestElement>());
  addTo(root, std::make_unique<TestElement>());
  EXPECT_EQ(root.execute(deletion(*doomed)), 0);
  EXPECT_EQ(order(root), (Ids{2, 3}));
  root.invalidated.clear();
  root.undo();
  EXPECT_EQ(order(root), (Ids{1, 2, 3}));
  EXPECT_EQ(root.invalidated, std::vector<RECT>{doomed->invalidRect()});
  // When the order changed meanwhile (not by a command), the place is gone: it comes back in front.
  root.execute(deletion(*doomed));
  root.popToFront(root.find(2));
  root.undo();
  EXPECT_EQ(order(root), (Ids{3, 2, 1}));
}

// A container without a history executes a DELETE itself and frees what the command held; a
// bad DELETE is reported when undone on the container's behalf.
TEST(GraphicContainer, DeletesWithoutAHistoryAndBadDeleteUndos) {
  RecordingReports reports;
  TestRoot root;
  auto* doomed = addTo(root, std::make_unique<TestElement>());
  EXPECT_EQ(root.submitCommand(deletion(*doomed)), 0);
  EXPECT_EQ(root.memberCount(), 0u);  // and the sanitizers see no leak of the deleted element
  CommandPtr1<SensitiveGraphic> empty(GraphicObjectLocator(&root), kCmdDelete, nullptr, nullptr);
  EXPECT_EQ(root.undoOnBehalf(&empty), -1);
  Command1<tagRECT> wrong(GraphicObjectLocator(&root), kCmdDelete, {}, {});
  EXPECT_EQ(root.undoOnBehalf(&wrong), -1);
  EXPECT_TRUE(reports.saw("E: GraphicContainer::undoOnBehalf: Bad DELETE command, type = Command1<tagRECT>"));
}

}  // namespace

// The extent of one recorded primitive, for deciding whether it shows in an area.
RECT extentOf(const RecordingDC::Call& c) {
  if (c.op == "rectangle" || c.op == "ellipse" || c.op == "roundRect") return c.rect;
  if (c.op == "textOut") {
    const POINT at = c.points.empty() ? POINT{} : c.points.front();
    return {at.x, at.y, at.x + RecordingDC::kCharWidth * RecordingDC::characters(c.text), at.y + RecordingDC::kLineHeight};
  }
  RECT r{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (const POINT& p : c.points) r = {std::min(r.left, p.x), std::min(r.top, p.y), std::max(r.right, p.x),
                                       std::max(r.bottom, p.y)};
  return r;
}

// What shows in the area: the painting calls meeting it, in order, with their text and colours.
std::vector<std::string> visibleIn(const RecordingDC& dc, const RECT& area) {
  std::vector<std::string> out;
  for (const auto& c : dc.calls) {
    bool paints = c.op == "rectangle" || c.op == "ellipse" || c.op == "roundRect" || c.op == "polygon" ||
                  c.op == "line" || c.op == "textOut";
    if (!paints || !rectsIntersect(extentOf(c), area)) continue;
    std::ostringstream s;
    s << c.op << ' ' << c.rect.left << ' ' << c.rect.top << ' ' << c.rect.right << ' ' << c.rect.bottom << ' '
      << c.text << ' ' << c.fill.value_or(1u << 31) << ' ' << c.pen.value_or(1u << 31) << ' ' << c.color;
    for (const POINT& p : c.points) s << ' ' << p.x << ',' << p.y;
    out.push_back(s.str());
  }
  return out;
}

TEST(GraphicContainer, AreaDrawingAndHitSearchAgreeWithAWalkOfEveryMember) {
  RecordingReports reports;
  registerStandardPrototypes();
  RootMap map;
  generateMap(map, 600, 9);
  int n = 0;
  for (Graphic* g : map)
    if (n++ % 7 == 0) g->setHighlighted(true);  // handles show too
  RecordingDC settle;
  map.draw(settle);  // lays the labels out
  RecordingDC everything;
  map.draw(everything);
  const POINT extent = generatedMapExtent(600);
  const RECT areas[] = {{0, 0, extent.x, extent.y},  {100, 100, 400, 300}, {517, 233, 530, 240},
                        {-50, -50, 3, 3},            {extent.x / 2, extent.y / 2, extent.x, extent.y / 2 + 1}};
  auto paintsAlike = [&](const RecordingDC& whole) {
    for (const RECT& area : areas) {
      RecordingDC part;
      map.drawArea(part, area);
      EXPECT_EQ(visibleIn(part, area), visibleIn(whole, area)) << area.left << ' ' << area.top;
    }
  };
  paintsAlike(everything);
  RecordingDC small;
  map.drawArea(small, areas[2]);
  EXPECT_LT(small.calls.size() * 20, everything.calls.size());  // most of the map is skipped

  // After moves, a change of stacking and a member leaving, the areas still paint alike
  // and hit searches answer what a walk of every member answers.
  int k = 0;
  for (Graphic* g : map) {
    POINT o = g->origin();
    if (k++ % 5 == 0) g->moveTo({o.x + 300, o.y - 170});
  }
  map.popToFront(*std::next(map.begin(), 17));
  map.remove(**std::next(map.begin(), 40));
  RecordingDC moved;
  map.draw(moved);
  paintsAlike(moved);
  for (std::int32_t x = -100; x < extent.x + 400; x += 37)
    for (std::int32_t y = -200; y < extent.y; y += 23) {
      ASSERT_EQ(map.findSensitiveAt({x, y}), frontMostAt(map, {x, y})) << x << ',' << y;
    }
}

namespace {

struct Entry {
  int order;
};

bool earlier(const Entry* a, const Entry* b) { return a->order < b->order; }

// A reference that is obviously right: every (id, entry) pair, searched in full.
struct Reference {
  std::multimap<std::uint32_t, Entry*> all;
  Entry* find(std::uint32_t id) const {
    auto [lo, hi] = all.equal_range(id);
    auto best = std::min_element(lo, hi, [](const auto& x, const auto& y) { return earlier(x.second, y.second); });
    return best == hi ? nullptr : best->second;
  }
  void erase(std::uint32_t id, Entry* e) {
    auto [lo, hi] = all.equal_range(id);
    all.erase(std::find_if(lo, hi, [e](const auto& x) { return x.second == e; }));
  }
};

TEST(IdIndex, AnswersAsAMultimapForEveryKindOfId) {
  struct Case {
    const char* name;
    std::uint32_t lowest, spread;  // ids drawn from lowest .. lowest + spread
    std::uint32_t reserve;
  };
  const Case cases[] = {
      {"dense, reserved", 1, 300, 301},
      {"slots growing over ids that went to the map", 1, 6000, 0},
      {"sparse", 1, 4000000000u, 0},
      {"huge ids, hostile counter", 0xFFFFFF00u, 0xFF, 0xFFFFFFFFu},
      {"few ids, many repeats", 1, 5, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::mt19937 random(7);
    std::vector<Entry> entries(2000);
    for (std::size_t i = 0; i < entries.size(); ++i) entries[i].order = static_cast<int>(random() % 100000);
    IdIndex<Entry> index;
    Reference ref;
    index.reserve(c.reserve);
    std::vector<std::pair<std::uint32_t, Entry*>> in;
    for (Entry& e : entries) {
      std::uint32_t id = c.lowest + static_cast<std::uint32_t>(random() % (std::uint64_t{c.spread} + 1));
      index.insert(id, &e);
      ref.all.emplace(id, &e);
      in.emplace_back(id, &e);
      // Now and then one leaves again, first in line for its id or not.
      if (random() % 3 == 0) {
        auto [gone, who] = in[random() % in.size()];
        index.erase(gone, who);
        ref.erase(gone, who);
        std::erase(in, std::make_pair(gone, who));
      }
    }
    EXPECT_EQ(index.size(), ref.all.size());
    for (std::uint32_t probe : {0u, 1u, 2u, c.lowest, c.lowest + 1, c.lowest + c.spread, 0xFFFFFFFFu})
      EXPECT_EQ(index.find(probe, earlier), ref.find(probe)) << probe;
    for (const auto& [id, e] : in) {
      ASSERT_EQ(index.find(id, earlier), ref.find(id)) << id;
      EXPECT_TRUE(index.contains(id));
    }
  }
}

}  // namespace
