#include "kavel/spray_job.h"

namespace torvex::kavel {

WorkerJob::~WorkerJob() {
    cancel();
    wait();
}

void WorkerJob::wait() {
    if (thread_.joinable()) thread_.join();
}

void WorkerJob::startWith(std::function<void(const particles::SprayProgress&)> work) {
    if (running_ || thread_.joinable()) return;
    running_ = true;
    thread_ = std::thread([this, work = std::move(work)] {
        // Signals emitted here reach the window's thread as queued calls.
        work([this](int percent) {
            emit progress(percent);
            return !cancelled_;
        });
        running_ = false;
        emit finished();
    });
}

SprayJob::SprayJob(std::string workDir, particles::SprayOptions options, QObject* parent) : WorkerJob(parent) {
    request_.folder = std::move(workDir);
    request_.options = std::move(options);
}

void SprayJob::start() {
    startWith([this](const particles::SprayProgress& progress) {
        particles::SprayRequest request = request_;
        request.progress = progress;
        report_ = particles::sprayIntoFolder(request);
    });
}

TuneJob::TuneJob(std::string workDir, particles::SprayOptions base, particles::TuneOptions tune, QObject* parent)
    : WorkerJob(parent) {
    request_.spray.folder = std::move(workDir);
    request_.spray.options = std::move(base);
    request_.spray.write = false;
    request_.tune = tune;
}

void TuneJob::start() {
    startWith([this](const particles::SprayProgress& progress) {
        particles::TuneRequest request = request_;
        request.spray.progress = progress;
        report_ = particles::tuneInFolder(request);
    });
}

}  // namespace torvex::kavel
