#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "platform/RecordFile.h"
#include "support/TempDir.h"

namespace shiori::test {
namespace {

// The id of a process that has ended.
pid_t EndedProcess() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  int status = 0;
  ::waitpid(child, &status, 0);
  return child;
}

TEST(StaleTemporary, AWriteClearsWhatKilledWritesOfItsFileLeft) {
  TempDir dir;
  const std::string dead = std::to_string(EndedProcess());
  const std::string own = std::to_string(::getpid());
  const std::string running = std::to_string(::getppid());
  dir.Write("data2.rgd.tmp-" + dead + "-0", "half");
  dir.Write("data2.rgd.tmp-" + own + "-7", "left by an earlier process with this id");
  dir.Write("data2.rgd.tmp-" + running + "-0", "another player writing now");
  dir.Write("data3.rgd.tmp-" + dead + "-1", "another file's");
  dir.Write("data2.rgd.tmp-backup", "not ours");

  ASSERT_TRUE(WriteFileAtomically(dir.path() / "data2.rgd", "new").ok());
  EXPECT_EQ(dir.Read("data2.rgd"), "new");
  EXPECT_FALSE(std::filesystem::exists(dir.path() / ("data2.rgd.tmp-" + dead + "-0")));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / ("data2.rgd.tmp-" + own + "-7")));
  EXPECT_TRUE(std::filesystem::exists(dir.path() / ("data2.rgd.tmp-" + running + "-0")));
  EXPECT_TRUE(std::filesystem::exists(dir.path() / ("data3.rgd.tmp-" + dead + "-1")));
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "data2.rgd.tmp-backup"));
}

}  // namespace
}  // namespace shiori::test
