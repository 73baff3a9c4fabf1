#include "comforts/GoingBack.h"

#include <algorithm>

#include "engine/Engine.h"
#include "scenario/PageLoader.h"
#include "scenario/SkipAndReturn.h"
#include "scenario/Typewriter.h"
#include "sound/BgmPlayer.h"

namespace shiori {

void GoingBack::PageStopped(bool began_page) {
  if (restoring_) return;
  Form& form = engine_.form();
  Page page{.story = engine_.state(), .picture = form.Picture1.picture(), .skip_offered = form.menuNEXT.enabled()};
  for (std::size_t i = 0; i < page.lines.size(); ++i) page.lines[i] = form.lbl1[i]->caption();
  Remember(std::move(page), !began_page);
}

void GoingBack::ChoiceShown() {
  if (restoring_) return;
  Remember({.choice = true, .story = engine_.state()}, false);
}

// A later stop on the same page replaces the earlier one: going back goes a page at a time.
void GoingBack::Remember(Page page, bool same_visit) {
  if (same_visit && !pages_.empty() && !pages_.back().choice) {
    page.visit = pages_.back().visit;
    pages_.back() = std::move(page);
    return;
  }
  page.visit = next_visit_++;
  pages_.push_back(std::move(page));
  while (pages_.size() > kPages) pages_.pop_front();
}

void GoingBack::Clear() { pages_.clear(); }

// A page typed for the first time has no stop remembered yet: the page remembered last lies behind it.
bool GoingBack::NewPageTyping() const { return engine_.typewriter().typing_new_page(); }

GoingBack::Visit GoingBack::OnScreen() const { return NewPageTyping() ? next_visit_ : newest(); }

bool GoingBack::CanGoBack() const { return pages_.size() >= (NewPageTyping() ? 1U : 2U); }

bool GoingBack::StepBack() {
  if (!CanGoBack()) return false;
  if (!NewPageTyping()) pages_.pop_back();
  Restore(pages_.back());
  return true;
}

bool GoingBack::ReturnTo(Visit visit) {
  const auto found = std::find_if(pages_.begin(), pages_.end(), [visit](const Page& p) { return p.visit == visit; });
  if (found == pages_.end()) return false;
  pages_.erase(found + 1, pages_.end());
  Restore(pages_.back());
  return true;
}

void GoingBack::Restore(const Page& page) {
  restoring_ = true;
  engine_.typewriter().Cancel();
  PlayState& s = engine_.state();
  s.PageBuffer = page.story.PageBuffer;
  s.CurrentPage = page.story.CurrentPage;
  s.LineCounter = page.story.LineCounter;
  s.PageState = page.story.PageState;
  s.BlinkPhase = page.story.BlinkPhase;
  s.LastChoicePage = page.story.LastChoicePage;
  s.OnScreenPageType = page.story.OnScreenPageType;
  Form& form = engine_.form();
  form.Picture1.SetVisible(true);
  form.Picture2.SetVisible(false);
  if (page.choice) {
    // As the return to the previous choice puts a choice page back, none of its answers taken.
    form.timYAZIRUSI.SetEnabled(false);
    engine_.pages().ShowPagePicture();
    engine_.pages().ShowChoicePage();
    engine_.skip().UpdateSkipAvailability();
  } else {
    RestoreText(page);
  }
  engine_.music().UpdatePageMusic();
  restoring_ = false;
}

// The page waits for a click again as it did: the arrow timer opens the click gate at its next tick, and starts
// the ending there if the page leads to one.
void GoingBack::RestoreText(const Page& page) {
  Form& form = engine_.form();
  for (Widget* choice : form.lblSEL) choice->SetVisible(false);
  if (page.picture) engine_.ShowPicture(form.Picture1, *page.picture);
  for (std::size_t i = 0; i < page.lines.size(); ++i) form.lbl1[i]->SetCaption(page.lines[i]);
  form.lblSANKAKU->SetCaption("");
  form.lblFRONT->SetEnabled(false);
  form.timYAZIRUSI.SetEnabled(true);
  form.menuNEXT.SetEnabled(page.skip_offered);
}

}  // namespace shiori
