#pragma once

#include <charconv>
#include <cstdio>
#include <system_error>

// The browser build's C++ library has no floating-point to_chars; the C library's general
// notation writes the same bytes. Only the browser build includes this, ahead of each source.
namespace std {

inline to_chars_result to_chars(char* first, char* last, double value, chars_format,
                                int precision) {
  const int n =
      std::snprintf(first, static_cast<std::size_t>(last - first), "%.*g", precision, value);
  if (n < 0 || n >= last - first) return {last, errc::value_too_large};
  return {first + n, errc{}};
}

}  // namespace std
