// One spray run on a worker thread: the particle model reads the working
// folder's files and simulates while the window stays responsive; progress
// and the end come back to the window's thread as signals.
#pragma once

#include <QObject>
#include <atomic>
#include <memory>
#include <string>
#include <thread>

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

}  // namespace torvex::kavel
