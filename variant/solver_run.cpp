#include "variant/solver_run.h"

#include "solver/variant_run.h"

#include <atomic>
#include <exception>
#include <utility>

namespace torvex {

namespace {

std::atomic<bool> solverBusy{false};

} // namespace

SolverRun::SolverRun(std::string workDir, QObject* parent) : QObject(parent), workDir_(std::move(workDir)) {}

SolverRun::~SolverRun() {
    if (worker_.joinable()) {
        worker_.join();
        solverBusy = false;
    }
    lock_.reset();
}

bool SolverRun::anyRunInProgress() { return solverBusy; }

bool SolverRun::start() {
    refusal_.clear();
    if (worker_.joinable() || solverBusy.exchange(true)) return false;
    lock_ = std::make_unique<WorkDirLock>(workDir_);
    if (!lock_->held()) {
        refusal_ = lockRefusal(*lock_).message;
        lock_.reset();
        solverBusy = false;
        return false;
    }
    worker_ = std::thread([this] { work(); });
    return true;
}

void SolverRun::work() {
    // Runs on the worker thread: everything it hands to the interface goes
    // through the event queue of this object's (the interface) thread.
    const ProgressCallback report = [this](int value) {
        QMetaObject::invokeMethod(this, [this, value] { emit progress(value); }, Qt::QueuedConnection);
    };
    RunOutcome outcome;
    try {
        VariantRunRequest request;
        request.folder = workDir_;
        request.heldLock = lock_.get();
        request.state = &sharedSolverState();
        request.progress = report;
        const VariantRunReport run = runVariant(request);
        outcome = RunOutcome(run.result, run.message);
        outcome.notes = run.notes;
    } catch (const std::exception& e) {
        outcome = {RunResult::NotCalculable, std::string("The calculation stopped: ") + e.what()};
    } catch (...) {
        outcome = {RunResult::NotCalculable, "The calculation stopped unexpectedly."};
    }
    QMetaObject::invokeMethod(this, [this, outcome] { deliverOutcome(outcome); }, Qt::QueuedConnection);
}

void SolverRun::deliverOutcome(const RunOutcome& outcome) {
    // The worker posted this as its last act; it is about to return.
    if (worker_.joinable()) worker_.join();
    lock_.reset();
    solverBusy = false;
    emit finished(outcome);
}

} // namespace torvex
