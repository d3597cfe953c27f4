#pragma once

#include <functional>
#include <string>

#include "experiment/run.h"
#include "platform/platform.h"

// Writes a run's results file under name, as runSim does, handed over in role with its cells.
bool write_results(const std::string& name, const RunResult& run, FileRole role);

// Writes a run's results under another name after its own write failed, in the role that name
// gives them (the student's choice, or kept in the temporary folder); true once written.
using ResultsWrite =
    std::function<bool(const std::string& name, const RunResult& run, FileRole role)>;

// Asks the student for another name after a failed write, the question printed and its answer
// checked by the caller; false when no name came (input ended, or a signal ended the wait).
using NameQuestion = std::function<bool(std::string& name)>;

// A finished run is never lost to a failed write: while result is not written, the warning,
// then another name asked for and tried. A request to end, before or during the question, or
// the end of input there, gives the readings one try in the temporary folder instead, reported
// as an interrupted run's file; filename is the name that took them, or the last one tried.
// False when input ended and no request to end came meanwhile: the program then ends as input
// ending ends it.
bool keep_results(std::string& filename, RunResult& result, const NameQuestion& ask_again,
                  const ResultsWrite& write);
