// shiori-tool: the scenario tools for authors and translators.

#include <algorithm>
#include <iostream>
#include <optional>
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

  dump SCENARIO|GAME_DIR   print a scenario file (data1.rgd, or the one in GAME_DIR) as text
  build TEXT -o SCENARIO [--strict]
                           write the scenario file the text describes; warns about targets that name
                           no page in it, and writes 〜 — − ‖ ¢ £ ¬ as the CP932 codes of their look-alikes
                           ～ ― － ∥ ￠ ￡ ￢ with a warning; with --strict refuses to write the file then
  lint GAME_DIR            check a game folder: the scenario's pages, and that every picture and wave file
                           it needs can be shown or played; what follows from one fault is grouped under
                           it; ends in a one-line summary and exits 1 when it finds errors
  walk [--json] GAME_DIR   show what the reader can reach from page 1: pages, choices, CGs and endings per
                           route, the fewest clicks to each ending, and the way to each page where the
                           reader is stranded
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

// The path as given, when it exists; otherwise one line saying so.
std::optional<std::filesystem::path> Existing(const std::string& path) {
  std::error_code error;
  if (std::filesystem::exists(path, error)) return std::filesystem::path(path);
  std::cerr << "shiori-tool: " << path << ": no such file or folder\n";
  return std::nullopt;
}

// A game folder; a scenario file given instead stands for the folder that holds it.
std::optional<std::filesystem::path> GameFolderAt(const std::string& path) {
  const auto found = Existing(path);
  if (!found || std::filesystem::is_directory(*found)) return found;
  return found->parent_path().empty() ? std::filesystem::path(".") : found->parent_path();
}

Result<std::string> Read(const std::filesystem::path& file) {
  Result<std::string> content = ReadWholeFile(file);
  if (!content) std::cerr << "shiori-tool: " << content.error() << '\n';
  return content;
}

int Dump(const std::vector<std::string>& args) {
  if (args.size() != 1) return Usage("dump takes one scenario file or game folder");
  std::optional<std::filesystem::path> scenario = Existing(args[0]);
  if (!scenario) return kFailure;
  if (std::filesystem::is_directory(*scenario)) {
    scenario = FindCaseInsensitive(*scenario, "data1.rgd");
    if (!scenario) {
      std::cerr << "shiori-tool: " << args[0] << " holds no data1.rgd\n";
      return kFailure;
    }
  }
  const Result<std::string> bytes = Read(*scenario);
  if (!bytes) return kFailure;
  std::cout << DumpScenario(AsBytes(bytes.value()));
  return 0;
}

int Build(std::vector<std::string> args) {
  const auto strict = std::find(args.begin(), args.end(), "--strict");
  const bool refuse = strict != args.end();
  if (refuse) args.erase(strict);
  if (args.size() != 3 || args[1] != "-o") return Usage("build takes TEXT -o SCENARIO [--strict]");
  const Result<std::string> text = Read(args[0]);
  if (!text) return kFailure;
  const Result<BuiltScenario> built =
      BuildScenarioText(text.value(), args[0], refuse ? LookAlikes::kRefuse : LookAlikes::kReplace);
  if (!built) {
    std::cerr << built.error() << '\n';
    return kFailure;
  }
  for (const std::string& warning : built.value().warnings) std::cerr << warning << '\n';
  const std::vector<std::uint8_t>& bytes = built.value().bytes;
  const std::vector<Diagnostic> broken = FindBrokenLinks(bytes);
  for (const Diagnostic& link : broken) {
    std::cerr << args[0] << ": page " << link.page << ": " << (refuse ? "error: " : "warning: ") << link.message
              << '\n';
  }
  if (refuse && !broken.empty()) return kFailure;
  const Status written = WriteFileAtomically(args[2], std::string(bytes.begin(), bytes.end()));
  if (!written) {
    std::cerr << "shiori-tool: " << written.error() << '\n';
    return kFailure;
  }
  return 0;
}

int Lint(const std::vector<std::string>& args) {
  if (args.size() != 1) return Usage("lint takes one game folder");
  const auto game = GameFolderAt(args[0]);
  if (!game) return kFailure;
  const LintReport report = LintGame(*game);
  for (const Diagnostic& diagnostic : report.diagnostics) std::cout << diagnostic.ToString() << '\n';
  std::cout << report.Summary() << '\n';
  return report.HasErrors() ? kFailure : 0;
}

int Walk(std::vector<std::string> args) {
  const bool json = !args.empty() && args[0] == "--json";
  if (json) args.erase(args.begin());
  if (args.size() != 1) return Usage("walk takes [--json] and one game folder");
  const auto game = GameFolderAt(args[0]);
  if (!game) return kFailure;
  const auto scenario = FindCaseInsensitive(*game, "data1.rgd");
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
