// The value-entry popup's model: places, sizes, typing and committed values.

#include "graphics/platform/EntryPopup.h"

#include <gtest/gtest.h>

#include "framework/IEffectParam.h"
#include "graphics/GraphicsFakes.h"

namespace sorvano::test {
namespace {

class EntryPopupTest : public ::testing::Test {
protected:
  EntryPopupTest() {
    number.SetupDouble("bright", 1.0, 0.0, 10.0, 0.01, "");
    choice.SetupEnum("map", 1, 4);
    choice.AddDisplayText(0, "pompeii");
    choice.AddDisplayText(1, "thermal");
    choice.AddDisplayText(2, "chlorine");
    choice.AddDisplayText(3, "brrr");
  }
  FakePlug plug;
  ProbeControl control{&plug, IRect(100, 200, 150, 240), 0};
  IEffectParam number;
  IEffectParam choice;
};

TEST_F(EntryPopupTest, TheTextBoxIsCentredOnTheControlAndShowsTheValue) {
  EntryPopup popup(&control, &number);
  EXPECT_FALSE(popup.IsList());
  EXPECT_EQ(popup.Rect().L, 125 - 18);
  EXPECT_EQ(popup.Rect().T, 220 - 8);
  EXPECT_EQ(popup.Rect().W(), 36);
  EXPECT_EQ(popup.Rect().H(), 16);
  EXPECT_EQ(popup.Text(), "1.00");
  EXPECT_EQ(popup.State(), EntryState::kOpen);
}

TEST_F(EntryPopupTest, AListOfFourTextsIs180HighAndWideEnoughForTheLongest) {
  EntryPopup popup(&control, &choice);
  ASSERT_TRUE(popup.IsList());
  EXPECT_EQ(popup.Rect().H(), 180);
  EXPECT_EQ(popup.Rect().W(), 88);  // "chlorine": 8 x 8 + 24
  EXPECT_EQ(popup.Rect().L, 125 - 44);
  EXPECT_EQ(popup.Rect().T, 220);
  EXPECT_EQ(popup.Selected(), 1);
}

TEST_F(EntryPopupTest, TypingReplacesTheShownTextAndCommitsItsLeadingNumber) {
  EntryPopup popup(&control, &number);
  popup.Type('7');
  popup.Type('.');
  popup.Type('5');
  popup.Type('x');
  EXPECT_EQ(popup.Text(), "7.5x");
  EXPECT_DOUBLE_EQ(popup.CommitValue(), 0.75);
  popup.Backspace();
  popup.Backspace();
  EXPECT_EQ(popup.Text(), "7.");
}

TEST_F(EntryPopupTest, TextsWithoutANumberAndNonFiniteNumbersCommitZero) {
  EntryPopup popup(&control, &number);
  for (const char* text : {"abc", "inf", "nan", ""}) {
    popup.Refresh();
    popup.Type(' ');
    for (const char* c = text; *c; ++c) popup.Type(*c);
    EXPECT_DOUBLE_EQ(popup.CommitValue(), 0.0) << text;
  }
}

TEST_F(EntryPopupTest, TheTextIsLimitedTo32Characters) {
  EntryPopup popup(&control, &number);
  for (int i = 0; i < 40; ++i) popup.Type('1');
  EXPECT_EQ(popup.Text().size(), static_cast<std::size_t>(EntryPopup::kMaxTextLength));
}

TEST_F(EntryPopupTest, AListChoiceCommitsItsValueAndUnknownTextsCommitZero) {
  EntryPopup popup(&control, &choice);
  popup.Choose(2);
  EXPECT_EQ(popup.State(), EntryState::kCommit);
  EXPECT_EQ(popup.Text(), "chlorine");
  EXPECT_DOUBLE_EQ(popup.CommitValue(), choice.GetNormalized(2.0));
  popup.Choose(9);
  EXPECT_EQ(popup.Text(), "chlorine");
  choice.Set(0.0);
  EntryPopup other(&control, &choice);
  other.Type('z');
  EXPECT_EQ(other.Text(), "pompeii");  // a list is not typed into
}

TEST_F(EntryPopupTest, CommittingGivesTheValueToTheControl) {
  EntryPopup popup(&control, &number);
  popup.Type('4');
  popup.Commit();
  EXPECT_DOUBLE_EQ(control.GetValue(), 0.4);
}

}  // namespace
}  // namespace sorvano::test
