// Program entry of the spray-particle module.
#pragma once

#include <string>

namespace torvex::kavel {

// The command line is acceptable: no argument, or "Mirtane" (as TORVEX's
// menu command starts the module). Otherwise `problem` says why.
bool acceptedArguments(int argc, char** argv, std::string& problem);

// Runs the window on the variant in the current directory. The argument
// "Mirtane" (TORVEX's menu command passes it) and no argument are both
// accepted; returns the exit code.
int runKavel(int argc, char** argv);

}  // namespace torvex::kavel
