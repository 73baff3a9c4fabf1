#include "menus/PreviewTexts.h"

namespace shiori {
namespace {
// Passages from ten scenes of the bundled story. Each closes with a line naming the place or the companion of the
// scene, pushed to the right edge of the preview box by ideographic spaces.
constexpr std::string_view kText1 =
    "「おそーい！　こっちこっち！」\r\n"
    "波打ちぎわで、七海が大きく手をふる。\r\n"
    "麦わら帽子のつばが、風にあおられている。\r\n"
    "十年前と、なにも変わっていない。\r\n"
    "\r\n"
    "……いや、少しだけ、\r\n"
    "変わったのかもしれない。\r\n"
    "日に焼けた横顔が、まぶしかった。\r\n"
    "\r\n"
    "　　　　　　　　　　　　　　　　-夏の浜辺-";
constexpr std::string_view kText2 =
    "「……ここ、立入禁止ですよ」\r\n"
    "ふり返った彼女は、静かな目をしていた。\r\n"
    "\r\n"
    "「灯です。この灯台の、最後の灯台守の孫」\r\n"
    "「最後の？」\r\n"
    "\r\n"
    "「夏の終わりに、この灯は消えるの」\r\n"
    "「永久に」\r\n"
    "潮風が、長い髪をさらっていく。\r\n"
    "灯台の影が、足もとまでのびていた。\r\n"
    "\r\n"
    "　　　　　　　　　　　　　　　　　-岬の灯台-";
constexpr std::string_view kText3 =
    "夕暮れのホームのベンチに、女の子がひとり。\r\n"
    "本を膝にのせたまま、線路の先を見ている。\r\n"
    "\r\n"
    "電車が来ても、\r\n"
    "彼女は乗らなかった。\r\n"
    "ただ、遠ざかる音を聞いていた。\r\n"
    "\r\n"
    "「姉が、あの電車で町を出ていったから」\r\n"
    "小さな声で、彼女はそう言った。\r\n"
    "\r\n"
    "　　　　　　　　　　　　　　　　　-潮見駅にて-";
constexpr std::string_view kText4 =
    "丘の上は、一面のひまわりだった。\r\n"
    "\r\n"
    "「ここ、秘密の場所。誰にも教えてないの」\r\n"
    "帽子を押さえて、七海は空を見上げた。\r\n"
    "\r\n"
    "「ねえユウ。来週のお祭り、だれと行くの？」\r\n"
    "ひまわりが、いっせいに風に揺れた。\r\n"
    "\r\n"
    "答えは、もう決まっていた。\r\n"
    "\r\n"
    "　　　　　　　　　　　　　　　　-ひまわりの丘-";
constexpr std::string_view kText5 =
    "夕立が、町を灰色にぬりつぶした。\r\n"
    "\r\n"
    "「入ります？　……小さい傘ですけど」\r\n"
    "\r\n"
    "バス停の屋根の下、\r\n"
    "肩が触れそうな距離で、雨音を聞いた。\r\n"
    "\r\n"
    "「姉も、雨の日が好きだったんです」\r\n"
    "小夜は、雨にけむる線路を見つめていた。\r\n"
    "\r\n"
    "　　　　　　　　　　　　　　　　-夕立のバス停-";
constexpr std::string_view kText6 =
    "「あれがベガ、あれがアルタイル」\r\n"
    "「夏の大三角。おじいちゃんに教わったの」\r\n"
    "\r\n"
    "灯は、星に届きそうなくらい\r\n"
    "高く手をのばした。\r\n"
    "\r\n"
    "「船は、星と灯台を頼りに帰るんだって」\r\n"
    "\r\n"
    "見上げた空に、\r\n"
    "数えきれないほどの星が\r\n"
    "こぼれていた。\r\n"
    "\r\n"
    "　　　　　　　　　　　　　　　　　-岬の灯台-";
constexpr std::string_view kText7 =
    "祭りの夜。通りは提灯の明かりで満ちていた。\r\n"
    "太鼓の音が、胸の奥まで響いてくる。\r\n"
    "\r\n"
    "「ほら、提灯持って。迷子になるよ」と笑った七海の浴衣の袖が揺れて、屋台の明かりも、金魚すくいの水面の光も、綿あめの"
    "匂いも、夏の色だった。\r\n"
    "\r\n"
    "「来年も、一緒に来ようね」\r\n"
    "\r\n"
    "　　　　　　　　　　　　　　　　　-夏祭りの夜に-";
constexpr std::string_view kText8 =
    "星の丘で、灯と並んで座った。\r\n"
    "草の匂いと、遠い波の音。\r\n"
    "\r\n"
    "「ひとりだったら、きっとあきらめてた」\r\n"
    "「ユウくんが来てくれて、本当によかった」\r\n"
    "\r\n"
    "肩に、灯の髪がそっと触れた。\r\n"
    "見上げた夜空を、流れ星がひとつ、音もなく海へ流れていった。\r\n"
    "\r\n"
    "　　　　　　　　　　　　　　　　　　-星の丘で-";
constexpr std::string_view kText9 =
    "夜明けの港で、小夜は海に手をのばした。\r\n"
    "「この町の海を、ちゃんと覚えていきたくて」\r\n"
    "風が、短い髪を揺らした。\r\n"
    "\r\n"
    "「お話の結末、まだ決まってないんです」\r\n"
    "小夜はそう言って、少しだけ笑った。\r\n"
    "\r\n"
    "水平線の向こうから朝日がのぼり、眠っていた港の船も、坂の上の家々も、僕らの影も、みな同じ色に染まっていく。\r\n"
    "\r\n"
    "　　　　　　　　　　　　　　　　　　-港の夜明け-";
constexpr std::string_view kText10 =
    "始発の電車が、ホームに入ってきた。\r\n"
    "\r\n"
    "「行ってきます。お話の結末は、帰ってきたら書きますね」\r\n"
    "\r\n"
    "小夜はノートを僕の手に預けた。\r\n"
    "「それまで、持っていてください」\r\n"
    "\r\n"
    "扉が閉まる。\r\n"
    "窓の向こうで、小夜が笑っていた。\r\n"
    "\r\n"
    "　　　　　　　　　　　　　　　　　-潮見駅にて-";
}  // namespace

const std::array<std::string_view, 10>& PreviewTexts() {
  static constexpr std::array<std::string_view, 10> kTexts = {kText1, kText2, kText3, kText4, kText5,
                                                              kText6, kText7, kText8, kText9, kText10};
  return kTexts;
}

}  // namespace shiori
