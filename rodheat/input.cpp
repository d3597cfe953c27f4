#include "input.h"

#include <cstdlib>
#include <iostream>
#include <sstream>

bool isFloat(std::string text) {
  std::istringstream stream(text);
  stream >> std::noskipws;
  // Single precision on purpose: a number a float cannot hold is not accepted.
  float value;
  stream >> value;
  return stream.eof() && !stream.fail();
}

double read_double() {
  std::string line;
  std::getline(std::cin, line);
  if (isFloat(line)) return std::atof(line.c_str());
  return invalid_entry;
}

std::pair<std::vector<double>, bool> vectorize(std::string text) {
  std::istringstream stream(text);
  std::vector<double> values;
  while (true) {
    double value;
    stream >> value;
    if (stream.fail()) return {values, stream.eof()};
    values.push_back(value);
  }
}
