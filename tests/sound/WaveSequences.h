#pragma once

#include <string>
#include <vector>

namespace shiori::test {

// The wave device log as the headless driver writes it.
using WaveLog = std::vector<std::string>;

inline const WaveLog kStopSequence = {"device WaveAudio", "command stop", "command close"};

inline WaveLog StartSequence(const std::string& piece) {
  return {"notify off",       "wait on",       "shareable off",
          "device waveAudio", "command close", "file data/" + piece + ".wav",
          "command open",     "command play"};
}

inline WaveLog operator+(WaveLog first, const WaveLog& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

}  // namespace shiori::test
