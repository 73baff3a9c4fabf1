#include "JsonWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace shiori {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// The length of the well-formed UTF-8 sequence starting at `at`, or 0 when the bytes there are not one: no
// overlong forms, no surrogates, nothing above U+10FFFF.
std::size_t ValidUtf8Size(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) return 1;
  std::size_t size = 0;
  unsigned char low = 0x80;  // the range of the second byte, narrower for some leads
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    size = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    size = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    size = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (at + size > text.size() || byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (std::size_t i = 2; i < size; ++i) {
    if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return 0;
  }
  return size;
}

}  // namespace

void JsonWriter::Separate() {
  if (need_comma_) out_ += ',';
  need_comma_ = true;
}

JsonWriter& JsonWriter::BeginObject() {
  Separate();
  out_ += '{';
  need_comma_ = false;
  return *this;
}

JsonWriter& JsonWriter::EndObject() {
  out_ += '}';
  need_comma_ = true;
  return *this;
}

JsonWriter& JsonWriter::BeginArray() {
  Separate();
  out_ += '[';
  need_comma_ = false;
  return *this;
}

JsonWriter& JsonWriter::EndArray() {
  out_ += ']';
  need_comma_ = true;
  return *this;
}

JsonWriter& JsonWriter::Key(std::string_view key) {
  String(key);
  out_ += ':';
  need_comma_ = false;
  return *this;
}

JsonWriter& JsonWriter::String(std::string_view value) {
  Separate();
  out_ += '"';
  for (std::size_t at = 0; at < value.size();) {
    const std::size_t size = ValidUtf8Size(value, at);
    if (size == 0) {
      out_ += kReplacement;  // one for each stray byte
    } else if (size == 1) {
      Escape(value[at]);
    } else {
      out_.append(value, at, size);
    }
    at += std::max<std::size_t>(size, 1);
  }
  out_ += '"';
  return *this;
}

void JsonWriter::Escape(char c) {
  switch (c) {
    case '"':
      out_ += "\\\"";
      break;
    case '\\':
      out_ += "\\\\";
      break;
    case '\n':
      out_ += "\\n";
      break;
    case '\r':
      out_ += "\\r";
      break;
    case '\t':
      out_ += "\\t";
      break;
    default:
      if (static_cast<unsigned char>(c) < 0x20) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
        out_ += escaped;
      } else {
        out_ += c;
      }
  }
}

JsonWriter& JsonWriter::OptionalString(const std::optional<std::string>& value) {
  return value ? String(*value) : Null();
}

JsonWriter& JsonWriter::Int(std::int64_t value) { return Raw(std::to_string(value)); }

JsonWriter& JsonWriter::Number(double value) {
  if (!std::isfinite(value)) return Null();
  char text[32];
  std::snprintf(text, sizeof text, "%.10g", value);
  return Raw(text);
}

JsonWriter& JsonWriter::Bool(bool value) { return Raw(value ? "true" : "false"); }

JsonWriter& JsonWriter::Null() { return Raw("null"); }

JsonWriter& JsonWriter::Raw(std::string_view json) {
  Separate();
  out_ += json;
  return *this;
}

}  // namespace shiori
