#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace shiori {

// Builds one line of JSON. Members and elements are separated automatically; strings are escaped.
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
  // A number written as given (already valid JSON).
  JsonWriter& Raw(std::string_view json);

  [[nodiscard]] const std::string& str() const { return out_; }

 private:
  void Separate();

  std::string out_;
  bool need_comma_ = false;
};

}  // namespace shiori
