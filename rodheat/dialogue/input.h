#pragma once

#include <string>
#include <utility>
#include <vector>

// What read_double returns for a line that is not one number.
constexpr double invalid_entry = -10000.0;

// True when the whole text is one single-precision number, with nothing before or after it.
bool isFloat(std::string text);

// Reads one line of standard input: the number on it, or invalid_entry.
double read_double();

// Splits a line into numbers; the flag is false when a token that is not a number stands
// before the end of the text.
std::pair<std::vector<double>, bool> vectorize(std::string text);
