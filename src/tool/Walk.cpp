#include "Walk.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <limits>
#include <queue>
#include <sstream>

#include "JsonWriter.h"
#include "Story.h"
#include "persistence/RouteCgTable.h"
#include "platform/GameFolder.h"

namespace shiori {
namespace {

using Adjacency = std::vector<std::vector<std::size_t>>;

// Cheapest ways from page 1: the fewest clicks and choices to each page.
struct Paths {
  std::vector<std::size_t> cost;
  std::vector<std::size_t> from;  // previous page
  std::vector<Move> via;          // the move from there
};

Paths ShortestPaths(const Story& story) {
  constexpr std::size_t kUnreached = std::numeric_limits<std::size_t>::max();
  Paths paths{std::vector<std::size_t>(story.page_count() + 1, kUnreached),
              std::vector<std::size_t>(story.page_count() + 1), std::vector<Move>(story.page_count() + 1)};
  if (story.page_count() == 0) return paths;
  using Entry = std::pair<std::size_t, std::size_t>;  // cost, page
  std::priority_queue<Entry, std::vector<Entry>, std::greater<>> queue;
  paths.cost[1] = 0;
  queue.push({0, 1});
  while (!queue.empty()) {
    const auto [cost, page] = queue.top();
    queue.pop();
    if (cost > paths.cost[page]) continue;
    for (const Move& move : story.Moves(page)) {
      const std::size_t next_cost = cost + move.clicks + (move.choice != 0 ? 1 : 0);
      if (next_cost < paths.cost[move.to]) {
        paths.cost[move.to] = next_cost;
        paths.from[move.to] = page;
        paths.via[move.to] = move;
        queue.push({next_cost, move.to});
      }
    }
  }
  return paths;
}

void AddClicks(std::vector<ClickStep>& path, std::size_t count) {
  if (count == 0) return;
  if (!path.empty() && path.back().choice == 0) {
    path.back().count += count;
  } else {
    path.push_back({count, 0});
  }
}

// The pages on the cheapest way from page 1 to `page`, both included.
std::vector<std::size_t> PagesTo(const Paths& paths, std::size_t page) {
  std::vector<std::size_t> pages{page};
  for (std::size_t at = page; at != 1; at = paths.from[at]) pages.push_back(paths.from[at]);
  std::reverse(pages.begin(), pages.end());
  return pages;
}

std::vector<ClickStep> PathTo(const Story& story, const Paths& paths, std::size_t page) {
  const std::vector<std::size_t> pages = PagesTo(paths, page);
  std::vector<ClickStep> path;
  for (std::size_t i = 1; i < pages.size(); ++i) {
    const Move& move = paths.via[pages[i]];
    AddClicks(path, move.clicks);
    if (move.choice != 0) path.push_back({1, move.choice});
  }
  AddClicks(path, TextFlow(story.page(page).record).pauses);
  return path;
}

std::vector<bool> Spread(const Adjacency& edges, const std::vector<std::size_t>& start,
                         const std::vector<bool>& allowed) {
  std::vector<bool> seen(edges.size(), false);
  std::deque<std::size_t> queue;
  for (const std::size_t page : start) {
    seen[page] = true;
    queue.push_back(page);
  }
  while (!queue.empty()) {
    const std::size_t at = queue.front();
    queue.pop_front();
    for (const std::size_t next : edges[at]) {
      if (allowed[next] && !seen[next]) {
        seen[next] = true;
        queue.push_back(next);
      }
    }
  }
  return seen;
}

RouteReach Route(const Story& story, int number, std::span<const CgStep> steps, const Adjacency& forward,
                 const Adjacency& backward) {
  RouteReach route;
  route.route = number;
  std::vector<std::size_t> cg_pages;
  for (std::size_t s = 0; s < steps.size(); ++s) {
    const CgStep& step = steps[s];
    CgReach cg{s + 1, step.page, RelativeName(step.picture), false, false};
    if (story.Contains(step.page)) {
      cg.reachable = story.reachable()[static_cast<std::size_t>(step.page)];
      cg.read = story.marked_read()[static_cast<std::size_t>(step.page)];
    }
    if (cg.reachable) cg_pages.push_back(static_cast<std::size_t>(step.page));
    route.cgs.push_back(std::move(cg));
  }
  const std::vector<bool> before = Spread(backward, cg_pages, story.reachable());
  const std::vector<bool> after = Spread(forward, cg_pages, story.reachable());
  for (std::size_t page = 1; page <= story.page_count(); ++page) {
    if (!before[page] && !after[page]) continue;
    route.pages.push_back(page);
    const ScenarioRecord& record = story.page(page).record;
    if (record.pageType == ScenarioRecord::kChoicePage)
      route.choices.push_back({page, {record.target[0], record.target[1]}});
    if (const auto ending = story.EndingOf(page)) route.endings.push_back(*ending);
  }
  std::sort(route.endings.begin(), route.endings.end());
  route.endings.erase(std::unique(route.endings.begin(), route.endings.end()), route.endings.end());
  return route;
}

std::string EndingName(std::int16_t code) {
  return std::to_string(code) + (IsFullEnding(code) ? " (full)" : " (short)");
}

template <class T, class Write>
void JsonArray(JsonWriter& json, const std::vector<T>& items, Write write) {
  json.BeginArray();
  for (const T& item : items) write(json, item);
  json.EndArray();
}

template <class Int>
void JsonInts(JsonWriter& json, const std::vector<Int>& values) {
  JsonArray(json, values, [](JsonWriter& out, Int value) { out.Int(static_cast<std::int64_t>(value)); });
}

void JsonPath(JsonWriter& json, const std::vector<ClickStep>& path) {
  JsonArray(json, path, [](JsonWriter& out, const ClickStep& step) {
    out.BeginObject();
    if (step.choice == 0) {
      out.Key("click").Int(static_cast<std::int64_t>(step.count));
    } else {
      out.Key("choose").Int(step.choice);
    }
    out.EndObject();
  });
}

void JsonRoute(JsonWriter& json, const RouteReach& route) {
  json.BeginObject();
  json.Key("route").Int(route.route);
  json.Key("pages");
  JsonInts(json, route.pages);
  json.Key("choices");
  JsonArray(json, route.choices, [](JsonWriter& out, const ChoicePoint& choice) {
    out.BeginObject().Key("page").Int(static_cast<std::int64_t>(choice.page));
    out.Key("targets").BeginArray().Int(choice.targets[0]).Int(choice.targets[1]).EndArray();
    out.EndObject();
  });
  json.Key("cgs");
  JsonArray(json, route.cgs, [](JsonWriter& out, const CgReach& cg) {
    out.BeginObject().Key("step").Int(static_cast<std::int64_t>(cg.step)).Key("page").Int(cg.page);
    out.Key("picture").String(cg.picture).Key("reachable").Bool(cg.reachable).Key("read").Bool(cg.read);
    out.EndObject();
  });
  json.Key("endings");
  JsonInts(json, route.endings);
  json.EndObject();
}

}  // namespace

WalkReport WalkStory(std::span<const std::uint8_t> scenario) {
  const Story story(scenario);
  WalkReport report;
  report.page_count = story.page_count();
  Adjacency forward(story.page_count() + 1);
  Adjacency backward(story.page_count() + 1);
  for (std::size_t page = 1; page <= story.page_count(); ++page) {
    if (!story.reachable()[page]) continue;
    report.reachable.push_back(page);
    for (const Move& move : story.Moves(page)) {
      forward[page].push_back(move.to);
      backward[move.to].push_back(page);
    }
  }
  const auto& table = RouteCgTable();
  for (std::size_t r = 0; r < table.size(); ++r) {
    report.routes.push_back(Route(story, static_cast<int>(r + 1), table[r], forward, backward));
  }
  const Paths paths = ShortestPaths(story);
  for (const std::size_t page : report.reachable) {
    if (const auto ending = story.EndingOf(page)) report.endings.push_back({*ending, page, PathTo(story, paths, page)});
    if (std::string why = story.DeadEnd(page); !why.empty()) {
      report.dead_ends.push_back({page, std::move(why), PagesTo(paths, page), PathTo(story, paths, page)});
    }
  }
  std::stable_sort(report.endings.begin(), report.endings.end(),
                   [](const EndingPath& a, const EndingPath& b) { return a.code < b.code; });
  return report;
}

std::string FormatPath(const std::vector<ClickStep>& path) {
  std::string text;
  for (const ClickStep& step : path) {
    if (!text.empty()) text += ", ";
    text += step.choice == 0 ? "click x " + std::to_string(step.count) : "choose " + std::to_string(step.choice);
  }
  return text.empty() ? "(no clicks)" : text;
}

std::string FormatWalkText(const WalkReport& report) {
  std::ostringstream out;
  out << "data1.rgd: " << report.page_count << " pages, " << report.reachable.size() << " reachable from page 1\n";
  for (const RouteReach& route : report.routes) {
    // A CG is unlocked when the player marks its page read, which takes a path from page 1 to it.
    const auto unlockable =
        std::count_if(route.cgs.begin(), route.cgs.end(), [](const CgReach& cg) { return cg.read; });
    out << "\nroute " << route.route << ": " << route.pages.size() << " pages, " << route.choices.size()
        << " choice pages, " << unlockable << " of " << route.cgs.size() << " CGs can be unlocked\n";
    out << "  pages: " << PageRanges(route.pages) << '\n';
    for (const ChoicePoint& choice : route.choices) {
      out << "  choice at page " << choice.page << ": 1 -> " << choice.targets[0] << ", 2 -> " << choice.targets[1]
          << '\n';
    }
    for (const CgReach& cg : route.cgs) {
      out << "  CG " << cg.step << " " << cg.picture << " at page " << cg.page << ": "
          << (cg.read        ? "can be unlocked"
              : cg.reachable ? "reachable, but never marked read, so never unlocked"
                             : "not reachable")
          << '\n';
    }
    out << "  endings:";
    for (const std::int16_t code : route.endings) out << ' ' << EndingName(code);
    out << (route.endings.empty() ? " none\n" : "\n");
  }
  out << '\n';
  for (const EndingPath& ending : report.endings) {
    out << "ending " << EndingName(ending.code) << " at page " << ending.page << ": " << FormatPath(ending.path)
        << '\n';
  }
  if (report.endings.empty()) {
    out << "no ending is reachable";
    out << (report.dead_ends.empty() && !report.reachable.empty()
                ? ": every way from page 1 goes round without end, through pages " + PageRanges(report.reachable) + "\n"
                : "\n");
  }
  for (const DeadEnd& dead_end : report.dead_ends) {
    out << "dead end at page " << dead_end.page << " (" << dead_end.why << "), reached by pages ";
    for (std::size_t i = 0; i < dead_end.pages.size(); ++i) out << (i == 0 ? "" : " -> ") << dead_end.pages[i];
    out << ": " << FormatPath(dead_end.path) << '\n';
  }
  return out.str();
}

std::string FormatWalkJson(const WalkReport& report) {
  JsonWriter json;
  json.BeginObject().Key("pages").Int(static_cast<std::int64_t>(report.page_count));
  json.Key("reachable");
  JsonInts(json, report.reachable);
  json.Key("routes");
  JsonArray(json, report.routes, JsonRoute);
  json.Key("endings");
  JsonArray(json, report.endings, [](JsonWriter& out, const EndingPath& ending) {
    out.BeginObject().Key("code").Int(ending.code).Key("kind").String(IsFullEnding(ending.code) ? "full" : "short");
    out.Key("page").Int(static_cast<std::int64_t>(ending.page)).Key("path");
    JsonPath(out, ending.path);
    out.Key("path_text").String(FormatPath(ending.path)).EndObject();
  });
  json.Key("dead_ends");
  JsonArray(json, report.dead_ends, [](JsonWriter& out, const DeadEnd& dead_end) {
    out.BeginObject().Key("page").Int(static_cast<std::int64_t>(dead_end.page)).Key("why").String(dead_end.why);
    out.Key("pages");
    JsonInts(out, dead_end.pages);
    out.Key("path");
    JsonPath(out, dead_end.path);
    out.Key("path_text").String(FormatPath(dead_end.path)).EndObject();
  });
  json.EndObject();
  return json.str() + "\n";
}

}  // namespace shiori
