#include "persistence/Settings.h"

#include <array>

#include "engine/Engine.h"
#include "gallery/Gallery.h"
#include "persistence/SeenRecord.h"
#include "platform/ValueFile.h"

namespace shiori {
namespace {

constexpr Rgb kUnselectedGrey = 0x808080;

}  // namespace

std::filesystem::path Settings::File(const char* name) const { return engine_.folder().SaveFile(name); }

std::optional<std::filesystem::path> Settings::StartingFile(const char* name) const {
  std::error_code error;
  for (std::filesystem::path file : {File(name), engine_.folder().GameFile(name)}) {
    if (std::filesystem::exists(file, error)) return file;
  }
  return std::nullopt;
}

void Settings::Load() {
  ReadMusicSwitch();
  ReadTextSpeed();
  HighlightTextSpeed();
}

void Settings::Save() {
  WriteMusicSwitch();
  WriteTextSpeed();
}

// A missing or malformed settings file means the defaults: music on, normal speed. Only a file that is there and
// holds no setting is worth a warning; none at all is a first start.
void Settings::ReadMusicSwitch() {
  const std::optional<std::filesystem::path> file = StartingFile("conf.rgd");
  const auto values = file ? ReadValueFile(*file) : Result<ValueLine>(ValueLine{});
  const bool* on = values && !values.value().empty() ? std::get_if<bool>(&values.value()[0]) : nullptr;
  if (file && on == nullptr) {
    engine_.services().warnings.Warn(file->string() + ": no music setting; music is on");
  }
  engine_.form().menuBGM.SetChecked(on == nullptr || *on);
}

// A well-formed speed outside 1..3 is kept as read: the typewriter then types without a pause.
void Settings::ReadTextSpeed() {
  const std::optional<std::filesystem::path> file = StartingFile("conf2.rgd");
  const auto values = file ? ReadValueFile(*file) : Result<ValueLine>(ValueLine{});
  const Number* speed = values && !values.value().empty() ? std::get_if<Number>(&values.value()[0]) : nullptr;
  if (speed == nullptr || *speed < 0 || *speed > 255) {
    if (file) engine_.services().warnings.Warn(file->string() + ": no text speed; the speed is normal");
    engine_.state().TextSpeed = kDefaultTextSpeed;
    return;
  }
  engine_.state().TextSpeed = static_cast<std::uint8_t>(*speed);
}

void Settings::HighlightTextSpeed() {
  Form& form = engine_.form();
  const std::array<Widget*, 3> labels = {form.lblMOJI_F, form.lblMOJI_N, form.lblMOJI_S};
  for (int speed = 1; speed <= 3; ++speed) {
    labels[speed - 1]->SetFore(engine_.state().TextSpeed == speed ? kWhite : kUnselectedGrey);
  }
}

void Settings::WriteMusicSwitch() {
  PlayState& s = engine_.state();
  s.BgmOn = engine_.form().menuBGM.checked();
  if (const Status written = WriteValueFile(File("conf.rgd"), {s.BgmOn}); !written) {
    engine_.services().warnings.Warn(written.error());
  }
}

void Settings::WriteTextSpeed() {
  if (const Status written = WriteValueFile(File("conf2.rgd"), {Number{engine_.state().TextSpeed}}); !written) {
    engine_.services().warnings.Warn(written.error());
  }
}

void Settings::ChooseTextSpeed(std::uint8_t speed) {
  engine_.state().TextSpeed = speed;
  HighlightTextSpeed();
  WriteTextSpeed();
}

void Settings::lblSYOK_MouseDown(int button) {
  if (button != kLeftButton) return;
  // Enter must not wipe every bookmark, the read record and the gallery: No is the default here.
  if (!engine_.services().questions.Ask("すべてのセーブデータが失われます", "確認", DefaultAnswer::kNo)) return;
  if (const Status reset = engine_.seen().InitialiseSaveData(); !reset) {
    engine_.services().warnings.Warn(reset.error());
  }
  engine_.gallery().RefreshGalleryProgress();
}

void Settings::Label8_MouseDown(int button) {
  if (button == kLeftButton) engine_.form().Picture3.SetVisible(false);
}

}  // namespace shiori
