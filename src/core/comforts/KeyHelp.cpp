#include "comforts/KeyHelp.h"

namespace shiori {

const std::vector<KeyHelp::Row>& KeyHelp::Rows() {
  static const std::vector<Row> kRows = {
      {"Enter・Space・クリック", "読み進める"},
      {"Ctrl（押したまま）・Tab", "既読の文章をとばす"},
      {"A", "オートモード"},
      {"PageUp・ホイール上", "テキスト履歴（ページをクリックでそこへ戻る）"},
      {"Backspace", "前のページに戻る"},
      {"H・Delete・中クリック", "文字を隠して絵を見る"},
      {"V", "読み上げ"},
      {"Esc・右クリック", "メニューを開く・閉じる"},
      {"↑↓←→・1〜4", "選択肢・メニューを選ぶ"},
      {"Ctrl+W / S / X", "しおり１／２／３に保存"},
      {"Ctrl+C", "このページの文章をコピー"},
      {"F11・Alt+Enter", "全画面"},
      {"F12", "画面を保存"},
      {"F1", "このキー操作の画面"},
  };
  return kRows;
}

}  // namespace shiori
