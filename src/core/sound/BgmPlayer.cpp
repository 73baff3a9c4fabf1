#include "sound/BgmPlayer.h"

#include <map>

#include "engine/Engine.h"
#include "platform/WaveFile.h"

namespace shiori {
namespace {

constexpr int kPageChangeDelayMs = 200;
constexpr int kSwitchOnDelayMs = 1;
// A piece whose length cannot be told (its file is missing) is tried again at this interval.
constexpr int kUnknownLengthMs = 60000;

}  // namespace

std::optional<int> BgmPlayer::TrackLength(int number) {
  static const std::map<int, int> kLengths = {
      {1, 57000},  {2, 52000},  {3, 35000},  {4, 35000},  {5, 44000},  {6, 31000},  {11, 40000},
      {12, 24000}, {13, 44000}, {14, 56000}, {15, 60000}, {16, 42000}, {17, 47000}, {18, 49000},
      {19, 30000}, {21, 61000}, {22, 57000}, {23, 46000}, {24, 30000}, {25, 60000}, {26, 52000},
      {27, 59000}, {28, 40000}, {29, 42000}, {30, 65000}, {31, 63000}, {32, 56000}, {33, 53000},
      {34, 56000}, {41, 52000}, {42, 34000}, {43, 21000}, {44, 22000}, {45, 47500},
  };
  const auto found = kLengths.find(number);
  if (found == kLengths.end()) return std::nullopt;
  return found->second;
}

std::string BgmPlayer::MusicFile(int number) { return "\\data\\" + FourDigits(number) + ".wav"; }

std::optional<std::uint8_t> BgmPlayer::PageMusic() const {
  const int number = engine_.state().PageBuffer.musicNo;
  if (number < 0 || number > 255) return std::nullopt;
  return static_cast<std::uint8_t>(number);
}

void BgmPlayer::StopSequence() {
  WaveDevice& wave = engine_.services().wave;
  wave.SetDeviceType("WaveAudio");
  wave.Command("stop");
  wave.Command("close");
}

void BgmPlayer::StartSequence(const std::string& file) {
  WaveDevice& wave = engine_.services().wave;
  wave.SetNotify(false);
  wave.SetWait(true);
  wave.SetShareable(false);
  wave.SetDeviceType("waveAudio");
  wave.Command("close");
  wave.SetFileName(RelativeName(file), engine_.folder().GameFile(file));
  wave.Command("open");
  wave.Command("play");
}

void BgmPlayer::ScheduleStart(int delay_ms) {
  Timer& timer = engine_.form().timBGM;
  timer.SetEnabled(false);
  timer.SetInterval(delay_ms);
  timer.SetEnabled(true);
}

void BgmPlayer::UpdatePageMusic() {
  PlayState& s = engine_.state();
  if (!engine_.form().menuBGM.checked()) return;
  const auto number = PageMusic();
  if (!number) return;  // a number that is no piece is ignored
  if (*number == 0) {
    StopSequence();
    return;
  }
  if (*number == s.CurrentMusicNo) return;
  s.CurrentMusicNo = *number;
  StopSequence();
  ScheduleStart(kPageChangeDelayMs);
}

// Music has just been switched on: the page's piece starts again from its beginning, even the same number.
void BgmPlayer::RestartMusic() {
  const auto number = PageMusic();
  if (!number) return;
  if (*number == 0) {
    StopSequence();
    return;
  }
  engine_.state().CurrentMusicNo = *number;
  StopSequence();
  ScheduleStart(kSwitchOnDelayMs);
}

// Plays the piece named in `PageBuffer` now, and sets the timer to its length so that the next tick replays it
// just as it ends. A piece without a row in the track table repeats at the length of its own file.
void BgmPlayer::timBGM_Timer() {
  Form& form = engine_.form();
  if (!form.menuBGM.checked()) return;
  form.lblFRONT->SetEnabled(false);
  const auto number = PageMusic();
  if (!number || *number == 0) return;
  const std::string file = MusicFile(*number);
  if (const auto length = TrackLength(*number)) {
    form.timBGM.SetInterval(*length);
  } else {
    form.timBGM.SetInterval(WaveDurationMs(engine_.folder().GameFile(file)).value_or(kUnknownLengthMs));
  }
  StartSequence(file);
  form.lblFRONT->SetEnabled(true);
}

void BgmPlayer::menuBGM_Click() {
  PlayState& s = engine_.state();
  Form& form = engine_.form();
  WaveDevice& wave = engine_.services().wave;
  form.menuBGM.SetChecked(!form.menuBGM.checked());
  if (form.menuBGM.checked()) {
    if (s.MenuMode == MenuKind::Title) s.PageBuffer.musicNo = ScenarioRecord::kTitleMusicNo;
    wave.SetEnabled(true);
    RestartMusic();
  } else {
    wave.Command("close");
    wave.SetEnabled(false);
  }
}

}  // namespace shiori
