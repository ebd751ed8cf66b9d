// Report texts, log lines, trace depth and the choice between console and box.
#include "support/ErrorReporter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/TestSupport.h"

namespace {

std::string readLog() {
  std::ifstream in(logFilePath());
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class ReporterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ofstream(logFilePath(), std::ios::trunc).close();
    setTraceDepth(0);
  }
  // The log lines without their bracketed time stamps.
  std::vector<std::string> logLines() {
    std::vector<std::string> out;
    std::istringstream in(readLog());
    for (std::string line; std::getline(in, line);) {
      auto close = line.find("] ");
      out.push_back(close == std::string::npos ? line : line.substr(close + 2));
    }
    return out;
  }
  RecordingReports reports;
};

TEST_F(ReporterTest, ErrorGoesToLogAndConsoleWithBeep) {
  reportError(nullptr, 'E', "Can't open file '%s'", "x.CM");
  EXPECT_EQ(logLines(), std::vector<std::string>{"E: Can't open file 'x.CM'"});
  ASSERT_EQ(reports.shown.size(), 1u);
  EXPECT_EQ(reports.shown[0].text, "E: Can't open file 'x.CM'");
  EXPECT_TRUE(reports.boxes.empty());
  EXPECT_EQ(reports.beeps, std::vector<ReportIcon>{ReportIcon::Exclamation});
  // The line starts with the calendar time in brackets.
  std::string log = readLog();
  EXPECT_EQ(log[0], '[');
  EXPECT_EQ(log.find("] E: "), 25u);
}

TEST_F(ReporterTest, TraceLinesAreIndentedByDepth) {
  reportError(nullptr, 'T', "enter");
  EXPECT_EQ(traceDepth(), 1);
  reportError(nullptr, 'T', "deeper");
  reportError(nullptr, 'E', "plain");
  reportError(nullptr, 'T', "third");
  reportError(nullptr, 't', "leave");
  reportError(nullptr, 't', "leave");
  reportError(nullptr, 't', "leave");
  reportError(nullptr, 't', "below zero");
  EXPECT_EQ(traceDepth(), 0);
  EXPECT_EQ(logLines(), (std::vector<std::string>{"T: enter", "T:  deeper", "E: plain", "T:   third",
                                                   "t:   leave", "t:  leave", "t: leave",
                                                   "t: below zero"}));
}

TEST_F(ReporterTest, ZIsShownWithoutPrefixAndNeverLogged) {
  reportError(nullptr, 'Z', "quiet %d", 5);
  EXPECT_TRUE(readLog().empty());
  ASSERT_EQ(reports.shown.size(), 1u);
  EXPECT_EQ(reports.shown[0].text, "quiet 5");
  EXPECT_TRUE(reports.beeps.empty());
}

TEST_F(ReporterTest, HandlerOnlyTargetNeverOpensABox) {
  reports.withHandler = false;
  reportError(kHandlerOnlyTarget, 'F', "nobody listens");
  EXPECT_TRUE(reports.texts().empty());
  EXPECT_TRUE(reports.questions.empty());
  reports.withHandler = true;
  reportError(kHandlerOnlyTarget, 'w', "lower case");
  ASSERT_EQ(reports.shown.size(), 1u);
  EXPECT_EQ(reports.shown[0].severity, 'W');
}

TEST_F(ReporterTest, BoxWhenNoHandlerOrHandlerRefuses) {
  reports.withHandler = false;
  reportError(nullptr, 'I', "info");
  reports.withHandler = true;
  reports.handlerAnswer = 1;
  reportError(nullptr, 'W', "refused");
  EXPECT_EQ(reports.boxes, (std::vector<std::string>{"I: info", "W: refused"}));
  EXPECT_EQ(reports.boxIcons, (std::vector<ReportIcon>{ReportIcon::Information, ReportIcon::Exclamation}));
}

TEST_F(ReporterTest, FatalAnsweredNoCarriesOn) {
  reportError(nullptr, 'F', "broken %s", "map");
  ASSERT_EQ(reports.questions.size(), 1u);
  EXPECT_EQ(reports.questions[0], "F: broken map\n\nAbort Program?");
  EXPECT_EQ(reports.breaks.size(), 1u);
  EXPECT_EQ(logLines(), std::vector<std::string>{"F: broken map"});
}

TEST_F(ReporterTest, LongFatalKeepsItsQuestion) {
  reportError(nullptr, 'F', "%s", std::string(1000, 'x').c_str());
  ASSERT_EQ(reports.questions.size(), 1u);
  EXPECT_LT(reports.questions[0].size(), 320u);
  EXPECT_TRUE(reports.questions[0].ends_with("\n\nAbort Program?"));
}

TEST_F(ReporterTest, LongMessagesAreCutToTheRoom) {
  reportError(nullptr, 'E', "%s", std::string(5000, 'y').c_str());
  ASSERT_EQ(reports.shown.size(), 1u);
  EXPECT_EQ(reports.shown[0].text.size(), 3999u);
  // A multi-byte character at the cut is dropped whole, never split.
  std::string label = std::string(3995, 'a') + "\xC3\xA9";
  reportError(nullptr, 'E', "%s", label.c_str());
  EXPECT_EQ(reports.shown[1].text.size(), 3998u);
}

TEST_F(ReporterTest, UnwritableLogLosesOnlyTheLine) {
  const char* saved = std::getenv("BRENLO_LOG");
  std::string keep = saved ? saved : "";
  setenv("BRENLO_LOG", "/nonexistent-dir/x/brenlo.log", 1);
  reportError(nullptr, 'E', "still shown");
  setenv("BRENLO_LOG", keep.c_str(), 1);
  EXPECT_TRUE(reports.saw("E: still shown"));
}

TEST(ReporterDeathTest, FatalAnsweredYesEndsWithCodeOne) {
  EXPECT_EXIT(
      {
        RecordingReports reports;
        reports.answerYes = true;
        reportError(nullptr, 'F', "give up");
      },
      ::testing::ExitedWithCode(1), "");
}

TEST(ReporterLogPath, FollowsStateFolderWhenNotOverridden) {
  const char* saved = std::getenv("BRENLO_LOG");
  std::string keep = saved ? saved : "";
  unsetenv("BRENLO_LOG");
  std::string dir = ::testing::TempDir() + "/state-home";
  setenv("XDG_STATE_HOME", dir.c_str(), 1);
  EXPECT_EQ(logFilePath(), dir + "/brenlo/" + executableBaseName() + ".log");
  EXPECT_EQ(executableBaseName(), "support_tests");
  setenv("BRENLO_LOG", keep.c_str(), 1);
}

TEST(CalendarTime, EnglishNamesWhateverTheLocale) {
  std::tm tm{};
  tm.tm_year = 126;
  tm.tm_mon = 11;
  tm.tm_mday = 6;
  tm.tm_hour = 7;
  tm.tm_min = 5;
  tm.tm_sec = 9;
  tm.tm_isdst = -1;
  EXPECT_EQ(calendarTimeText(std::mktime(&tm)), "Sun Dec  6 07:05:09 2026");
}

}  // namespace
