// Recovery sessions: copies of an editor that died are found once, by one editor, and can be
// adopted, discarded or left for later; a normal end leaves nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>
#include <sys/wait.h>
#include <unistd.h>

#include "file/MapFile.h"
#include "file/Recovery.h"
#include "model/RootMap.h"

namespace {

namespace fs = std::filesystem;

struct RecoveryTest : ::testing::Test {
  fs::path folder = fs::path(::testing::TempDir()) / ("recovery-" + std::to_string(::getpid()));
  RootMap map;

  void SetUp() override { fs::remove_all(folder); }
  void TearDown() override { fs::remove_all(folder); }

  // A child process writes copies of the given maps and ends without closing its session,
  // as an editor that was killed does.
  void dieWithCopies(const std::vector<std::string>& originals) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      RecoveryStore store(folder.string());
      bool ok = store.isOpen();
      for (const std::string& original : originals) ok = ok && store.writeCopy(store.openSlot(), map, original);
      std::fflush(nullptr);
      ::_exit(ok ? 0 : 1);  // no destructor runs
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
};

TEST_F(RecoveryTest, NormalEndLeavesNothingAndRunningEditorsKeepTheirCopies) {
  {
    RecoveryStore store(folder.string());
    ASSERT_TRUE(store.isOpen());
    const unsigned slot = store.openSlot();
    ASSERT_TRUE(store.writeCopy(slot, map, "relative.CM"));
    ASSERT_TRUE(store.writeCopy(slot, map, "relative.CM"));  // replaces, adds no second copy
    ASSERT_EQ(store.copies().size(), 1u);
    EXPECT_EQ(store.copyOf(slot)->original, (fs::current_path() / "relative.CM").string());
    {
      RecoveryStore beside(folder.string());  // a second editor while the first runs
      EXPECT_TRUE(beside.claimOrphans().empty());
    }
    store.removeCopy(slot);
    EXPECT_FALSE(store.copyOf(slot));
  }
  EXPECT_TRUE(fs::is_empty(folder));
}

TEST_F(RecoveryTest, OrphansAreClaimedOnceThenAdoptedDiscardedOrLeft) {
  dieWithCopies({"/maps/a.CM", ""});
  {
    RecoveryStore first(folder.string());
    const std::vector<RecoveryCopy> found = first.claimOrphans();
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].original, "/maps/a.CM");
    EXPECT_EQ(found[1].original, "");  // a new map
    RecoveryStore second(folder.string());
    EXPECT_TRUE(second.claimOrphans().empty()) << "claimed by the first";
    first.releaseClaimed();
    EXPECT_EQ(second.claimOrphans().size(), 2u) << "released: offered again";
  }
  {
    RecoveryStore store(folder.string());
    const std::vector<RecoveryCopy> found = store.claimOrphans();
    ASSERT_EQ(found.size(), 2u);
    const std::optional<unsigned> slot = store.adopt(found[0]);
    ASSERT_TRUE(slot);
    EXPECT_FALSE(fs::exists(found[0].copyFile));
    RootMap back;
    EXPECT_TRUE(openMapFile(back, store.copyOf(*slot)->copyFile));
    EXPECT_EQ(store.copyOf(*slot)->original, "/maps/a.CM");
    store.discardClaimed();
    EXPECT_FALSE(fs::exists(found[1].copyFile));
    // Still this store's own copy, so not an orphan for anyone while it runs.
    RecoveryStore other(folder.string());
    EXPECT_TRUE(other.claimOrphans().empty());
  }
  // The store kept its adopted copy at its end: it is offered again.
  RecoveryStore next(folder.string());
  EXPECT_EQ(next.claimOrphans().size(), 1u);
  next.discardClaimed();
}

TEST_F(RecoveryTest, IndexKeepsAnyFileNameAndRefusesPathsOutOfTheFolder) {
  const std::vector<RecoveryCopy> copies{{"/f/s1-1.CM", "/odd\tname\nwith\\slash.CM", 1800000000},
                                         {"/f/s1-2.CM", "", 0}};
  const std::vector<RecoveryCopy> back = parseRecoveryIndex(recoveryIndexText(copies), "/f");
  auto fields = [](const RecoveryCopy& c) { return std::tie(c.copyFile, c.original, c.when); };
  ASSERT_EQ(back.size(), 2u);
  for (std::size_t i = 0; i < back.size(); ++i) EXPECT_EQ(fields(back[i]), fields(copies[i])) << i;
  EXPECT_TRUE(parseRecoveryIndex("../x.CM\t2026-01-01T00:00:00Z\tNew Map\n"
                                 "sub/x.CM\t2026-01-01T00:00:00Z\tNew Map\n"
                                 "x.CM\tyesterday\tNew Map\n"
                                 "no tabs here\n",
                                 "/f")
                  .empty());
}

}  // namespace
