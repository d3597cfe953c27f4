#pragma once

#include <cstddef>
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

// A line read as vectorize reads it, of which only the first values are kept: an answer may hold
// tens of millions of numbers, and a message names how many.
struct NumberCount {
  std::vector<double> first;
  std::size_t count = 0;
  bool complete = true;
};

// The first kept values of the text, the count of all of them and vectorize's flag.
NumberCount count_numbers(std::string text, std::size_t kept);
