// Plays the bundled demo headless along the click paths that walk finds, to each kind of ending.
#include <gtest/gtest.h>

#include <sstream>

#include "HeadlessServices.h"
#include "Walk.h"
#include "engine/Engine.h"
#include "gallery/Gallery.h"
#include "platform/RecordFile.h"
#include "scenario/Typewriter.h"
#include "support/TempDir.h"

namespace shiori {
namespace {

const std::filesystem::path kDemo = SHIORI_DEMO_DIR;

class DemoPlaythrough : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kDemo / "data1.rgd")) GTEST_SKIP() << "the demo is built with the window only";
    // Saves go to a folder of the test's own; the demo stays as built. Fast text, music on.
    saves.Write("conf.rgd", "#TRUE#\r\n");
    saves.Write("conf2.rgd", "1\r\n");
    engine = std::make_unique<Engine>(GameFolder(kDemo, saves.path()), recorded.services(), scheduler);
    ASSERT_TRUE(engine->Start().ok());
    const auto scenario = ReadWholeFile(kDemo / "data1.rgd");
    ASSERT_TRUE(scenario.ok());
    walk =
        WalkStory(std::span(reinterpret_cast<const std::uint8_t*>(scenario.value().data()), scenario.value().size()));
  }

  void Wait(int ms) { scheduler.AdvanceTo(scheduler.Now() + Milliseconds(ms)); }
  void Press(const char* name) { ASSERT_TRUE(engine->form().PressByName(name, kLeftButton)); }
  // Lets the page finish typing, then the arrow timer open the click gate.
  void Settle() {
    while (engine->typewriter().typing()) scheduler.AdvanceTo(*scheduler.NextDeadline());
    Wait(500);
  }

  // Plays the way to an ending but for its last `held` clicks.
  void Play(const EndingPath& ending, std::size_t held = 0) {
    Press("lblMLT(0)");  // read the story
    Press("lblMLT(3)");  // from the beginning
    for (std::size_t s = 0; s < ending.path.size(); ++s) {
      const ClickStep& step = ending.path[s];
      Settle();
      if (step.choice != 0) {
        Press(step.choice == 1 ? "lblSEL(0)" : "lblSEL(1)");
        continue;
      }
      const std::size_t clicks = s + 1 == ending.path.size() ? step.count - held : step.count;
      for (std::size_t i = 0; i < clicks; ++i) {
        Press("Picture1");
        Settle();
      }
    }
    Settle();
  }

  const EndingPath& First(const char* kind) {
    for (const EndingPath& ending : walk.endings) {
      if ((ending.code == 9501) == (std::string(kind) == "full")) return ending;
    }
    throw std::runtime_error("walk found no such ending");
  }

  test::TempDir saves;
  Scheduler scheduler;
  std::ostringstream warnings;
  RecordingServices recorded{scheduler, VirtualWallClock::Parse("2026-12-01 14:05:09"), warnings};
  std::unique_ptr<Engine> engine;
  WalkReport walk;
};

TEST_F(DemoPlaythrough, ReachesTheFullEndingAndTheGalleryCountsWhatWasRead) {
  Play(First("full"));
  Form& form = engine->form();
  EXPECT_FALSE(form.Picture1.visible());
  EXPECT_EQ(form.picture(), "data/e01.rgd");
  EXPECT_FALSE(form.picture_missing());
  Wait(36000);
  EXPECT_EQ(form.picture(), "data/e05.rgd");
  Wait(9000);
  EXPECT_EQ(engine->state().EndingStep, 6);
  Press("Form");
  EXPECT_EQ(engine->state().MenuMode, MenuKind::Title);

  Press("lblMLT(1)");  // the gallery
  EXPECT_TRUE(form.Picture4.visible());
  int routes_with_progress = 0;
  for (const Widget* progress : form.lblCG) routes_with_progress += progress->caption() != "まだ１枚も見ていません";
  EXPECT_GE(routes_with_progress, 1);
  EXPECT_TRUE(warnings.str().find("picture") == std::string::npos) << warnings.str();
}

TEST_F(DemoPlaythrough, ReachesAShortEnding) {
  Play(First("short"));
  EXPECT_EQ(engine->form().picture(), "data/e05.rgd");
  EXPECT_EQ(engine->state().EndingStep, 5);
}

TEST_F(DemoPlaythrough, EveryEndingWaitsForTheReaderAfterItsLastLine) {
  Form& form = engine->form();
  for (const EndingPath& ending : walk.endings) {
    Play(ending, 1);
    const ScenarioRecord& page = engine->state().PageBuffer;
    std::size_t last = 0;
    for (std::size_t k = 0; k < page.lineText.size(); ++k) {
      if (page.lineText[k].find_first_not_of(' ') != std::string::npos) last = k;
    }
    const std::string& text = page.lineText[last];
    EXPECT_EQ(form.lbl1[last]->caption(), text.substr(0, text.find_last_not_of(' ') + 1)) << "page " << ending.page;
    Wait(60000);  // a reader who takes a minute over the last line
    EXPECT_TRUE(form.Picture1.visible()) << "the ending of page " << ending.page << " began before the click";
    Press("Picture1");
    Settle();
    EXPECT_FALSE(form.Picture1.visible()) << "the ending of page " << ending.page << " did not begin";
    Wait(60000);    // the ending runs its course
    Press("Form");  // back to the title
  }
}

}  // namespace
}  // namespace shiori
