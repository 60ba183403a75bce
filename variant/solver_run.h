// One solver run on a worker thread. The solver's progress reports and its
// outcome are handed to the interface thread as queued calls, in the order
// the solver made them, so the windows keep repainting while it computes.
#pragma once

#include "solver/solver.h"

#include <QObject>

#include <memory>
#include <string>
#include <thread>

namespace torvex {

class SolverRun : public QObject {
    Q_OBJECT
public:
    explicit SolverRun(std::string workDir, QObject* parent = nullptr);
    // Waits for a run still in progress: the solver cannot be stopped halfway
    // without leaving its result files half written.
    ~SolverRun() override;
    SolverRun(const SolverRun&) = delete;
    SolverRun& operator=(const SolverRun&) = delete;

    // Starts the run. The solver keeps one shared state, so only one run may
    // be in progress in the whole program: false if another one is. The
    // working directory's lock is taken here, on the calling thread, and held
    // until the run is over: false, with refusal() saying why, when another
    // run (of any program) holds the directory.
    bool start();
    // Why the last start() was refused by the directory ("" if it was not).
    const std::string& refusal() const { return refusal_; }
    bool running() const { return worker_.joinable(); }

    // True while any run of the program is in progress.
    static bool anyRunInProgress();

signals:
    // A progress report of the solver (-3, or a percentage), on the interface thread.
    void progress(int value);
    // The run is over and its thread joined.
    void finished(const torvex::RunOutcome& outcome);

private:
    void work();
    void deliverOutcome(const RunOutcome& outcome);

    std::string workDir_;
    std::string refusal_;
    std::unique_ptr<WorkDirLock> lock_;
    std::thread worker_;
};

} // namespace torvex
