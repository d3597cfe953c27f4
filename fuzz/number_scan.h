#pragma once

// A second, independent reading of numbers as formatted stream extraction reads them in the
// classic locale, written from the extraction rules rather than with a stream.

#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace number_scan {

// The classic locale's white space.
inline bool is_blank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

inline bool is_digit(char c) { return c >= '0' && c <= '9'; }

inline bool is_sign(char c) { return c == '+' || c == '-'; }

// Where extraction stops gathering from pos on: a sign, digits with at most one point, then an
// exponent mark (only once a digit was seen) with an optional sign and more digits.
inline std::size_t gather_end(const std::string& text, std::size_t pos) {
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
    } else if ((c == 'e' || c == 'E') && !exponent_seen && digit_seen) {
      exponent_seen = true;
      ++i;
      if (i < text.size() && is_sign(text[i])) ++i;
    } else {
      break;
    }
  }
  return i;
}

// The gathered characters converted as a whole; false when they do not convert or overflow.
inline bool convert(const std::string& token, double& value) {
  if (token.empty()) return false;
  char* end = nullptr;
  value = std::strtod(token.c_str(), &end);
  return end == token.c_str() + token.size() && !std::isinf(value);
}

inline bool convert(const std::string& token, float& value) {
  if (token.empty()) return false;
  char* end = nullptr;
  value = std::strtof(token.c_str(), &end);
  return end == token.c_str() + token.size() && !std::isinf(value);
}

// The numbers of a line and whether the scan stopped at the end of the text, extracted one
// after the other with blanks skipped before each.
inline std::pair<std::vector<double>, bool> scan_numbers(const std::string& text) {
  std::vector<double> values;
  std::size_t pos = 0;
  while (true) {
    while (pos < text.size() && is_blank(text[pos])) ++pos;
    if (pos == text.size()) return {values, true};
    const std::size_t end = gather_end(text, pos);
    double value = 0.0;
    if (!convert(text.substr(pos, end - pos), value)) return {values, end == text.size()};
    values.push_back(value);
    pos = end;
  }
}

}  // namespace number_scan
