#include "menus/MenuList.h"

#include <array>

#include "engine/Engine.h"
#include "gallery/Gallery.h"
#include "persistence/Bookmarks.h"
#include "scenario/Typewriter.h"
#include "sound/BgmPlayer.h"

namespace shiori {
namespace {

constexpr Rgb kDisabledGrey = 0xC0C0C0;

}  // namespace

void MenuList::Draw(int index, const Entry& entry) {
  Widget& w = *engine_.form().lblMLT[index];
  w.SetVisible(true);
  if (entry.enabled) w.SetEnabled(*entry.enabled);
  w.SetFore(entry.fore);
  w.SetFont(entry.font);
  w.SetCaption(entry.caption);
  w.SetTop(entry.top);
  w.SetLeft(entry.left);
  w.SetWidth(entry.width);
  w.SetHeight(entry.height);
}

void MenuList::Hide(int index) { engine_.form().lblMLT[index]->SetVisible(false); }

void MenuList::ShowTitleMenu() {
  PlayState& s = engine_.state();
  Form& form = engine_.form();
  s.LastChoicePage = 0;
  if (form.menuBGM.checked()) {
    s.PageBuffer.musicNo = ScenarioRecord::kTitleMusicNo;
    engine_.music().UpdatePageMusic();
  }
  form.Label2->SetCaption(engine_.services().wave.FileName());
  s.MenuMode = MenuKind::Title;
  engine_.ShowPicture(form.Picture2, "\\data\\op01.rgd");
  for (int i : {4, 5, 6}) Hide(i);
  const std::array<const char*, 4> captions = {"▽物語を読む▽", "▽ＣＧを見る▽", "▽環境設定▽", "▽ゲーム終了▽"};
  for (int i = 0; i < 4; ++i) {
    Draw(i, {.enabled = true,
             .caption = captions[i],
             .top = i < 2 ? 240 : 264,
             .left = i % 2 == 0 ? 280 : 440,
             .width = 145,
             .height = 25});
  }
}

void MenuList::ShowInGameMenu() {
  PlayState& s = engine_.state();
  Form& form = engine_.form();
  s.MenuMode = MenuKind::InGame;
  engine_.ShowPicture(form.Picture2, "\\data\\rg01.rgd");
  for (int i : {3, 4, 5, 6}) Hide(i);
  form.Picture2.SetVisible(true);
  form.Picture1.SetVisible(false);
  const auto entry = [](const char* caption, int top) {
    return Entry{.caption = caption, .top = top, .left = 40, .width = 249, .height = 33};
  };
  Draw(0, entry("▽ロードする▽", 152));
  Draw(1, entry("▽現在のしおりに保存する▽", 200));
  Entry back_to_choice = entry("▽前の選択肢に戻る▽", 248);
  back_to_choice.enabled = s.LastChoicePage != 0;
  back_to_choice.fore = s.LastChoicePage != 0 ? kWhite : kDisabledGrey;
  Draw(2, back_to_choice);
  Draw(3, entry("▽前の画面に戻る▽", 296));
}

void MenuList::ShowLoadMenu() {
  PlayState& s = engine_.state();
  Form& form = engine_.form();
  form.Picture2.SetVisible(true);
  form.Picture1.SetVisible(false);
  std::array<std::string, Bookmarks::kSlots> slot_texts;
  for (int k = 1; k <= Bookmarks::kSlots; ++k) {
    slot_texts[k - 1] = engine_.bookmarks().ListedStamp(k, engine_.bookmarks().ReadBookmarkStamp(k));
    if (s.PageBuffer.startMark == 0) slot_texts[k - 1] = "始めから";
  }
  s.PageBuffer.musicNo = 0;  // the music timer then leaves the music stopped
  s.MenuMode = MenuKind::Load;
  engine_.ShowPicture(form.Picture2, "\\data\\ld01.rgd");
  if (engine_.gallery().AllCgsSeen()) engine_.ShowPicture(form.Picture2, "\\data\\ld02.rgd");
  const std::array<const char*, 3> headings = {"ロードデータ　その１", "ロードデータ　その２", "ロードデータ　その３"};
  const std::array<int, 3> tops = {48, 128, 216};
  for (int i = 0; i < 3; ++i) {
    Draw(i, {.enabled = true,
             .caption = std::string(headings[i]) + "\r\n" + slot_texts[i],
             .top = tops[i],
             .left = 336,
             .width = 249,
             .height = 49});
  }
  Draw(3, {.enabled = true,
           .font = 12,
           .caption = "ロードせずにはじめから読む\r\nしおり３が使用されます",
           .top = 304,
           .left = 336,
           .width = 249,
           .height = 49});
  Draw(4, {.font = 9, .caption = "", .top = 94, .left = 183, .width = 89, .height = 17});
  Draw(5, {.font = 9, .caption = "タイトル画面に戻る", .top = 315, .left = 87, .width = 120, .height = 17});
  Draw(6, {.font = PreviewPassages::kFont,
           .caption = "",
           .top = 128,
           .left = 29,
           .width = PreviewPassages::kBoxWidth,
           .height = PreviewPassages::kBoxHeight});
  FillLoadPreview();
}

void MenuList::FillLoadPreview() {
  Services& services = engine_.services();
  services.random.Seed(static_cast<std::uint64_t>(services.clock.MillisecondsSinceMidnight()));
  engine_.form().lblMLT[6]->SetCaption(previews_.Pick(services.random.Next()));
}

void MenuList::ResetPlayState() {
  PlayState& s = engine_.state();
  Form& form = engine_.form();
  engine_.typewriter().Cancel();
  form.menuRIGHT.SetEnabled(false);
  form.menuNEXT.SetEnabled(false);
  form.timYAZIRUSI.SetEnabled(false);
  s.MenuMode = MenuKind::None;
  s.CurrentPage = 0;
  s.LineCounter = 0;
  s.PageState = PageProgress::Typing;
  s.BlinkPhase = 0;
  s.CurrentMusicNo = 0;
  s.CurrentSlot = 0;
  for (Widget* line : form.lbl1) line->SetCaption("");
  for (Widget* choice : form.lblSEL) choice->SetCaption("");
  if (Reset) Reset();
}

}  // namespace shiori
