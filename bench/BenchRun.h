// Running the benchmarks of a program so that a run which did not complete
// cannot pass: Google Benchmark prints "ERROR OCCURRED" for a benchmark that
// called SkipWithError and still ends with status 0, so a script would take it
// for a measurement.
#pragma once

// Runs the benchmarks the command line selects, reporting them as usual, and
// returns the program's exit status: 0 when every run completed; 1 when a run
// was skipped with an error (each is named again on stderr at the end), when no
// benchmark matched, or when the command line had an unknown argument.
int RunBenchmarks(int argc, char** argv);
