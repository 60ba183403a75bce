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

// The stamp's header: the jet (the checksum of its results.stamp, as
// JetField::stampChecksum, and its variant), the model and material lines,
// and what a reader needs to show the spray again that the files do not
// hold: the options as kavel.dat's lines, the plane, gas and field end, and
// the material row with its provenance.
std::vector<std::string> sprayStampHeader(const SprayOptions& options, const SprayOutcome& outcome,
                                          const JetField& jet);

// Replaces the set in the directory of the held (exclusive) lock: either all
// files are new and the stamp is written, or (a fault before the renames)
// every file stays as it was. `jet` is the field the particles flew
// through. False with error naming the file.
bool writeSprayFiles(const WorkDirLock& lock, const SprayOptions& options, const SprayOutcome& outcome,
                     const JetField& jet, std::string& error);

// ----- a spray read back ---------------------------------------------------------

// The last spray of a folder as its files hold it.
struct SpraySet {
    bool ok = false;
    bool none = false;      // the folder holds no spray at all (nothing to say)
    std::string message;    // when !ok: one sentence naming the folder and the fault
    SprayOptions options;   // as sprayed, lengths in mm
    // The particles and trajectories as written (the columns' decimals), the
    // plane, gas, field end and the material row; initial masses from the
    // diameters and the solid density.
    SprayOutcome outcome;
    std::string jet;         // checksum of the results.stamp of the jet the particles flew through
    std::string jetVariant;  // that jet's variant ("argon 8.0 mm 500 A 35 SLPM")
};

// Reads the spray in dir under a shared lock (busy while a run writes
// there): spray.stamp with its own checksum line, each member it lists
// against its file, then particles.csv and trajectories.csv, regular files
// of bounded size. Refuses, naming the folder and the fault, a set the stamp
// does not vouch for (a spray stopped or killed while its files were
// replaced leaves them without the stamp, or one of them from another
// spray; a file or the stamp edited since) and a spray whose jet is not the
// one results.stamp names now.
SpraySet readSpraySet(const std::string& dir);
SpraySet readSpraySet(const WorkDirLock& lock);

// ----- sprays kept under a name: sprays/NAME/, each a whole set with its stamp ----

constexpr const char* kKeptSpraysFolder = "sprays";
constexpr int kKeptSprayLimit = 12;  // the oldest beyond it goes when another is kept

// A typed name as a folder name: letters, digits, blanks, '-', '_' and '.'
// kept, every other character '_', blanks and dots at the ends dropped, at
// most 40 characters; "" without a letter or a digit.
std::string keptSprayName(const std::string& typed);

// Copies the folder's last spray (checked as readSpraySet checks it) to
// sprays/NAME/ under the folder's lock, replacing a spray kept under that
// name; then removes the oldest kept sprays beyond the limit. False with a
// sentence naming the folder and the fault.
bool keepSpray(const std::string& dir, const std::string& name, std::string& error);

// The names of the sprays kept in dir, newest first.
std::vector<std::string> keptSprays(const std::string& dir);

// A kept spray read back as readSpraySet reads the folder's; its jet is the
// one its stamp names, which the folder may no longer hold.
SpraySet readKeptSpray(const std::string& dir, const std::string& name);

} // namespace torvex::particles
