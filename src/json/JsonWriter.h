#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace shiori {

// Builds one line of JSON. Members and elements are separated automatically. Whatever it is given, the line is
// valid JSON in valid UTF-8: strings are escaped, bytes that are not UTF-8 become U+FFFD, and a number that is not
// finite becomes null.
class JsonWriter {
 public:
  JsonWriter& BeginObject();
  JsonWriter& EndObject();
  JsonWriter& BeginArray();
  JsonWriter& EndArray();
  JsonWriter& Key(std::string_view key);
  JsonWriter& String(std::string_view value);
  JsonWriter& OptionalString(const std::optional<std::string>& value);
  JsonWriter& Int(std::int64_t value);
  JsonWriter& Number(double value);
  JsonWriter& Bool(bool value);
  JsonWriter& Null();
  // A number already formatted as JSON ("12.5").
  JsonWriter& Raw(std::string_view json);

  [[nodiscard]] const std::string& str() const { return out_; }

 private:
  void Separate();
  void Escape(char c);

  std::string out_;
  bool need_comma_ = false;
};

}  // namespace shiori
