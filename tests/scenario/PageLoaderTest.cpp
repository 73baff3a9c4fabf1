#include <gtest/gtest.h>

#include "scenario/PageLoader.h"
#include "support/TestGame.h"

namespace shiori::test {
namespace {

// Hands page `number` to the choice layout as a click at the end of a page does.
void ShowChoice(TestGame& game, int number) {
  game.state().CurrentPage = static_cast<std::int16_t>(number);
  ASSERT_TRUE(game.engine().ReadPageRecord());
  game.engine().pages().ShowChoicePage();
}

TEST(PageLoader, LaysOutTwoChoicesFromTheirLines) {
  TestGame game;
  game.Page(10, TestPage::Choice({"一行目", "二行目", "三", "四", "五", "六"}, 2, 3, {11, 12}));
  game.Page(20, TestPage::Choice({"a", "b", "c", "d", "e", "f", "g", "h"}, 4, 4, {0, 0}));
  TestPage cut = TestPage::Choice({"abcdefgh", "ijklmnop"}, 1, 1, {1, 1});
  cut.record.lineCode[0] = 5;
  game.Page(30, cut);
  game.Create();
  Form& form = game.form();
  form.lbl1[0]->SetCaption("old text");

  ShowChoice(game, 10);
  const std::string first_pad(43, ' ');
  EXPECT_EQ(form.lbl1[0]->caption(), "");
  EXPECT_EQ(form.lblSEL[0]->bounds(), (Rect{32, 48, 560, 60}));
  EXPECT_EQ(form.lblSEL[1]->bounds(), (Rect{32, 123, 560, 99}));
  EXPECT_TRUE(form.lblSEL[0]->visible());
  EXPECT_FALSE(form.lblSEL[2]->visible());
  EXPECT_EQ(form.lblSEL[0]->fore(), kWhite);
  EXPECT_EQ(form.lblSEL[0]->caption(), "一行目" + first_pad + "\r\n二行目" + first_pad);
  EXPECT_EQ(form.lblSEL[1]->caption().substr(0, 3), "三");
  EXPECT_EQ(game.state().LastChoicePage, 10);

  ShowChoice(game, 20);
  EXPECT_EQ(form.lblSEL[1]->bounds(), (Rect{32, 183, 560, 132}));
  EXPECT_EQ(form.lblSEL[1]->caption().substr(0, 1), "e");

  ShowChoice(game, 30);
  EXPECT_EQ(form.lblSEL[0]->caption(), "abcde");
}

TEST(PageLoader, InertAndOtherPagesAreNotChoices) {
  TestGame game;
  game.Page(5, TestPage::Text({"x"}, {201}, 6).Type(5));
  game.Page(3, TestPage::Text({"x"}, {201}, 6).Type(3));
  TestPage odd = TestPage::Choice({"a", "b"}, 7, 1, {1, 1});
  game.Page(8, odd);
  game.Create();
  Form& form = game.form();
  form.lbl1[0]->SetCaption("kept");
  form.lblSANKAKU->SetCaption("▼");

  ShowChoice(game, 5);
  EXPECT_EQ(form.lbl1[0]->caption(), "kept");
  EXPECT_EQ(form.lblSANKAKU->caption(), "▼");
  EXPECT_EQ(game.state().LastChoicePage, 0);

  ShowChoice(game, 3);
  EXPECT_EQ(form.lbl1[0]->caption(), "");
  EXPECT_EQ(game.state().LastChoicePage, 3);
  EXPECT_FALSE(form.lblSEL[0]->visible());

  // A line count outside 1..4 leaves the labels at their places with the captions they held.
  form.lblSEL[0]->SetCaption("earlier");
  ShowChoice(game, 8);
  EXPECT_TRUE(form.lblSEL[0]->visible());
  EXPECT_EQ(form.lblSEL[0]->bounds().height, 210);
  EXPECT_EQ(form.lblSEL[0]->caption(), "earlier");
}

TEST(PageLoader, ShowsThePagePictureAndBlackForAMissingOne) {
  TestGame game;
  game.Page(1, TestPage::Text({"x"}, {201}, 2).Picture(17));
  game.Page(2, TestPage::Text({"x"}, {201}, 3).Picture(1234));
  game.Create();
  game.state().CurrentPage = 1;
  game.engine().pages().ShowPagePicture();
  EXPECT_EQ(game.form().Picture1.picture(), "data/0017.rgd");
  EXPECT_FALSE(game.form().Picture1.picture_missing());
  game.state().CurrentPage = 2;
  game.engine().pages().ShowPagePicture();
  EXPECT_EQ(game.form().Picture1.picture(), "data/1234.rgd");
  EXPECT_TRUE(game.form().Picture1.picture_missing());
}

}  // namespace
}  // namespace shiori::test
