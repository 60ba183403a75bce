// torvex: the desktop program.
#include "shell/program.h"

int main(int argc, char** argv) { return torvex::runProgram(argc, argv); }
