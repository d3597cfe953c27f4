// isFloat and read_double on arbitrary text: no crash, and both agree with stream extraction.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "dialogue/input.h"
#include "fuzz_check.h"
#include "stream_reading.h"

namespace {

void check_is_float(const std::string& text) {
  const bool accepted = isFloat(text);
  require(accepted == stream_reading::is_one_float(text),
          "isFloat is true exactly for one whole single-precision number");
  if (!accepted) return;
  for (const char c : text) {
    const bool blank = c == ' ' || (c >= '\t' && c <= '\r');
    require(!blank && c != '\0', "an accepted text holds no blank");
  }
  const double value = std::atof(text.c_str());
  require(std::isfinite(value), "an accepted text converts to a finite value");
  const std::pair<std::vector<double>, bool> listed = vectorize(text);
  require(listed.second && listed.first.size() == 1 && listed.first[0] == value,
          "an accepted text is a list of exactly that one number");
}

void check_read_double(const std::string& text) {
  std::istringstream input(text);
  std::streambuf* const saved = std::cin.rdbuf(input.rdbuf());
  std::cin.clear();
  const double value = read_double();
  std::cin.clear();
  const std::string rest{std::istreambuf_iterator<char>(std::cin),
                         std::istreambuf_iterator<char>()};
  std::cin.rdbuf(saved);
  std::cin.clear();

  const std::size_t line_end = text.find('\n');
  const std::string line = text.substr(0, line_end);
  require(rest == (line_end == std::string::npos ? "" : text.substr(line_end + 1)),
          "read_double consumes exactly one line");
  require(std::isfinite(value), "read_double yields a finite value");
  if (isFloat(line)) {
    require(value == std::atof(line.c_str()), "a number line yields its double value");
  } else {
    require(value == invalid_entry, "any other line yields the invalid-entry value");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  check_is_float(text);
  check_read_double(text);
  return 0;
}
