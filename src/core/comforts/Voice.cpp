#include "comforts/Voice.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "comforts/Comforts.h"
#include "comforts/Preferences.h"
#include "engine/Engine.h"

namespace shiori {
namespace {

std::string TrimEnd(std::string text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.ends_with("\u3000"))) {
    text.resize(text.back() == ' ' || text.back() == '\t' ? text.size() - 1 : text.size() - 3);
  }
  return text;
}

}  // namespace

std::string MessageText(const std::vector<std::string>& lines) {
  std::vector<std::string> trimmed;
  std::transform(lines.begin(), lines.end(), std::back_inserter(trimmed), TrimEnd);
  while (!trimmed.empty() && trimmed.back().empty()) trimmed.pop_back();
  const auto first = std::find_if(trimmed.begin(), trimmed.end(), [](const std::string& l) { return !l.empty(); });
  std::string text;
  for (auto it = first; it != trimmed.end(); ++it) text += (it == first ? "" : "\n") + *it;
  return text;
}

std::string OneLine(std::string_view text) {
  std::string line;
  std::copy_if(text.begin(), text.end(), std::back_inserter(line), [](char c) { return c != '\r' && c != '\n'; });
  return TrimEnd(std::move(line));
}

void Voice::SetSupport(VoiceSupport support) {
  const bool lost = support == VoiceSupport::kNoJapanese && support_ != support;
  support_ = support;
  if (!lost || !preferences_.self_voicing) return;
  Stop();
  engine_.comforts().ShowNotice(SwitchedNotice(true));
}

std::string Voice::SwitchedNotice(bool on) const {
  if (!on) return "読み上げ：オフ";
  return support_ == VoiceSupport::kNoJapanese ? "日本語の音声がないため読み上げできません" : "読み上げ：オン";
}

void Voice::PageTyping(const std::vector<std::string>& lines) {
  std::string text = MessageText(lines);
  if (!text.empty()) Offer(TextOut::Kind::Page, std::move(text), preferences_.copy_page_text);
}

// Numbered as the keys 1 to 4 take them.
void Voice::ChoicesShown() {
  std::string text;
  for (std::size_t i = 0; i < engine_.form().lblSEL.size(); ++i) {
    const Widget& answer = *engine_.form().lblSEL[i];
    if (!answer.visible() || OneLine(answer.caption()).empty()) continue;
    text += (text.empty() ? "" : "\n") + std::to_string(i + 1) + ". " + OneLine(answer.caption());
  }
  if (!text.empty()) Offer(TextOut::Kind::Choices, std::move(text));
}

void Voice::Focused(const Widget& entry) { Offer(TextOut::Kind::Focus, EntryText(engine_.form(), entry)); }

void Voice::Noticed(std::string_view text) { Offer(TextOut::Kind::Notice, std::string(text)); }

std::string EntryText(const Form& form, const Widget& entry) {
  const std::array<const Widget*, 3> routes = {form.lblRUI, form.lblSUMI, form.lblNAGI};
  const auto route = std::find(routes.begin(), routes.end(), &entry);
  if (route == routes.end()) return OneLine(entry.caption());
  const auto index = static_cast<std::size_t>(route - routes.begin());
  return "ルート" + std::to_string(index + 1) + "　" + OneLine(form.lblCG[index]->caption());
}

void Voice::Stop() {
  if (speaking_ && speaker_ != nullptr) speaker_->Stop();
  speaking_ = false;
}

bool Voice::CanSpeak() const {
  return speaker_ != nullptr && preferences_.self_voicing && support_ != VoiceSupport::kNoJapanese;
}

void Voice::Offer(TextOut::Kind kind, std::string text, bool copy) {
  if (CanSpeak()) {
    Stop();
    speaker_->Say(text, {preferences_.speech_rate, preferences_.speech_voice});
    speaking_ = true;
  }
  if (Offered) Offered({kind, std::move(text), copy, engine_.scheduler().Now()});
}

}  // namespace shiori
