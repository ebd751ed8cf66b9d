// Tests of the MIME header reader and the multipart walk that map files rely on.
#include "file/MIMEReader.h"

#include <gtest/gtest.h>

#include <sstream>

#include "tests/TestSupport.h"

namespace {

// A map file with a second part and trailing text, LF line ends.
const std::string kMessage =
    "MIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=****QORDeLiMiTER****\n\n"
    "This file is written by the QORBrenlo application, from the Ostrelwyn\n"
    "Institute at the Tamberlode.\nTime: Tue Mar 03 14:05:09 1998\n\n"
    "--****QORDeLiMiTER****\nContent-Type: application/x-CMap; version=0.1\n\n"
    "5\n;\n1,\"Node\",2,\"default\",30 40 60 60,\"idea\",ffffff,0,,,0,0\n;\n\n"
    "--****QORDeLiMiTER****\nContent-Type: text/plain\n\nnotes\n"
    "--****QORDeLiMiTER****--\ntrailing text\n";

std::string withCrLf(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

std::string rest(std::istream& in) {
  in.clear();
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// Walks a whole message as the map-file reader does, collecting "type|version:body".
std::vector<std::string> walk(const std::string& text) {
  std::vector<std::string> parts;
  std::istringstream in(text);
  MultipartMIMEReader message;
  if (message.readHeader(in) < 0) return parts;
  while (message.nextPart(in) == 0 && parts.size() <= text.size()) {
    GenericMIMEReader part;
    const int code = part.readHeader(in);
    std::string seen = std::to_string(code) + " " + part.contentType() + "|" + part.header("content-type").param("VERSION") + ":";
    std::string line;
    while (code >= 0 && message.readBodyLine(in, line, 1000).status == LineStatus::Complete) seen += line + "/";
    parts.push_back(seen);
  }
  return parts;
}

// Keeps what it is given, but refuses "text/html", notes "X-Note" and stops at parameter "p".
struct Scripted : GenericMIMEReader {
  int addHeader(std::string_view name, std::string_view value) override {
    if (value == "text/html") return 1;
    if (name == "X-Note") return 7;
    return GenericMIMEReader::addHeader(name, value);
  }
  int addParameter(std::string_view h, std::string_view v, std::string_view p,
                   std::optional<std::string_view> pv) override {
    return p == "p" ? -8 : GenericMIMEReader::addParameter(h, v, p, pv);
  }
};

}  // namespace

TEST(MIMEHeader, ReadsAMapFileWithEitherLineEndAndAnyWayOfReadingItsBody) {
  for (const std::string& text : {kMessage, withCrLf(kMessage)}) {
    RecordingReports reports;
    std::istringstream in(text);
    MultipartMIMEReader reader;
    EXPECT_EQ(reader.readHeader(in), 0);
    EXPECT_EQ(reader.headers().count("MIME-Version"), 0u) << "the version header is not kept";
    EXPECT_EQ(reader.boundaryLine(), "--****QORDeLiMiTER****");
    EXPECT_EQ(walk(text), (std::vector<std::string>{
                              "0 application/x-CMap|0.1:5/;/1,\"Node\",2,\"default\",30 40 60 60,\"idea\",ffffff,0,,,0,0/;//",
                              "0 text/plain|:notes/"}));
    EXPECT_TRUE(reports.shown.empty());
  }
  // The map reader stops at its own ";" line; nextPart skips what remains.
  std::istringstream in(withCrLf(kMessage));
  MultipartMIMEReader message;
  GenericMIMEReader map, notes;
  ASSERT_EQ(message.readHeader(in), 0);
  ASSERT_EQ(message.nextPart(in), 0);
  ASSERT_EQ(map.readHeader(in), 0);
  std::string line;
  EXPECT_TRUE(message.readBodyLine(in, line, 0).overLimit) << "body lines keep within their limit";
  EXPECT_EQ(line, "");
  ASSERT_EQ(message.nextPart(in), 0);
  ASSERT_EQ(notes.readHeader(in), 0);
  EXPECT_EQ(notes.contentType(), "text/plain");
  EXPECT_EQ(message.readBodyLine(in, line, 1).status, LineStatus::Complete);
  EXPECT_EQ(message.readBodyLine(in, line, 1).status, LineStatus::PartEnd) << "a boundary is seen under any limit";
  EXPECT_EQ(message.nextPart(in), -1);
}

TEST(MIMEHeader, SplitsValuesAndParametersWithoutBlanksOrQuotes) {
  const std::string label(20000, 'x');  // far beyond any old line limit
  const std::vector<std::tuple<std::string, std::string, std::map<std::string, std::string>>> cases = {
      {"X:   v ;a = 1 ;b", "v", {{"a", "1"}, {"b", ""}}},
      {"x: v; Q=\"x y\";flag;q=second", "v", {{"Q", "x y"}, {"flag", ""}}},
      {"X: v; q=\"a;b \\\"c\\\\\" ; r = \"\" tail; s=\"open", "v", {{"q", "a;b \"c\\"}, {"r", ""}, {"s", "open"}}},
      {"X : ;=3;;n=", "", {{"", "3"}, {"n", ""}}},
      {"X: v;\r\n\ta=1;\r\n  b=\"2\"", "v", {{"a", "1"}, {"b", "2"}}},  // folded over three lines
      {"X: v; label=" + label, "v", {{"label", label}}},
  };
  for (const auto& [line, value, params] : cases) {
    std::istringstream in("Content-Type: a/b\n" + line + "\r\n  \t \nContent-type: c/d; v=1\n\nbody");
    GenericMIMEReader reader;
    ASSERT_EQ(reader.readHeader(in), 0) << line;
    EXPECT_EQ(reader.header("X").value, value) << line;
    EXPECT_EQ((std::map<std::string, std::string>(reader.header("X").params.begin(), reader.header("X").params.end())),
              params) << line;
    EXPECT_EQ(reader.contentType(), "c/d") << "the last Content-Type is the content type";
    EXPECT_EQ(reader.header("CONTENT-TYPE").value, "a/b") << "the first header of a name is kept";
    EXPECT_EQ(reader.header("Content-Type").param("V"), "1") << "parameters of a repeated header join the first";
    EXPECT_EQ(reader.header("missing").param("any"), "");
    EXPECT_EQ(rest(in), "body") << "a blank-only line does not end the block";
  }
}

// Every outcome of reading a header block, the answers of header handlers passed on among them.
TEST(MIMEHeader, AnswersEachOutcomeWithItsCodeReportAndStreamPosition) {
  const std::string huge(MIMEReader::kMaxLineLength, 'x');
  std::string endless = "Content-Type: a/b\n";
  for (int i = 0; i < 20000; ++i) endless += "X-" + std::to_string(i) + ": v\n";
  // Read by a plain reader ('g'), a multipart one ('m') or one whose handlers answer otherwise ('s').
  const std::vector<std::tuple<std::string, char, int, std::string>> cases = {
      {"", 'g', -3, ""},
      {"Subject: hi\n\n", 'g', -4, ""},
      {"Content-Type: text/plain\nno colon here\n\n", 'g', -2, ""},
      {"Content-Type: textplain\n\n", 'g', -5, "E: Malformed MIME type: textplain"},
      {"Content-Type: text/plain\n\n", 'm', -6, ""},
      {"content-type: Multipart/Mixed; Boundary=XYZ\n\n", 'm', 0, ""},
      {"Content-Type: multipart/mixed; boundary=\"\"\n\n", 'm', -7, "E: Multipart MIME requires a 'boundary' parameter"},
      {"Content-Type: text/plain\n", 'g', 0, "E: Unexpected EOF or file error during MIME header parsing"},
      {"Content-Type: text/plain", 'g', -4, "E: Unexpected EOF or file error during MIME header parsing"},
      {"MIME-Version: 2.0\nContent-Type: a/b\n\n", 'g', 0, "W: MIME-Version '2.0' not supported, this parse may fail"},
      {"Content-Type: a/b\nX-Long: " + huge + "\n\n", 'g', -2, "E: MIME header line longer than 65536 characters"},
      {"Content-Type: a/b; x=" + huge + "\n\n", 'g', -4, "E: MIME header line longer than 65536 characters"},
      {endless, 'g', -2, "E: MIME header longer than 10000 lines or 1048576 characters"},
      {"Content-Type: a/b\nContent-Type: text/html\nX: y\n\n", 's', -1, ""},
      {"Content-Type: a/b\nX-Note: n\nX: m\n\n", 's', 7, ""},
      {"Content-Type: a/b; q=1;p=2\n\n", 's', -8, ""},
  };
  for (const auto& [text, kind, code, report] : cases) {
    RecordingReports reports;
    std::istringstream in(text);
    std::unique_ptr<MIMEReader> reader;
    if (kind == 'g') reader = std::make_unique<GenericMIMEReader>();
    if (kind == 'm') reader = std::make_unique<MultipartMIMEReader>();
    if (kind == 's') reader = std::make_unique<Scripted>();
    const std::string what = text.substr(0, 50);
    EXPECT_EQ(reader->readHeader(in), code) << what;
    EXPECT_EQ(reports.texts(), report.empty() ? std::vector<std::string>{} : std::vector<std::string>{report}) << what;
    if (code < 0) {
      EXPECT_EQ(rest(in), text) << "the stream is put back for " << what;
    }
  }
  std::istringstream failed("Content-Type: a/b\n\n");
  failed.setstate(std::ios::failbit);
  EXPECT_EQ(GenericMIMEReader().readHeader(failed), -3);
}

// A folded line that meets the end of input still counts; the end is reported.
TEST(MIMEHeader, AFoldedLineThatMeetsTheEndStillCounts) {
  RecordingReports reports;
  std::istringstream cut("Content-Type: a/b;\n v=1\n x");
  GenericMIMEReader reader;
  EXPECT_EQ(reader.readHeader(cut), 0);
  EXPECT_EQ(reader.header("content-type").param("V"), "1");
  EXPECT_EQ(reports.texts(), std::vector<std::string>{"E: Unexpected EOF or file error during MIME header parsing"});
}


TEST(MultipartWalk, StopsOnlyAtTheExactBoundaryLine) {
  const std::string header = "Content-Type: multipart/mixed; BOUNDARY=XYZ\n\n";
  const std::vector<std::pair<std::string, int>> cases = {
      {"--XYZ--\n--XYZ---\n--XYZ-\n --XYZ\n--XYZ \n--xyz\n--XY\n--XYZ\r\npart\n", 0},
      {"preamble\n--XYZ--\ntrailer\n", -1},  // the closing delimiter is no part
      {"preamble\n--XYZ", -1},               // nor a boundary without line end
  };
  for (const auto& [after, code] : cases) {
    std::istringstream in(header + after);
    MultipartMIMEReader reader;
    ASSERT_EQ(reader.readHeader(in), 0);
    EXPECT_EQ(reader.nextPart(in), code) << after.substr(0, 20);
    if (code == 0) {
      EXPECT_EQ(rest(in), "part\n");
    }
  }
}

