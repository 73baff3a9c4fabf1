// The page's own words, in Japanese and English: its controls, its screens and its messages. The story's captions
// and menus are the game's and the core's, and are not here. One table, so that it can be made from the player's
// translation sources when they exist, instead of kept by hand beside them. Imports nothing: the unpacking worker
// and the tests use it as it is.
const WORDS = {
  'tools.library': { ja: 'ライブラリ', en: 'Library' },
  'tools.library.title': { ja: '遊んだゲームの一覧', en: 'The games you have played here' },
  'tools.openFolder': { ja: 'フォルダを開く…', en: 'Open game folder…' },
  'tools.openFolder.title': { ja: 'ゲームのフォルダ（data1.rgd のあるフォルダ）を選んで遊ぶ', en: 'Play your own game: pick its folder (the one holding data1.rgd)' },
  'tools.openZip': { ja: '.zip を開く…', en: 'Open .zip…' },
  'tools.openZip.title': { ja: '.zip にまとめたゲームを遊ぶ', en: 'Play a game packed as a .zip' },
  'tools.export': { ja: 'セーブを書き出す', en: 'Export saves' },
  'tools.export.title': { ja: 'このゲームのセーブファイルをダウンロード（デスクトップ版と同じファイル）', en: 'Download this game’s save files (the same files the desktop player keeps)' },
  'tools.import': { ja: 'セーブを読み込む…', en: 'Import saves…' },
  'tools.import.title': { ja: 'デスクトップ版や他のブラウザのセーブファイル（data2.rgd … conf2.rgd、またはその .zip）を取り込む', en: 'Take save files (data2.rgd … conf2.rgd, or a .zip of them) from the desktop player or another browser' },
  'tools.screenshot': { ja: 'スクリーンショット', en: 'Screenshot' },
  'tools.screenshot.title': { ja: '画面を画像でダウンロード (F12)', en: 'Download a picture of the stage (F12)' },
  'tools.fullScreen': { ja: '全画面', en: 'Full screen' },
  'tools.fullScreen.title': { ja: '全画面表示 (F11 / Alt+Enter)', en: 'Full screen (F11 or Alt+Enter)' },
  'tools.help': { ja: 'ヘルプ', en: 'Help' },
  'tools.help.title': { ja: 'キーとタッチ操作', en: 'Keys and touch gestures' },
  'tools.more': { ja: 'ページのメニュー', en: 'Page menu' },
  'tools.language': { ja: 'English', en: '日本語' },
  'tools.language.title': { ja: 'Show the page in English', en: 'ページを日本語で表示' },
  'page.menus': { ja: 'ゲームのメニュー', en: 'Game menu' },
  'page.tools': { ja: 'ページの操作', en: 'Page tools' },
  'page.stage': { ja: '物語（クリックかキーで読み進める）', en: 'The story (click or press a key to read on)' },
  'page.loading': { ja: '読み込み中…', en: 'Loading…' },
  'page.loadingFont': { ja: '文字を読み込み中…', en: 'Loading the font…' },
  'page.soundHint': { ja: '♪ 音は最初のクリックかキーで鳴り始めます。', en: '♪ Sound starts with your first click or key.' },
  'page.dropHint': { ja: 'ゲームのフォルダか .zip をここに落とすと遊べます', en: 'Drop a game folder or a .zip to play it' },
  'page.turnPhone': { ja: '横向きにすると画面が大きくなります', en: 'Turn your phone sideways for a larger stage' },
  'page.engineFailed': { ja: 'プレーヤーを読み込めませんでした（{reason}）。再読み込みしてください。', en: 'The player could not be loaded ({reason}). Reload the page to try again.' },
  'page.noStorage': { ja: 'このブラウザにはセーブを保存できません: {reason}', en: 'Saves cannot be kept in this browser: {reason}' },
  'ended.text': { ja: 'ゲームを終了しました。', en: 'The game has ended.' },
  'ended.again': { ja: 'もう一度はじめる', en: 'Start again' },
  'ended.library': { ja: 'ライブラリへ', en: 'Go to the library' },
  'open.progress': { ja: '「{source}」を開いています… {percent} %', en: 'Opening “{source}”… {percent} %' },
  'open.cancel': { ja: 'やめる', en: 'Cancel' },
  'open.cancelled': { ja: '「{source}」を開くのをやめました。', en: 'Stopped opening “{source}”.' },
  'open.failed': { ja: 'ゲームを開けませんでした: {reason}', en: 'The game could not be opened: {reason}' },
  'open.notZip': { ja: '「{source}」は zip ファイルとして読めません（{reason}）。', en: '“{source}” cannot be read as a zip file ({reason}).' },
  'open.refusedEntry': { ja: '「{source}」は開きません。項目「{entry}」: {reason}。', en: '“{source}” is not opened: its entry “{entry}”: {reason}.' },
  'open.refused': { ja: '「{source}」は開きません: {reason}。', en: '“{source}” is not opened: {reason}.' },
  'open.notAGame': { ja: '「{source}」はゲームのフォルダではありません: {missing}がありません。', en: '“{source}” is not a game folder: it has no {missing}.' },
  'open.missingScenario': { ja: 'data1.rgd（シナリオ）', en: 'data1.rgd (the scenario)' },
  'open.missingData': { ja: 'data/（画像と音楽）', en: 'data/ (pictures and music)' },
  'open.and': { ja: '、', en: ' and no ' },
  'open.dropHere': { ja: 'ゲームのフォルダか .zip をここに落としてください。', en: 'Drop a game folder or a .zip of one here.' },
  'open.neither': { ja: '「{source}」はゲームのフォルダでも .zip でもありません。', en: '“{source}” is neither a game folder nor a .zip file.' },
  'open.savesUnreadable': { ja: '「{game}」のセーブをブラウザの保存領域から読めなかったため、上書きしないようゲームを開きませんでした（{reason}）。', en: 'The saves of “{game}” could not be read from this browser’s storage ({reason}); the game was not opened, so that they are not overwritten.' },
  'zip.entries': { ja: '項目が {count} 個あります（ゲームは {limit} 個よりずっと少ないはずです）', en: 'it holds {count} entries; a game has far fewer than {limit}' },
  'zip.damaged': { ja: '壊れています', en: 'it is damaged' },
  'zip.truncated': { ja: 'ファイルの終わりを越えています', en: 'it runs past the end of the file' },
  'zip.zip64': { ja: '4 GB を超えるファイル用の zip64 形式です（ゲームはずっと小さいので読みません）', en: 'it is a zip64 archive, made for files over 4 GB; a game is far smaller, so it is not read' },
  'zip.notZip': { ja: 'zip ファイルではありません', en: 'it is not a zip file' },
  'zip.encrypted': { ja: '暗号化されています', en: 'it is encrypted' },
  'zip.method': { ja: '圧縮方式 {method} は読めません', en: 'it is packed with method {method}; only stored and deflated entries are read' },
  'zip.absolute': { ja: '絶対パスの名前です', en: 'its name is absolute; an entry must lie inside the folder' },
  'zip.control': { ja: '名前に制御文字があります', en: 'its name holds control characters' },
  'zip.escapes': { ja: '名前がフォルダの外を指しています', en: 'its name leads out of the folder' },
  'zip.empty': { ja: '名前が空です', en: 'its name is empty' },
  'zip.twice': { ja: '「{other}」と同じ名前です', en: 'it has the same name as “{other}”' },
  'zip.fileAndFolder': { ja: 'ファイルとフォルダの両方になっています', en: 'it is both a file and a folder' },
  'zip.tooBig': { ja: '展開すると {size} MB になり、上限の {limit} MB を超えます', en: 'it would unpack to {size} MB, more than the {limit} MB a game may take here' },
  'zip.bomb': { ja: '{packed} MB から {size} MB に展開されます（{ratio} 倍を超えるのは zip 爆弾です）', en: 'it would unpack to {size} MB from {packed} MB, more than {ratio} times its size: a zip bomb, not a game' },
  'zip.sizeLies': { ja: '書かれた大きさと中身が違います', en: 'it unpacks to another size than it declares' },
  'zip.checksum': { ja: 'チェックサムが合いません', en: 'its checksum does not match' },
  'zip.unreadable': { ja: '読めません（{message}）', en: 'it cannot be read ({message})' },
  'saves.none': { ja: 'このゲームのセーブはまだありません。', en: 'There are no saves of this game yet.' },
  'saves.noneFound': { ja: 'セーブファイルがありません: data2.rgd … data5.rgd、conf.rgd、conf2.rgd という名前です。', en: 'No save files there: they are named data2.rgd … data5.rgd, conf.rgd and conf2.rgd.' },
  'saves.imported': { ja: 'セーブファイルを {count} 個読み込みました。', en: 'Imported {count} save file(s).' },
  'saves.importRefused': { ja: '読み込みませんでした。{file}: {reason}', en: 'Nothing was imported. {file}: {reason}' },
  'saves.importFailed': { ja: 'セーブを読み込めませんでした: {reason}', en: 'The saves could not be imported: {reason}' },
  'saves.exportFailed': { ja: 'セーブを書き出せませんでした: {reason}', en: 'The saves could not be exported: {reason}' },
  'saves.refused': { ja: 'セーブできませんでした: {reason}', en: 'セーブできませんでした: {reason}' },
  'saves.quota': { ja: 'このサイトに使える保存領域がありません', en: 'the browser has no room left for this site (storage quota exceeded)' },
  'library.title': { ja: 'ライブラリ', en: 'Library' },
  'library.demo': { ja: '体験版（同梱）', en: 'The demo (built in)' },
  'library.play': { ja: '遊ぶ', en: 'Play' },
  'library.remove': { ja: '削除…', en: 'Remove…' },
  'library.lastPlayed': { ja: '最後に遊んだ日: {date}', en: 'Last played: {date}' },
  'library.bookmarks': { ja: 'しおり: {dates}', en: 'Bookmarks: {dates}' },
  'library.noBookmarks': { ja: 'しおりなし', en: 'No bookmarks' },
  'library.usage': { ja: '使用中の保存領域: {used} MB / {quota} MB', en: 'Storage in use: {used} MB of {quota} MB' },
  'library.evictable': { ja: 'このブラウザは空き容量が足りないときにゲームとセーブを消すことがあります。大切なセーブは書き出しておいてください。', en: 'This browser may clear stored games and saves when space runs low: export the saves you care about.' },
  'library.persisted': { ja: 'ゲームとセーブはこのブラウザに保存され、消されません。', en: 'Games and saves are kept in this browser and are not cleared.' },
  'library.empty': { ja: '開いたゲームはここに並びます。', en: 'Games you open appear here.' },
  'library.close': { ja: '閉じる', en: 'Close' },
  'library.storeFailed': { ja: '「{game}」をライブラリに保存できませんでした（{reason}）。再読み込みすると、もう一度開く必要があります。', en: '“{game}” could not be kept in the library ({reason}); after a reload you will need to open it again.' },
  'library.gone': { ja: '「{game}」はライブラリにありません。', en: '“{game}” is not in the library.' },
  'remove.title': { ja: 'ゲームの削除', en: 'Remove a game' },
  'remove.text': { ja: '「{game}」をライブラリから削除しますか？', en: 'Remove “{game}” from the library?' },
  'remove.alsoSaves': { ja: 'セーブ（しおり・既読・設定）も削除する', en: 'Delete its saves too (bookmarks, pages read, settings)' },
  'remove.keepsSaves': { ja: 'セーブは残ります。同じゲームをもう一度開くと使えます。', en: 'Its saves stay: they come back when you open the same game again.' },
  'remove.losesSaves': { ja: 'セーブも消えます。元に戻せません。', en: 'Its saves are deleted too. This cannot be undone.' },
  'remove.yes': { ja: '削除する', en: 'Remove' },
  'remove.no': { ja: 'やめる', en: 'Cancel' },
  'help.title': { ja: 'ヘルプ', en: 'Help' },
  'help.keys': { ja: 'キー', en: 'Keys' },
  'help.menuKeys': { ja: 'メニューのキー', en: 'Menu keys' },
  'help.pageKeys': { ja: 'Tab はページのボタンへ移ります。物語にフォーカスがあるときの Tab は既読スキップです（Shift+Tab で外へ）。Alt とメニューの下線の文字でメニューが開きます。', en: 'Tab moves through the page’s buttons; while the story has the focus, Tab toggles skipping read text (Shift+Tab leaves it). Alt and a menu’s underlined letter open that menu.' },
  'help.touch': { ja: 'タッチ操作', en: 'Touch' },
  'help.tap': { ja: 'タップ: 読み進める・選ぶ。履歴を閉じる', en: 'Tap: read on, choose; closes the history' },
  'help.longPress': { ja: '長押し: 右クリック（ゲーム中のメニュー）', en: 'Long press: the right click (the in-game menu)' },
  'help.swipeDown': { ja: '下へスワイプ: 履歴を開く・さかのぼる', en: 'Swipe down: open the history, scroll back' },
  'help.swipeUp': { ja: '上へスワイプ: 履歴を進める・閉じる、読み進める', en: 'Swipe up: scroll the history forward and close it; read on' },
  'help.twoFingers': { ja: '二本指でタップ: 文字を隠す', en: 'Two-finger tap: hide the text' },
  'help.close': { ja: '閉じる', en: 'Close' },
};

export const LANGUAGES = ['ja', 'en'];
const STORAGE_KEY = 'shiori.language';
const listeners = new Set();
let current = chosenLanguage();

function chosenLanguage() {
  let kept = null;
  try {
    kept = globalThis.localStorage?.getItem(STORAGE_KEY);
  } catch {
    // storage refused: the browser's language it is
  }
  if (LANGUAGES.includes(kept)) return kept;
  return (globalThis.navigator?.languages ?? ['en']).some((l) => l.startsWith('ja')) ? 'ja' : 'en';
}

export function language() {
  return current;
}

// Switches the page's words, keeps the choice and tells whoever shows words to show them again.
export function setLanguage(chosen) {
  current = LANGUAGES.includes(chosen) ? chosen : 'en';
  try {
    localStorage.setItem(STORAGE_KEY, current);
  } catch {
    // kept for this visit only
  }
  for (const listener of listeners) listener(current);
}

export function onLanguageChange(listener) {
  listeners.add(listener);
}

// The words of `key` in the page's language, each {name} replaced by values[name].
export function t(key, values = {}) {
  const entry = WORDS[key];
  if (!entry) throw new Error(`no words for ${key}`);
  return entry[current].replace(/\{(\w+)\}/g, (_, name) => String(values[name] ?? ''));
}

// Whether the table has words for `key` (a refusal's reason from the worker, say).
export function hasWords(key) {
  return key in WORDS;
}

// Puts the words into every element under `root` that asks for them: data-words (its text), data-words-title (its
// tooltip) and data-words-label (its accessible name).
export function showWords(root = document) {
  document.documentElement.lang = current;
  for (const element of root.querySelectorAll('[data-words]')) element.textContent = t(element.dataset.words);
  for (const element of root.querySelectorAll('[data-words-title]')) element.title = t(element.dataset.wordsTitle);
  for (const element of root.querySelectorAll('[data-words-label]')) element.setAttribute('aria-label', t(element.dataset.wordsLabel));
}

export const WORD_TABLE = WORDS; // for the tests: every entry has both languages
