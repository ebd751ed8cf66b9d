// Component lines of a container: order of reading, malformed lines, versions, deferred connections.
#include "tests/model/ElementFixture.h"

namespace {

class ComponentLines : public ElementFixture {
 protected:
  void readLines(const std::string& body, const Version* version = &kMapSyntaxVersion) {
    std::istringstream in(body);
    map.readComponentsFrom(in, version);
  }
};

// (The lines of the standard elements are checked byte for byte by the map file tests.)
TEST_F(ComponentLines, AnElementOfAnUnknownKindIsWrittenAndReported) {
  addTo(map, std::make_unique<Maplet>("default", POINT{0, 0}));
  std::ostringstream out;
  map.printComponentsOn(out);
  EXPECT_TRUE(reports.saw("E: GraphicContainer::printOn: unknown component type encountered"));
  EXPECT_NE(out.str().find("\n0,\"Maplet\",1,"), std::string::npos);
}

TEST_F(ComponentLines, MapletsMayComeBeforeTheNodesTheyJoin) {
  readLines("9\n;\n2,\"SMaplet\",3,\"default\",50 50 50 50,2,(1,0),(2,0),,,,,3\n"
            "1,\"Node\",1,\"default\",0 0 30 20,\"a\",ffffff,0,,,0,0\n"
            "1,\"Node\",2,\"default\",100 0 130 20,\"b\",ffffff,0,,,0,0\n;\n");
  auto* m = dynamic_cast<SMaplet*>(map.find(3));
  ASSERT_NE(m, nullptr);
  EXPECT_EQ((*m)[0], map.find(1));
  EXPECT_EQ((*m)[1], map.find(2));
  EXPECT_EQ(ids(), (std::vector<std::uint32_t>{3, 1, 2})) << "the file's order is the stacking order";
  EXPECT_TRUE(reports.shown.empty()) << reports.shown[0].text;
}

TEST_F(ComponentLines, MalformedLinesAreReportedAndSkipped) {
  const std::pair<const char*, const char*> cases[] = {  // the line and its report
      {"3,\"Node\",5,", "E: Malformed CMap line encountered; bad component spec: 3,\"Node\",5,"},
      {"1,\"\",5", "E: Malformed CMap line encountered; bad type specifier string (second element): 1,\"\",5"},
      {"1,\"Node\",0", "E: Malformed CMap line encountered; bad id (third element): 1,\"Node\",0"},
  };
  for (const auto& [line, message] : cases) {
    readLines(std::string("2\n;\n") + line + "\n1,\"Node\",1,\"default\",0 0 30 20,\"ok\",ffffff,0,,,0,0\n;\n");
    EXPECT_TRUE(reports.saw(message)) << line;
    EXPECT_EQ(ids(), std::vector<std::uint32_t>{1}) << line;
  }
}

// A header without its semicolon is reported; an unsupported version reads nothing, but the
// platform of a version is ignored.
TEST_F(ComponentLines, TheHeaderAndTheVersion) {
  readLines("4\n1,\"Node\",1,\"default\",0 0 30 20,\"ok\",ffffff,0,,,0,0\n;\n");
  EXPECT_TRUE(reports.saw("E: GraphicContainter::readHeaderFrom: expected ';' to terminate header"));
  node({0, 0, 1, 1});
  Version future(0, 2);
  readLines("2\n;\n1,\"Node\",1,\"default\",0 0 30 20,\"ok\",ffffff,0,,,0,0\n;\n", &future);
  EXPECT_TRUE(reports.saw("E: Version 0.2 not understood, only understand versions <= 0.1"));
  EXPECT_EQ(map.memberCount(), 0u);
  Version windows(0, 1, 0, 4);
  readLines("2\n;\n1,\"Node\",1,\"default\",0 0 30 20,\"ok\",ffffff,0,,,0,0\n;\n", &windows);
  EXPECT_EQ(map.memberCount(), 1u);
}

TEST_F(ComponentLines, DeferredConnectionsAreEachTriedOnce) {
  Node* a = node({0, 0, 30, 20});
  auto* m = addTo(map, std::make_unique<SMaplet>("default", POINT{50, 50}));
  map.deferAttachment(m, 0, a->id());
  map.deferAttachment(m, 1, 77);
  map.deferAttachment(nullptr, 1, 1);
  map.fixupDeferredAttachment();
  EXPECT_EQ((*m)[0], a);
  EXPECT_EQ((*m)[1], nullptr);
  EXPECT_TRUE(reports.saw("E: GraphicContainer::fixupDeferredAttachment: can't find id 77 for object 2"));
  EXPECT_TRUE(map.attachments().empty());
}

// An older file's plain "Maplet" is read as the map's maplet, so that it can be saved. Older
// files with an id twice or an element without one: every element gets an id of its own, so
// that saving and reading again keeps every element's fields.
TEST_F(ComponentLines, OlderSyntaxGivesDuplicateAndMissingIdsFreshOnes) {
  const Version older(0, 0);
  readLines("3,\n\"Node\",1,\"default\",10 10 60 40,\"one\",ffffff,0,0,0\n;\n"
            "\"Maplet\",2,\"default\",90 50 90 50,2,(0),(0),,,,,3\n;\n",
            &older);
  ASSERT_EQ(map.memberCount(), 2u);
  EXPECT_STREQ(map.front()->className(), "SMaplet");
  std::ostringstream out;
  map.printComponentsOn(out);
  EXPECT_NE(out.str().find("2,\"SMaplet\",2,"), std::string::npos) << out.str();
  map.GraphicContainer::clear();
  readLines("5,\n\"Node\",1,\"default\",10 10 60 40,\"one\",ffffff,0,0,0\n"
            "\"Node\",1,\"default\",100 10 160 40,\"two\",ffffff,0,0,0\n"
            "\"Node\",,\"default\",200 10 260 40,\"three\",ffffff,0,0,0\n;\n"
            "\"SMaplet\",4,\"default\",90 50 90 50,2,(1,0),(5,0),,,,,3\n;\n",
            &older);
  const std::vector<std::uint32_t> read = ids();
  ASSERT_EQ(read.size(), 4u);
  EXPECT_GE(read[1], 5u);
  EXPECT_TRUE(reports.saw("W: GraphicContainer::readFrom: id 1 taken or missing, Node given id " +
                          std::to_string(read[1])));
  EXPECT_TRUE(reports.saw("W: GraphicContainer::readFrom: id 0 taken or missing, Node given id " +
                          std::to_string(read[2])));
  std::ostringstream first;
  map.printComponentsOn(first);
  readLines(first.str());
  std::ostringstream second;
  map.printComponentsOn(second);
  EXPECT_EQ(second.str(), first.str());
  EXPECT_STREQ(dynamic_cast<Node*>(map.find(read[2]))->getLabel(), "three");
}

}  // namespace
