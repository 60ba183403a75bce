// kavel: the spray-particle module's desktop program.
#include "kavel/kavel_program.h"

int main(int argc, char** argv) { return torvex::kavel::runKavel(argc, argv); }
