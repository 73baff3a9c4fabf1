#include "stage/StageFrames.h"

#include <algorithm>
#include <map>
#include <utility>

namespace shiori::stage {
namespace {

constexpr Box kStage{0, 0, StageLayout::kWidth, StageLayout::kHeight};

// An item's name within its frame: its owner, and which of that owner's items it is.
using ItemKey = std::pair<std::uint32_t, std::uint32_t>;

std::vector<ItemKey> KeysOf(const DisplayList& list) {
  std::vector<ItemKey> keys;
  keys.reserve(list.items.size());
  std::map<std::uint32_t, std::uint32_t> seen;
  for (const Item& item : list.items) keys.emplace_back(item.owner, seen[item.owner]++);
  return keys;
}

// The run `after` is `before` with glyphs added at its end, nothing else changed: the page typing on.
bool JustGrew(const GlyphRun& before, const GlyphRun& after) {
  return before.glyphs.size() < after.glyphs.size() && before.baseline == after.baseline &&
         before.pixel_size == after.pixel_size && before.squeeze == after.squeeze && before.colour == after.colour &&
         before.bold == after.bold && before.clip == after.clip &&
         std::equal(before.glyphs.begin(), before.glyphs.end(), after.glyphs.begin());
}

// The cells of the glyphs a run gained, with room for their ink.
Box GainedCells(const GlyphRun& before, const GlyphRun& after) {
  Box cells;
  for (std::size_t i = before.glyphs.size(); i < after.glyphs.size(); ++i) cells = cells.United(GlyphReach(after, i));
  return cells.Intersected(after.clip);
}

void AddBox(std::vector<Box>& boxes, const Box& box) {
  const Box shown = box.Intersected(kStage);
  if (!shown.empty()) boxes.push_back(shown);
}

// Whether the items both frames have come in the same order: when they do not, things moved in front of each
// other, and only drawing everything again is sure to be right.
bool SameOrder(const std::vector<ItemKey>& before, const std::vector<ItemKey>& after) {
  const std::map<ItemKey, std::size_t> position = [&] {
    std::map<ItemKey, std::size_t> p;
    for (std::size_t i = 0; i < after.size(); ++i) p.emplace(after[i], i);
    return p;
  }();
  std::size_t last = 0;
  bool first = true;
  for (const ItemKey& key : before) {
    const auto found = position.find(key);
    if (found == position.end()) continue;
    if (!first && found->second < last) return false;
    last = found->second;
    first = false;
  }
  return true;
}

}  // namespace

std::vector<Box> ChangedBoxes(const DisplayList& before, const DisplayList& after) {
  if (before == after) return {};
  const std::vector<ItemKey> before_keys = KeysOf(before);
  const std::vector<ItemKey> after_keys = KeysOf(after);
  if (!SameOrder(before_keys, after_keys)) return {kStage};
  std::map<ItemKey, const Item*> was;
  for (std::size_t i = 0; i < before_keys.size(); ++i) was.emplace(before_keys[i], &before.items[i]);
  std::vector<Box> changed;
  for (std::size_t i = 0; i < after_keys.size(); ++i) {
    const Item& now = after.items[i];
    const auto found = was.find(after_keys[i]);
    if (found == was.end()) {
      AddBox(changed, now.bounds);
      continue;
    }
    const Item& old = *found->second;
    was.erase(found);
    if (old == now) continue;
    const auto* old_run = std::get_if<GlyphRun>(&old.drawing);
    const auto* new_run = std::get_if<GlyphRun>(&now.drawing);
    if (old_run != nullptr && new_run != nullptr && JustGrew(*old_run, *new_run)) {
      AddBox(changed, GainedCells(*old_run, *new_run));
      continue;
    }
    AddBox(changed, old.bounds);
    AddBox(changed, now.bounds);
  }
  for (const auto& [key, gone] : was) AddBox(changed, gone->bounds);
  return changed;
}

Frame StageFrames::Next(const Form& form) {
  DisplayList list = layout_.Lay(form);
  Frame frame;
  if (!shown_) {
    frame.changed = {kStage};
    frame.whole = true;
  } else {
    frame.changed = ChangedBoxes(*shown_, list);
    // A layer that changed its picture or was shown covers everything: the stage is drawn whole, once.
    frame.whole = std::find(frame.changed.begin(), frame.changed.end(), kStage) != frame.changed.end();
    if (frame.whole) frame.changed = {kStage};
  }
  shown_ = std::move(list);
  frame.list = &*shown_;
  return frame;
}

}  // namespace shiori::stage
