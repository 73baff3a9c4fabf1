#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>

namespace shiori::fuzz {

// The fixture game, written once per process into a temporary folder, with its own save folder that each run
// starts from empty, so that one input always plays the same way.
class FuzzGame {
 public:
  static FuzzGame& Instance();

  void ClearSaves() const;
  void WriteSave(const std::string& name, std::string_view bytes) const;
  // Plays `script` (headless driver commands) from start-up, on a wall clock fixed at the same time every run.
  // Returns the driver's exit status; what it prints goes to `out`, or nowhere.
  int Play(const std::string& script, std::ostream* out = nullptr) const;

  [[nodiscard]] const std::filesystem::path& save() const { return save_; }

 private:
  FuzzGame();
  ~FuzzGame();

  std::filesystem::path root_;
  std::filesystem::path game_;
  std::filesystem::path save_;
};

// Caps the `wait` commands of a script at `budget_ms` of virtual time in all, so that no input runs for long.
[[nodiscard]] std::string BoundWaits(std::string_view script, double budget_ms);

}  // namespace shiori::fuzz
