#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Result.h"

namespace shiori {

// One message of a gettext PO file, as Poedit, Weblate and msgfmt read it.
struct PoEntry {
  std::string context;      // msgctxt: which line of which page the message stands for
  std::string original;     // msgid
  std::string translation;  // msgstr (the first form, for a message with plural forms); empty: not translated
  bool fuzzy = false;       // a guess the translator has yet to confirm: shown as the original, as gettext does
  std::size_t line = 0;     // where the entry's msgid stands in the file, counted from 1
};

// Reads the text of a PO file (UTF-8, LF or CR LF; a byte-order mark allowed). Obsolete entries ("#~") are left
// out, and so is the header, after checking that it declares UTF-8. A syntax fault, a text that is not UTF-8, or
// a message given twice is an error naming `file` and the line: "en.po:14: ...".
[[nodiscard]] Result<std::vector<PoEntry>> ParsePo(std::string_view text, std::string_view file);

// `text` as a PO string: quoted and escaped; a text of several lines is written one line per string, after an
// empty first string, as msgfmt and every editor write it.
[[nodiscard]] std::string PoString(std::string_view text);

}  // namespace shiori
