#include "HeadlessDriver.h"

#include <algorithm>
#include <charconv>
#include <istream>
#include <limits>
#include <ostream>
#include <sstream>
#include <vector>

#include "HeadlessServices.h"
#include "StateDump.h"
#include "comforts/Comforts.h"
#include "engine/Engine.h"
#include "platform/RecordFile.h"
#include "stage/StageFrames.h"
#include "stage/WireFormat.h"

namespace shiori {
namespace {

// A command line that could not be understood; the driver reports it with its line number and exits 2.
struct MalformedCommand {
  std::string reason;
};

std::vector<std::string> SplitWords(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

std::optional<int> ParseInt(const std::string& text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// The longest single wait: a day of virtual time is far beyond any timer of the story, and a hundred million such
// waits still fit the clock's count of microseconds.
constexpr Micros kLongestWait = Micros{24} * 60 * 60 * 1000 * 1000;

// Milliseconds from 0 to a day, with a fraction rounded to the microsecond ("30.1", "0.0005"). Read digit by digit
// rather than as a floating-point number: exact, and without the floating-point from_chars some C++ libraries lack.
std::optional<Micros> ParseMilliseconds(const std::string& text) {
  const std::size_t point = std::min(text.find('.'), text.size());
  const std::string_view whole = std::string_view(text).substr(0, point);
  const std::string_view fraction = std::string_view(text).substr(std::min(point + 1, text.size()));
  const auto all_digits = [](std::string_view digits) {
    return std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  if (whole.size() + fraction.size() == 0 || !all_digits(whole) || !all_digits(fraction)) return std::nullopt;
  Micros micros = 0;
  for (const char digit : whole) {
    if (micros > (std::numeric_limits<Micros>::max() / 1000 - 9) / 10) return std::nullopt;
    micros = micros * 10 + (digit - '0');
  }
  micros *= 1000;
  Micros scale = 100;
  for (const char digit : fraction.substr(0, 3)) {
    micros += (digit - '0') * scale;
    scale /= 10;
  }
  if (fraction.size() > 3 && fraction[3] >= '5') ++micros;
  if (micros > kLongestWait) return std::nullopt;
  return micros;
}

// The rest of the line after the first `words` words and the blanks that follow them.
std::string RestOfLine(const std::string& line, int words) {
  std::size_t at = 0;
  for (int i = 0; i < words; ++i) {
    at = line.find_first_not_of(" \t", at);
    at = line.find_first_of(" \t", at);
    if (at == std::string::npos) return "";
  }
  at = line.find_first_not_of(" \t", at);
  return at == std::string::npos ? "" : line.substr(at);
}

class Driver {
 public:
  Driver(const HeadlessOptions& options, std::ostream& out, std::ostream& err, const ScreenshotWriter& screenshot)
      : out_(out),
        err_(err),
        screenshot_(screenshot),
        recorded_(scheduler_, options.now ? VirtualWallClock::Parse(*options.now) : std::nullopt, err),
        engine_(GameFolder::Open(options.game_dir, options.save_dir), recorded_.services(), scheduler_) {
    Voice& voice = engine_.comforts().voice();
    voice.SetSpeaker(&recorded_.speaker);
    voice.Offered = [this](const TextOut& out) { text_out_.push_back(out); };
  }

  [[nodiscard]] Status Start() { return engine_.Start(); }

  // The translation the command line chose; an error names the file and the line.
  [[nodiscard]] Status Translate(const std::filesystem::path& po) {
    Comforts& comforts = engine_.comforts();
    if (Status set = comforts.SetPreference("translation", po.string()); !set) return set;
    if (comforts.preferences().translation == "off") return Status::Failure("the translation cannot be used");
    return Done{};
  }
  [[nodiscard]] bool ended() const { return engine_.ended(); }

  void Run(const std::string& line) {
    const std::vector<std::string> words = SplitWords(line);
    if (words.empty() || words[0][0] == '#') return;
    const std::string& verb = words[0];
    if (verb == "click" || verb == "rclick" || verb == "mclick") {
      Press(words, verb == "click" ? kLeftButton : verb == "rclick" ? kRightButton : kMiddleButton);
    } else if (verb == "menu") {
      Choose(Expect(words, 2), "menu item");
    } else if (verb == "key") {
      Key(Expect(words, 2)[1]);
    } else if (verb == "wheel" || verb == "hold" || verb == "release" || verb == "pref" || verb == "undo") {
      Comfort(line, words);
    } else if (verb == "text") {
      Text(line, words);
    } else if (verb == "answer") {
      Answer(Expect(words, 2)[1]);
    } else if (verb == "wait") {
      const auto ms = ParseMilliseconds(Expect(words, 2)[1]);
      if (!ms) throw MalformedCommand{"wait needs a number of milliseconds from 0 to 86400000"};
      scheduler_.AdvanceTo(scheduler_.Now() + *ms);
    } else if (verb == "dump") {
      out_ << DumpState(engine_, recorded_, text_out_) << std::endl;
    } else if (verb == "screenshot") {
      Screenshot(line, words);
    } else if (verb == "frame") {
      Frame(RestOfLine(line, 1));
    } else if (verb == "close") {
      engine_.Close();
    } else {
      throw MalformedCommand{"unknown command " + verb};
    }
  }

 private:
  static const std::vector<std::string>& Expect(const std::vector<std::string>& words, std::size_t count) {
    if (words.size() != count)
      throw MalformedCommand{words[0] + " takes " + std::to_string(count - 1) + " argument(s)"};
    return words;
  }

  void Press(const std::vector<std::string>& words, int button) {
    Form& form = engine_.form();
    if (words.size() == 3) {
      const auto x = ParseInt(words[1]);
      const auto y = ParseInt(words[2]);
      if (!x || !y) throw MalformedCommand{words[0] + " needs a widget name or a point X Y"};
      if (*x >= 0 && *y >= 0 && *x < Form::kClientWidth && *y < Form::kClientHeight) form.PressAt(*x, *y, button);
      return;
    }
    const std::string& name = Expect(words, 2)[1];
    if (!form.PressByName(name, button)) throw MalformedCommand{"no widget is named " + name};
  }

  void Choose(const std::vector<std::string>& words, const char* what) {
    MenuItem* item = engine_.form().FindMenuItem(words[1]);
    if (item == nullptr) throw MalformedCommand{std::string("no ") + what + " is named " + words[1]};
    engine_.form().Choose(*item);
  }

  void Key(const std::string& key) {
    if (MenuItem* item = engine_.form().FindShortcut(key)) {
      engine_.comforts().CtrlJoinedByKey();
      engine_.form().Choose(*item);
    } else if (!engine_.comforts().Key(key)) {
      throw MalformedCommand{"no key or menu shortcut is named " + key};
    }
  }

  void Comfort(const std::string& line, const std::vector<std::string>& words) {
    const std::string& verb = words[0];
    Comforts& comforts = engine_.comforts();
    if (verb == "pref") {
      // A voice's name may hold blanks: the value is the rest of the line.
      if (words.size() < 3) throw MalformedCommand{"pref takes a name and a value"};
      if (const Status set = comforts.SetPreference(words[1], RestOfLine(line, 2)); !set) {
        throw MalformedCommand{set.error()};
      }
    } else if (verb == "undo") {
      const auto slot = ParseInt(Expect(words, 2)[1]);
      if (!slot || *slot < 1 || *slot > 3) throw MalformedCommand{"undo takes a bookmark slot, 1 to 3"};
      comforts.TakeBackBookmark(*slot);
    } else if (verb == "wheel") {
      const std::string& direction = Expect(words, 2)[1];
      if (direction != "up" && direction != "down") throw MalformedCommand{"wheel takes up or down"};
      comforts.Wheel(direction == "up" ? -1 : 1);
    } else {
      if (Expect(words, 2)[1] != "ctrl") throw MalformedCommand{verb + " takes ctrl"};
      comforts.HoldCtrl(verb == "hold");
    }
  }

  void Text(const std::string& line, const std::vector<std::string>& words) {
    if (words.size() < 2) throw MalformedCommand{"text takes a widget name and a value"};
    Widget* widget = engine_.form().FindWidget(words[1]);
    if (widget == nullptr || widget->kind() != WidgetKind::TextBox) {
      throw MalformedCommand{"no text box is named " + words[1]};
    }
    widget->SetCaption(RestOfLine(line, 2));
  }

  void Answer(const std::string& answer) {
    if (answer != "yes" && answer != "no") throw MalformedCommand{"answer takes yes or no"};
    recorded_.questions.Queue(answer == "yes");
  }

  // `screenshot PATH`, or `screenshot --scale N PATH` for N output pixels per stage pixel (1 to 4).
  void Screenshot(const std::string& line, const std::vector<std::string>& words) {
    const bool scaled = words.size() >= 3 && words[1] == "--scale";
    const std::optional<int> scale = scaled ? ParseInt(words[2]) : 1;
    if (!scale || *scale < 1 || *scale > 4) throw MalformedCommand{"screenshot --scale takes 1 to 4"};
    const std::string path = RestOfLine(line, scaled ? 3 : 1);
    if (path.empty()) throw MalformedCommand{"screenshot takes a file name"};
    if (!screenshot_) {
      err_ << "shiori: screenshots need the window's painter, which this build lacks" << std::endl;
      return;
    }
    if (const Status written = screenshot_(engine_.form(), engine_.folder(), path, *scale); !written) {
      err_ << "shiori: " << written.error() << std::endl;
    }
  }

  // The stage's display list, whole, in the form the web page reads it: so that a test can have the page draw
  // exactly what the window drew.
  void Frame(const std::string& path) {
    if (path.empty()) throw MalformedCommand{"frame takes a file name"};
    stage::StageFrames frames;
    const stage::Frame frame = frames.Next(engine_.form());
    const std::vector<std::uint32_t> words = stage::EncodeFrame(*frame.list, frame.changed, frame.whole);
    std::string bytes;
    for (const std::uint32_t word : words) {
      for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<char>((word >> shift) & 0xFF));
    }
    if (const Status written = WriteFileAtomically(path, bytes); !written)
      err_ << "shiori: " << written.error() << std::endl;
  }

  std::ostream& out_;
  std::ostream& err_;
  const ScreenshotWriter& screenshot_;
  Scheduler scheduler_;
  RecordingServices recorded_;
  Engine engine_;
  std::vector<TextOut> text_out_;
};

}  // namespace

int RunHeadless(const HeadlessOptions& options, std::istream& in, std::ostream& out, std::ostream& err,
                const ScreenshotWriter& screenshot) {
  if (options.now && !VirtualWallClock::Parse(*options.now)) {
    err << "shiori: --now takes a time as \"YYYY-MM-DD hh:mm:ss\", not \"" << *options.now << "\"" << std::endl;
    return 2;
  }
  Driver driver(options, out, err, screenshot);
  if (options.translation) {
    if (const Status translated = driver.Translate(*options.translation); !translated) {
      err << "shiori: " << translated.error() << std::endl;
      return 1;
    }
  }
  if (const Status started = driver.Start(); !started) {
    err << "shiori: " << started.error() << std::endl;
    return 1;
  }
  int line_number = 0;
  for (std::string line; !driver.ended() && std::getline(in, line);) {
    ++line_number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    try {
      driver.Run(line);
    } catch (const MalformedCommand& malformed) {
      err << "shiori: line " << line_number << ": " << malformed.reason << std::endl;
      return 2;
    }
  }
  out << (driver.ended() ? R"({"ended":true})" : R"({"ended":false})") << std::endl;
  return 0;
}

}  // namespace shiori
