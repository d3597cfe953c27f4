#include "dialogue/input.h"

#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <iostream>
#include <limits>

namespace {

// White space of the classic locale.
bool is_blank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool is_sign(char c) { return c == '+' || c == '-'; }

// Where a number starting at pos stops, gathered as formatted extraction gathers it: a sign,
// digits with at most one point, then an exponent mark (only after a digit) with an optional
// sign and digits. Scanned here because standard libraries differ past these characters.
std::size_t gather_end(const std::string& text, std::size_t pos) {
  std::size_t i = pos;
  if (i < text.size() && is_sign(text[i])) ++i;
  bool digit_seen = false;
  bool point_seen = false;
  bool exponent_seen = false;
  while (i < text.size()) {
    const char c = text[i];
    if (is_digit(c)) {
      digit_seen = true;
      ++i;
    } else if (c == '.' && !point_seen && !exponent_seen) {
      point_seen = true;
      ++i;
    } else if ((c == 'e' || c == 'E') && digit_seen && !exponent_seen) {
      exponent_seen = true;
      ++i;
      if (i < text.size() && is_sign(text[i])) ++i;
    } else {
      break;
    }
  }
  return i;
}

// The program never sets a locale, so strtod reads "." as the decimal point.
double parse(const char* text, char** end, double) { return std::strtod(text, end); }
float parse(const char* text, char** end, float) { return std::strtof(text, end); }

// The gathered characters, ended by a NUL, as one number: false when they do not all convert or
// the value is beyond the type's range; a value too small for the type is taken as it rounds.
template <typename Number>
bool convert(const char* begin, const char* end, Number& value) {
  if (begin == end) return false;
  char* stop = nullptr;
  value = parse(begin, &stop, Number());
  return stop == end && !std::isinf(value);
}

// Single precision on purpose: a number a float cannot hold is not accepted.
bool is_one_float(const std::string& text) {
  float value = 0.0f;
  return gather_end(text, 0) == text.size() &&
         convert(text.c_str(), text.c_str() + text.size(), value);
}

}  // namespace

// cppcheck-suppress passedByValue
bool isFloat(std::string text) { return is_one_float(text); }

double read_double() {
  std::string line;
  std::getline(std::cin, line);
  // Checked where it lies: a copy would double what a very long line costs.
  if (is_one_float(line)) return std::atof(line.c_str());
  return invalid_entry;
}

NumberCount count_numbers(std::string text, std::size_t kept) {
  NumberCount numbers;
  std::size_t pos = 0;
  while (true) {
    while (pos < text.size() && is_blank(text[pos])) ++pos;
    if (pos == text.size()) return numbers;
    const std::size_t end = gather_end(text, pos);
    // The token is ended in place rather than copied out, for it may be the whole line.
    const char after = text[end];
    text[end] = '\0';
    double value = 0.0;
    const bool converted = convert(&text[pos], &text[end], value);
    text[end] = after;
    if (!converted) {
      // A token that fails while running to the end of the text ends the scan as the end does.
      numbers.complete = end == text.size();
      return numbers;
    }
    if (numbers.first.size() < kept) numbers.first.push_back(value);
    ++numbers.count;
    pos = end;
  }
}

std::pair<std::vector<double>, bool> vectorize(std::string text) {
  NumberCount numbers = count_numbers(std::move(text), std::numeric_limits<std::size_t>::max());
  return {std::move(numbers.first), numbers.complete};
}
