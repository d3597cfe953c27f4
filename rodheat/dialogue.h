#pragma once

#include <functional>
#include <string>
#include <vector>

// A seam so that the dialogue can be driven without pacing or results files.
using ExperimentRun =
    std::function<bool(double, double, double, double, double, std::vector<double>, std::string)>;

// Tells whether a results file of the given name can be written.
using FileCheck = std::function<bool(const std::string&)>;

// The whole rodheat dialogue; returns the exit status instead of exiting. A harness may stand in
// for the run, the one-second pause and the results-file check; left empty, the dialogue uses
// runSim, a real one-second sleep and file_writable.
int run_dialogue(const ExperimentRun& run = nullptr, const std::function<void()>& pause = nullptr,
                 const FileCheck& writable = nullptr);
