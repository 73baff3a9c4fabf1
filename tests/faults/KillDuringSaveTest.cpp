// Kills the headless player (SIGKILL) while it saves bookmarks and settings, again and again, and checks after
// every kill that each save file holds, byte for byte, a content it really had: the one from before the run or
// one the run wrote. A torn write, an empty file or a lost file fails. Each kill is anchored to a point of the
// run the player reports (a dump after a chosen command), then lands a random few microseconds later, so that
// kills reach every part of the run however loaded the machine is.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <set>
#include <thread>

#include "faults/SaveFiles.h"
#include "support/FixtureGame.h"
#include "support/TempDir.h"

extern char** environ;

namespace shiori::test {
namespace {

constexpr int kKills = 200;
constexpr int kMaxDelayMicros = 400;

// The player as another process, its standard input and output pipes, its errors thrown away.
class PlayerProcess {
 public:
  PlayerProcess(const std::filesystem::path& game, const std::filesystem::path& save) {
    int pipe_fds[2];
    int output_fds[2];
    if (::pipe2(pipe_fds, O_CLOEXEC) != 0 || ::pipe2(output_fds, O_CLOEXEC) != 0) {
      throw std::system_error(errno, std::generic_category(), "pipe");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe_fds[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output_fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const std::string binary = std::string(SHIORI_BIN_DIR) + "/shiori";
    const std::string game_arg = game.string();
    const std::string save_arg = save.string();
    std::vector<char*> argv = {const_cast<char*>(binary.c_str()),        const_cast<char*>("--headless"),
                               const_cast<char*>(game_arg.c_str()),      const_cast<char*>("--save-dir"),
                               const_cast<char*>(save_arg.c_str()),      const_cast<char*>("--now"),
                               const_cast<char*>("2026-12-01 14:05:09"), nullptr};
    const int spawned = ::posix_spawn(&pid_, binary.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipe_fds[0]);
    ::close(output_fds[1]);
    input_ = pipe_fds[1];
    output_ = output_fds[0];
    if (spawned != 0) throw std::system_error(spawned, std::generic_category(), "spawn " + binary);
  }
  ~PlayerProcess() {
    Kill();
    if (input_ >= 0) ::close(input_);
    ::close(output_);
  }

  void Send(const std::vector<std::string>& lines) const {
    std::string script;
    for (const std::string& line : lines) script += line + "\n";
    // The player may already be gone (killed early); the lost input does not matter then.
    static_cast<void>(::write(input_, script.data(), script.size()));
  }
  // Waits until the player prints its first line, or ends without one (a deadline keeps a hung player from
  // hanging the test; it then fails on what it left).
  void AwaitFirstLine() const {
    pollfd ready{.fd = output_, .events = POLLIN, .revents = 0};
    char chunk[65536];
    ssize_t got = 0;
    while (::poll(&ready, 1, 30'000) > 0 && (got = ::read(output_, chunk, sizeof chunk)) > 0) {
      if (std::find(chunk, chunk + got, '\n') != chunk + got) return;
    }
  }
  void Kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    Reap();
  }
  void Reap() {
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  int input_ = -1;
  int output_ = -1;
};

// A run that saves several times: the text speed on the settings screen, bookmarks from the menu bar and the
// in-game menu with the virtual clock moving between them (so each save has its own stamp), pages turned on the
// way, and at times a close, which writes both settings.
std::vector<std::string> RandomSaveScript(std::mt19937& random) {
  auto pick = [&random](int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); };
  static const char* const kSpeeds[] = {"click lblMOJI_F", "click lblMOJI_N", "click lblMOJI_S"};
  std::vector<std::string> lines;
  if (pick(3) != 0) {
    lines.push_back("click lblMLT(2)");
    for (int n = pick(3) + 1; n > 0; --n) lines.push_back(kSpeeds[pick(3)]);
    lines.push_back("click Label8");
  }
  lines.push_back("click lblMLT(0)");
  lines.push_back("click lblMLT(" + std::to_string(pick(3)) + ")");
  lines.push_back("wait 3000");
  for (int n = pick(3) + 1; n > 0; --n) {
    if (pick(2) == 0) lines.push_back("click Picture1");
    lines.push_back("wait 60000");
    if (pick(3) == 0) {
      lines.insert(lines.end(), {"rclick Picture1", "click lblMLT(1)", "click lblMLT(3)"});
    } else {
      lines.push_back("menu menuSAVE(" + std::to_string(pick(3) + 1) + ")");
    }
  }
  if (pick(2) == 0) lines.insert(lines.end(), {"menu menuBGM", "answer yes", "close"});
  return lines;
}

// What each file may hold once a run of `lines` from `start` is killed: its content at the start, or after any
// line the player may have got through, as a run of the same lines in this process shows.
std::map<std::string, std::set<std::optional<std::string>>> PossibleContents(const std::filesystem::path& game,
                                                                             const std::filesystem::path& scratch,
                                                                             const SaveSnapshot& start,
                                                                             const std::vector<std::string>& lines) {
  std::map<std::string, std::set<std::optional<std::string>>> possible;
  for (std::size_t count = 0; count <= lines.size(); ++count) {
    RestoreSnapshot(scratch, start);
    static_cast<void>(PlayInProcess(game, scratch, {lines.begin(), lines.begin() + count}));
    for (const auto& [name, content] : TakeSnapshot(scratch)) possible[name].insert(content);
  }
  return possible;
}

// Leftovers of writes that a kill cut short: temporary files beside the save files, and nothing else.
void RemoveLeftovers(const std::filesystem::path& save) {
  for (const auto& entry : std::filesystem::directory_iterator(save)) {
    const std::string name = entry.path().filename().string();
    const auto known = std::find(SaveFileNames().begin(), SaveFileNames().end(), name) != SaveFileNames().end();
    if (known || name == "data5.rgd") continue;
    EXPECT_NE(name.find(".tmp"), std::string::npos) << "unexpected file in the save folder: " << name;
    std::filesystem::remove(entry.path());
  }
}

TEST(KillDuringSave, EveryFileIsTheOldOrANewContentAfterEachOfManyKills) {
  // A player killed before it read its input must not take the test down with a broken pipe.
  struct sigaction ignore {};
  struct sigaction previous {};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGPIPE, &ignore, &previous);

  TempDir dir;
  const std::filesystem::path game = dir.path() / "game";
  const std::filesystem::path save = dir.path() / "save";
  WriteFixtureGame(game);
  std::filesystem::create_directories(save);
  const std::filesystem::path scratch = ScratchRoot() / ("shiori-kill-" + std::to_string(::getpid()));
  std::filesystem::create_directories(scratch);

  std::mt19937 random(20261201);
  int untouched = 0;
  int partly = 0;
  int completed = 0;
  for (int kill = 0; kill < kKills; ++kill) {
    const SaveSnapshot before = TakeSnapshot(save);
    const std::vector<std::string> lines = RandomSaveScript(random);
    const auto possible = PossibleContents(game, scratch, before, lines);
    RestoreSnapshot(scratch, before);
    static_cast<void>(PlayInProcess(game, scratch, lines));
    const SaveSnapshot finished = TakeSnapshot(scratch);

    // The player reports after `anchor` commands; the kill follows `delay` microseconds later.
    const auto anchor = std::uniform_int_distribution<std::size_t>(0, lines.size())(random);
    const auto delay = std::uniform_int_distribution<int>(0, kMaxDelayMicros)(random);
    std::vector<std::string> reported = lines;
    reported.insert(reported.begin() + static_cast<std::ptrdiff_t>(anchor), "dump");
    {
      PlayerProcess player(game, save);
      player.Send(reported);
      player.AwaitFirstLine();
      std::this_thread::sleep_for(std::chrono::microseconds(delay));
      player.Kill();
    }
    const SaveSnapshot after = TakeSnapshot(save);
    for (const auto& [name, content] : after) {
      ASSERT_TRUE(possible.at(name).contains(content))
          << "kill " << kill << " " << delay << " us after command " << anchor << " left " << name << " holding "
          << (content ? "\"" + *content + "\"" : "nothing") << ", which the run never wrote";
    }
    (after == before ? untouched : after == finished ? completed : partly) += 1;
    RemoveLeftovers(save);
  }
  std::filesystem::remove_all(scratch);
  ::sigaction(SIGPIPE, &previous, nullptr);
  std::cout << "kills: " << untouched << " before any save, " << partly << " among the saves, " << completed
            << " after the last\n";
}

}  // namespace
}  // namespace shiori::test
