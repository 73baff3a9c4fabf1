// A save folder that refuses writes (read-only, or a full disk): every save and the settings written at the end
// are reported as warnings naming the file, the in-game save says it failed, and every file keeps its content.
// Tests run as root, which ignores permissions, so the folder is a small tmpfs made read-only or filled up.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "faults/SaveFiles.h"
#include "support/FixtureGame.h"
#include "support/TempDir.h"

namespace shiori::test {
namespace {

// A tmpfs of a few pages mounted over a folder for the length of a test.
class SmallTmpfs {
 public:
  explicit SmallTmpfs(std::filesystem::path folder) : folder_(std::move(folder)) {
    std::filesystem::create_directories(folder_);
    if (::mount("tmpfs", folder_.c_str(), "tmpfs", 0, "size=64k") != 0) error_ = std::strerror(errno);
  }
  ~SmallTmpfs() {
    if (error_.empty()) ::umount2(folder_.c_str(), MNT_DETACH);
  }

  [[nodiscard]] bool mounted() const { return error_.empty(); }
  [[nodiscard]] std::string SkipReason() const {
    return "cannot mount a tmpfs for the save folder here (" + error_ + "); it needs root with CAP_SYS_ADMIN";
  }
  [[nodiscard]] bool MakeReadOnly() const {
    return ::mount(nullptr, folder_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
  }
  // Fills the file system up to the last byte with one file, which is returned.
  [[nodiscard]] std::filesystem::path Fill() const {
    const std::filesystem::path filler = folder_ / "filler";
    std::ofstream out(filler, std::ios::binary);
    const std::string block(512, 'x');
    while (out.write(block.data(), static_cast<std::streamsize>(block.size()))) out.flush();
    out.clear();
    for (char byte = 'x'; out.put(byte) && out.flush();) {
    }
    return filler;
  }

 private:
  std::filesystem::path folder_;
  std::string error_;
};

// Saves made while the folder is writable: a bookmark in slot 1, the music switch off and the fast speed.
const std::vector<std::string> kFirstSaves = {
    "click lblMLT(2)", "click lblMOJI_F", "click Label8",     "click lblMLT(0)", "click lblMLT(0)", "wait 3000",
    "click Picture1",  "wait 3000",       "menu menuSAVE(1)", "menu menuBGM",    "answer yes",      "close"};

// Every way the reader saves: the speed, two bookmarks from the menu bar (one to a slot never saved), the
// in-game save, and the settings written at the end.
const std::vector<std::string> kRefusedSaves = {
    "click lblMLT(2)",  "click lblMOJI_S", "click Label8",    "click lblMLT(0)",
    "click lblMLT(0)",  "wait 3000",       "wait 60000",      "menu menuSAVE(1)",
    "menu menuSAVE(2)", "rclick Picture1", "click lblMLT(1)", "dump",
    "click lblMLT(3)",  "menu menuBGM",    "answer yes",      "close"};

class UnwritableSaveFolder : public testing::Test {
 protected:
  void SetUp() override {
    WriteFixtureGame(game_);
    mount_ = std::make_unique<SmallTmpfs>(save_);
    if (!mount_->mounted()) GTEST_SKIP() << mount_->SkipReason();
    const std::string errors = PlayInProcess(game_, save_, kFirstSaves);
    ASSERT_EQ(errors.find("Cannot"), std::string::npos) << errors;
    before_ = TakeSnapshot(save_);
    ASSERT_TRUE(before_.at("data2.rgd").has_value());
  }

  // Plays every save against the refusing folder and checks what the reader and the files show.
  void ExpectEverySaveRefused(const std::string& reason) {
    std::string out;
    const std::string errors = PlayInProcess(game_, save_, kRefusedSaves, &out);
    for (const char* name : {"conf.rgd", "conf2.rgd", "data2.rgd", "data3.rgd"}) {
      EXPECT_NE(errors.find("Cannot write " + (save_ / name).string() + ": " + reason), std::string::npos)
          << "no warning for " << name << " in:\n"
          << errors;
    }
    EXPECT_NE(out.find("▼セーブできませんでした▼"), std::string::npos) << "the in-game save claimed success";
    EXPECT_NE(out.find(R"({"ended":true})"), std::string::npos) << "the player did not end normally:\n" << errors;
    EXPECT_EQ(TakeSnapshot(save_), before_);
  }

  TempDir dir_;
  std::filesystem::path game_ = dir_.path() / "game";
  std::filesystem::path save_ = dir_.path() / "save";
  std::unique_ptr<SmallTmpfs> mount_;
  SaveSnapshot before_;
};

TEST_F(UnwritableSaveFolder, ReadOnlyFolderWarnsNamingEachFileAndLosesNothing) {
  ASSERT_TRUE(mount_->MakeReadOnly()) << std::strerror(errno);
  ExpectEverySaveRefused(std::strerror(EROFS));
}

TEST_F(UnwritableSaveFolder, FullDiskWarnsNamingEachFileLosesNothingAndRecoversWhenSpaceReturns) {
  const std::filesystem::path filler = mount_->Fill();
  ExpectEverySaveRefused(std::strerror(ENOSPC));
  for (const auto& entry : std::filesystem::directory_iterator(save_)) {
    EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos)
        << "a refused write left " << entry.path();
  }

  std::filesystem::remove(filler);
  const std::string errors = PlayInProcess(game_, save_, kRefusedSaves);
  EXPECT_EQ(errors.find("Cannot"), std::string::npos) << errors;
  const SaveSnapshot after = TakeSnapshot(save_);
  EXPECT_NE(after.at("data2.rgd"), before_.at("data2.rgd"));
  EXPECT_TRUE(after.at("data3.rgd").has_value());
  EXPECT_EQ(after.at("conf2.rgd"), std::optional<std::string>("3\r\n"));
}

}  // namespace
}  // namespace shiori::test
