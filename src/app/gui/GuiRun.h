#pragma once
// The program with windows: the interactive GUI and the screenshot mode.
#include "app/core/CommandLine.h"

namespace kb::app {

// Interactive run over the real clock. Exit status: 0 normal end, 1 controller not detected,
// 2 bad device or trace file.
int runGui(int& argc, char** argv, const Options& options);

// Starts up (and runs --script) over a manual clock, saves main.png and status.png in the
// screenshot directory and exits: 0, 1 when start-up ended the program, 2 for a bad script or
// an unwritable directory.
int runScreenshot(int& argc, char** argv, const Options& options);

// No display server to open windows on (and no Qt platform chosen).
bool displayMissing();

}  // namespace kb::app
