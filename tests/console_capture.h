#pragma once

#include <iostream>
#include <sstream>
#include <string>

// Redirects std::cout into a string for the life of the object; the stream's format flags
// are left alone so that a test sees them carry over as the program would.
class ConsoleCapture {
 public:
  ConsoleCapture() : old_(std::cout.rdbuf(buffer_.rdbuf())) {}
  ~ConsoleCapture() { std::cout.rdbuf(old_); }
  ConsoleCapture(const ConsoleCapture&) = delete;
  ConsoleCapture& operator=(const ConsoleCapture&) = delete;
  std::string text() const { return buffer_.str(); }

 private:
  std::ostringstream buffer_;
  std::streambuf* old_;
};

// Feeds a string to std::cin for the life of the object.
class ConsoleInput {
 public:
  explicit ConsoleInput(const std::string& text)
      : buffer_(text), old_(std::cin.rdbuf(buffer_.rdbuf())) {
    std::cin.clear();
  }
  ~ConsoleInput() {
    std::cin.rdbuf(old_);
    std::cin.clear();
  }
  ConsoleInput(const ConsoleInput&) = delete;
  ConsoleInput& operator=(const ConsoleInput&) = delete;

 private:
  std::istringstream buffer_;
  std::streambuf* old_;
};
