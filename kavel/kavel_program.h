// Program entry of the spray-particle module.
#pragma once

#include <string>

namespace torvex::kavel {

// The command line is acceptable: no argument, or "Mirtane" followed or not
// by the process id of the TORVEX that stays open beside the module (as
// TORVEX's menu command starts it; `torvexBeside` receives it, else 0).
// Otherwise `problem` says why.
bool acceptedArguments(int argc, char** argv, std::string& problem, long long* torvexBeside = nullptr);

// Runs the window on the variant in the current directory, with the
// arguments acceptedArguments takes; returns the exit code.
int runKavel(int argc, char** argv);

}  // namespace torvex::kavel
