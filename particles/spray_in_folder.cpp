// The spray and the tune job in a working folder, step by step in one order:
// the lock, the jet of the finished result set, the materials, the options,
// the outputs, the flight, the files.
#include "particles/spray_in_folder.h"

#include "particles/spray_files.h"
#include "solver/exit_status.h"
#include "solver/file_set.h"
#include "solver/result_set.h"

#include <memory>

namespace torvex::particles {

namespace {

constexpr int kExitStopped = 130;

void settle(JobReport& report, JobResult result, const std::string& message) {
    report.result = result;
    report.exitStatus = jobExitStatus(result);
    report.message = message;
}

void failOnLock(JobReport& report, const WorkDirLock& lock) {
    const RunOutcome refusal = lockRefusal(lock);
    settle(report,
         refusal.result == RunResult::Busy     ? JobResult::Busy
         : refusal.result == RunResult::BadInput ? JobResult::BadInput
                                                 : JobResult::OutputFault,
         lock.message());
}

// The folder's lock for a job that writes, held until the report is done.
std::unique_ptr<WorkDirLock> lockForWriting(const SprayRequest& request, JobReport& report) {
    if (!request.write) return nullptr;
    auto lock = std::make_unique<WorkDirLock>(request.folder);
    if (!lock->held()) failOnLock(report, *lock);
    return lock;
}

// What a job needs before its particles fly: the jet, the material and the
// options, each checked; false with the report's fault.
struct Prepared {
    std::shared_ptr<JetField> field = std::make_shared<JetField>();
    const Material* material = nullptr;
    MaterialTable materials;
};

bool prepare(const SprayRequest& request, const WorkDirLock* lock, Prepared& p, JobReport& report) {
    // A job that only reads shares the lock while it reads the jet.
    JetField& field = *p.field;
    const FieldStatus fieldStatus = lock ? readJetField(*lock, field) : readJetField(request.folder, field);
    if (!fieldStatus.ok) {
        settle(report, fieldStatus.busy ? JobResult::Busy : JobResult::BadInput, fieldStatus.message);
        return false;
    }
    report.jet = {field.variantName, field.gasCode,    field.lengthUnit, field.endMm(),
                  field.recordCount, field.parameters, field.runUnits};
    report.field = p.field;
    const MaterialStatus materialStatus = loadMaterials(lock ? lock->directory() : request.folder, p.materials);
    if (!materialStatus.ok) {
        settle(report, JobResult::BadInput, materialStatus.message);
        return false;
    }
    report.options = request.options ? *request.options : defaultSprayOptions(field.lengthUnit);
    applyEnteredOptions(request.entered, field.lengthUnit, report.options);
    p.material = p.materials.find(report.options.powder.material);
    if (!p.material) {
        std::string keys;
        for (const Material& m : p.materials.rows) keys += (keys.empty() ? "" : ", ") + m.key;
        settle(report, JobResult::BadInput,
             "there is no material \"" + report.options.powder.material + "\" (known: " + keys + ").");
        return false;
    }
    report.material = *p.material;
    const std::string fault = checkOptions(report.options, field.endMm());
    if (!fault.empty()) {
        settle(report, JobResult::BadInput, fault);
        return false;
    }
    return true;
}


JobResult resultOf(SprayResult result) {
    return result == SprayResult::Cancelled ? JobResult::Cancelled : JobResult::BadInput;
}

SprayFigures figuresOf(const SprayOptions& options, const SprayOutcome& outcome) {
    SprayFigures f;
    f.statistics = computeStatistics(outcome);
    f.deviationDeg = deviationAngleDeg(f.statistics, options.injection, outcome.standoffMm);
    f.sensor = readSensor(outcome.particles, options.sensor);
    f.sizeClasses = sizeClasses(outcome, options.sizeClasses);
    return f;
}

} // namespace

int jobExitStatus(JobResult result) {
    switch (result) {
    case JobResult::Completed: return kExitCompleted;
    case JobResult::Cancelled: return kExitStopped;
    case JobResult::BadInput: return kExitBadInput;
    case JobResult::OutputFault: return kExitOutputFault;
    case JobResult::Busy: return kExitBusy;
    }
    return kExitOutputFault;
}

SprayReport sprayIntoFolder(const SprayRequest& request) {
    SprayReport report;
    const std::unique_ptr<WorkDirLock> lock = lockForWriting(request, report);
    if (lock && !lock->held()) return report;
    Prepared p;
    if (!prepare(request, lock.get(), p, report)) return report;
    std::string error;
    if (lock && !checkSprayOutputs(*lock, error)) {
        settle(report, JobResult::OutputFault, error + " Nothing was changed.");
        return report;
    }

    report.spray = simulateSpray(*p.field, *p.material, report.options, request.progress);
    if (report.spray.result != SprayResult::Completed) {
        settle(report, resultOf(report.spray.result), report.spray.message);
        return report;
    }
    report.flown = true;
    report.figures = figuresOf(report.options, report.spray);
    if (!report.spray.notice.empty()) report.notes.push_back(report.spray.notice);
    if (lock) {
        if (!writeSprayFiles(*lock, report.options, report.spray, *p.field, error)) {
            settle(report, JobResult::OutputFault, error);
            return report;
        }
        for (const std::string& name : sprayOutputNames()) report.written.push_back(lock->directory() + "/" + name);
    }
    settle(report, JobResult::Completed, {});
    return report;
}

TuneReport tuneInFolder(const TuneRequest& request) {
    TuneReport report;
    report.tune = request.tune;
    const std::unique_ptr<WorkDirLock> lock = lockForWriting(request.spray, report);
    if (lock && !lock->held()) return report;
    Prepared p;
    if (!prepare(request.spray, lock.get(), p, report)) return report;
    std::string error;
    if (lock && !checkReplaceable(lock->directory(), {kTuneFile}, error)) {
        settle(report, JobResult::OutputFault, error + " Nothing was changed.");
        return report;
    }

    report.outcome = tuneInjection(*p.field, *p.material, report.options, request.tune, request.spray.progress);
    if (report.outcome.result != SprayResult::Completed) {
        settle(report, resultOf(report.outcome.result), report.outcome.message);
        return report;
    }
    report.scanned = true;
    if (lock) {
        if (!writeFileAtomically(lock->directory(), kTuneFile, tuneCsv(request.tune, report.outcome), error)) {
            settle(report, JobResult::OutputFault, error + ".");
            return report;
        }
        report.written.push_back(lock->directory() + "/" + kTuneFile);
    }
    settle(report, JobResult::Completed, {});
    return report;
}

} // namespace torvex::particles
