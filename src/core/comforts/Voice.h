#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Services.h"
#include "window/Scheduler.h"

namespace shiori {

class Engine;
class Form;
class Widget;
struct Preferences;

// One piece of the story's text offered to the reader's tools: what a screen reader announces, and, when `copy`
// is set, what goes to the clipboard for a dictionary or a translator.
struct TextOut {
  enum class Kind { Page, Choices, Focus, Notice };
  Kind kind = Kind::Page;
  std::string text;
  bool copy = false;
  Micros at = 0;  // on the story's clock
  bool operator==(const TextOut&) const = default;
};

// What an entry the keyboard can move to is called: its caption on one line, or for the gallery's route plates,
// which are pictures, their place and the progress under them.
[[nodiscard]] std::string EntryText(const Form& form, const Widget& entry);

// Message lines as one text: trailing blanks of each line trimmed, empty lines around the text dropped.
[[nodiscard]] std::string MessageText(const std::vector<std::string>& lines);
// A label's text as one line: its line breaks dropped and trailing blanks trimmed.
[[nodiscard]] std::string OneLine(std::string_view text);

// Decides what is said and offered as text, and when speech is cut short: the page's text as its typing begins,
// the answers of a choice as they appear, the entry the keyboard moves to, the comforts' notices. Everything it
// decides goes out as TextOut, for screen readers whatever the preferences; speech only with self-voicing on and
// a Japanese voice, and the clipboard only with copy_page_text on.
class Voice {
 public:
  Voice(Engine& engine, const Preferences& preferences) : engine_(engine), preferences_(preferences) {}

  // The shell's speech, or none. Not owned.
  void SetSpeaker(Speaker* speaker) { speaker_ = speaker; }
  // What the shell found among its voices. A notice says so when self-voicing is on and cannot read Japanese.
  void SetSupport(VoiceSupport support);
  [[nodiscard]] VoiceSupport support() const { return support_; }

  // From the story and the comforts.
  void PageTyping(const std::vector<std::string>& lines);
  void ChoicesShown();
  void Focused(const Widget& entry);
  void Noticed(std::string_view text);
  // The reader read on, took a choice, or turned self-voicing off: what is being said no longer fits.
  void Stop();
  // Self-voicing was turned on or off; the notice that says so, or why it cannot speak.
  [[nodiscard]] std::string SwitchedNotice(bool on) const;

  // Told of every text that goes out, as it goes.
  std::function<void(const TextOut&)> Offered;

 private:
  void Offer(TextOut::Kind kind, std::string text, bool copy = false);
  [[nodiscard]] bool CanSpeak() const;

  Engine& engine_;
  const Preferences& preferences_;
  Speaker* speaker_ = nullptr;
  VoiceSupport support_ = VoiceSupport::kUnknown;
  bool speaking_ = false;  // said something since the last stop
};

}  // namespace shiori
