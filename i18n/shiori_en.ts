<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!--
  The player's own words in English. The player speaks Japanese first, so the sources are Japanese; a word missing
  here stays Japanese. One source for every shell: the desktop reads the .qm that lrelease makes of this file, the
  page a JSON table made of it, and the core (context "Core") a C++ table made of it at build time
  (src/core/translation/player_words.py). The game's own captions, menus and questions are not here: they stay
  as the game has them.
-->
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>Core</name>
    <message>
        <source>しおり%1に保存しました</source>
        <translation>Saved to bookmark %1</translation>
    </message>
    <message>
        <source>しおり%1に保存しました　上書き前は「読書」から戻せます</source>
        <translation>Saved to bookmark %1: the bookmark it replaced can be taken back from the Reading menu</translation>
    </message>
    <message>
        <source>しおり%1に保存できませんでした：</source>
        <translation>Could not save to bookmark %1: </translation>
    </message>
    <message>
        <source>しおり%1を上書き前に戻しました</source>
        <translation>Bookmark %1 is back as it was before it was saved over</translation>
    </message>
    <message>
        <source>戻せませんでした：</source>
        <translation>Could not take it back: </translation>
    </message>
    <message>
        <source>履歴</source>
        <translation>History</translation>
    </message>
    <message>
        <source>ホイール・↑↓・PageUp/Down で読み返す　Esc・右クリックで戻る</source>
        <translation>Wheel, ↑↓ or PageUp/Down to read back; Esc or right click to return</translation>
    </message>
    <message>
        <source>読書(&amp;R)</source>
        <translation>&amp;Reading</translation>
    </message>
    <message>
        <source>テキスト履歴(&amp;H)</source>
        <translation>Text &amp;history</translation>
    </message>
    <message>
        <source>オートモード(&amp;A)</source>
        <translation>&amp;Auto mode</translation>
    </message>
    <message>
        <source>既読スキップ(&amp;S)</source>
        <translation>&amp;Skip read text</translation>
    </message>
    <message>
        <source>文字を隠す(&amp;T)</source>
        <translation>Hide the &amp;text</translation>
    </message>
    <message>
        <source>設定(&amp;P)...</source>
        <translation>&amp;Preferences...</translation>
    </message>
    <message>
        <source>翻訳を読めませんでした。原文で表示します</source>
        <translation>Could not read the translation; the story is shown as written</translation>
    </message>
</context>
</TS>
