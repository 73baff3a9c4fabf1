#include "engine/Engine.h"

#include <array>

#include "comforts/Comforts.h"
#include "gallery/CgViewer.h"
#include "gallery/Gallery.h"
#include "menus/MenuDispatcher.h"
#include "menus/MenuList.h"
#include "menus/TitleAndQuit.h"
#include "persistence/Bookmarks.h"
#include "persistence/SeenRecord.h"
#include "persistence/Settings.h"
#include "scenario/Choices.h"
#include "scenario/PageAdvance.h"
#include "scenario/PageLoader.h"
#include "scenario/SkipAndReturn.h"
#include "scenario/Typewriter.h"
#include "sound/BgmPlayer.h"
#include "sound/Ending.h"
#include "translation/StoryTranslation.h"
#include "window/Lifecycle.h"

namespace shiori {

Engine::Engine(GameFolder folder, Services services, Scheduler& scheduler)
    : folder_(std::move(folder)),
      services_(services),
      scheduler_(scheduler),
      scenario_(folder_.GameFile("data1.rgd")),
      form_(scheduler),
      pages_(std::make_unique<PageLoader>(*this)),
      typewriter_(std::make_unique<Typewriter>(*this)),
      advance_(std::make_unique<PageAdvance>(*this)),
      choices_(std::make_unique<Choices>(*this)),
      skip_(std::make_unique<SkipAndReturn>(*this)),
      menus_(std::make_unique<MenuList>(*this)),
      dispatcher_(std::make_unique<MenuDispatcher>(*this)),
      title_(std::make_unique<TitleAndQuit>(*this)),
      bookmarks_(std::make_unique<Bookmarks>(*this)),
      settings_(std::make_unique<Settings>(*this)),
      seen_(std::make_unique<SeenRecord>(*this)),
      gallery_(std::make_unique<Gallery>(*this)),
      viewer_(std::make_unique<CgViewer>(*this)),
      music_(std::make_unique<BgmPlayer>(*this)),
      ending_(std::make_unique<Ending>(*this)),
      lifecycle_(std::make_unique<Lifecycle>(*this)),
      comforts_(std::make_unique<Comforts>(*this)),
      translation_(std::make_unique<StoryTranslation>(services_.warnings)) {
  translation_->SetArea(MessageAreaOf(form_));
  Wire();
}

Engine::~Engine() {
  // Timers outlive nothing they call: stop them before the handlers go.
  for (Timer* timer : form_.Timers()) timer->SetEnabled(false);
  typewriter_->Cancel();
}

Status Engine::Start() {
  if (const Status playable = folder_.CheckPlayable(); !playable) return playable;
  if (form_.Load) form_.Load();
  comforts_->Started();
  return Done{};
}

void Engine::CloseBox() { title_->Form_QueryUnload(); }

void Engine::Close() {
  if (form_.Unload) form_.Unload();
}

void Engine::EndProgram() {
  if (ended_) return;
  ended_ = true;
  typewriter_->Cancel();
  for (Timer* timer : form_.Timers()) timer->SetEnabled(false);
  if (Ended) Ended();
}

bool Engine::CheckPicture(std::string_view relative) {
  const auto file = folder_.GameFile(relative);
  if (services_.pictures.CanLoad(file)) return true;
  services_.warnings.Warn("picture " + std::string(relative) + " (" + file.string() +
                          ") is missing or cannot be decoded; showing black instead");
  return false;
}

void Engine::ShowPicture(Layer& layer, std::string_view name) {
  const std::string relative = RelativeName(name);
  const bool ok = CheckPicture(relative);
  layer.SetPicture(relative, !ok);
}

void Engine::ShowWindowPicture(std::string_view name) {
  const std::string relative = RelativeName(name);
  const bool ok = CheckPicture(relative);
  form_.SetPicture(relative, !ok);
}

bool Engine::ReadPageRecord() {
  auto record = scenario_.Read(state_.CurrentPage);
  if (!record) {
    services_.warnings.Warn(record.error());
    return false;
  }
  state_.PageBuffer = std::move(record.value());
  return true;
}

// Attaches every handler of the story to the window's events.
void Engine::Wire() {
  Form& f = form_;
  f.Load = [this] { lifecycle_->Form_Load(); };
  f.Unload = [this] { lifecycle_->Form_Unload(); };
  f.window_events.Click = [this] { title_->Form_Click(); };

  // The story: a left press on a line or the layer is the page advance, a right press opens the in-game menu.
  // The next-arrow passes its clicks on to the layer beneath.
  const auto story_press = [this](int button) {
    if (button == kLeftButton) advance_->lblFRONT_Click();
    if (button == kRightButton) menus_->ShowInGameMenu();
  };
  for (Widget* line : f.lbl1) line->MouseDown = story_press;
  f.Picture1.MouseDown = story_press;
  f.Picture1.Click = [this] { advance_->lblFRONT_Click(); };
  f.lblSANKAKU->MouseDown = story_press;
  f.lblSANKAKU->Click = f.Picture1.Click;
  f.lblFRONT->Click = [this] { advance_->lblFRONT_Click(); };
  for (int i = 0; i < 4; ++i) f.lblSEL[i]->MouseDown = [this, i](int button) { choices_->lblSEL_MouseDown(i, button); };
  f.timYAZIRUSI.Tick = [this] {
    advance_->timYAZIRUSI_Timer();
    comforts_->ArrowTicked();
  };

  for (int i = 0; i < 7; ++i) {
    f.lblMLT[i]->MouseDown = [this, i](int button) { dispatcher_->lblMLT_MouseDown(i, button); };
  }

  for (std::uint8_t speed = 1; speed <= 3; ++speed) {
    Widget* label = std::array{f.lblMOJI_F, f.lblMOJI_N, f.lblMOJI_S}[speed - 1];
    label->Click = [this, speed] {
      settings_->ChooseTextSpeed(speed);
      comforts_->TextSpeedChosen(speed);
    };
  }
  f.lblSYOK->MouseDown = [this](int button) { settings_->lblSYOK_MouseDown(button); };
  f.Label8->MouseDown = [this](int button) { settings_->Label8_MouseDown(button); };

  f.lblRUI->Click = [this] { gallery_->ChooseRoute(1); };
  f.lblSUMI->Click = [this] { gallery_->ChooseRoute(2); };
  f.lblNAGI->Click = [this] { gallery_->ChooseRoute(3); };
  f.Picture4.MouseDown = [this](int button) { gallery_->Picture4_MouseDown(button); };
  f.Picture4.Click = [this] { viewer_->Picture4_Click(); };

  f.timBGM.Tick = [this] { music_->timBGM_Timer(); };
  f.timEND.Tick = [this] { ending_->timEND_Timer(); };
  f.menuBGM.Click = [this] { music_->menuBGM_Click(); };
  f.menuNEXT.Click = [this] { skip_->menuNEXT_Click(); };
  f.menuTITLE.Click = [this] { title_->menuTITLE_Click(); };
  f.menuEND.Click = [this] { title_->menuEND_Click(); };
  f.menuEND2.Click = [this] { title_->menuEND_Click(); };
  for (int k = 1; k <= Bookmarks::kSlots; ++k) f.menuSAVE[k]->Click = [this, k] { comforts_->QuickSave(k); };

  // The comforts see every press first, and follow the typewriter.
  f.BeforePress = [this](const Form::PressEvent& press) { return comforts_->BeforePress(press); };
  f.AfterPress = [this] { comforts_->Refresh(); };
  choices_->Taken = [this](int page, const std::string& text) { comforts_->ChoiceTaken(page, text); };
  typewriter_->Stopped = [this](std::int16_t page, bool began_page) { comforts_->TypingStopped(page, began_page); };
  typewriter_->Started = [this](const std::vector<std::string>& lines) { comforts_->TypingStarted(lines); };
  pages_->ChoicesShown = [this] { comforts_->ChoicesShown(); };
  advance_->ReadingOn = [this] { comforts_->ReadingOn(); };
  menus_->Reset = [this] { comforts_->StoryReset(); };
  bookmarks_->Overwriting = [this](int slot) { comforts_->bookmark_undo().Keep(slot); };
  bookmarks_->Saved = [this](int slot, const Status& saved) { comforts_->BookmarkSaved(slot, saved); };

  f.comDES->Click = [this] { title_->comDES_Click(); };
  f.Command2->Click = [this] { title_->Command2_Click(); };
}

}  // namespace shiori
