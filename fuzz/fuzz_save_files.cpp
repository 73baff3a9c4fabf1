// Settings, bookmarks and the read-page record from any bytes, read through the player: start-up, the load menu,
// resuming each slot, saving, the gallery and quitting. Whatever the files held, the player goes on and the
// settings it writes at the end parse.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "FuzzGame.h"
#include "platform/ValueFile.h"

namespace {

// The input holds the files one after the other, separated by this line; a file not given does not exist.
constexpr std::string_view kSeparator = "\n====\n";
constexpr const char* kFiles[] = {"conf.rgd", "conf2.rgd", "data2.rgd", "data3.rgd", "data4.rgd", "data5.rgd"};

constexpr const char* kScript = R"(click lblMLT(0)
click lblMLT(0)
wait 2000
rclick Picture1
click lblMLT(1)
click lblMLT(0)
answer yes
click lblMLT(1)
wait 2000
menu menuSAVE(2)
menu menuTITLE
answer yes
click lblMLT(0)
click lblMLT(2)
wait 2000
menu menuTITLE
click lblMLT(1)
click lblCG(0)
click lblCG(1)
click lblCG(2)
click Picture4
click lblMLT(2)
click lblMOJI_S
close
)";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto& game = shiori::fuzz::FuzzGame::Instance();
  game.ClearSaves();
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  for (const char* name : kFiles) {
    if (rest.empty()) break;
    const std::size_t end = rest.find(kSeparator);
    game.WriteSave(name, rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + kSeparator.size());
  }
  if (game.Play(kScript) != 0) std::abort();
  for (const char* written : {"conf.rgd", "conf2.rgd"}) {
    if (!shiori::ReadValueFile(game.save() / written)) std::abort();
  }
  return 0;
}
