#pragma once

#include <functional>
#include <string>

#include "experiment/results_file.h"
#include "experiment/run.h"

// A seam so that the dialogue can be driven without pacing or results files.
using ExperimentRun = std::function<RunResult(const Settings&)>;

// Tells whether a results file of the given name can be written.
using FileCheck = std::function<bool(const std::string&)>;

// The whole rodheat dialogue; returns the exit status instead of exiting: 0, 1 when input ends
// before a question is answered or before the readings are written, 128 + n after signal n.
// A harness may stand in for the run, the one-second pause, the results-file check and the
// writing of results under a second name; left empty, the dialogue uses runSim, a real
// one-second sleep, file_writable and write_results.
int run_dialogue(const ExperimentRun& run = nullptr, const std::function<void()>& pause = nullptr,
                 const FileCheck& writable = nullptr, const ResultsWrite& write = nullptr);
