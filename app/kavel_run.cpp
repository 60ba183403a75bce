// kavel-run: the spray-particle model over the jet in a working directory.
#include "particles/particle_model.h"

#include <cstdio>

int main() {
    std::fprintf(stderr, "kavel-run: not built yet.\n");
    return 2;
}
