#include "support/FixtureGame.h"

#include "support/GameWriter.h"

namespace shiori::test {
namespace {

// A text page of the window's game: every line shown whole, the last one ending the page.
std::string TextPage(int number, const std::vector<std::string>& lines, int next, int picture = 1) {
  std::string page = "page " + std::to_string(number) + "\nstart 1\npicture " + std::to_string(picture) +
                     "\nmusic 1\nnext " + std::to_string(next) + "\n";
  for (const std::string& line : lines) page += "| " + line + "\n";
  return page + "\n";
}

const std::vector<std::string> kLongLines = {
    "　雨は夜半を過ぎても、まだ降り続いていた。",     "古い校舎の廊下には、誰の足音も残っていない。",
    "図書室の窓だけが、ぼんやりと明るかった。",       "閉館の時刻はとうに過ぎているはずなのに、",
    "カウンターの奥で、誰かが頁をめくる音がする。",   "わたしは傘を閉じて、そっと扉に手をかけた。",
    "蝶番が小さく鳴って、紙と埃の匂いがした。",       "「……遅かったね」と、聞き慣れた声がした。",
    "振り向いた彼女の指には、赤い栞が挟まれている。", "それは、去年の夏にわたしが失くしたものだった。",
    "どうして、と訊くより先に、彼女は笑った。",       "「ずっと、返そうと思ってたの」",
};

// Four full pages, twelve lines each, in a ring: for measuring a window that types for a long while.
std::string LongWindowStory() {
  std::string story;
  for (int n = 0; n < 4; ++n) {
    std::vector<std::string> lines(kLongLines.begin() + n, kLongLines.end());
    lines.insert(lines.end(), kLongLines.begin(), kLongLines.begin() + n);
    story += TextPage(1 + n, lines, 1 + (n + 1) % 4, 1 + n % 2);
  }
  return story;
}

std::string WindowStory() {
  return TextPage(
             1,
             {"　放課後の図書室は、いつもより静かだった。", "窓の外では、雨が降り始めている。", "「まだ残ってたんだ」"},
             2) +
         TextPage(2, {"声のした方を振り向くと、", "貸出カウンターの向こうに彼女がいた。"}, 3, 2) +
         "page 3\nstart 1\npicture 2\nmusic 1\ntype choice\nchoice 4\n| 一緒に帰ろうと言う\nchoice 5\n| "
         "黙って本を閉じる\n\n" +
         TextPage(4, {"「……うん」", "彼女は小さくうなずいた。"}, 1) +
         TextPage(5, {"雨の音だけが、しばらく続いた。"}, 1);
}

}  // namespace

std::string FixtureStory() {
  return R"(page 1
start 1
picture 1
music 4
next 2
| 　朝。\p
| 　窓の外で鳥が鳴いている。

page 2
start 1
picture 2
music 12
type choice
choice 3
| 川沿いの道を行く
choice 6
| 少し遠回りして、
| 丘の上の神社へ寄る

page 3
picture 3
music 4
next 4
| 　川の音が近い。\p
| 　水面が光っている。

page 4
picture 3
next 5
| 　橋の上で立ち止まる。\p
| 　風が冷たい。

page 5
picture 1
music 7
next 9501
ending 9501
| 　――そして、\p
| 　春は巡る。

page 6
start 0
picture 4
music 7
next 7
| 　石段を上る。\p
| 　鳥居の向こうに空が見えた。

page 7
picture 4
type choice
choice 1
| 最初からやり直す
choice 8
| 先へ進む

page 8
picture 5
next 9502
ending 9502
| 　夕暮れの境内。\p
| 　帰り道は静かだった。
)";
}

void WriteFixtureGame(const std::filesystem::path& folder) {
  const GameWriter game(folder);
  game.WriteScenario(FixtureStory());
  // Two seconds of music: pieces repeat often on the virtual clock, yet each outlasts the next-arrow's half-second
  // blink, as real pieces do.
  GameContents contents{.pictures = {1, 2, 3, 4, 5}};
  for (const int n : {4, 7, 12, 31, 32}) contents.music[n] = SilentMusic(2);
  game.WriteFiles(contents);
}

void WriteWindowGame(const std::filesystem::path& folder, bool long_pages) {
  const GameWriter game(folder);
  game.WriteScenario(long_pages ? LongWindowStory() : WindowStory());
  game.WriteFiles(
      {.pictures = {1, 2}, .music = {{1, SilentMusic(0.5)}, {12, SilentMusic(0.5)}}, .look = PictureLook::Banded});
}

}  // namespace shiori::test
