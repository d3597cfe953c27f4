// The needlefield loop fed arbitrary input: it ends once the input ends and prints only its
// prompts, messages and PHI lines, in the order the loop allows.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_check.h"
#include "needle.h"

namespace {

const std::string current_prompt = "Enter I (A) between  -5.0 and   5.0 : ";
const std::string x_prompt = "Enter X (mm) between 0 and   100 : ";
const std::string y_prompt = "Enter Y (mm) between 0 and   100 : ";
const std::string out_of_range = "Coordinates out of range.\n";
const std::string separator = std::string(31, '-') + "\n";
const std::string invalid = "Invalid entry.  Enter a number using a decimal point.\n";
const std::string exceeded =
    "Maximum current exceeded!\nPress Enter key to exit.\n"
    "Restart the program to resume the simulations.";

enum class State { before_current, at_current, at_x, at_y, after_phi, after_exceeded, done };

bool starts_with_at(const std::string& text, std::size_t pos, const std::string& piece) {
  return text.compare(pos, piece.size(), piece) == 0;
}

// "PHI = %5.0f degrees\n" of an angle from -180 to 180; returns its length, or 0.
std::size_t phi_line_length(const std::string& text, std::size_t pos) {
  const std::string head = "PHI = ";
  const std::string tail = " degrees\n";
  if (!starts_with_at(text, pos, head)) return 0;
  if (text.size() < pos + head.size() + 5 + tail.size()) return 0;
  const std::string field = text.substr(pos + head.size(), 5);
  if (!starts_with_at(text, pos + head.size() + 5, tail)) return 0;
  char* end = nullptr;
  const long degrees = std::strtol(field.c_str(), &end, 10);
  if (end != field.c_str() + field.size() || degrees < -180 || degrees > 180) return 0;
  char expected[16];
  std::snprintf(expected, sizeof expected, "%5ld", degrees);
  if (field != expected && field != "   -0") return 0;
  return head.size() + 5 + tail.size();
}

// Walks the output piece by piece; each piece must be one the loop can print in its state.
void check_output(const std::string& text, bool input_consumed) {
  State state = State::before_current;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t length = 0;
    if (starts_with_at(text, pos, current_prompt) &&
        (state == State::before_current || state == State::at_current)) {
      state = State::at_current;
      length = current_prompt.size();
    } else if (starts_with_at(text, pos, x_prompt) &&
               (state == State::at_current || state == State::at_x)) {
      state = State::at_x;
      length = x_prompt.size();
    } else if (starts_with_at(text, pos, y_prompt) &&
               (state == State::at_x || state == State::at_y)) {
      state = State::at_y;
      length = y_prompt.size();
    } else if (starts_with_at(text, pos, invalid) &&
               (state == State::at_current || state == State::at_x || state == State::at_y)) {
      length = invalid.size();
    } else if (starts_with_at(text, pos, out_of_range) && state == State::at_y) {
      state = State::before_current;
      length = out_of_range.size();
    } else if (state == State::at_y && (length = phi_line_length(text, pos)) != 0) {
      state = State::after_phi;
    } else if (starts_with_at(text, pos, separator) && state == State::after_phi) {
      state = State::before_current;
      length = separator.size();
    } else if (starts_with_at(text, pos, exceeded) && state == State::at_current) {
      state = State::after_exceeded;
      length = exceeded.size();
    } else if (starts_with_at(text, pos, "\n") &&
               (state == State::at_current || state == State::at_x || state == State::at_y ||
                state == State::after_exceeded)) {
      // A line end at a prompt is printed only when the input has ended.
      require(input_consumed, "a prompt is closed with a line end only at the end of input");
      state = State::done;
      length = 1;
    } else {
      require(false, "every piece printed is one of the loop's, in an order it allows");
    }
    pos += length;
  }
  require(state == State::done || state == State::after_exceeded,
          "the loop stops only at the end of input or after the current limit");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider provider(data, size);
  const unsigned int seed = provider.ConsumeIntegral<unsigned int>();
  std::string typed = provider.ConsumeRemainingBytesAsString();

  // A stream over no bytes at all is not allowed, so an empty input reads an empty file.
  std::FILE* in =
      typed.empty() ? std::fopen("/dev/null", "r") : fmemopen(typed.data(), typed.size(), "r");
  char* buffer = nullptr;
  std::size_t length = 0;
  std::FILE* out = open_memstream(&buffer, &length);
  require(in != nullptr && out != nullptr, "the harness opens its streams");

  const int status = needle_loop(in, out, seed);
  const bool input_consumed = std::feof(in) != 0;
  std::fclose(in);
  std::fclose(out);
  const std::string text(buffer, length);
  std::free(buffer);

  require(status == 0, "the loop returns status 0");
  check_output(text, input_consumed);
  return 0;
}
