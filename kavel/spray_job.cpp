#include "kavel/spray_job.h"

namespace torvex::kavel {

SprayJob::SprayJob(std::string workDir, particles::SprayOptions options, QObject* parent)
    : QObject(parent), workDir_(std::move(workDir)), options_(std::move(options)) {}

SprayJob::~SprayJob() {
    cancel();
    wait();
}

void SprayJob::start() {
    if (running_ || thread_.joinable()) return;
    running_ = true;
    thread_ = std::thread([this] {
        // Signals emitted here reach the window's thread as queued calls.
        outcome_ = particles::runSpray(workDir_, options_, [this](int percent) {
            emit progress(percent);
            return !cancelled_;
        });
        running_ = false;
        emit finished();
    });
}

void SprayJob::wait() {
    if (thread_.joinable()) thread_.join();
}

TuneJob::TuneJob(particles::JetField field, particles::Material material, particles::SprayOptions base,
                 particles::TuneOptions tune, QObject* parent)
    : QObject(parent),
      field_(std::move(field)),
      material_(std::move(material)),
      base_(std::move(base)),
      tune_(tune) {}

TuneJob::~TuneJob() {
    cancel();
    wait();
}

void TuneJob::start() {
    if (running_ || thread_.joinable()) return;
    running_ = true;
    thread_ = std::thread([this] {
        outcome_ = particles::tuneInjection(field_, material_, base_, tune_, [this](int percent) {
            emit progress(percent);
            return !cancelled_;
        });
        running_ = false;
        emit finished();
    });
}

void TuneJob::wait() {
    if (thread_.joinable()) thread_.join();
}

}  // namespace torvex::kavel
