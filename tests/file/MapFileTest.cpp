// Writing and reading whole map files: layout, versions, the older syntax, safe saving, damaged input.
#include "file/MapFile.h"

#include <filesystem>
#include <fstream>

#include "file/MapTools.h"
#include "tests/MapFixture.h"

namespace {

const char* const kExample =
    "MIME-Version: 1.0\r\n"
    "Content-Type: multipart/mixed; boundary=****QORDeLiMiTER****\r\n"
    "\r\n"
    "This file is written by the QORBrenlo application, from the Ostrelwyn\r\n"
    "Institute at the Tamberlode.\r\n"
    "Time: Tue Mar 03 14:05:09 1998\r\n"
    "\r\n"
    "--****QORDeLiMiTER****\r\n"
    "Content-Type: application/x-CMap; version=0.1\r\n"
    "\r\n"
    "5\r\n"
    ";\r\n"
    "5,\"ContextBox\",1,\"frame\",10 10 210 160,\"Topic\",ffffff,0,,,0,0\r\n"
    "1,\"Node\",2,\"default\",30 40 60 60,\"idea\",ffffff,0,,,0,0\r\n"
    "1,\"Node\",3,\"Ellipse-Red\",120 40 150 60,\"\",ff,0,,,0,0\r\n"
    "2,\"SMaplet\",4,\"default\",90 50 90 50,2,(2,0),(3,0),,,,,3\r\n"
    ";\r\n"
    "\r\n"
    "--****QORDeLiMiTER****--\r\n";

// The example file's time, written back in the same form.
std::time_t exampleTime() { return localTime(1998, 3, 3, 14, 5, 9); }

// The example with its first `from` replaced by `to`.
std::string exampleWith(const std::string& from, const std::string& to) {
  std::string text = kExample;
  return text.replace(text.find(from), from.size(), to);
}

class MapFileTest : public MapFixture {
 protected:
  bool read(const std::string& text, CMap& into, const std::string& name = "x.CM") {
    std::istringstream in(text);
    return init(into, in, name);
  }
  bool read(const std::string& text) { return read(text, map); }
  std::string written(const CMap& m) {
    std::ostringstream out;
    writeMapFile(m, out, exampleTime());
    return out.str();
  }
};

// The example reads and writes back the same bytes, with either line end; a map built here reads
// back with its ids, its order, its fields and its id counter; an empty map keeps its part.
TEST_F(MapFileTest, MapsReadBackAsWritten) {
  ASSERT_TRUE(read(kExample));
  EXPECT_EQ(written(map), kExample);
  EXPECT_TRUE(reports.shown.empty());
  for (std::size_t keep : {0u, 1u}) {  // a bare LF or a lone CR ends a line as CR LF does
    std::string text = kExample;
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at + 1 - keep, 1);
    ASSERT_TRUE(read(text)) << keep;
    EXPECT_EQ(written(map), kExample);
  }

  map.GraphicContainer::clear();
  std::string empty = written(map);
  EXPECT_EQ(empty.substr(empty.find("version=0.1\r\n\r\n") + 15), "1\r\n;\r\n;\r\n\r\n--****QORDeLiMiTER****--\r\n");
  Node* a = node({10, 30, 80, 70}, "a \"quoted\" \\ caf\xC3\xA9 label\nwith two lines\x01", "Ellipse-Blue");
  arc(a, node({200, 30, 260, 70}, std::string(5000, 'w').c_str()), "BTWN");
  map.remove(*node({0, 0, 1, 1}));  // leaves a gap in the ids and a higher counter
  const std::string first = written(map);
  RootMap back;
  ASSERT_TRUE(read(first, back));
  EXPECT_EQ(written(back), first);
  EXPECT_EQ(back.nextId(), 5u);
  EXPECT_TRUE(reports.shown.empty()) << reports.shown[0].text;
}

// The older syntax is read after a note, its targets fixed up once all is read.
TEST_F(MapFileTest, OlderSyntaxIsReadAfterANote) {
  const char* old =
      "\"QOR Brenlo\" 0 7,\n"
      "\"Node\",2,\"default\",30 40 60 60,\"idea\",ffffff,0,0,0\n"
      "\"ContextBox\",1,\"frame\",10 10 210 160,\"Topic\",ffffff,0,0,0\n"
      ";\n"
      "\"SMaplet\",4,\"default\",90 50,2,2,3,3\n"
      "\"SMaplet\",5,\"default\",90 50,2,6,2,3\n"
      "\"Node\",6,\"default\",1 1 2 2,\"late\",ffffff,0,0,0\n"
      ";\n";
  ASSERT_TRUE(read(old));
  const SMaplet& m = dynamic_cast<SMaplet&>(*map.find(4));
  EXPECT_EQ(m[0], map.find(2));
  EXPECT_EQ(m[1], nullptr) << "3 names nothing";
  EXPECT_EQ(dynamic_cast<SMaplet&>(*map.find(5))[0], map.find(6)) << "a node read later";
  EXPECT_TRUE(reports.saw("I: Trying old syntax..."));
  EXPECT_TRUE(reports.saw("E: GraphicContainer::fixupDeferredAttachment: can't find id 3 for object 4"));
  EXPECT_GE(map.nextId(), 7u);
}

TEST_F(MapFileTest, ParsingVersionTexts) {
  for (const auto& [text, version, taken] : std::vector<std::tuple<const char*, Version, std::size_t>>{
           {"0.1", Version(0, 1), 3}, {" 1.2.3 (X Windows)", Version(1, 2, 3, 2), 18}, {"0.1 (Plan 9)", Version(0, 1), 3},
           {"7", Version(7, 0), 1}, {"x", Version(), 0}, {"300.1", Version(), 0},
           {"0.1 (Motif", Version(0, 1, 0, 3), 10}}) {
    Version v;
    EXPECT_EQ(parseVersion(text, v), taken) << text;
    EXPECT_EQ(v.word(), version.word()) << text;
  }
}

// Saving replaces the file only when all was written; the command line's check and convert
// read a file and tell how it went.
TEST_F(MapFileTest, SavingCheckingAndConvertingFiles) {
  const std::string dir = ::testing::TempDir() + "brenlo-mapfile";
  std::filesystem::create_directories(dir);
  const std::string path = dir + "/map.CM";
  node({0, 0, 30, 20}, "first");
  ASSERT_TRUE(save(map, path));
  const std::string before = slurp(path);
  EXPECT_FALSE(save(map, dir + "/missing-folder/map.CM"));
  EXPECT_TRUE(reports.saw("E: Can't open file '" + dir + "/missing-folder/map.CM'"));
  std::filesystem::create_directories(dir + "/taken.CM");  // a folder stands where the file should go
  EXPECT_FALSE(save(map, dir + "/taken.CM"));
  EXPECT_TRUE(reports.saw("E: Can't save file '" + dir + "/taken.CM': Is a directory"));
  EXPECT_EQ(slurp(path), before);

  std::ofstream(dir + "/example.CM", std::ios::binary) << kExample;
  std::ostringstream out;
  EXPECT_EQ(checkMapFile(dir + "/example.CM", out), 0);
  EXPECT_EQ(out.str(), dir + "/example.CM: read, 2 nodes, 1 contexts, 1 maplets\n");
  EXPECT_EQ(convertMapFile(dir + "/example.CM", dir + "/copy.CM"), 0);
  auto withoutTime = [](std::string s) { return s.erase(s.find("Time: "), 32); };
  EXPECT_EQ(withoutTime(slurp(dir + "/copy.CM")), withoutTime(kExample));
  std::ostringstream missing;
  EXPECT_EQ(checkMapFile(dir + "/none.CM", missing), 1);
  EXPECT_EQ(convertMapFile(dir + "/none.CM", dir + "/none2.CM"), 1);
  // A conversion of a file read incompletely writes what could be read, but never passes for a whole one.
  std::ofstream(dir + "/empty.CM", std::ios::binary) << exampleWith("version=0.1", "version=new");
  std::ostringstream empty;
  EXPECT_EQ(checkMapFile(dir + "/empty.CM", empty), 1);
  EXPECT_EQ(empty.str(), dir + "/empty.CM: read incompletely, 0 nodes, 0 contexts, 0 maplets\n");
  EXPECT_EQ(convertMapFile(dir + "/empty.CM", dir + "/salvaged.CM"), 1);
  EXPECT_TRUE(std::filesystem::exists(dir + "/salvaged.CM"));
}

// A file is read as far as it goes and its trouble reported by the part that meets it. The map part's
// version: a newer one is refused, a platform ignored, none refused, and the type is told in any case;
// a part of another type is refused without a message, and what stands around the map part is left
// alone. Files that are no maps of this program, or of a later version, are refused. A file cut short
// keeps the whole component lines it holds; damaged fields are reported by their element. A file that
// lost lines, or whose body gave no elements, is marked, so that a window can ask before saving over
// it; empty maps are whole.
TEST_F(MapFileTest, FilesAreReadAsFarAsTheyGoWithTheirReportsAndMark) {
  const std::string text = kExample;
  auto cut = [&text](std::size_t at) { return text.substr(0, at); };
  auto with = exampleWith;
  const std::size_t body = text.find("5,\"ContextBox\"");
  const std::size_t end = text.find(";\r\n\r\n--") + 1;  // just past the terminating ';'
  // A leg count larger than the terminals that follow: the text after them is read as one
  // more terminal, and every field it lacks is reported.
  std::vector<std::string> tooFew = {"E: Maplet::readFrom: expecting '(' for Terminal Specs"};
  for (const char* field : {"ArrowColor1", "endText1", "endTextColor1", "ArrowStyle2", "ArrowColor2", "endText2",
                            "endTextColor2", "Text", "FillColor", "BorderColor", "TextColor"})
    tooFew.push_back(std::string("E: Maplet::readFrom: expecting ',' before ") + field + " in TerminalSpec");
  const std::string none = "E: No map elements could be read from 'x.CM'";
  // Other parts around the map part are left alone, and the first map part counts.
  std::string parts = text;
  parts.insert(parts.find("--****QORDeLiMiTER****\r\nContent-Type: application"),
               "--****QORDeLiMiTER****\r\nContent-Type: text/plain\r\n\r\nhello\r\n");
  parts += "--****QORDeLiMiTER****\r\nContent-Type: application/x-CMap; version=0.1\r\n\r\n1\r\n;\r\n;\r\ntrailing";
  // One read reports at most 99 problems, then how many more there were, then its verdict.
  std::string bad;
  for (int i = 0; i < 1000; ++i) bad += "3,\"Node\",5,\r\n";
  std::vector<std::string> flood(99, "E: Malformed CMap line encountered; bad component spec: 3,\"Node\",5,");
  flood.push_back("E: ... and 901 more problems in 'x.CM'");
  flood.push_back(none);
  // The reports of a file without a MIME header, which is tried in the older syntax.
  auto older = [](const char* last) {
    return std::vector<std::string>{"E: Unexpected EOF or file error during MIME header parsing",
                                    "I: Trying old syntax...", last};
  };
  auto typed = [](const char* header) { return exampleWith("Content-Type: application/x-CMap; version=0.1", header); };
  const struct {
    std::string text;
    bool read;
    std::size_t members;
    bool incomplete;
    std::vector<std::string> reports;
  } cases[] = {
      {typed("Content-Type: application/x-CMap; version=0.2"), false, 0, false,
       {"E: x-CMap version 0.2 not supported; only up to version 0.1 is supported."}},
      {typed("Content-Type: application/x-CMap; charset=ascii"), false, 0, false,
       {"E: x-CMap MIME header requires a version parameter"}},
      {typed("Content-Type: text/plain"), false, 0, false, {}},
      {typed("Content-Type: application/x-CMap; version=0.1 (MS Windows 32 bit)"), true, 4, false, {}},
      {typed("Content-Type: application/x-cmap; VERSION=0.1"), true, 4, false, {}},
      {"Some words first\r\nand more\r\n\r\n" + text, true, 4, false, {}},  // text before the message is left alone
      {parts, true, 4, false, {}},
      {"no tag at all", false, 0, false, older("E: Don't recognize file format of 'x.CM'")},
      {"\"Other App\" 0 1,", false, 0, false, older("E: File 'x.CM' appears to be for application 'Other App'")},
      {"\"qor brenlo\" zz", false, 0, false, older("E: Don't recoginize version number in file 'x.CM'")},
      {"\"qor brenlo\" 20000 1,", false, 0, false, older("E: File 'x.CM' requires qor brenlo, version 0.2")},
      {cut(text.find("boundary")), false, 0, false, older("E: Don't recognize file format of 'x.CM'")},
      {cut(text.find("version=0.1") + 5), false, 0, false,
       {"E: Unexpected EOF or file error during MIME header parsing", "E: Detected bad MIME header in multipart MIME part"}},
      {cut(body), true, 0, false, {}},
      {cut(body + 20), true, 0, true, {none}},
      {cut(text.find("1,\"Node\",3") + 10), true, 2, true, {}},
      {cut(end - 1), true, 4, true, {}},
      {cut(end), true, 4, false, {}},
      {with("2,(2,0),(3,0)", "2147483647,(2,0)"), true, 4, false, tooFew},
      {with("5\r\n;", "ffffffff\r\n;"), true, 4, false, {}},
      {with(",2,\"default\"", ",ffffffff,\"default\""), true, 4, false,  // a node of the largest id
       {"I: Maplet::readFrom: can't find id 2 to attach to (not instantiated yet?)"}},
      {"MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=x\r\n" + std::string(200000, 'h'), false, 0, false,
       {"E: Unexpected EOF or file error during MIME header parsing"}},
      {with("version=0.1", "version=new"), true, 0, true, {none}},
      {"\"QOR Brenlo\" 0 3,\nrubbish\n;\n;\n", true, 0, true, {"I: Trying old syntax...", none}},
      {with("1,\"Node\",2", "3,\"Node\",9,\r\n1,\"Node\",2"), true, 4, true,  // a refused line is lost on saving
       {"E: Malformed CMap line encountered; bad component spec: 3,\"Node\",9,"}},
      {cut(body) + bad + text.substr(end - 1), true, 0, true, flood},
      {written(RootMap()), true, 0, false, {}},
      {"\"QOR Brenlo\" 0 3,\n;\n;\n", true, 0, false, {"I: Trying old syntax..."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 60));
    reports.shown.clear();
    RootMap m;
    EXPECT_EQ(read(c.text, m), c.read);
    EXPECT_EQ(m.memberCount(), c.members);
    EXPECT_EQ(m.readIncompletely(), c.incomplete);
    EXPECT_EQ(reports.texts(), c.reports);
  }
}

// Labels keep every byte of the file: UTF-8, tabs and other bytes the writer would escape; the
// fields of a terminal spec this version does not draw go back into the file.
TEST_F(MapFileTest, LabelsAndTerminalStylesAreWrittenBackAsRead) {
  ASSERT_TRUE(read(exampleWith("\"idea\"", "\"caf\xC3\xA9\tna\xEFve\x7F\"")));
  EXPECT_STREQ(dynamic_cast<Node*>(map.find(2))->getLabel(), "caf\xC3\xA9\tna\xEFve\x7F");
  const std::string saved = written(map);
  EXPECT_NE(saved.find(",\"caf\\c3\\a9\\09na\\efve\\7f\","), std::string::npos) << "the writer escapes as before";
  ASSERT_TRUE(read(saved));
  EXPECT_STREQ(dynamic_cast<Node*>(map.find(2))->getLabel(), "caf\xC3\xA9\tna\xEFve\x7F");

  std::string text = exampleWith(
      "(2,0),(3,0)", "(2,ff,1,2,\"open\",ff00,\"from \\\"here\\\"\",0,\"closed\",ff,\"to\",ff0000),(3,0,5,,)");
  ASSERT_TRUE(read(text));
  EXPECT_EQ(dynamic_cast<SMaplet&>(*map.find(4)).getConnector()->leg(0)->lineColor(), 0xFFu);
  EXPECT_EQ(written(map), text);

  // A floating end keeps its styles too, and a copy of the maplet carries them.
  text.replace(text.find("(3,0,5,,)"), 9, "(0,0,7)");
  ASSERT_TRUE(read(text));
  EXPECT_EQ(written(map), text);
  std::unique_ptr<Graphic> copy(map.find(4)->clone());
  std::ostringstream copied;
  copy->printOn(copied);
  EXPECT_NE(copied.str().find(",(0,0,7),"), std::string::npos) << copied.str();
}

// Input without end: every read is bounded, in lines and in size.
TEST_F(MapFileTest, EndlessInputEndsTheRead) {
  // A source that repeats one text for ever.
  struct Endless : std::streambuf {
    explicit Endless(std::string head, std::string unit) : head(std::move(head)), unit(std::move(unit)) {
      setg(this->head.data(), this->head.data(), this->head.data() + this->head.size());
    }
    int_type underflow() override {
      setg(unit.data(), unit.data(), unit.data() + unit.size());
      return traits_type::to_int_type(unit[0]);
    }
    std::string head, unit;
  };
  const std::string mapHeader =
      "MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=B\r\n\r\n--B\r\n"
      "Content-Type: application/x-CMap; version=0.1\r\n\r\n5\r\n;\r\n";
  struct Case {
    std::string head, unit;
    std::uint64_t limit;
    bool read;
    std::string report;
  };
  const std::string node = "1,\"Node\",2,\"default\",30 40 60 60,\"idea\",ffffff,0,,,0,0\r\n";
  const std::string zeros(4096, '\0');
  const Case cases[] = {
      {"", zeros, 64 << 20, false, "E: Don't recognize file format of 'x.CM'"},
      {"", zeros, 1 << 20, false, "E: File 'x.CM' is larger than 1048576 bytes; it is not read"},
      {mapHeader, node, 1 << 20, false, "E: File 'x.CM' is larger than 1048576 bytes; it is not read"},
      {mapHeader, zeros, 64 << 20, true, "E: Component line longer than 16777216 characters; it and the rest are not read"},
      {"\"QOR Brenlo\" 0 3,\n\"Node\",2,", zeros, 1 << 20, false,
       "E: File 'x.CM' is larger than 1048576 bytes; it is not read"},
  };
  for (const Case& c : cases) {
    reports.shown.clear();
    Endless source(c.head, c.unit);
    std::istream in(&source);
    EXPECT_EQ(init(map, in, "x.CM", c.limit), c.read) << c.report;
    EXPECT_EQ(map.memberCount(), 0u);
    EXPECT_TRUE(reports.saw(c.report)) << c.report;
    EXPECT_EQ(map.readIncompletely(), c.read) << c.report;
  }
}

}  // namespace
