#pragma once

#include <array>
#include <cstdint>

#include "scenario/ScenarioRecord.h"

namespace shiori {

// Where the typewriter stands on the page (`PageState`). The numbers are the ones the state dump shows.
enum class PageProgress : std::uint8_t {
  Typing = 0,    // typing a line, or idle
  Paused = 1,    // a line asked for a click before the next
  Finished = 2,  // the page's last line is shown; a click opens the next page
};

// Which menu the entries `lblMLT` show (`MenuMode`).
enum class MenuKind : std::uint8_t { None = 0, Title = 1, Load = 2, InGame = 3 };

// The small state the story's handlers share, under the names they have always had. Each is written by the
// handlers that own it (noted beside it) and read wherever the story needs it.
struct PlayState {
  static constexpr std::uint8_t kViewerIdle = 100;

  ScenarioRecord PageBuffer = ScenarioRecord::Empty();  // the last record read, by whichever handler read it
  std::int16_t CurrentPage = 0;                         // the page the story is at; 0 = none
  std::uint8_t LineCounter = 0;                         // typewriter: 0 = page not begun, n = next line is n - 1
  PageProgress PageState = PageProgress::Typing;        // typewriter
  std::uint8_t BlinkPhase = 0;                          // next-arrow: 1 = the next tick draws the arrow
  std::int16_t LastChoicePage = 0;                      // page loader: last page handed to ShowChoicePage
  MenuKind MenuMode = MenuKind::None;                   // menus
  std::uint8_t CurrentSlot = 0;                         // bookmarks: the slot the story saves to, 1..3
  std::uint8_t TextSpeed = 2;                           // settings: 1 fast, 2 normal, 3 slow
  bool BgmOn = true;                                    // settings: copy of the music switch before a write
  std::uint8_t CurrentMusicNo = 0;                      // music: the piece last started; 0 = none
  std::uint8_t EndingStep = 0;                          // ending: position in the picture sequence
  std::uint8_t ViewerRoute = kViewerIdle;               // CG viewer: route being viewed; 100 = idle
  std::uint8_t ViewerStep = kViewerIdle;                // CG viewer: next step to try; 100 = idle
  std::array<std::uint8_t, 3> RouteSeenCount{};         // gallery: seen CGs per route

  // The type of the page on screen: the page last typed, or the page last handed to ShowChoicePage. The click
  // gate tests this rather than `PageBuffer`, which by then may hold the record of the page that follows, so
  // that a finished page leading to a choice page opens it on a click.
  std::int16_t OnScreenPageType = 0;
};

}  // namespace shiori
