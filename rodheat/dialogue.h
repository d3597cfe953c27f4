#pragma once

#include <functional>
#include <string>
#include <vector>

// A seam so that the dialogue can be driven without pacing or results files.
using ExperimentRun =
    std::function<bool(double, double, double, double, double, std::vector<double>, std::string)>;

// Tells whether a results file of the given name can be written.
using FileCheck = std::function<bool(const std::string&)>;

// Returns the exit status instead of exiting, so a harness can drive it to the end of its input.
int run_dialogue(const ExperimentRun& run, const std::function<void()>& pause);

// The same with the results file check replaced, so that a harness fed arbitrary names touches
// no files.
int run_dialogue(const ExperimentRun& run, const std::function<void()>& pause,
                 const FileCheck& writable);
