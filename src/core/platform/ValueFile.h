#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "platform/Result.h"

namespace shiori {

// Small settings and bookmark files hold one line of values: whole numbers in plain decimal, texts in double
// quotes, logical values as #TRUE# / #FALSE#, separated by commas and ended by CR LF, all in Shift-JIS. Files
// written by earlier versions of the format and by this program are interchangeable byte for byte.
// Whole numbers are 64 bits wide on every system, so that a file reads the same everywhere.
using Number = std::int64_t;
using Value = std::variant<Number, std::string, bool>;
using ValueLine = std::vector<Value>;

// The exact bytes of one line, CR LF included, text encoded as Shift-JIS.
// {1, "セーブデータがありません", false} -> 1,"セーブデータがありません",#FALSE# CR LF.
[[nodiscard]] std::string FormatValueLine(const ValueLine& values);

// Parses the values of a file's content (Shift-JIS bytes). Values are separated by commas or line ends (CR LF,
// LF or CR); a quoted text runs to its closing quote and may hold commas; surrounding blanks are ignored;
// #TRUE# / #FALSE# (any case) are logical values; anything else must be a whole number. A malformed value fails
// with a message naming the problem.
[[nodiscard]] Result<ValueLine> ParseValueLine(std::string_view content);

// Reads a value file: a missing file, a read error or malformed content fails with a message naming the file.
[[nodiscard]] Result<ValueLine> ReadValueFile(const std::filesystem::path& file);

// Writes one value line as the whole file, atomically (WriteFileAtomically).
[[nodiscard]] Status WriteValueFile(const std::filesystem::path& file, const ValueLine& values);

}  // namespace shiori
