#include "tools/vsthost/GestureScript.h"

#include <gtest/gtest.h>

#include "tools/vsthost/CommandLine.h"
#include "tools/vsthost/HostError.h"

namespace sorvano {
namespace {

TEST(GestureScriptTest, ReadsEveryGestureAndSkipsCommentsAndBlankLines) {
  const auto g = GestureScript::Parse(
      "# a session\n\npress 10 20 right ctrl\ndrag 11 21\nrelease 12 22\nmove 1 2\nwheel 5 6 -3\n"
      "dblclick 7 8\nplay 1.5\nshot out.png\n");
  ASSERT_EQ(g.size(), 8u);
  EXPECT_EQ(g[0].kind, Gesture::Kind::kPress);
  EXPECT_TRUE(g[0].right);
  EXPECT_TRUE(g[0].control);
  EXPECT_EQ(g[0].x, 10);
  EXPECT_EQ(g[0].y, 20);
  EXPECT_EQ(g[1].kind, Gesture::Kind::kDrag);
  EXPECT_EQ(g[2].kind, Gesture::Kind::kRelease);
  EXPECT_EQ(g[3].kind, Gesture::Kind::kMove);
  EXPECT_EQ(g[4].notches, -3);
  EXPECT_EQ(g[5].kind, Gesture::Kind::kDoubleClick);
  EXPECT_DOUBLE_EQ(g[6].seconds, 1.5);
  EXPECT_EQ(g[7].file, "out.png");
}

TEST(GestureScriptTest, RefusesWhatItCannotReadNamingTheLine) {
  for (const char* bad : {"press 10", "drag a b", "wheel 1 2 0", "play -1", "play 99999", "shot", "jump 1 2",
                          "release 1 2 right", "move 99999 0"}) {
    try {
      GestureScript::Parse(std::string("move 0 0\n") + bad + "\n");
      ADD_FAILURE() << bad;
    } catch (const HostError& e) {
      EXPECT_NE(std::string(e.what()).find("events line 2"), std::string::npos) << e.what();
    }
  }
}

TEST(EditorCommandLineTest, TakesItsOptionsAndRefusesBothInputs) {
  const HostOptions o = CommandLine::Parse(
      {"editor", "x.so", "--in", "a.wav", "--loop", "0:100", "--events", "e.txt", "--screenshot", "s.png", "--seconds", "2"});
  EXPECT_EQ(o.command, Command::kEditor);
  EXPECT_EQ(o.plugin, "x.so");
  EXPECT_EQ(o.events, "e.txt");
  EXPECT_EQ(o.screenshot, "s.png");
  EXPECT_TRUE(o.secondsGiven);
  ASSERT_TRUE(o.loop);
  EXPECT_EQ(o.loop->end, 100);
  EXPECT_THROW(CommandLine::Parse({"editor", "x.so", "--in", "a.wav", "--signal", "b.wav"}), UsageError);
  EXPECT_THROW(CommandLine::Parse({"process", "x.so", "--in", "a.wav", "--out", "b.wav", "--events", "e"}), UsageError);
}

}  // namespace
}  // namespace sorvano
