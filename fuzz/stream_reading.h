#pragma once

// The reading that the program's own number scanner reproduces: formatted stream extraction in
// the classic locale, as GCC's standard library (which the fuzz build links) performs it.

#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace stream_reading {

// The whole text is one single-precision number, nothing skipped before or after it.
inline bool is_one_float(const std::string& text) {
  std::istringstream stream(text);
  stream >> std::noskipws;
  float value = 0.0f;
  stream >> value;
  return stream.eof() && !stream.fail();
}

// The numbers of a line extracted one after the other, and whether the first failed
// extraction failed at the end of the text.
inline std::pair<std::vector<double>, bool> numbers(const std::string& text) {
  std::istringstream stream(text);
  std::vector<double> values;
  while (true) {
    double value = 0.0;
    stream >> value;
    if (stream.fail()) return {values, stream.eof()};
    values.push_back(value);
  }
}

}  // namespace stream_reading
