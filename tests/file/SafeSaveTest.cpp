// Saving over protected files, links, other owners' files, unwritable folders and things that
// are not files; temporaries of killed saves; noticing a file another program changed.
#include "file/SafeSave.h"

#include <fcntl.h>
#include <grp.h>
#include <filesystem>
#include <fstream>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>

#include "file/MapFile.h"
#include "tests/MapFixture.h"

namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;

class SafeSaveTest : public MapFixture {
 protected:
  void SetUp() override {
    dir = ::testing::TempDir() + "brenlo-save-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(dir);
    fs::create_directories(dir);
    node({0, 0, 30, 20}, "saved");
  }
  void TearDown() override {
    ::chmod(dir.c_str(), 0755);
    fs::remove_all(dir);
  }
  static void put(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
  static bool holdsTheMap(const std::string& path) { return slurp(path).find("\"saved\"") != std::string::npos; }
  std::vector<std::string> hiddenFiles() const {
    std::vector<std::string> out;
    for (const auto& entry : fs::directory_iterator(dir))
      if (entry.path().filename().string()[0] == '.') out.push_back(entry.path().filename().string());
    return out;
  }
  // Runs `body` in a child process as an ordinary user (nobody, when the tests run as the
  // superuser, who may write anything); the child's exit code is the number of failures.
  int asOrdinaryUser(const std::function<int()>& body) {
    pid_t child = ::fork();
    if (child == 0) {
      if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
        ::_exit(100);
      ::_exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 200;
  }
  // Saves in a child under a 100-byte file size limit whose signal is left to kill it or is ignored;
  // the child's wait status.
  int saveUnderALimit(const std::string& path, void (*onSignal)(int)) {
    const pid_t child = ::fork();
    if (child == 0) {
      std::signal(SIGXFSZ, onSignal);
      rlimit limit{100, 100};
      ::setrlimit(RLIMIT_FSIZE, &limit);
      ::_exit(save(map, path) ? 1 : 0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
  }
  std::string dir;
};

TEST_F(SafeSaveTest, AProtectedFileIsRefusedForEverybodyAndKept) {
  const std::string path = dir + "/protected.CM";
  put(path, "old");
  ::chmod(path.c_str(), 0444);
  EXPECT_FALSE(save(map, path));
  EXPECT_TRUE(reports.saw("E: Can't open file '" + path + "'"));
  EXPECT_EQ(slurp(path), "old");
  EXPECT_EQ(fs::status(path).permissions(), fs::perms(0444));
  // An ordinary user is refused too, and so is a file of somebody else that the mode does
  // not open to others.
  if (::geteuid() == 0) {
    const std::string others = dir + "/others.CM";
    put(others, "old");
    ::chmod(others.c_str(), 0644);
    ::chmod(dir.c_str(), 0777);
    ::chown(path.c_str(), kNobody, kNobody);
    EXPECT_EQ(asOrdinaryUser([&] { return int(save(map, path)) + int(save(map, others)); }), 0);
    EXPECT_EQ(slurp(path), "old");
    EXPECT_EQ(slurp(others), "old");
  }
}

TEST_F(SafeSaveTest, LinksHardLinksOwnerGroupAndModeAreKept) {
  // A symbolic link (relative, through a second link) is followed to the file it names.
  const std::string target = dir + "/target.CM";
  put(target, "old");
  ::chmod(target.c_str(), 0640);
  fs::create_symlink("target.CM", dir + "/first.CM");
  fs::create_symlink(dir + "/first.CM", dir + "/link.CM");
  ASSERT_TRUE(save(map, dir + "/link.CM"));
  EXPECT_TRUE(fs::is_symlink(dir + "/link.CM"));
  EXPECT_TRUE(holdsTheMap(target));
  EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640));

  // A hard-linked file stays one file with two names.
  const std::string other = dir + "/other-name.CM";
  fs::create_hard_link(target, other);
  put(target, "old");
  ASSERT_TRUE(save(map, target));
  EXPECT_EQ(fs::hard_link_count(target), 2u);
  EXPECT_TRUE(holdsTheMap(other));

  if (::geteuid() != 0) GTEST_SKIP() << "owners can be given only by the superuser";
  const std::string owned = dir + "/owned.CM";
  put(owned, "old");
  ::chown(owned.c_str(), 1234, 5678);
  ::chmod(owned.c_str(), 0664);
  ASSERT_TRUE(save(map, owned));
  struct stat st {};
  ::stat(owned.c_str(), &st);
  EXPECT_EQ(st.st_uid, 1234u);
  EXPECT_EQ(st.st_gid, 5678u);
  EXPECT_EQ(st.st_mode & 07777, 0664u);
  EXPECT_TRUE(holdsTheMap(owned));
  // An ordinary user saving a file of somebody else's group-writable file keeps its owner:
  // the content is written in place.
  ::chown(owned.c_str(), 1234, kNobody);
  ::chmod(dir.c_str(), 0777);
  put(owned, "old");
  EXPECT_EQ(asOrdinaryUser([&] { return int(!save(map, owned)); }), 0);
  ::stat(owned.c_str(), &st);
  EXPECT_EQ(st.st_uid, 1234u);
  EXPECT_TRUE(holdsTheMap(owned));
}

TEST_F(SafeSaveTest, AWritableFileInAFolderThatTakesNoNewFilesIsWrittenInPlace) {
  const std::string path = dir + "/map.CM";
  put(path, "old content that is longer than nothing");
  ::chmod(path.c_str(), 0666);
  ::chmod(dir.c_str(), 0555);
  EXPECT_EQ(asOrdinaryUser([&] {
              if (!save(map, path)) return 1;
              // A file that does not exist yet cannot be made there: no false success.
              return int(save(map, dir + "/new.CM")) * 2;
            }),
            0);
  EXPECT_TRUE(holdsTheMap(path));
  EXPECT_FALSE(fs::exists(dir + "/new.CM"));
  RootMap back;
  EXPECT_TRUE(openMapFile(back, path));
  EXPECT_EQ(back.memberCount(), 1u);
}

TEST_F(SafeSaveTest, OnlyRegularFilesAreReplaced) {
  const std::string fifo = dir + "/pipe.CM";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
  EXPECT_FALSE(save(map, fifo));
  EXPECT_TRUE(reports.saw("E: Can't save file '" + fifo + "': it is not a regular file"));
  EXPECT_TRUE(fs::is_fifo(fifo));

  const std::string dangling = dir + "/dangling.CM";
  fs::create_symlink(dir + "/nowhere.CM", dangling);
  EXPECT_FALSE(save(map, dangling));
  EXPECT_TRUE(reports.saw("E: Can't save file '" + dangling + "': it is a link to a missing file"));
  EXPECT_TRUE(fs::is_symlink(dangling));
  EXPECT_FALSE(fs::exists(dir + "/nowhere.CM"));
  EXPECT_TRUE(hiddenFiles().empty());
}

TEST_F(SafeSaveTest, TemporariesOfKilledSavesGoAndFailedSavesLeaveNone) {
  const std::string path = dir + "/map.CM";
  ASSERT_TRUE(save(map, path));
  // A save killed while writing leaves its temporary behind: make one the way a save does,
  // by saving with a write limit in a child that the limit kills.
  ASSERT_TRUE(WIFSIGNALED(saveUnderALimit(path, SIG_DFL)));
  ASSERT_EQ(hiddenFiles().size(), 1u);
  const std::string stale = dir + "/" + hiddenFiles()[0];
  EXPECT_LT(hiddenFiles()[0].size(), 24u);
  EXPECT_TRUE(holdsTheMap(path));

  // A temporary of another target, and one a running save still holds, are left alone.
  put(dir + "/other.CM", "");
  ASSERT_TRUE(save(map, dir + "/other.CM"));
  EXPECT_EQ(hiddenFiles().size(), 1u);
  const int held = ::open(stale.c_str(), O_RDONLY);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  ASSERT_TRUE(save(map, path));
  EXPECT_TRUE(fs::exists(stale));
  ::close(held);
  ASSERT_TRUE(save(map, path));
  EXPECT_FALSE(fs::exists(stale));

  // A save that fails (the size limit, now ignored, makes the write fail) leaves nothing.
  const int status = saveUnderALimit(path, SIG_IGN);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the failure is told";
  EXPECT_TRUE(hiddenFiles().empty());
  EXPECT_TRUE(holdsTheMap(path));
}

TEST_F(SafeSaveTest, AStampTellsAChangedFileFromAnUnchangedOneAndLongNamesSave) {
  const std::string path = dir + "/map.CM";
  EXPECT_FALSE(stampOfFile(path).exists);
  ASSERT_TRUE(save(map, path));
  const FileStamp saved = stampOfFile(path);
  EXPECT_TRUE(saved.exists);
  EXPECT_EQ(saved.size, fs::file_size(path));
  EXPECT_EQ(stampOfFile(path), saved);
  // Same size and the same time, other bytes.
  std::string text = slurp(path);
  text[text.size() / 2] ^= 1;
  struct stat st {};
  ::stat(path.c_str(), &st);
  put(path, text);
  timespec times[2] = {st.st_atim, st.st_mtim};
  ::utimensat(AT_FDCWD, path.c_str(), times, 0);
  EXPECT_NE(stampOfFile(path), saved);
  // The longest legal names save.
  for (std::size_t length : {248u, 255u}) {
    const std::string path = dir + "/" + std::string(length - 3, 'n') + ".CM";
    EXPECT_TRUE(save(map, path)) << length;
    EXPECT_TRUE(holdsTheMap(path));
  }
}

}  // namespace
