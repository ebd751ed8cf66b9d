// Dispatch through locators, and the text form of commands and composites.
#include "commands/Command.h"

#include <gtest/gtest.h>

#include <sstream>

#include "commands/ObjectLibrary.h"
#include "model/GraphicObjectLocator.h"
#include "tests/TestSupport.h"

namespace {

TEST(Command, ExecuteFindsTheReceiverEachTime) {
  TestRoot root;
  auto* e = addTo(root, std::make_unique<TestElement>(RECT{0, 0, 10, 10}));
  Command1<tagPOINT> move(GraphicObjectLocator(*e), kCmdMoveTo, {50, 60}, {0, 0});
  EXPECT_EQ(move.execute(), 0);
  EXPECT_EQ(e->origin(), (POINT{50, 60}));
  root.remove(*e);  // and destroyed
  EXPECT_EQ(move.execute(), -1) << "the root acts on behalf, and moves nothing";
  Command1<tagPOINT> lost(NullObjectLocator(), kCmdMoveTo, {}, {});
  EXPECT_EQ(lost.execute(), -300);
  EXPECT_EQ(Command().execute(), -300);
}

TEST(Command, ReadingWithEmptyRegistriesReportsTheMissingNames) {
  RecordingReports reports;
  std::istringstream in(R"("Command1<tagPOINT>",6c,"GraphicObjectLocator",(1),"u@h",0,0,0,3 -4,1 2)");
  EXPECT_EQ(Command::readCommand(in), nullptr);
  EXPECT_TRUE(reports.saw("E: Command::readCommand: Can't find Command1<tagPOINT> in CommandLibrary"));
  Command1<tagPOINT> target;
  std::istringstream rest(R"(6c,"GraphicObjectLocator",(1),"u@h",0,0,0,3 -4,1 2)");
  EXPECT_FALSE(target.readFrom(rest));
  EXPECT_TRUE(reports.saw("E: Command::readFrom: Can't find GraphicObjectLocator in ObjectLocatorLibrary"));
  EXPECT_EQ(target.locator(), nullptr);
}

// An embedding may register prototypes; then every command reads back to the same text.
class RegisteredCommands : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    commandLibrary().insert("Command1<tagPOINT>", std::make_unique<Command1<tagPOINT>>());
    commandLibrary().insert("Command1<tagRECT>", std::make_unique<Command1<tagRECT>>());
    commandLibrary().insert("Command1<string>", std::make_unique<Command1<std::string>>());
    commandLibrary().insert("Command1<unsigned long>", std::make_unique<Command1<unsigned long>>());
    commandLibrary().insert("Command2<unsigned int,unsigned long>",
                            std::make_unique<Command2<unsigned int, unsigned long>>());
    commandLibrary().insert("CompositeCommand", std::make_unique<CompositeCommand>());
    commandLibrary().insert("CommandPtr1<SensitiveGraphic>", std::make_unique<CommandPtr1<SensitiveGraphic>>());
    objectLocatorLibrary().insert("GraphicObjectLocator", std::make_unique<GraphicObjectLocator>());
    objectLocatorLibrary().insert("NullObjectLocator", std::make_unique<NullObjectLocator>());
  }
  static std::string roundTrip(const Command& c) {
    std::istringstream in(printed(c));
    auto back = Command::readCommand(in);
    return back ? printed(*back) : "(null)";
  }
};

// The text form of the commands: the class, the type, the locator, the stamp, then the values
// (checked for one of each layout); every kind reads back to the same text.
TEST_F(RegisteredCommands, EveryKindIsWrittenAndReadBack) {
  TestRoot root;
  auto* e = addTo(root, std::make_unique<TestElement>());
  addTo(*e, std::make_unique<TestElement>());
  GraphicObjectLocator here(*e);
  Command1<tagPOINT> move(here, kCmdMoveTo, {3, -4}, {1, 2});
  std::ostringstream o;
  writeQuoted(o, move.origin());
  o << ',';
  writeHex(o, static_cast<std::uint32_t>(move.timeStamp()));
  o << ',';
  writeHex(o, move.processId());
  const std::string at = R"(,"GraphicObjectLocator",(1),)" + o.str() + ",0,";
  Command1<unsigned long> flags(here, kCmdSetFlags, 2, 0);
  auto both = std::make_unique<CompositeCommand>(NullObjectLocator(), kCmdMoveTo);
  both->append(std::unique_ptr<Command>(move.clone()));
  both->append(std::unique_ptr<Command>(flags.clone()));
  std::vector<std::pair<std::unique_ptr<Command>, std::string>> all;  // and the text, where checked
  auto add = [&all](std::unique_ptr<Command> c, std::string text = "") {
    all.emplace_back(std::move(c), std::move(text));
  };
  add(std::unique_ptr<Command>(move.clone()), R"("Command1<tagPOINT>",6c)" + at + "3 -4,1 2");
  add(std::make_unique<Command1<std::string>>(here, kCmdChangeLabel, "two words, \"quoted\"\nline", "old"),
      R"("Command1<string>",67)" + at + R"("two words, \"quoted\"\nline","old")");
  add(std::make_unique<Command2<unsigned int, unsigned long>>(here, kCmdSetConnection, 1, 1, 0x1f, 0),
      R"("Command2<unsigned int,unsigned long>",6d)" + at + "1,1,1f,0");
  add(std::make_unique<CommandPtr1<SensitiveGraphic>>(here, kCmdDelete, nullptr, nullptr));
  add(std::make_unique<CompositeCommand>(NullObjectLocator(), kCmdMoveTo));
  add(std::move(both), R"("CompositeCommand",6c,"NullObjectLocator",(),)" + o.str() + ",0(" + printed(move) + "," +
                           printed(flags) + ")");
  add(std::make_unique<Command1<tagRECT>>(here, kCmdResize, RECT{1, 2, 3, 4}, RECT{-5, -6, 7, 8}));
  const GraphicObjectLocator inner(**std::next(e->begin()));
  add(std::make_unique<Command1<tagPOINT>>(inner, kCmdMoveTo, POINT{}, POINT{}));
  for (const auto& [c, text] : all) {
    if (!text.empty()) {
      EXPECT_EQ(printed(*c), text);
    }
    EXPECT_EQ(roundTrip(*c), printed(*c));
  }
}

}  // namespace
