// One spray run on a worker thread: the particle model reads the working
// folder's files and simulates while the window stays responsive; progress
// and the end come back to the window's thread as signals.
#pragma once

#include <QObject>
#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "particles/injector_tuning.h"
#include "particles/particle_model.h"

namespace torvex::kavel {

class SprayJob : public QObject {
    Q_OBJECT
public:
    SprayJob(std::string workDir, particles::SprayOptions options, QObject* parent = nullptr);
    // Asks the run to stop and waits for the thread.
    ~SprayJob() override;

    void start();
    // Asks the model to stop at its next progress report.
    void cancel() { cancelled_ = true; }
    bool running() const { return running_; }
    // Waits until the thread has ended (the finished signal may still be queued).
    void wait();

    // The run's outcome; valid once finished() has been emitted.
    const particles::SprayOutcome& outcome() const { return outcome_; }

signals:
    void progress(int percent);
    void finished();

private:
    std::string workDir_;
    particles::SprayOptions options_;
    particles::SprayOutcome outcome_;
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> running_{false};
    std::thread thread_;
};

// An injector tuning scan on a worker thread, as a spray run: a spray at
// every setting of the scan, over the field and material already read.
class TuneJob : public QObject {
    Q_OBJECT
public:
    TuneJob(particles::JetField field, particles::Material material, particles::SprayOptions base,
            particles::TuneOptions tune, QObject* parent = nullptr);
    ~TuneJob() override;

    void start();
    void cancel() { cancelled_ = true; }
    bool running() const { return running_; }
    void wait();

    const particles::TuneOptions& tune() const { return tune_; }
    const particles::TuneOutcome& outcome() const { return outcome_; }

signals:
    void progress(int percent);
    void finished();

private:
    particles::JetField field_;
    particles::Material material_;
    particles::SprayOptions base_;
    particles::TuneOptions tune_;
    particles::TuneOutcome outcome_;
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> running_{false};
    std::thread thread_;
};

}  // namespace torvex::kavel
