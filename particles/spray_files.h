// The files a spray run writes into the working directory: particles.csv
// (one row per particle at the substrate plane), trajectories.csv (the
// d10, d50 and d90 particles and the sampled ones), sensor.csv (the in-flight
// sensor's reading) and size-classes.csv, replaced as one set with
// spray.stamp last, so a reader never sees a half-written or mixed set.
#pragma once

#include "particles/particle_model.h"
#include "solver/file_set.h"

#include <string>

namespace torvex::particles {

constexpr const char* kParticlesFile = "particles.csv";
constexpr const char* kTrajectoriesFile = "trajectories.csv";
constexpr const char* kSensorFile = "sensor.csv";
constexpr const char* kSizeClassesFile = "size-classes.csv";

// The file contents (a header line, then one line per row; numbers with a
// point whatever the locale).
std::string particlesCsv(const std::vector<ParticleResult>& particles);
// particles.csv as a run writes it: the "# " lines of runDescription, then
// the columns above.
std::string particlesCsv(const SprayOptions& options, const SprayOutcome& outcome);
std::string trajectoriesCsv(const std::vector<Trajectory>& trajectories);
// The in-flight sensor's reading and the size-class table, each after a
// header of "# " lines that describe the run and its results at the standoff
// (powder, injection, model, material data and its file, substrate, deviation
// angle, losses by reason, mass shares).
std::string sensorCsv(const SprayOptions& options, const SprayOutcome& outcome);
std::string sizeClassesCsv(const SprayOptions& options, const SprayOutcome& outcome);
// The header's lines, without the "# ".
std::vector<std::string> runDescription(const SprayOptions& options, const SprayOutcome& outcome);

// Writes text to dir/name through a temporary file and a rename. On failure
// returns false with error naming the file; nothing is left behind.
bool writeFileAtomically(const std::string& dir, const std::string& name, const std::string& text,
                         std::string& error);

// The spray's output set: the files of a run, written as one set (see
// solver/file_set.h) with the stamp spray.stamp last, which also names the
// result set of the jet they were computed in, the model and the material
// data (describeModel, describeMaterial). A file added here is replaced,
// stamped and checked with the others.
constexpr const char* kSprayStampFile = "spray.stamp";
std::vector<SetMember> sprayFileSet(const SprayOptions& options, const SprayOutcome& outcome);
// The names of the set, the stamp included (for the check before a run).
std::vector<std::string> sprayOutputNames();

// Whether every output of a spray can be replaced in the directory of the
// held lock; false with a sentence naming the file. Called before a run, so
// that nothing is simulated for an output that cannot be written.
bool checkSprayOutputs(const WorkDirLock& lock, std::string& error);

// Replaces the set in the directory of the held (exclusive) lock: either all
// files are new and the stamp is written, or (a fault before the renames)
// every file stays as it was. False with error naming the file.
bool writeSprayFiles(const WorkDirLock& lock, const SprayOptions& options, const SprayOutcome& outcome,
                     std::string& error);

} // namespace torvex::particles
