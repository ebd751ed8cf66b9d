// GraphML: maps written and read back unchanged, selections, files of other tools, damaged and hostile input.
#include "file/GraphML.h"

#include <filesystem>

#include "file/MapFile.h"
#include "file/MapTools.h"
#include "tests/MapFixture.h"
#include "tests/MapGenerator.h"

namespace {

const char* const kHead =
    "MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=****QORDeLiMiTER****\r\n\r\n"
    "--****QORDeLiMiTER****\r\nContent-Type: application/x-CMap; version=0.1\r\n\r\n";
const char* const kTail = ";\r\n\r\n--****QORDeLiMiTER****--\r\n";

// A map file of the id counter and these component lines.
std::string mapFile(const std::string& lines, const std::string& counter = "40") {
  return kHead + counter + "\r\n;\r\n" + lines + kTail;
}

class GraphMLTest : public MapFixture {
 protected:
  bool readMap(const std::string& text, CMap& into) {
    std::istringstream in(text);
    return init(into, in, "test.CM");
  }
  bool imported(const std::string& graphml, CMap& into) {
    std::string error;
    return readGraphML(into, graphml, "test.graphml", error);
  }
  // The map after GraphML and back, as saved text.
  std::string roundTrip(const CMap& m) {
    std::ostringstream out;
    std::string error;
    EXPECT_TRUE(writeGraphML(m, out, error)) << error;
    RootMap back;
    EXPECT_TRUE(imported(out.str(), back));
    EXPECT_FALSE(back.readIncompletely());
    return savedText(back);
  }
  const Node* nodeLabelled(const CMap& m, const std::string& label) {
    for (Graphic* g : m)
      if (auto* n = dynamic_cast<Node*>(g); n && n->getLabel() && label == n->getLabel()) return n;
    return nullptr;
  }
  std::vector<SMaplet*> maplets(const CMap& m) {
    std::vector<SMaplet*> out;
    for (Graphic* g : m)
      if (auto* s = dynamic_cast<SMaplet*>(g)) out.push_back(s);
    return out;
  }
};

// Every element kind and maplet form, each in a map of its own; contexts come after what they hold
// in the stacking order, so that they are written in another order.
TEST_F(GraphMLTest, EveryElementAndMapletFormComesBackTheSame) {
  const std::string nodes =
      "1,\"Node\",1,\"Rectangle\",0 0 80 30,\"a\",ffffff,0,,,0,0\r\n"
      "1,\"Node\",2,\"Ellipse-Red\",200 0 280 30,\"b\",ff,ff0000,,,ff00,80000001\r\n";
  const struct {
    const char* name;
    std::string lines;
  } cases[] = {
      {"shapes, colours, flags",
       "1,\"Node\",3,\"RoundRect-Blue\",5 5 90 40,\"c\",ff0000,ff,,,ffffff,1\r\n"
       "1,\"Node\",4,\"frame\",100 100 150 150,\"a node drawn as a frame\",ffffff,0,,,0,0\r\n"
       "1,\"Node\",5,\"no such shape\",-20 -30 -10 -5,\"\",7f000001,0,,,0,0\r\n"},
      {"labels XML cannot hold as they are",
       "1,\"Node\",3,\"default\",0 50 10 60,\"quote \\\" < & > ]]> \\n line \\0d cr \\09 tab\",ffffff,0,,,0,0\r\n"
       "1,\"Node\",4,\"default\",0 70 10 80,\"\\c3\\a9t\\c3\\a9 \\01\\1f ctrl \\ff\\fe bad \\ef\\bf\\bf\",ffffff,0,,,0,0\r\n"
       "1,\"Node\",5,\"type \\01 odd\",0 90 10 99,\"\\e2\\82\\ac\",ffffff,0,,,0,0\r\n"},
      {"contexts within contexts, and what they carry",
       "5,\"ContextBox\",3,\"frame\",-10 -10 400 300,\"outer\",ffffff,0,,,0,0\r\n"
       "5,\"ContextBox\",4,\"frame\",-5 -5 300 200,\"inner\",ffffff,0,,,0,0\r\n"
       "5,\"ContextBox\",5,\"frame\",-5 -5 300 200,\"same size\",ffffff,0,,,0,0\r\n"
       "5,\"ContextBox\",6,\"Ellipse\",500 0 600 100,\"round\",ffffff,0,,,0,0\r\n"
       "2,\"SMaplet\",7,\"Directed\",100 20 100 20,2,(1,0),(2,0),,,,,1\r\n"},
      {"two-legged arcs", "2,\"SMaplet\",3,\"BiDirect\",140 60 140 60,2,(2,0),(1,0),,,,,3\r\n"
                          "2,\"SMaplet\",4,\"IsA\",140 90 140 90,2,(1,0),(2,0),\"IsA\",ffffff,0,0,2\r\n"
                          "2,\"SMaplet\",5,\"Directed\",40 -40 40 -40,2,(1,0),(1,0),,,,,1\r\n"},
      {"maplets that are nodes of their own",
       "2,\"SMaplet\",3,\"Directed\",140 15 140 15,2,(1,0),(2,0),\"causes\",ffffff,0,0,3\r\n"
       "2,\"SMaplet\",4,\"BTWN\",140 40 140 40,3,(1,0),(2,0),(0),\"BTWN\",ffffff,0,0,2\r\n"
       "2,\"SMaplet\",5,\"Quad Undirected\",140 60 140 60,4,(0),(1,0),(0),(2,0),,,,,3\r\n"},
      {"maplets hooked to maplets", "2,\"SMaplet\",3,\"Directed\",140 15 140 15,2,(1,0),(2,0),,,,,3\r\n"
                                    "2,\"SMaplet\",4,\"Directed\",60 90 60 90,2,(1,0),(3,0),,,,,3\r\n"
                                    "2,\"SMaplet\",5,\"BTWN\",90 140 90 140,3,(4,0),(3,0),(2,0),\"BTWN\",ffffff,0,0,2\r\n"},
      {"leg colours and the end styles kept from older files",
       "2,\"SMaplet\",3,\"Directed\",140 15 140 15,2,(1,ff),(2,ff00,1,2,\"head\",ff,\"a ) b\",0,\"\",0,\"\",0),,,,,3\r\n"
       "2,\"SMaplet\",4,\"BTWN\",140 40 140 40,3,(1,ff0000),(0,ff,0,3),(2,0),\"BTWN\",ffffff,0,0,2\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RootMap m;
    ASSERT_TRUE(readMap(mapFile(nodes + c.lines), m));
    EXPECT_EQ(roundTrip(m), savedText(m));
  }
}

TEST_F(GraphMLTest, ASelectionLeavesTheRestOutAndItsMapletsFloatOrGo) {
  ASSERT_TRUE(readMap(mapFile("1,\"Node\",1,\"Rectangle\",0 0 80 30,\"a\",ffffff,0,,,0,0\r\n"
                              "1,\"Node\",2,\"Rectangle\",200 0 280 30,\"b\",ffffff,0,,,0,0\r\n"
                              "1,\"Node\",3,\"Rectangle\",0 200 80 230,\"c\",ffffff,0,,,0,0\r\n"
                              "2,\"SMaplet\",4,\"Directed\",140 15 140 15,2,(1,0),(2,0),,,,,3\r\n"
                              "2,\"SMaplet\",5,\"BTWN\",90 140 90 140,3,(1,0),(2,0),(3,0),\"BTWN\",ffffff,0,0,2\r\n"),
                      map));
  std::vector<Graphic*> chosen;
  for (std::uint32_t id : {1u, 3u, 4u, 5u}) chosen.push_back(map.find(id));
  std::ostringstream out;
  std::string error;
  ASSERT_TRUE(writeGraphML(map, chosen, out, error));
  RootMap part;
  ASSERT_TRUE(imported(out.str(), part));
  // The arc keeps one hooked end and goes; the three-legged maplet keeps two and floats the third.
  EXPECT_EQ(countElements(part).nodes, 2u);
  ASSERT_EQ(maplets(part).size(), 1u);
  const SMaplet& kept = *maplets(part)[0];
  EXPECT_EQ(kept.prototypeName(), "BTWN");
  EXPECT_NE(kept[0], nullptr);
  EXPECT_EQ(kept[1], nullptr);
  EXPECT_NE(kept[2], nullptr);
}

// Plain nodes and edges: arcs directed as the edge or else the graph says, nodes placed apart on a
// grid and sized to their labels when first drawn.
TEST_F(GraphMLTest, NodesAndEdgesOfOtherToolsBecomeNodesAndArcs) {
  ASSERT_TRUE(imported("<graphml><graph edgedefault=\"undirected\"><node id=\"a\"/><node id=\"b\"/>"
                       "<edge source=\"a\" target=\"b\"/><edge source=\"b\" target=\"a\" directed=\"true\"/>"
                       "</graph></graphml>",
                       map));
  const Node* a = nodeLabelled(map, "a");
  const Node* b = nodeLabelled(map, "b");
  ASSERT_TRUE(a && b);
  EXPECT_FALSE(rectsIntersect(const_cast<Node*>(a)->getRect(), const_cast<Node*>(b)->getRect()));
  EXPECT_TRUE(a->getShape()->isAutoSize());
  ASSERT_EQ(maplets(map).size(), 2u);
  EXPECT_EQ(maplets(map)[0]->prototypeName(), "Undirected");
  EXPECT_EQ(maplets(map)[1]->prototypeName(), "Directed");
  EXPECT_EQ((*maplets(map)[1])[0], static_cast<const RelationableGraphic*>(b));
}

TEST_F(GraphMLTest, TheGraphicsOfOtherEditorsGivePlacesColoursShapesAndDirections) {
  const std::string graphml =
      "<graphml xmlns=\"http://graphml.graphdrawing.org/xmlns\" xmlns:y=\"http://www.yworks.com/xml/graphml\">"
      "<key id=\"d0\" for=\"node\" yfiles.type=\"nodegraphics\"/><key id=\"d1\" for=\"edge\" yfiles.type=\"edgegraphics\"/>"
      "<key id=\"w\" for=\"edge\" attr.name=\"weight\" attr.type=\"double\"><default>1.0</default></key>"
      "<key id=\"n\" for=\"node\" attr.name=\"name\" attr.type=\"string\"/>"
      "<graph edgedefault=\"directed\">"
      "<node id=\"g\" yfiles.foldertype=\"group\"><data key=\"d0\"><y:ProxyAutoBoundsNode><y:Realizers active=\"1\">"
      "<y:GroupNode><y:Geometry x=\"0\" y=\"0\" width=\"1\" height=\"1\"/><y:NodeLabel>closed</y:NodeLabel></y:GroupNode>"
      "<y:GroupNode><y:Geometry x=\"10.4\" y=\"10\" width=\"300\" height=\"200\"/><y:NodeLabel>open</y:NodeLabel></y:GroupNode>"
      "</y:Realizers></y:ProxyAutoBoundsNode></data>"
      "<graph id=\"g:\" edgedefault=\"directed\"><node id=\"g::a\"><data key=\"d0\"><y:ShapeNode>"
      "<y:Geometry x=\"30\" y=\"40\" width=\"60.6\" height=\"20\"/><y:Fill color=\"#FF0000\" transparent=\"false\"/>"
      "<y:BorderStyle color=\"#0000FF\"/><y:NodeLabel textColor=\"#00FF00\">red &amp; round</y:NodeLabel>"
      "<y:Shape type=\"ellipse\"/></y:ShapeNode></data></node></graph></node>"
      "<node id=\"b\"><data key=\"n\">named</data></node>"
      "<edge source=\"b\" target=\"g::a\"><data key=\"d1\"><y:PolyLineEdge><y:LineStyle color=\"#FF0000\"/>"
      "<y:Arrows source=\"standard\" target=\"none\"/><y:EdgeLabel>back</y:EdgeLabel></y:PolyLineEdge></data></edge>"
      "</graph></graphml>";
  ASSERT_TRUE(imported(graphml, map));
  auto* group = dynamic_cast<const ContextBox*>(nodeLabelled(map, "open"));
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->getShape()->getRect(), (RECT{10, 10, 310, 210}));
  const Node* red = nodeLabelled(map, "red & round");
  ASSERT_NE(red, nullptr);
  EXPECT_EQ(red->prototypeName(), "Ellipse");
  EXPECT_EQ(red->getShape()->getRect(), (RECT{30, 40, 91, 60}));
  EXPECT_EQ(red->getShape()->fillColor(), 0x0000FFu);
  EXPECT_EQ(red->getShape()->borderColor(), 0xFF0000u);
  EXPECT_EQ(red->getShape()->textColor(), 0x00FF00u);
  const Node* named = nodeLabelled(map, "named");
  ASSERT_NE(named, nullptr);
  // Without a place of its own it goes below what has one.
  EXPECT_GE(const_cast<Node*>(named)->getRect().top, 210);
  ASSERT_EQ(maplets(map).size(), 1u);
  const SMaplet& arc = *maplets(map)[0];
  // The arrowhead at the source end turns the arc round.
  EXPECT_EQ(arc.prototypeName(), "Directed");
  EXPECT_EQ(arc[0], static_cast<const RelationableGraphic*>(red));
  EXPECT_EQ(arc.getConnector()->leg(0)->lineColor(), 0x0000FFu);
  EXPECT_STREQ(arc.label(), "back");
  EXPECT_FALSE(map.readIncompletely());
}

TEST_F(GraphMLTest, DamagedAndHostileInputIsReportedAndNothingBreaks) {
  const std::string keys = "<graphml><key id=\"x\" for=\"node\" attr.name=\"x\"/><key id=\"y\" attr.name=\"y\"/>"
                           "<key id=\"l\" attr.name=\"label\"/>"
                           "<graph edgedefault=\"directed\">";
  const struct {
    const char* name;
    std::string graphml;
    bool read;            // a map was read
    bool incomplete;      // and elements were lost
    std::size_t members;  // elements read
    const char* report;
  } cases[] = {
      {"malformed XML", keys + "<node id=\"a\">", false, false, 0, "not well-formed XML at line 1"},
      {"no graphml", "<?xml version=\"1.0\"?><html/>", false, false, 0, "holds no graphml element"},
      {"an empty document", "", false, false, 0, "it is empty"},
      {"data of an unknown key", keys + "<node id=\"a\"><data key=\"q\">1</data></node></graph></graphml>", true, false,
       1, "key 'q', which it does not declare"},
      {"an edge to a missing node", keys + "<node id=\"a\"/><edge id=\"e\" source=\"a\" target=\"zz\"/></graph></graphml>",
       true, true, 1, "joins the node 'zz', which the file does not hold"},
      {"two nodes with one id", keys + "<node id=\"a\"/><node id=\"a\"/></graph></graphml>", true, true, 1,
       "two nodes with the id 'a'"},
      {"a huge number", keys + "<node id=\"a\"><data key=\"x\">1e300</data><data key=\"y\">5</data></node></graph></graphml>", true, false, 1,
       "'1e300' is no number the map can take"},
      {"a hyperedge", keys + "<node id=\"a\"/><hyperedge><endpoint node=\"a\"/></hyperedge></graph></graphml>", true,
       true, 1, "has a hyperedge"},
      {"a leg without its number",
       "<graphml><key id=\"k\" attr.name=\"kind\"/><graph edgedefault=\"directed\"><node id=\"m\"><data key=\"k\">"
       "maplet</data></node><node id=\"a\"/><edge source=\"m\" target=\"a\"><data key=\"k\">leg</data></edge>"
       "</graph></graphml>",
       true, true, 2, "a leg without its number"},
      {"entities of its own (the billion laughs)",
       "<?xml version=\"1.0\"?><!DOCTYPE graphml [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">"
       "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;\">"
       "<!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;\"><!ENTITY x SYSTEM \"file:///etc/passwd\">]>" +
           keys + "<node id=\"a\"><data key=\"l\">&e;&x;</data></node></graph></graphml>",
       false, false, 0, "entities a file declares itself are not read"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingReports seen;
    RootMap m;
    std::string error;
    EXPECT_EQ(readGraphML(m, c.graphml, "bad.graphml", error), c.read);
    EXPECT_EQ(m.readIncompletely(), c.incomplete);
    EXPECT_EQ(m.memberCount(), c.members);
    EXPECT_TRUE(seen.saw(c.report)) << (seen.texts().empty() ? "" : seen.texts().back());
  }
}

TEST_F(GraphMLTest, FilesAreToldApartByWhatTheyHold) {
  const struct {
    const char* text;
    bool graphml;
  } cases[] = {{"<?xml version=\"1.0\"?>", true},       {"\xEF\xBB\xBF \r\n\t<graphml>", true},
               {"<graphml xmlns=\"x\">", true},         {"MIME-Version: 1.0", false},
               {"\"QOR Brenlo\" 0 4,", false},          {"<html>", false},
               {"", false}};
  for (const auto& c : cases) EXPECT_EQ(looksLikeGraphML(c.text), c.graphml) << c.text;
  EXPECT_TRUE(isGraphMLFileName("a/Map.GraphML"));
  EXPECT_FALSE(isGraphMLFileName("map.graphml.CM"));
}

// The kitchen's context converts to a group; checking and converting take either kind of file, and
// the map comes back the same.
TEST_F(GraphMLTest, OpeningCheckingAndConvertingTakeEitherKindOfFile) {
  const std::string dir = ::testing::TempDir() + "brenlo-graphml";
  std::filesystem::create_directories(dir);
  const std::string kitchen = BRENLO_EXAMPLES_DIR "/kitchen-context.CM";
  EXPECT_EQ(convertMapFile(kitchen, dir + "/example.graphml"), 0);
  EXPECT_NE(slurp(dir + "/example.graphml").find("yfiles.foldertype=\"group\""), std::string::npos);
  std::ostringstream out;
  EXPECT_EQ(checkMapFile(dir + "/example.graphml", out), 0);
  EXPECT_EQ(out.str(), dir + "/example.graphml: read, 4 nodes, 1 contexts, 3 maplets\n");
  EXPECT_EQ(convertMapFile(dir + "/example.graphml", dir + "/back.CM"), 0);
  RootMap original, back;
  ASSERT_TRUE(openMapFile(original, kitchen));
  ASSERT_TRUE(openMapFile(back, dir + "/back.CM"));
  EXPECT_EQ(savedText(back), savedText(original));
}

}  // namespace
