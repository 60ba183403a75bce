// The spray and the tune job on a worker thread: the core's procedures
// (particles/spray_in_folder.h) run there with the folder's lock while the
// window stays responsive; progress and the end come back to the window's
// thread as signals.
#pragma once

#include <QObject>
#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "particles/spray_in_folder.h"

namespace torvex::kavel {

// What both jobs share: the thread, the stop request and the signals.
class WorkerJob : public QObject {
    Q_OBJECT
public:
    // Asks the job to stop and waits for the thread.
    ~WorkerJob() override;

    // Asks the job to stop at its next progress report.
    void cancel() { cancelled_ = true; }
    bool running() const { return running_; }
    // Waits until the thread has ended (the finished signal may still be queued).
    void wait();

signals:
    void progress(int percent);
    void finished();

protected:
    explicit WorkerJob(QObject* parent) : QObject(parent) {}
    // Runs `work` on the thread with the progress that emits and stops.
    void startWith(std::function<void(const particles::SprayProgress&)> work);

private:
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> running_{false};
    std::thread thread_;
};

// A spray into the working folder, written there as kavel-run writes it.
class SprayJob : public WorkerJob {
    Q_OBJECT
public:
    SprayJob(std::string workDir, particles::SprayOptions options, QObject* parent = nullptr);
    ~SprayJob() override { cancel(), wait(); }
    void start();
    // The job's report; valid once finished() has been emitted.
    const particles::SprayReport& report() const { return report_; }

private:
    particles::SprayRequest request_;
    particles::SprayReport report_;
};

// An injector tuning scan over the folder's jet: a spray at every setting.
// The page shows it; nothing is written (the page's export writes tune.csv).
class TuneJob : public WorkerJob {
    Q_OBJECT
public:
    TuneJob(std::string workDir, particles::SprayOptions base, particles::TuneOptions tune, QObject* parent = nullptr);
    ~TuneJob() override { cancel(), wait(); }
    void start();
    const particles::TuneReport& report() const { return report_; }

private:
    particles::TuneRequest request_;
    particles::TuneReport report_;
};

}  // namespace torvex::kavel
