#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/Result.h"

namespace shiori {

// One action of the reader from the first page of a new story: `count` clicks on the story layer (each ends a
// pause or opens the next page), or taking choice `choice` (1 or 2) of the choice page on screen.
struct ClickStep {
  std::size_t count = 0;
  int choice = 0;  // 0: a run of clicks
};

struct EndingPath {
  std::int16_t code = 0;        // the ending code the page leads to; 9501 plays the full ending
  std::size_t page = 0;         // the page whose end starts the ending
  std::vector<ClickStep> path;  // the fewest clicks and choices from page 1 until the ending starts
};

// A page where the reader is stranded: no click or choice leads on, and no ending starts.
struct DeadEnd {
  std::size_t page = 0;
  std::string why;                 // "no line ends the page"
  std::vector<std::size_t> pages;  // the way there from page 1, that page included
  std::vector<ClickStep> path;     // the fewest clicks and choices along it, up to where the reader is stuck
};

struct CgReach {
  std::size_t step = 0;
  std::int16_t page = 0;
  std::string picture;  // "log/0026.log"
  bool reachable = false;
  bool read = false;  // the player marks the page read on some path
};

struct ChoicePoint {
  std::size_t page = 0;
  std::array<std::int16_t, 2> targets{};
};

// The part of the story on one gallery route: the pages on a path from page 1 through one of its CG pages.
struct RouteReach {
  int route = 0;
  std::vector<std::size_t> pages;
  std::vector<ChoicePoint> choices;
  std::vector<CgReach> cgs;
  std::vector<std::int16_t> endings;  // ending codes reachable on the route
};

struct WalkReport {
  std::size_t page_count = 0;
  std::vector<std::size_t> reachable;
  std::vector<RouteReach> routes;
  std::vector<EndingPath> endings;
  std::vector<DeadEnd> dead_ends;
};

// Explores the story from page 1 through every choice.
[[nodiscard]] WalkReport WalkStory(std::span<const std::uint8_t> scenario);

[[nodiscard]] std::string FormatPath(const std::vector<ClickStep>& path);  // "click x 3, choose 2, click x 5"
[[nodiscard]] std::string FormatWalkText(const WalkReport& report);
[[nodiscard]] std::string FormatWalkJson(const WalkReport& report);

}  // namespace shiori
