#include "menus/MenuDispatcher.h"

#include "engine/Engine.h"
#include "gallery/Gallery.h"
#include "menus/MenuList.h"
#include "menus/TitleAndQuit.h"
#include "persistence/Bookmarks.h"
#include "scenario/PageLoader.h"
#include "scenario/SkipAndReturn.h"
#include "scenario/Typewriter.h"
#include "sound/BgmPlayer.h"

namespace shiori {

void MenuDispatcher::lblMLT_MouseDown(int index, int button) {
  if (button != kLeftButton) return;
  switch (engine_.state().MenuMode) {
    case MenuKind::Title:
      TitleMenu(index);
      break;
    case MenuKind::Load:
      LoadMenu(index);
      break;
    case MenuKind::InGame:
      InGameMenu(index);
      break;
    case MenuKind::None:
      break;
  }
}

void MenuDispatcher::TitleMenu(int index) {
  Form& form = engine_.form();
  switch (index) {
    case 0:
      engine_.menus().ShowLoadMenu();
      break;
    case 1:
      OpenGallery();
      break;
    case 2:
      form.Picture3.SetVisible(true);
      break;
    case 3:
      engine_.Close();  // unloads the window, the single way out
      break;
    default:
      break;
  }
}

void MenuDispatcher::LoadMenu(int index) {
  if (index >= 0 && index <= 2) {
    ResumeFromSlot(index + 1);
  } else if (index == 3) {
    StartAfresh();
  } else if (index == 5) {
    engine_.title().BackToTitle();
  }
}

void MenuDispatcher::InGameMenu(int index) {
  Form& form = engine_.form();
  switch (index) {
    case 0:
      if (!engine_.services().questions.Ask("現在のゲームを終了しますか？", "確認")) return;
      engine_.menus().ResetPlayState();
      engine_.menus().ShowLoadMenu();
      break;
    case 1:
      // Only a save that reached the disk is acknowledged as one.
      form.lblMLT[1]->SetCaption(engine_.bookmarks().SaveBookmark(engine_.state().CurrentSlot)
                                     ? "▼セーブしました▼"
                                     : "▼セーブできませんでした▼");
      break;
    case 2:
      engine_.skip().ReturnToPreviousChoice();
      break;
    case 3:
      form.Picture1.SetVisible(true);
      form.Picture2.SetVisible(false);
      break;
    default:
      break;
  }
}

void MenuDispatcher::OpenGallery() {
  PlayState& s = engine_.state();
  s.ViewerRoute = PlayState::kViewerIdle;
  s.ViewerStep = PlayState::kViewerIdle;
  engine_.gallery().RefreshGalleryProgress();
  engine_.ShowPicture(engine_.form().Picture4, "\\log\\0000.log");
  engine_.form().Picture4.SetVisible(true);
}

// The story layer comes up with no menu open before the first page types, so that a right click during that
// page opens an in-game menu that answers.
void MenuDispatcher::ShowStoryLayer() {
  Form& form = engine_.form();
  form.Picture1.SetVisible(true);
  form.Picture2.SetVisible(false);
  engine_.state().MenuMode = MenuKind::None;
  for (Widget* choice : form.lblSEL) choice->SetVisible(false);
}

void MenuDispatcher::ResumeFromSlot(int slot) {
  PlayState& s = engine_.state();
  ShowStoryLayer();
  engine_.bookmarks().LoadBookmark(slot);
  if (s.CurrentPage == 0) s.CurrentPage = 1;
  s.CurrentSlot = static_cast<std::uint8_t>(slot);
  engine_.pages().ShowPagePicture();
  if (!s.PageBuffer.IsTextPage()) {
    engine_.pages().ShowChoicePage();
    FinishStoryStart(slot);
  } else {
    engine_.typewriter().TypePage([this, slot] { FinishStoryStart(slot); });
  }
}

void MenuDispatcher::StartAfresh() {
  PlayState& s = engine_.state();
  ShowStoryLayer();
  s.CurrentPage = 1;
  s.CurrentSlot = 3;
  engine_.pages().ShowPagePicture();
  engine_.typewriter().TypePage([this] { FinishStoryStart(3); });
}

// The steps after the first page of a resumed or new story is up. A resume from slot 2 offers the skip command
// whatever the search found.
void MenuDispatcher::FinishStoryStart(int slot) {
  Form& form = engine_.form();
  engine_.skip().UpdateSkipAvailability();
  engine_.music().UpdatePageMusic();
  form.menuRIGHT.SetEnabled(true);
  if (slot == 2) form.menuNEXT.SetEnabled(true);
}

}  // namespace shiori
