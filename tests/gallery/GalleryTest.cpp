#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "persistence/RouteCgTable.h"
#include "support/TestGame.h"

namespace shiori::test {
namespace {

constexpr const char* kNoneSeen = "まだ１枚も見ていません";
constexpr const char* kSomeSeen = "－攻略中－";
constexpr const char* kAllSeen = "全てのＣＧを見ました";

const std::vector<std::string> kGalleryLabels = {"lblRUI", "lblSUMI", "lblNAGI", "lblCG(0)", "lblCG(1)", "lblCG(2)"};

// A game on its title screen; the gallery needs no story, only the read-page record.
class GalleryScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    game.Page(1, TestPage::Text({"始まり"}, {201}, 2));
    game.dir().Write("conf.rgd", "#FALSE#\r\n");
  }

  void OpenGallery() { game.Click("lblMLT(1)"); }

  [[nodiscard]] std::string Shown() { return game.form().Picture4.picture().value_or("none"); }

  // Every click area and progress text, visible or not as asked.
  void ExpectLabels(bool visible) {
    for (const std::string& name : kGalleryLabels) {
      EXPECT_EQ(game.form().FindWidget(name)->visible(), visible) << name;
    }
  }

  void ExpectGalleryScreen() {
    EXPECT_TRUE(game.form().Picture4.visible());
    EXPECT_EQ(Shown(), "log/0000.log");
    EXPECT_EQ(game.state().ViewerRoute, 100);
    EXPECT_EQ(game.state().ViewerStep, 100);
    ExpectLabels(true);
  }

  TestGame game;
};

TEST_F(GalleryScreen, RouteOneShowsOnlyItsReadPagesInTableOrder) {
  game.MarkRange(1, 9999, 1);
  game.MarkPages({3128, 725});
  game.Start();
  OpenGallery();
  ExpectGalleryScreen();
  EXPECT_EQ(game.Caption("lblCG(0)"), kSomeSeen);
  EXPECT_EQ(game.Caption("lblCG(1)"), kNoneSeen);
  EXPECT_EQ(game.Caption("lblCG(2)"), kNoneSeen);

  game.Click("lblRUI");
  EXPECT_EQ(Shown(), "log/0028.log");
  ExpectLabels(false);
  EXPECT_EQ(game.state().ViewerRoute, 1);
  game.Click("Picture4");
  EXPECT_EQ(Shown(), "log/0038.log");
  ExpectLabels(false);
  game.Click("Picture4");
  ExpectGalleryScreen();
  EXPECT_EQ(game.Caption("lblCG(0)"), kSomeSeen);

  // Back on the gallery screen a click on the background is no step.
  game.Click("Picture4");
  ExpectGalleryScreen();
}

TEST_F(GalleryScreen, RouteThreeWithEveryPageReadStepsThroughAllTwelve) {
  game.MarkRange(1, 9999);
  game.Start();
  OpenGallery();
  EXPECT_EQ(game.Caption("lblCG(0)"), kAllSeen);
  EXPECT_EQ(game.Caption("lblCG(1)"), kAllSeen);
  EXPECT_EQ(game.Caption("lblCG(2)"), kAllSeen);

  game.Click("lblNAGI");
  for (int cg = 14; cg <= 25; ++cg) {
    EXPECT_EQ(Shown(), "log/00" + std::to_string(cg) + ".log");
    EXPECT_EQ(game.state().ViewerStep, cg - 12) << "the next step to try";
    game.Click("Picture4");
  }
  ExpectGalleryScreen();
}

TEST_F(GalleryScreen, CaptionsCountEachRouteAgainstItsOwnSize) {
  game.MarkRange(1, 9999, 1);
  for (const CgStep& step : RouteCgTable()[2]) game.MarkPages({step.page});
  for (std::size_t k = 0; k + 1 < RouteCgTable()[0].size(); ++k) game.MarkPages({RouteCgTable()[0][k].page});
  game.MarkPages({2004, 3128 + 1, 394 - 1});  // pages next to a CG's page unlock nothing
  game.Start();
  OpenGallery();
  EXPECT_EQ(game.Caption("lblCG(0)"), kSomeSeen) << "12 of 13";
  EXPECT_EQ(game.Caption("lblCG(1)"), kNoneSeen);
  EXPECT_EQ(game.Caption("lblCG(2)"), kAllSeen) << "route 3 is complete with 12";
  EXPECT_EQ(game.state().RouteSeenCount, (std::array<std::uint8_t, 3>{12, 0, 12}));
}

TEST_F(GalleryScreen, OnlyTheMarkTwoCountsAsRead) {
  // 0 is neither "unread" nor "read": the gallery and the viewer take it as unread.
  game.MarkPages({3107, 725}, 0);
  game.MarkRange(3185, 3185, 3);
  game.MarkPages({3128});
  game.Start();
  OpenGallery();
  EXPECT_EQ(game.state().RouteSeenCount[0], 1);
  game.Click("lblRUI");
  EXPECT_EQ(Shown(), "log/0038.log");
  game.Click("Picture4");
  ExpectGalleryScreen();
}

TEST_F(GalleryScreen, ARouteWithNothingSeenCannotBeOpened) {
  game.Start();  // no read-page record at all
  OpenGallery();
  for (const char* caption : {"lblCG(0)", "lblCG(1)", "lblCG(2)"}) EXPECT_EQ(game.Caption(caption), kNoneSeen);
  for (const char* route : {"lblRUI", "lblSUMI", "lblNAGI"}) {
    game.Click(route);
    ExpectGalleryScreen();
  }
  EXPECT_FALSE(std::filesystem::exists(game.dir().path() / "data5.rgd")) << "reading creates nothing";
}

TEST_F(GalleryScreen, TheViewerReadsTheRecordAtEveryStep) {
  game.MarkRange(1, 9999, 1);
  game.MarkPages({581});
  game.Start();
  OpenGallery();
  game.Click("lblNAGI");
  EXPECT_EQ(Shown(), "log/0014.log");
  // Pages read since the gallery was opened show at once; the caption stays as counted at the opening.
  game.MarkPages({2004});
  game.Click("Picture4");
  EXPECT_EQ(Shown(), "log/0025.log");
  game.Click("Picture4");
  ExpectGalleryScreen();
  EXPECT_EQ(game.Caption("lblCG(2)"), kSomeSeen);
}

TEST_F(GalleryScreen, ARightPressLeavesFromACgAndTheNextOpeningStartsFresh) {
  game.MarkRange(1, 9999, 1);
  game.MarkPages({394, 142});
  game.Start();
  OpenGallery();
  game.Click("lblSUMI");
  EXPECT_EQ(Shown(), "log/0001.log");

  game.RightClick("Picture4");
  EXPECT_FALSE(game.form().Picture4.visible());
  EXPECT_TRUE(game.form().Picture2.visible());
  EXPECT_EQ(Shown(), "log/0001.log") << "a right press runs no step";
  EXPECT_EQ(game.state().ViewerRoute, 2) << "the viewer state waits for the next opening";
  EXPECT_EQ(game.Caption("lblCG(1)"), kSomeSeen);

  game.MarkRange(1, 9999);
  OpenGallery();
  ExpectGalleryScreen();
  EXPECT_EQ(game.Caption("lblCG(1)"), kAllSeen);
  game.Click("Picture4");
  ExpectGalleryScreen();

  // Other buttons neither leave nor step.
  game.Press("Picture4", kMiddleButton);
  ExpectGalleryScreen();
  game.RightClick("Picture4");
  EXPECT_FALSE(game.form().Picture4.visible());
}

}  // namespace
}  // namespace shiori::test
