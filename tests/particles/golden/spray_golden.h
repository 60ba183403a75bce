// Reference results of the particle model: the manifest of jets and spray
// cases, the solver run that makes a jet, and one spray case run into a
// directory as the files a golden consists of. The generator kavel-golden
// and the golden test share this code, so both run exactly the same.
#pragma once

#include <string>
#include <vector>

#include "particles/particle_model.h"
#include "tests/golden/golden.h"

namespace torvex::particles::golden {

// The comparison and the text helpers are those of the solver's goldens.
using torvex::golden::checksum;
using torvex::golden::compareFile;
using torvex::golden::FileText;
using torvex::golden::readFileText;
using torvex::golden::splitLines;
using torvex::golden::splitWords;
using torvex::golden::writeText;

// A variant the solver computes the jet of.
struct GoldenJet {
    std::string name;
    std::string unitLine;   // un.dat
    std::string inputLine;  // ip.dat in its fixed columns
    int gasCode = 0;
};

// A powder and injection flown through one jet.
struct GoldenCase {
    std::string name;  // letters, digits and underscores (a test name)
    std::string jet;   // name of a GoldenJet
    SprayOptions options;
    int fieldRecords = 0;  // > 0: the field is cut to this many cross-sections
};

struct GoldenManifest {
    std::vector<GoldenJet> jets;
    std::vector<GoldenCase> cases;
    const GoldenJet* findJet(const std::string& name) const;
};

// Reads the manifest ("jet" and "case" lines, "#" starts a comment). False
// with a message naming the file and the line when a line is malformed.
bool readManifest(const std::string& path, GoldenManifest& manifest, std::string& error);

// Writes un.dat, ip.dat and the gas file of the source tree into dir and runs
// the solver there. Empty on success, else the solver's message.
std::string computeJet(const GoldenJet& jet, const std::string& dir);

// Flies the case through the jet computed in jetDir, with the materials of
// the source tree, and writes the golden files into dir.
void runCase(const GoldenCase& goldenCase, const std::string& jetDir, const std::string& dir);

// The files of a golden, in the order they are compared: summary.txt (the
// jet's checksum, the outcome, the statistics, the energy totals and the
// histograms), particles.csv in full, trajectories-every10.csv (every tenth
// sample and the last of each trajectory) and trajectories.sum (one checksum
// of all the samples of each trajectory).
const std::vector<std::string>& goldenFileNames();

}  // namespace torvex::particles::golden
