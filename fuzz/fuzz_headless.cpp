// The headless driver fed command streams over the fixture game. An input starting with byte 1 is a compact
// encoding (one byte a command, drawn from every widget, layer, menu item and shortcut of the window), which
// reaches deep into the story quickly; any other input is taken as command lines as they are. Every line the
// driver prints must be valid UTF-8 JSON, whatever bytes the commands held.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzGame.h"
#include "support/JsonCheck.h"
#include "window/Form.h"

namespace {

constexpr double kWaitBudgetMs = 120'000;

std::vector<std::string> CommandTable() {
  shiori::Scheduler scheduler;
  const shiori::Form form(scheduler);
  std::vector<std::string> table = {"click Form", "rclick Form", "key ctrl+w", "key ctrl+s", "key ctrl+x",
                                    "answer yes", "answer no",   "wait 0.4",   "wait 30.1",  "wait 150",
                                    "wait 1000",  "wait 10000",  "dump",       "close"};
  for (const shiori::Widget* widget : form.widgets()) {
    for (const char* press : {"click ", "rclick ", "mclick "}) table.push_back(press + widget->name());
  }
  for (const char* layer : {"Picture1", "Picture2", "Picture3", "Picture4"}) {
    table.push_back(std::string("click ") + layer);
    table.push_back(std::string("rclick ") + layer);
  }
  for (const shiori::MenuItem* item : form.MenuItems()) table.push_back("menu " + item->name());
  return table;
}

// Bytes 0xF0 and up take arguments: a point (two bytes) for a click anywhere, a page for the developer jump, or
// a byte to put between two letters in the text box before a dump.
std::string DecodeCommands(const std::uint8_t* data, std::size_t size) {
  static const std::vector<std::string> table = CommandTable();
  std::string script;
  for (std::size_t i = 0; i < size; ++i) {
    const std::uint8_t op = data[i];
    if (op >= 0xF0 && op <= 0xF2 && i + 2 < size) {
      const int x = data[i + 1] * 640 / 256;
      const int y = data[i + 2] * 400 / 256;
      script += (op == 0xF0   ? "click "
                 : op == 0xF1 ? "rclick "
                              : "mclick ") +
                std::to_string(x) + " " + std::to_string(y) + "\n";
      i += 2;
    } else if (op == 0xF3 && i + 1 < size) {
      script += "text txtDES " + std::to_string(static_cast<int>(data[++i]) - 16) + "\nclick comDES\n";
    } else if (op == 0xF4 && i + 1 < size) {
      script += std::string("text txtDES a") + static_cast<char>(data[++i]) + "b\ndump\n";
    } else {
      script += table[op % table.size()] + "\n";
    }
  }
  return script;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto& game = shiori::fuzz::FuzzGame::Instance();
  game.ClearSaves();
  const std::string script = size > 0 && data[0] == 1 ? DecodeCommands(data + 1, size - 1)
                                                      : std::string(reinterpret_cast<const char*>(data), size);
  std::ostringstream printed;
  static_cast<void>(game.Play(shiori::fuzz::BoundWaits(script, kWaitBudgetMs), &printed));
  std::istringstream lines(printed.str());
  for (std::string line; std::getline(lines, line);) {
    if (!shiori::test::IsJsonLine(line)) std::abort();
  }
  return 0;
}
