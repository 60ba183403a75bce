// Program entry of the spray-particle module.
#pragma once

namespace torvex::kavel {

// Runs the window on the variant in the current directory. The argument
// "Mirtane" (TORVEX's menu command passes it) and no argument are both
// accepted; returns the exit code.
int runKavel(int argc, char** argv);

}  // namespace torvex::kavel
