// Spraying into a working folder and tuning the injector there: one
// procedure each, which kavel-run, kavel's workers and the Python module
// call, so that every front end gets the same lock, checks, files and
// messages. Each takes a request and returns a report; the front ends only
// parse what the user typed and present the report.
//
// A spray that writes holds the folder's lock alone from reading the jet to
// writing spray.stamp: no run of the solver replaces the jet meanwhile, so
// the files always belong to the jet their stamp names. Every output is
// checked before the particles fly, so a refusal changes nothing. A spray
// that does not write shares the lock while it reads the jet.
#pragma once

#include "particles/in_flight.h"
#include "particles/injector_tuning.h"
#include "particles/particle_model.h"
#include "particles/spray_option_table.h"
#include "particles/spray_statistics.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace torvex::particles {

enum class JobResult { Completed, Cancelled, BadInput, OutputFault, Busy };

// The exit status of a result (solver/exit_status.h); a stopped job gives
// 130, as a shell reports a program ended by Ctrl-C.
int jobExitStatus(JobResult result);

struct SprayRequest {
    std::string folder = ".";
    // The options with lengths in mm (the desktop program's); when absent the
    // defaults of the variant's length unit.
    std::optional<SprayOptions> options;
    // Options as typed (kavel-run, Python), over those, in the variant's unit.
    EnteredOptions entered;
    bool write = true;        // false: nothing written, the jet read under a shared lock
    SprayProgress progress;   // on the calling thread; false stops the job
};

// What the jet the particles flew through says about itself.
struct JetFacts {
    std::string variantName;  // "argon 8.0 mm 500 A 35 SLPM", in the units of the run
    int gasCode = 0;
    int lengthUnit = 1;       // 1 mm, 2 in
    double fieldEndMm = 0;
    int recordCount = 0;      // cross-sections of the field
    IntegralParameters parameters;  // iop.par of the set
    UnitCodes units;                // of the run
};

// What both jobs report.
struct JobReport {
    JobResult result = JobResult::BadInput;
    int exitStatus = 2;
    std::string message;             // one sentence when result != Completed
    std::vector<std::string> notes;  // remarks on a completed job (a shortened field)
    SprayOptions options;            // as used, lengths in mm
    Material material;               // the row used
    JetFacts jet;
    // The jet itself as the job read it (the set's field and gas table): what
    // a front end draws and labels the job's results with, never a copy it
    // read before. Null when the job stopped before reading it.
    std::shared_ptr<const JetField> field;
    std::vector<std::string> written;  // full paths of the files written, in order
};

// The figures at the standoff that every front end shows, each mean and
// share with its 95 % interval.
struct SprayFigures {
    SprayStatistics statistics;
    Estimate deviationDeg;
    SensorReading sensor;
    std::vector<SizeClass> sizeClasses;
};

struct SprayReport : JobReport {
    bool flown = false;   // the particles flew: spray and figures hold them (also when writing failed)
    SprayOutcome spray;
    SprayFigures figures;
};

SprayReport sprayIntoFolder(const SprayRequest& request);

// The scan of the tune job: the spray of `spray` at every setting. With
// spray.write, tune.csv is written through a temporary file and a rename
// (the chart tune.png is the front end's).
struct TuneRequest {
    SprayRequest spray;
    TuneOptions tune;
};

struct TuneReport : JobReport {
    bool scanned = false;  // every setting was sprayed: outcome holds the steps (also when writing failed)
    TuneOptions tune;
    TuneOutcome outcome;
};

constexpr const char* kTuneFile = "tune.csv";

TuneReport tuneInFolder(const TuneRequest& request);

// kavel-run's summary of a spray, line by line (lengths in the variant's
// unit), and its table of a scan; the Python module shows the same.
std::vector<std::string> spraySummaryLines(const SprayReport& report);
std::vector<std::string> tuneSummaryLines(const TuneReport& report);

} // namespace torvex::particles
