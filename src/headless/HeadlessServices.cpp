#include "HeadlessServices.h"

#include <array>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <ostream>

namespace shiori {

bool SignaturePictureService::CanLoad(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::array<unsigned char, 4> head{};
  if (!in.read(reinterpret_cast<char*>(head.data()), head.size())) return false;
  const bool bmp = head[0] == 'B' && head[1] == 'M';
  const bool png = head[0] == 0x89 && head[1] == 'P' && head[2] == 'N' && head[3] == 'G';
  const bool jpeg = head[0] == 0xFF && head[1] == 0xD8;
  const bool gif = head[0] == 'G' && head[1] == 'I' && head[2] == 'F' && head[3] == '8';
  return bmp || png || jpeg || gif;
}

void RecordingWaveDevice::SetFileName(std::string_view relative, const std::filesystem::path&) {
  file_name_ = relative;
  log_.push_back("file " + file_name_);
}

bool ScriptedQuestioner::Ask(std::string_view text, std::string_view title, DefaultAnswer) {
  bool answer = false;
  if (!answers_.empty()) {
    answer = answers_.front();
    answers_.pop_front();
  }
  asked_.push_back({std::string(text), std::string(title), answer});
  return answer;
}

std::optional<std::chrono::sys_seconds> VirtualWallClock::Parse(const std::string& text) {
  int year = 0;
  unsigned month = 0, day = 0, hour = 0, minute = 0, second = 0;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%d-%u-%u %u:%u:%u%c", &year, &month, &day, &hour, &minute, &second, &tail) != 6) {
    return std::nullopt;
  }
  const std::chrono::year_month_day date{std::chrono::year{year}, std::chrono::month{month}, std::chrono::day{day}};
  if (!date.ok() || hour > 23 || minute > 59 || second > 59) return std::nullopt;
  return std::chrono::sys_days{date} + std::chrono::hours{hour} + std::chrono::minutes{minute} +
         std::chrono::seconds{second};
}

std::chrono::sys_time<std::chrono::milliseconds> VirtualWallClock::Now() const {
  using namespace std::chrono;
  if (fixed_) return *fixed_ + milliseconds{scheduler_.Now() / 1000};
  // The local time, expressed on the calendar of sys_time so that one formatting serves both cases.
  const auto now = system_clock::now();
  const std::time_t since_epoch = system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&since_epoch, &local);
  return time_point_cast<milliseconds>(now) + std::chrono::seconds{local.tm_gmtoff};
}

std::string VirtualWallClock::DateText() {
  using namespace std::chrono;
  const year_month_day date{floor<days>(Now())};
  char text[40];
  std::snprintf(text, sizeof text, "%04d/%02u/%02u", static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                static_cast<unsigned>(date.day()));
  return text;
}

std::string VirtualWallClock::TimeText() {
  using namespace std::chrono;
  const auto now = Now();
  const hh_mm_ss time{floor<seconds>(now - floor<days>(now))};
  char text[40];
  std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld", static_cast<long>(time.hours().count()),
                static_cast<long>(time.minutes().count()), static_cast<long>(time.seconds().count()));
  return text;
}

std::int64_t VirtualWallClock::MillisecondsSinceMidnight() {
  using namespace std::chrono;
  const auto now = Now();
  return (now - floor<days>(now)).count();
}

void StreamWarnings::Warn(std::string_view message) { out_ << "shiori: warning: " << message << std::endl; }

}  // namespace shiori
