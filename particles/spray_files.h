// The files a spray run writes into the working directory: particles.csv
// (one row per particle at the substrate plane) and trajectories.csv (the
// d10, d50 and d90 particles and the sampled ones). Each is written to a
// temporary file beside it and renamed into place, so a reader never sees a
// half-written file.
#pragma once

#include "particles/particle_model.h"

#include <string>

namespace torvex::particles {

constexpr const char* kParticlesFile = "particles.csv";
constexpr const char* kTrajectoriesFile = "trajectories.csv";
constexpr const char* kSensorFile = "sensor.csv";
constexpr const char* kSizeClassesFile = "size-classes.csv";

// The file contents (a header line, then one line per row; numbers with a
// point whatever the locale).
std::string particlesCsv(const std::vector<ParticleResult>& particles);
std::string trajectoriesCsv(const std::vector<Trajectory>& trajectories);
// The in-flight sensor's reading and the size-class table, each after a
// header of "# " lines that describe the run and its results at the standoff
// (powder, injection, model, deviation angle, losses by reason, evaporated
// share).
std::string sensorCsv(const SprayOptions& options, const SprayOutcome& outcome);
std::string sizeClassesCsv(const SprayOptions& options, const SprayOutcome& outcome);
// The header's lines, without the "# ".
std::vector<std::string> runDescription(const SprayOptions& options, const SprayOutcome& outcome);

// Writes text to dir/name through a temporary file and a rename. On failure
// returns false with error naming the file; nothing is left behind.
bool writeFileAtomically(const std::string& dir, const std::string& name, const std::string& text,
                         std::string& error);

// Both files; false with error on the first that fails.
bool writeSprayFiles(const std::string& dir, const SprayOutcome& outcome, std::string& error);
// Those two and sensor.csv and size-classes.csv.
bool writeSprayFiles(const std::string& dir, const SprayOptions& options, const SprayOutcome& outcome,
                     std::string& error);

} // namespace torvex::particles
