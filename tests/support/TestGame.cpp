#include "support/TestGame.h"

#include <gtest/gtest.h>

#include <cmath>

#include "comforts/Comforts.h"
#include "support/GameWriter.h"
#include "support/WaveBytes.h"

namespace shiori::test {

TestPage TestPage::Text(std::initializer_list<std::string> lines, std::initializer_list<int> codes, int next) {
  TestPage page;
  page.record.pageType = 0;
  page.record.pictureNo = 1;
  page.record.musicNo = 1;
  page.record.startMark = 1;
  page.record.target[0] = static_cast<std::int16_t>(next);
  int k = 0;
  for (const std::string& line : lines) page.record.lineText[k++] = line;
  k = 0;
  for (const int code : codes) page.record.lineCode[k++] = static_cast<std::uint8_t>(code);
  return page;
}

TestPage TestPage::Choice(std::initializer_list<std::string> lines, int first_lines, int second_lines,
                          std::initializer_list<int> targets) {
  TestPage page;
  page.record.pageType = ScenarioRecord::kChoicePage;
  page.record.pictureNo = 2;
  page.record.musicNo = 1;
  page.record.startMark = 1;
  page.record.choiceLines = {static_cast<std::uint8_t>(first_lines), static_cast<std::uint8_t>(second_lines)};
  int k = 0;
  for (const std::string& line : lines) {
    page.record.lineText[k] = line;
    page.record.lineCode[k++] = 46;
  }
  k = 0;
  for (const int target : targets) page.record.target[k++] = static_cast<std::int16_t>(target);
  return page;
}

TestPage& TestPage::Picture(int number) {
  record.pictureNo = static_cast<std::int16_t>(number);
  return *this;
}
TestPage& TestPage::Music(int number) {
  record.musicNo = static_cast<std::int16_t>(number);
  return *this;
}
TestPage& TestPage::Type(int type) {
  record.pageType = static_cast<std::int16_t>(type);
  return *this;
}
TestPage& TestPage::EndingMark(int mark) {
  record.endingMark = static_cast<std::int16_t>(mark);
  return *this;
}
TestPage& TestPage::StartMark(int mark) {
  record.startMark = static_cast<std::int16_t>(mark);
  return *this;
}

TestGame::TestGame() {
  GameContents contents;
  contents.pictures.clear();
  for (int n = 0; n <= 40; ++n) contents.pictures.push_back(n);
  for (const int n : {1, 2, 3, 7, 12, 31, 32}) contents.music[n] = WaveBytes(22050, 0);
  GameWriter(dir_.path()).WriteFiles(contents);
}

TestGame::~TestGame() = default;

TestGame& TestGame::Page(int number, const TestPage& page) {
  pages_[number] = page.record;
  return *this;
}

void TestGame::Create() {
  GameWriter(dir_.path()).WriteScenario(pages_);
  engine_.reset();
  recorded_ = std::make_unique<RecordingServices>(scheduler_, VirtualWallClock::Parse(now), warning_text_);
  engine_ = std::make_unique<Engine>(GameFolder::Open(dir_.path(), save_dir), recorded_->services(), scheduler_);
  engine_->comforts().voice().SetSpeaker(&recorded_->speaker);
}

void TestGame::Start() {
  Create();
  ASSERT_TRUE(engine_->Start().ok());
}

void TestGame::Press(const std::string& name, int button) {
  if (!engine_->form().PressByName(name, button)) ADD_FAILURE() << "no widget " << name;
}

void TestGame::Menu(const std::string& name) {
  MenuItem* item = engine_->form().FindMenuItem(name);
  ASSERT_NE(item, nullptr) << name;
  engine_->form().Choose(*item);
}

void TestGame::Wait(double ms) { scheduler_.AdvanceTo(scheduler_.Now() + std::llround(ms * 1000)); }

void TestGame::Jump(int page) {
  engine_->form().txtDES->SetCaption(std::to_string(page));
  Click("comDES");
}

std::string TestGame::Caption(const std::string& name) {
  Widget* widget = engine_->form().FindWidget(name);
  if (widget == nullptr) {
    ADD_FAILURE() << "no widget " << name;
    return "";
  }
  return widget->caption();
}

void TestGame::MarkPages(std::initializer_list<int> pages, std::uint8_t mark) {
  std::string bytes = std::filesystem::exists(dir_.path() / "data5.rgd") ? dir_.Read("data5.rgd") : "";
  for (const int page : pages) {
    if (bytes.size() < static_cast<std::size_t>(page)) bytes.resize(page, '\x01');
    bytes[page - 1] = static_cast<char>(mark);
  }
  dir_.Write("data5.rgd", bytes);
}

void TestGame::MarkRange(int first, int last, std::uint8_t mark) {
  std::string bytes = std::filesystem::exists(dir_.path() / "data5.rgd") ? dir_.Read("data5.rgd") : "";
  if (bytes.size() < static_cast<std::size_t>(last)) bytes.resize(last, '\x01');
  for (int page = first; page <= last; ++page) bytes[page - 1] = static_cast<char>(mark);
  dir_.Write("data5.rgd", bytes);
}

std::vector<std::string> TestGame::WaveSince(std::size_t from) const {
  const auto& log = recorded_->wave.log();
  return {log.begin() + static_cast<std::ptrdiff_t>(std::min(from, log.size())), log.end()};
}

}  // namespace shiori::test
