// shiori-tool: the scenario tools for authors and translators.

#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "Lint.h"
#include "ScenarioText.h"
#include "Walk.h"
#include "platform/GameFolder.h"
#include "platform/RecordFile.h"

namespace {

using namespace shiori;

constexpr int kFailure = 1;
constexpr int kUsage = 2;

constexpr std::string_view kHelp = R"(usage: shiori-tool COMMAND ...

  dump SCENARIO            print a scenario file (data1.rgd) as text
  build TEXT -o SCENARIO   write the scenario file the text describes
  lint GAME_DIR            check a game folder; exits 1 when it finds errors
  walk [--json] GAME_DIR   show what the reader can reach from page 1: pages, choices, CGs and endings per
                           route, and the fewest clicks to each ending
  --help, --version

The text format is described in docs/scenario-format.md.
)";

int Usage(const std::string& problem) {
  std::cerr << "shiori-tool: " << problem << "\n" << kHelp;
  return kUsage;
}

std::span<const std::uint8_t> AsBytes(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

Result<std::string> Read(const std::filesystem::path& file) {
  Result<std::string> content = ReadWholeFile(file);
  if (!content) std::cerr << "shiori-tool: " << content.error() << '\n';
  return content;
}

int Dump(const std::vector<std::string>& args) {
  if (args.size() != 1) return Usage("dump takes one scenario file");
  const Result<std::string> bytes = Read(args[0]);
  if (!bytes) return kFailure;
  std::cout << DumpScenario(AsBytes(bytes.value()));
  return 0;
}

int Build(const std::vector<std::string>& args) {
  if (args.size() != 3 || args[1] != "-o") return Usage("build takes TEXT -o SCENARIO");
  const Result<std::string> text = Read(args[0]);
  if (!text) return kFailure;
  const Result<std::vector<std::uint8_t>> bytes = BuildScenario(text.value(), args[0]);
  if (!bytes) {
    std::cerr << bytes.error() << '\n';
    return kFailure;
  }
  const Status written = WriteFileAtomically(args[2], std::string(bytes.value().begin(), bytes.value().end()));
  if (!written) {
    std::cerr << "shiori-tool: " << written.error() << '\n';
    return kFailure;
  }
  return 0;
}

int Lint(const std::vector<std::string>& args) {
  if (args.size() != 1) return Usage("lint takes one game folder");
  const LintReport report = LintGame(args[0]);
  for (const Diagnostic& diagnostic : report.diagnostics) std::cout << diagnostic.ToString() << '\n';
  return report.HasErrors() ? kFailure : 0;
}

int Walk(std::vector<std::string> args) {
  const bool json = !args.empty() && args[0] == "--json";
  if (json) args.erase(args.begin());
  if (args.size() != 1) return Usage("walk takes [--json] and one game folder");
  const auto scenario = FindCaseInsensitive(args[0], "data1.rgd");
  if (!scenario) {
    std::cerr << "shiori-tool: " << args[0] << " holds no data1.rgd\n";
    return kFailure;
  }
  const Result<std::string> bytes = Read(*scenario);
  if (!bytes) return kFailure;
  const WalkReport report = WalkStory(AsBytes(bytes.value()));
  std::cout << (json ? FormatWalkJson(report) : FormatWalkText(report));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> words(argv + 1, argv + argc);
  if (words.empty()) return Usage("no command given");
  const std::string& command = words[0];
  const std::vector<std::string> args(words.begin() + 1, words.end());
  if (command == "--help" || command == "-h" || command == "help") {
    std::cout << kHelp;
    return 0;
  }
  if (command == "--version") {
    std::cout << "shiori-tool " << SHIORI_VERSION << '\n';
    return 0;
  }
  if (command == "dump") return Dump(args);
  if (command == "build") return Build(args);
  if (command == "lint") return Lint(args);
  if (command == "walk") return Walk(args);
  return Usage("unknown command '" + command + "'");
}
