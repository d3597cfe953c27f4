#pragma once

#include <string>
#include <vector>

// Each accepted pass, once its angle is printed: the record's column names and the pass's values,
// each as typed or printed. A browser's page keeps the student's record from them; a console
// keeps its record on screen, and there nothing happens.
void hand_over_pass(const std::vector<std::string>& header, const std::vector<std::string>& row);
