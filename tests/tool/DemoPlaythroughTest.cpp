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
    walk = WalkStory(std::span(reinterpret_cast<const std::uint8_t*>(scenario.value().data()), scenario.value().size()));
  }

  void Wait(int ms) { scheduler.AdvanceTo(scheduler.Now() + Milliseconds(ms)); }
  void Press(const char* name) { ASSERT_TRUE(engine->form().PressByName(name, kLeftButton)); }
  // Lets the page finish typing, then the arrow timer open the click gate.
  void Settle() {
    while (engine->typewriter().typing()) scheduler.AdvanceTo(*scheduler.NextDeadline());
    Wait(500);
  }

  void Play(const EndingPath& ending) {
    Press("lblMLT(0)");  // read the story
    Press("lblMLT(3)");  // from the beginning
    for (const ClickStep& step : ending.path) {
      Settle();
      if (step.choice != 0) {
        Press(step.choice == 1 ? "lblSEL(0)" : "lblSEL(1)");
        continue;
      }
      for (std::size_t i = 0; i < step.count; ++i) {
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

}  // namespace
}  // namespace shiori
