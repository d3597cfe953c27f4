#include <cstddef>
#include <cstdio>

#include "hand_over.h"

// The page's side, in the program's JavaScript library.
extern "C" void labsim_hand_over_pass(const char* header, std::size_t header_length,
                                      const char* row, std::size_t row_length);

namespace {

// No column name or accepted number holds a tab, so it separates them for the page to split.
std::string joined(const std::vector<std::string>& cells) {
  std::string text;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) text += '\t';
    text += cells[i];
  }
  return text;
}

}  // namespace

void hand_over_pass(const std::vector<std::string>& header, const std::vector<std::string>& row) {
  // The page gets the printed angle before the pass it belongs to.
  std::fflush(stdout);
  const std::string names = joined(header);
  const std::string values = joined(row);
  labsim_hand_over_pass(names.data(), names.size(), values.data(), values.size());
}
