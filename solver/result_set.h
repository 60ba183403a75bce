// The result set of a calculated variant: iop.par and the eight result files,
// and the stamp results.stamp that the run writes after all of them. The
// stamp names the variant (iop.par's first line: gas, anode diameter and
// length as the model used them, current, flow), the units of the run, the
// values entered in ip.dat, and the size and checksum of every member. The
// layouts of iop.par and the result files stay as they are; the stamp only
// tells whether they are one run's finished work.
//
// Every program that reads a jet reads it through readResultSet(), so that
// the gas and the units always come from the set itself and never from an
// ip.dat or un.dat written since.
//
// From the desktop program (shell/, variant/), e.g. before showing the
// Previous variant or starting the spray module, in the working folder:
//
//     const WorkDirLock lock(".", LockMode::Shared);   // optional: no run replaces the set meanwhile
//     const ResultSet set = readResultSet(".");
//     if (!set.ok) showMessage(parent, QString::fromStdString(set.message));
//     else ... set.variant (iop.par), set.units, set.variantName ...
//
// From a terminal, `head -3 DIR/results.stamp` shows the variant, and a
// folder without results.stamp holds no finished set.
#pragma once

#include "files.h"
#include "state.h"

#include <string>
#include <vector>

namespace torvex {

constexpr const char* kResultStampFile = "results.stamp";

// The members of a result set in their order: iop.par, then the eight
// result files, ilt.res first and ftu.res last.
std::vector<std::string> resultSetMembers();

// Everything a run writes: the members and, last, the stamp. Every output
// check of every front end uses this list.
std::vector<std::string> runOutputFiles();

// What a finished set says about itself.
struct ResultSet {
    bool ok = false;
    // When !ok: one sentence for the user naming the directory and what is
    // wrong (an interrupted run, a member from another run, results of
    // another variant than the one in ip.dat).
    std::string message;
    std::string directory;       // as a full path
    IntegralParameters variant;  // iop.par of the set
    UnitCodes units;             // the units the run was calculated in
    // "argon 8.0 mm 500 A 35 SLPM", in the units of the run.
    std::string variantName;
};

// Reads and checks the set in dir: the stamp, every member against it, and
// ip.dat (when there is one) against the values the run read from it. The
// caller holds the directory's lock (shared is enough), so that no run
// replaces the files while they are read.
// With `compareInputFile` false, an ip.dat written since (a new variant
// entered but not calculated) does not disown the set: the question is then
// only whether the folder holds one run's finished results.
ResultSet readResultSet(const std::string& dir, bool compareInputFile = true);

// The stamp of the run in `s` over the members already in place in dir;
// written last by every run that put a result set there. False with a
// sentence naming the file.
bool writeResultStamp(const std::string& dir, const SolverState& s, std::string& fault);

// Whether a run can replace every output in dir (iop.par, the result files,
// the stamp) and the inputs it is to write first (`inputs`, e.g. ip.dat):
// the check that lets a refusal happen before anything changes. False with
// a sentence naming the file.
bool checkRunOutputs(const std::string& dir, const std::vector<std::string>& inputs, std::string& fault);

// "argon", "argon + 15 % hydrogen", ... for a gas code.
std::string plasmaGasName(int gasCode);

// The variant of a set in the words of the messages, in the units of the run.
std::string variantName(const IntegralParameters& p, const UnitCodes& units);

// The checksum of dir's results.stamp (16 hex digits), "none" without a
// readable one: how the spray's files name the jet they were computed in.
std::string resultStampChecksum(const std::string& dir);

// The variant ip.dat in dir holds now, in the same words and in the units
// chosen now (un.dat): what a run there would calculate. "" without a
// readable ip.dat.
std::string inputVariantName(const std::string& dir);

}  // namespace torvex
