// vectorize on arbitrary text: no crash, its result is what stream extraction of the text yields,
// and the values it finds read back unchanged when printed.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "dialogue/input.h"
#include "fuzz_check.h"
#include "stream_reading.h"

namespace {

bool same_values(const std::vector<double>& a, const std::vector<double>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    // The sign of a zero counts: "-0" must stay negative.
    if (a[i] != b[i] || std::signbit(a[i]) != std::signbit(b[i])) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::pair<std::vector<double>, bool> parsed = vectorize(text);
  const std::pair<std::vector<double>, bool> extracted = stream_reading::numbers(text);
  require(parsed.second == extracted.second, "the flag matches stream extraction");
  require(same_values(parsed.first, extracted.first), "the values match stream extraction");

  std::string printed;
  for (const double value : parsed.first) {
    require(std::isfinite(value), "every value is finite");
    char number[32];
    std::snprintf(number, sizeof number, "%.17g ", value);
    printed += number;
  }
  const std::pair<std::vector<double>, bool> reread = vectorize(printed);
  require(reread.second && same_values(reread.first, parsed.first),
          "printed values read back unchanged");
  return 0;
}
