// Reference results of the spray-particle model: a few powders sprayed into
// jets of the solver's reference matrix, read from a manifest of their own.
#pragma once

#include <string>
#include <vector>

#include "tests/golden/golden.h"

namespace torvex::golden {

struct SprayVariant {
    std::string name;                        // letters, digits and underscores
    std::string jet;                         // name of the jet variant in variants.txt
    std::string material;                    // key in data/materials.csv
    double d10Um = 0, d50Um = 0, d90Um = 0;  // equal d10 and d90: one size (d50)
    int count = 0;
    double injectorMm = 0, injectorRadiusMm = 0, injectionVelocity = 0;
    double standoffMm = 0;
    int seed = 1;
};

// One spray variant a line, "#" starts a comment. False with a message
// naming the file and line when a line is malformed.
bool readSprayManifest(const std::string& path, std::vector<SprayVariant>& sprays, std::string& error);

// Computes the jet variant in dir, sprays the powder into it on one thread
// and writes particles.csv, trajectories.csv and spray.txt (result, message,
// notice, where the field ends and how many particles met each end).
void runSprayVariant(const SprayVariant& spray, const GoldenVariant& jet, const std::string& dir);

// The files a spray golden consists of.
const std::vector<std::string>& sprayGoldenFileNames();

}  // namespace torvex::golden
