// The history: record, discard, undo, redo, release and failures kept inside.
#include "commands/CommandHandler.h"

#include <gtest/gtest.h>

#include "model/GraphicObjectLocator.h"
#include "tests/TestSupport.h"

namespace {

// A command whose life and results the test can watch.
struct Probe : Command {
  Probe(std::vector<std::string>& log, std::string name, int result = 0)
      : Command(NullObjectLocator(), kCmdMoveTo), log(log), name(std::move(name)), result(result) {}
  ~Probe() override { log.push_back("destroy " + name); }
  int execute() override {
    log.push_back("execute " + name);
    return result;
  }
  int undo() override {
    log.push_back("undo " + name);
    return result;
  }
  void release() override { log.push_back("release " + name); }
  std::vector<std::string>& log;
  std::string name;
  int result;
};

struct HistoryState {
  unsigned undoCount;
  bool canRedo;
  std::size_t size;
  bool operator==(const HistoryState&) const = default;
};

HistoryState state(const CommandHandler& h) { return {h.undoCount(), h.canRedo(), h.commandCount()}; }

// An empty history has nothing to undo or redo and takes no null command; a new command
// after undos discards the undone ones, newest first.
TEST(CommandHandler, RecordUndoRedoDiscardNewestFirstAndFailures) {
  std::vector<std::string> log;
  CommandHandler h;
  EXPECT_EQ(h.undo(), -589);
  EXPECT_EQ(h.redo(), -589);
  EXPECT_EQ(h.execute(nullptr), -245);
  EXPECT_EQ(state(h), (HistoryState{0, false, 0}));
  for (const char* name : {"1", "2", "3"}) h.execute(std::make_unique<Probe>(log, name));
  h.undo();
  h.undo();
  EXPECT_EQ(state(h), (HistoryState{1, true, 3}));
  log.clear();
  h.execute(std::make_unique<Probe>(log, "4"));
  EXPECT_EQ(log, (std::vector<std::string>{"execute 4", "release 3", "destroy 3", "release 2", "destroy 2"}));
  EXPECT_EQ(state(h), (HistoryState{2, false, 2}));
  h.undo();
  log.clear();
  EXPECT_EQ(h.redo(), 0);
  EXPECT_EQ(log, std::vector<std::string>{"execute 4"});
  log.clear();
  h.clear();
  EXPECT_EQ(log, (std::vector<std::string>{"release 4", "destroy 4", "release 1", "destroy 1"}));

  // A new command that fails is not recorded (and drops nothing); an undo or redo that fails
  // still moves the position.
  auto flaky = std::make_unique<Probe>(log, "flaky");
  Probe* raw = flaky.get();
  h.execute(std::move(flaky));
  h.undo();
  EXPECT_EQ(h.execute(std::make_unique<Probe>(log, "bad", -1)), -1);
  EXPECT_EQ(state(h), (HistoryState{0, true, 1}));
  raw->result = -300;
  EXPECT_EQ(h.redo(), -300);
  EXPECT_EQ(state(h), (HistoryState{1, false, 1}));
}

// The clean mark follows undo and redo back to its place, and is gone for good once the
// commands after it are dropped or something changes that no undo restores.
TEST(CommandHandler, CleanMarkComesBackByUndoUntilItsPlaceIsDropped) {
  std::vector<std::string> log;
  CommandHandler h;
  int told = 0;
  h.setChangeCallback([&told] { ++told; });
  EXPECT_TRUE(h.isClean());
  h.execute(std::make_unique<Probe>(log, "1"));
  h.execute(std::make_unique<Probe>(log, "2"));
  EXPECT_FALSE(h.isClean());
  h.markClean();  // saved after 2
  h.undo();
  EXPECT_FALSE(h.isClean());
  h.redo();
  EXPECT_TRUE(h.isClean());
  EXPECT_EQ(told, 5);

  h.undo();
  h.undo();
  h.execute(std::make_unique<Probe>(log, "3"));  // drops 2, where the clean place was
  h.undo();
  EXPECT_FALSE(h.isClean());

  h.markClean();
  h.loseClean();
  h.redo();
  h.undo();
  EXPECT_FALSE(h.isClean());
}

// Lookup exceptions are reported, not thrown; the history owns a deleted element only while
// it is deleted.
TEST(CommandHandler, LookupExceptionsAndTheDeleteLifecycle) {
  RecordingReports reports;
  struct Throwing : Command {
    Throwing() : Command(NullObjectLocator(), kCmdNewNode) {}
    int execute() override { throw Graphic::Exception("operator[]: Index 9 not found"); }
  };
  CommandHandler h;
  EXPECT_EQ(h.execute(std::make_unique<Throwing>()), -300);
  EXPECT_TRUE(reports.saw("E: CMap exception: operator[]: Index 9 not found"));
  TestHistoryRoot root;
  int destroyed = 0;
  struct Counted : TestElement {
    explicit Counted(int& n) : BehaviouralGraphic("test"), n(n) {}
    ~Counted() override { ++n; }
    int& n;
  };
  auto* a = addTo(root, std::make_unique<Counted>(destroyed));
  auto* b = addTo(root, std::make_unique<Counted>(destroyed));
  root.execute(std::make_unique<CommandPtr1<SensitiveGraphic>>(GraphicObjectLocator(*a), kCmdDelete, nullptr, nullptr));
  root.undo();  // a is back in the map
  EXPECT_EQ(root.find(1), a);
  root.CommandHandler::clear();  // discarding the undone DELETE leaves a alone
  EXPECT_EQ(destroyed, 0);
  root.execute(std::make_unique<CommandPtr1<SensitiveGraphic>>(GraphicObjectLocator(*b), kCmdDelete, nullptr, nullptr));
  EXPECT_EQ(root.find(2), nullptr);
  root.CommandHandler::clear();  // discarding a done DELETE destroys the deleted element
  EXPECT_EQ(destroyed, 1);
}

}  // namespace
