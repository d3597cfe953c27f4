#pragma once

// Makes Ctrl-\ (quit), and every other signal whose default leaves a core dump when another
// process or the terminal sends it, end the program as a termination request does (128 plus
// its number), with no core file in the student's folder; a fault of the program's own ends it
// as it would have. Signals ignored when the program started stay ignored. Does nothing where
// the platform has no such signals.
void end_without_core_dump();
