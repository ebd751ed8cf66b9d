// Report texts, log lines, trace depth and the choice between console and box.
#include "support/ErrorReporter.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/TestSupport.h"

namespace {

std::string readLog(const std::string& path = logFilePath()) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Sets environment variables for one test and puts them back afterwards.
class ScopedEnv {
 public:
  void set(const char* name, const char* value) {
    const char* old = std::getenv(name);
    saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ~ScopedEnv() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
      it->second ? setenv(it->first.c_str(), it->second->c_str(), 1) : unsetenv(it->first.c_str());
  }

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

class ReporterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // ctest runs the cases of this file side by side: each keeps a log of its own.
    const char* shared = std::getenv("BRENLO_LOG");
    std::string own = (shared ? std::string(shared) : ::testing::TempDir() + "/reporter.log") + "." +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name();
    ownLog.set("BRENLO_LOG", own.c_str());
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
  // The environment of a program without a log setting, a home or a usable temporary folder.
  static void withoutLogPlaces(ScopedEnv& env) {
    env.set("BRENLO_LOG", nullptr);
    env.set("XDG_STATE_HOME", nullptr);
    env.set("HOME", nullptr);
    env.set("TMPDIR", "/nonexistent-tmp");
  }
  ScopedEnv ownLog;
  RecordingReports reports;
};

// An error goes to the log, timed in English names whatever the locale, and to the console with a
// beep; control characters from files cannot forge log lines, while what the user sees keeps them.
// Trace lines are indented by their depth, which never goes below zero.
TEST_F(ReporterTest, ErrorsAndTracesInTheLog) {
  reportError(nullptr, 'E', "Can't open file '%s'", "x.CM");
  EXPECT_EQ(logLines(), std::vector<std::string>{"E: Can't open file 'x.CM'"});
  EXPECT_EQ(reports.texts(), std::vector<std::string>{"E: Can't open file 'x.CM'"}) << "shown, and in no box";
  EXPECT_EQ(reports.beeps, std::vector<ReportIcon>{ReportIcon::Exclamation});
  EXPECT_EQ(readLog().find("] E: "), 25u) << "after the time stamp";
  EXPECT_EQ(calendarTimeText(localTime(2026, 12, 6, 7, 5, 9)), "Sun Dec  6 07:05:09 2026") << "in English names";
  reportError(nullptr, 'E', "bad line: %s", "x\n[Sun Dec  6 07:05:09 2026] I: forged\r\x1b[2J");
  EXPECT_EQ(logLines().back(), "E: bad line: x\\n[Sun Dec  6 07:05:09 2026] I: forged\\r\\x1b[2J");
  EXPECT_TRUE(reports.saw("forged\r\x1b"));

  std::ofstream(logFilePath(), std::ios::trunc).close();
  reportError(nullptr, 'T', "enter");
  EXPECT_EQ(traceDepth(), 1);
  for (const auto& [severity, text] : std::vector<std::pair<char, const char*>>{
           {'T', "deeper"}, {'E', "plain"}, {'T', "third"}, {'t', "leave"}, {'t', "leave"}, {'t', "leave"},
           {'t', "below zero"}})
    reportError(nullptr, severity, "%s", text);
  EXPECT_EQ(traceDepth(), 0);
  EXPECT_EQ(logLines(), (std::vector<std::string>{"T: enter", "T:  deeper", "E: plain", "T:   third",
                                                   "t:   leave", "t:  leave", "t: leave", "t: below zero"}));
}

// 'Z' is shown without prefix, never logged and never beeps; the handler-only target opens
// no box, and takes lower-case severities as upper-case ones. Without a handler, or when the
// handler refuses, a box shows the report with the severity's icon.
TEST_F(ReporterTest, QuietReportsTheHandlerOnlyTargetAndBoxes) {
  reportError(nullptr, 'Z', "quiet %d", 5);
  EXPECT_TRUE(readLog().empty());
  EXPECT_TRUE(reports.beeps.empty());
  reportError(kHandlerOnlyTarget, 'w', "lower case");
  ASSERT_EQ(reports.shown.size(), 2u);
  EXPECT_EQ(reports.shown[0].text, "quiet 5");
  EXPECT_EQ(reports.shown[1].severity, 'W');
  reports.withHandler = false;
  reportError(kHandlerOnlyTarget, 'F', "nobody listens");
  EXPECT_TRUE(reports.boxes.empty() && reports.questions.empty());
  reportError(nullptr, 'I', "info");
  reports.withHandler = true;
  reports.handlerAnswer = 1;
  reportError(nullptr, 'W', "refused");
  EXPECT_EQ(reports.boxes, (std::vector<std::string>{"I: info", "W: refused"}));
  EXPECT_EQ(reports.boxIcons, (std::vector<ReportIcon>{ReportIcon::Information, ReportIcon::Exclamation}));
}

// Long messages are cut to the room, dropping a multi-byte character at the cut whole. A fatal
// report asks whether to abort; answered no, the program carries on; a long one is cut so that
// its question still shows.
TEST_F(ReporterTest, LongReportsAreCutAndAFatalOneAnsweredNoCarriesOn) {
  reportError(nullptr, 'E', "%s", std::string(5000, 'y').c_str());
  ASSERT_EQ(reports.shown.size(), 1u);
  EXPECT_EQ(reports.shown[0].text.size(), 3999u);
  reportError(nullptr, 'E', "%s", (std::string(3995, 'a') + "\xC3\xA9").c_str());
  EXPECT_EQ(reports.shown[1].text.size(), 3998u);

  reportError(nullptr, 'F', "broken %s", "map");
  reportError(nullptr, 'F', "%s", std::string(1000, 'x').c_str());
  ASSERT_EQ(reports.questions.size(), 2u);
  EXPECT_EQ(reports.questions[0], "F: broken map\n\nAbort Program?");
  EXPECT_EQ(reports.breaks.size(), 2u);
  EXPECT_EQ(logLines()[2], "F: broken map");
  EXPECT_LT(reports.questions[1].size(), 320u);
  EXPECT_TRUE(reports.questions[1].ends_with("\n\nAbort Program?"));
}

// The log lives in the state folder unless set. A log that cannot be written, or no folder for
// one at all, loses only the lines; the trouble is told once.
TEST_F(ReporterTest, WhereTheLogLivesAndALogThatCannotBeWritten) {
  {
    ScopedEnv env;
    env.set("BRENLO_LOG", nullptr);
    const std::string state = ::testing::TempDir() + "/state-home";
    env.set("XDG_STATE_HOME", state.c_str());
    EXPECT_EQ(logFilePath(), state + "/brenlo/" + executableBaseName() + ".log");
    EXPECT_EQ(executableBaseName(), "support_tests");
  }
  for (const std::string unwritable : {"/nonexistent-dir/x/brenlo.log", ""}) {
    RecordingReports seen;
    ScopedEnv env;
    withoutLogPlaces(env);
    if (!unwritable.empty()) env.set("BRENLO_LOG", unwritable.c_str());
    EXPECT_EQ(logFilePath(), unwritable);
    reportError(nullptr, 'E', "still shown");
    reportError(nullptr, 'E', "shown again");
    EXPECT_EQ(seen.texts(), (std::vector<std::string>{"E: still shown", "E: shown again"}));
    ASSERT_EQ(seen.logTroubles.size(), 1u) << "told once";
    EXPECT_NE(seen.logTroubles[0].find(unwritable), std::string::npos);
  }
}

TEST_F(ReporterTest, FallbackLogFolderIsPrivateAndNeverFollowsLinks) {
  const std::string tmp = ::testing::TempDir() + "/tmp-fallback";
  ScopedEnv env;
  withoutLogPlaces(env);
  std::filesystem::remove_all(tmp);
  std::filesystem::create_directories(tmp);
  env.set("TMPDIR", tmp.c_str());
  const std::string dir = tmp + "/brenlo-" + std::to_string(::geteuid());
  const std::string log = dir + "/" + executableBaseName() + ".log";
  EXPECT_EQ(logFilePath(), log);
  struct stat st {};
  ASSERT_EQ(::lstat(dir.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  // A link planted in place of the log is not written through.
  const std::string victim = tmp + "/victim";
  std::ofstream(victim) << "untouched";
  std::filesystem::create_symlink(victim, log);
  reportError(nullptr, 'E', "not through the link");
  EXPECT_EQ(readLog(victim), "untouched");
  EXPECT_EQ(reports.logTroubles.size(), 1u);
  // A folder others may write into is refused.
  std::filesystem::remove(log);
  ::chmod(dir.c_str(), 0777);
  EXPECT_EQ(logFilePath(), "");
}

// The log is moved aside at its size limit, keeping one copy. A full disk is told, and a write
// cut short by the file size limit is taken back whole.
TEST_F(ReporterTest, TheLogIsMovedAsideAtItsLimitAndNeverLeftWithHalfALine) {
  const std::string log = logFilePath();
  std::filesystem::remove(log + ".1");
  ASSERT_EQ(::truncate(log.c_str(), kLogRotationSize), 0);
  reportError(nullptr, 'E', "first of the new log");
  EXPECT_EQ(std::filesystem::file_size(log + ".1"), static_cast<std::uintmax_t>(kLogRotationSize));
  EXPECT_EQ(logLines(), std::vector<std::string>{"E: first of the new log"});
  std::filesystem::remove(log + ".1");
  {
    ScopedEnv env;
    env.set("BRENLO_LOG", "/dev/full");
    reportError(nullptr, 'E', "disk full");
    EXPECT_TRUE(reports.saw("E: disk full"));
    EXPECT_EQ(reports.logTroubles.size(), 1u);
  }
  auto reportPastTheLimit = [&log] {
    std::signal(SIGXFSZ, SIG_IGN);
    std::ofstream(log, std::ios::trunc) << std::string(1000, 'x');
    rlimit limit{1050, 1050};
    setrlimit(RLIMIT_FSIZE, &limit);
    reportError(nullptr, 'E', "%s", std::string(200, 'y').c_str());
    std::_Exit(std::filesystem::file_size(log) == 1000 ? 0 : 1);  // no exit handlers: they would write under the limit
  };
  EXPECT_EXIT(reportPastTheLimit(), ::testing::ExitedWithCode(0), "");
}

// A batch makes the first hundred reports and sums up the rest (a batch inside another adds
// nothing), and opens at most one modal box; boxes that hold nobody up are all shown.
TEST_F(ReporterTest, ABatchBoundsItsReportsAndItsBoxes) {
  {
    ReportBatch batch("big.CM");
    ReportBatch inner("ignored.CM");
    for (int i = 0; i < 150; ++i) reportError(nullptr, i % 2 ? 'E' : 'W', "problem %d", i);
    EXPECT_EQ(batch.suppressed(), 50u);
  }
  std::vector<std::string> lines = logLines();
  ASSERT_EQ(lines.size(), 101u);
  EXPECT_EQ(lines[100], "E: ... and 50 more problems in 'big.CM'");
  EXPECT_EQ(reports.shown.size(), 101u);
  reportError(nullptr, 'I', "after");  // after the batch every report is made again
  EXPECT_TRUE(reports.saw("I: after"));

  reports.withHandler = false;
  {
    ReportBatch batch("boxes.CM");
    reportError(nullptr, 'E', "first");
    reportError(nullptr, 'E', "second");
    reportError(nullptr, 'F', "fatal");
  }
  EXPECT_EQ(reports.boxes, std::vector<std::string>{"E: first"});
  EXPECT_TRUE(reports.questions.empty());
  EXPECT_EQ(logLines().size(), 105u);
  reports.modalBoxes = false;  // lines on standard error
  {
    ReportBatch batch("lines.CM");
    reportError(nullptr, 'E', "one");
    reportError(nullptr, 'E', "two");
  }
  EXPECT_EQ(reports.boxes.size(), 3u);
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

}  // namespace
