#pragma once

#include <string_view>

#include "platform/Result.h"

namespace shiori {

// Whether `content` is a save file of the kind its `name` says (data2.rgd .. data5.rgd, conf.rgd, conf2.rgd, any
// case), in the form the player reads and writes it. A shell checks files the reader brings in from elsewhere
// before they take the place of saves that work; the message names the file and what is wrong with it.
[[nodiscard]] Status CheckSaveFile(std::string_view name, std::string_view content);

}  // namespace shiori
