// The spray: the population of particles drawn from the powder and injector
// settings, flown on every core, each from its own random stream so that
// the results do not depend on the number of threads.
#include "particles/carrier_gas.h"
#include "particles/particle_flight.h"
#include "particles/particle_model.h"
#include "particles/powder_sampling.h"
#include "particles/text_file.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace torvex::particles {

namespace {

constexpr double kDegree = kPi / 180.0;
constexpr double kLongestField = 200;  // mm, last cross-section of a complete field
constexpr int kMaxCount = 1000000;
// The substrate's radius: from a coupon a little wider than the injector's
// bore to a plate far wider than any spray spot.
constexpr double kSmallestSubstrateMm = 1;
constexpr double kLargestSubstrateMm = 1000;

// One particle to fly: a member of the population or a representative one.
struct Task {
    ParticleStart start;
    int index = -1;         // population index, -1 for d10/d50/d90
    int trajectory = -1;    // slot in the trajectory list, -1 for none
};

std::string range(const char* what, double low, double high, const char* unit) {
    return std::string(what) + " must lie between " + formatFixed(low, low < 1 ? 2 : 0) + " and " +
           formatFixed(high, 0) + unit + ".";
}

// The particle's direction: the injector's axis (toward the torch axis,
// tilted downstream by the injector angle) turned by polarAngle within the
// cone, about that axis by azimuth (0: toward downstream, pi/2: across the
// injection plane). With polarAngle 0 the flight stays in the injection plane.
ParticleStart startOf(const SprayOptions& o, double diameterUm, double speed, double polarAngle, double azimuth) {
    const double side = o.injection.side < 0 ? -1.0 : 1.0;
    const double tilt = o.injection.angleDeg * kDegree;
    // Injector axis n and the in-plane direction p normal to it, as (axial, y).
    const double nz = std::sin(tilt), ny = -side * std::cos(tilt);
    const double pz = std::cos(tilt), py = side * std::sin(tilt);
    const double along = std::cos(polarAngle), across = std::sin(polarAngle);
    ParticleStart s;
    s.diameter = diameterUm * 1e-6;
    s.axialMm = o.injection.distanceMm;
    s.radialMm = side * o.injection.radiusMm;
    s.axialVelocity = speed * (along * nz + across * std::cos(azimuth) * pz);
    s.radialVelocity = speed * (along * ny + across * std::cos(azimuth) * py);
    s.outOfPlaneVelocity = speed * across * std::sin(azimuth);
    return s;
}

// Mean speed of a particle of this size as it leaves the injector.
double injectionSpeed(const SprayOptions& o, const Material& material, double diameterUm) {
    if (o.injection.speedFrom == InjectionSpeed::Fixed) return o.injection.velocity;
    return speedAtTubeExit(carrierGasSpeed(o.injection.carrierFlowSlpm, o.injection.injectorDiameterMm),
                           diameterUm * 1e-6, material.densitySolid);
}

// The powder's sizes: the log-normal of d10/d50/d90 or the measured classes.
struct PowderSizes {
    LogNormalSize logNormal;
    const MeasuredSizes* measured = nullptr;
    double draw(ParticleRandom& random) const {
        return measured ? drawDiameterUm(*measured, random) : drawDiameterUm(logNormal, random);
    }
};

// The population: diameter, speed and direction of particle i from stream
// i. Directions fill the cone's solid angle evenly (polar angle from its
// cosine drawn uniformly).
Task populationTask(const SprayOptions& o, const Material& material, const PowderSizes& size, int i) {
    ParticleRandom random(o.seed, static_cast<std::uint64_t>(i));
    const double diameter = size.draw(random);
    const double speed = injectionSpeed(o, material, diameter) *
                         (1.0 + o.injection.velocitySpread * (2.0 * random.uniform() - 1.0));
    const double halfCone = 0.5 * o.injection.divergenceDeg * kDegree;
    const double polar = std::acos(1.0 - random.uniform() * (1.0 - std::cos(halfCone)));
    const double azimuth = 2.0 * kPi * random.uniform();
    Task t;
    t.start = startOf(o, diameter, speed, polar, azimuth);
    t.index = i;
    return t;
}

std::vector<Task> buildTasks(const SprayOptions& o, const Material& material, const MeasuredSizes* measured,
                             std::vector<Trajectory>& trajectories) {
    const PowderOptions& p = o.powder;
    PowderSizes size;
    size.logNormal = p.singleSize ? LogNormalSize{p.d50Um, 0} : fitLogNormal(p.d10Um, p.d50Um, p.d90Um, p.sizeBasis);
    size.measured = p.singleSize ? nullptr : measured;
    std::vector<Task> tasks;
    auto representative = [&](const char* label, double d) {
        Task t;
        t.start = startOf(o, d, injectionSpeed(o, material, d), 0, 0);
        t.trajectory = static_cast<int>(trajectories.size());
        trajectories.push_back(Trajectory{label, -1, d, ParticleStatus::Arrived, {}});
        tasks.push_back(t);
    };
    if (o.powder.singleSize) {
        representative("d50", o.powder.d50Um);
    } else {
        representative("d10", measured ? volumeQuantileUm(*measured, 0.1) : o.powder.d10Um);
        representative("d50", measured ? volumeQuantileUm(*measured, 0.5) : o.powder.d50Um);
        representative("d90", measured ? volumeQuantileUm(*measured, 0.9) : o.powder.d90Um);
    }
    const int samples = std::clamp(o.sampledTrajectories, 0, o.powder.count);
    const int stride = samples > 0 ? std::max(1, o.powder.count / samples) : 0;
    for (int i = 0; i < o.powder.count; ++i) {
        Task t = populationTask(o, material, size, i);
        if (stride > 0 && i % stride == 0 && i / stride < samples) {
            t.trajectory = static_cast<int>(trajectories.size());
            trajectories.push_back(Trajectory{"sample", i, t.start.diameter * 1e6, ParticleStatus::Arrived, {}});
        }
        tasks.push_back(t);
    }
    return tasks;
}

int threadCount(int requested, std::size_t tasks) {
    int n = requested > 0 ? requested : static_cast<int>(std::thread::hardware_concurrency());
    n = std::clamp(n, 1, 64);
    return static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(n), std::max<std::size_t>(tasks, 1)));
}

} // namespace

const char* statusName(ParticleStatus status) {
    switch (status) {
    case ParticleStatus::Arrived: return "arrived";
    case ParticleStatus::Evaporated: return "evaporated";
    case ParticleStatus::MissedSide: return "missed_side";
    case ParticleStatus::MissedUpstream: return "missed_upstream";
    case ParticleStatus::FieldEnded: return "field_end";
    case ParticleStatus::TimedOut: return "timeout";
    }
    return "";
}

std::string checkOptions(const SprayOptions& o, double fieldEndMm) {
    const PowderOptions& p = o.powder;
    const InjectionOptions& in = o.injection;
    auto inside = [](double v, double low, double high) { return std::isfinite(v) && v >= low && v <= high; };
    if (p.count < 1 || p.count > kMaxCount) return "The particle count must lie between 1 and 1000000.";
    if (!inside(p.d50Um, 1, 500)) return range("The diameter (d50)", 1, 500, " um");
    if (!p.singleSize) {
        if (!inside(p.d10Um, 0.5, 500) || !inside(p.d90Um, 1, 1000) || !(p.d10Um < p.d50Um) || !(p.d50Um < p.d90Um))
            return "The sizes must satisfy 0.5 um <= d10 < d50 < d90 <= 1000 um.";
        if (p.d90Um / p.d10Um > 100) return "d90 may be at most 100 times d10.";
    }
    const double injectionLimit = std::min(50.0, fieldEndMm);
    if (!inside(in.distanceMm, 0, injectionLimit))
        return range("The injection distance", 0, injectionLimit, " mm from the nozzle exit");
    if (!inside(in.radiusMm, 0.25, kFieldOuterRadiusMm)) return range("The injection radius", 0.25, 25, " mm");
    if (!inside(in.velocity, 0.1, 500)) return range("The injection velocity", 0.1, 500, " m/s");
    if (!inside(in.carrierFlowSlpm, 0.1, 30)) return range("The carrier-gas flow", 0.1, 30, " SLPM");
    if (!inside(in.injectorDiameterMm, 0.3, 6)) return range("The injector's internal diameter", 0.3, 6, " mm");
    if (!inside(in.velocitySpread, 0, 0.99)) return "The injection velocity spread must lie between 0 and 99 %.";
    if (!inside(in.divergenceDeg, 0, 90)) return range("The divergence angle", 0, 90, " degrees");
    if (!inside(in.angleDeg, -60, 60)) return "The injector angle must lie between -60 and 60 degrees.";
    if (!inside(o.standoffMm, in.distanceMm + 1, kLongestField))
        return "The standoff distance must lie between 1 mm beyond the injector (" +
               formatFixed(in.distanceMm + 1, 1) + " mm) and 200 mm.";
    if (!inside(o.substrateRadiusMm, kSmallestSubstrateMm, kLargestSubstrateMm))
        return range("The substrate's radius", kSmallestSubstrateMm, kLargestSubstrateMm, " mm");
    if (!inside(o.sensor.sizeMm, 0.1, 50)) return range("The sensor's measurement volume", 0.1, 50, " mm");
    if (!o.sensor.atPlumeCentre && !(std::hypot(o.sensor.xMm, o.sensor.yMm) <= o.substrateRadiusMm))
        return "The sensor must lie on the substrate, within " + formatFixed(o.substrateRadiusMm, 1) +
               " mm of the axis.";
    if (o.sizeClasses < 5 || o.sizeClasses > 10) return "The number of size classes must lie between 5 and 10.";
    if (o.model.shellCount < 1 || o.model.shellCount > kMaxShells) return "The shell count must lie between 1 and 64.";
    if (!inside(o.model.timeStepScale, 0.01, 10)) return "The time-step scale must lie between 0.01 and 10.";
    if (o.model.gasGamma != 0 && !inside(o.model.gasGamma, 1.01, 1.67))
        return "The heat-capacity ratio of the gas must lie between 1.01 and 1.67 (or be taken from the gas).";
    if (!inside(o.model.maxFlightTimeMs, 0.01, 1000)) return "The longest flight time must lie between 0.01 and 1000 ms.";
    return {};
}

SprayOutcome simulateSpray(const JetField& field, const Material& material, const SprayOptions& options,
                           const SprayProgress& progress) {
    SprayOutcome out;
    out.material = material;
    out.fieldEndMm = field.endMm();
    out.gasCode = field.gasCode;
    const std::string fault = checkOptions(options, field.endMm());
    if (!fault.empty()) {
        out.result = SprayResult::BadInput;
        out.message = fault;
        return out;
    }
    out.standoffMm = std::min(options.standoffMm, field.endMm());
    if (options.standoffMm > field.endMm())
        out.notice = "The jet field ends at " + formatFixed(field.endMm(), 1) +
                     " mm (the jet could not be calculated further); the particles are followed to there and "
                     "reported in that plane, not at the standoff at " + formatFixed(options.standoffMm, 1) + " mm.";

    MeasuredSizes measured;
    if (!options.powder.singleSize && !options.powder.sizeDistributionFile.empty()) {
        std::string error;
        if (!readSizeDistribution(options.powder.sizeDistributionFile, measured, error)) {
            out.result = SprayResult::BadInput;
            out.message = error;
            return out;
        }
    }
    const std::vector<Task> tasks =
        buildTasks(options, material, measured.classes.empty() ? nullptr : &measured, out.trajectories);
    std::vector<ParticleResult> results(tasks.size());
    std::atomic<std::size_t> next{0}, done{0};
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::condition_variable finished;
    auto work = [&]() {
        for (;;) {
            const std::size_t k = next.fetch_add(1);
            if (k >= tasks.size() || stop.load()) break;
            const Task& t = tasks[k];
            Trajectory* trajectory = t.trajectory >= 0 ? &out.trajectories[static_cast<std::size_t>(t.trajectory)] : nullptr;
            results[k] = flyParticle(field, material, options.model, t.start, out.standoffMm,
                                     options.substrateRadiusMm, trajectory);
            results[k].index = t.index;
            if (done.fetch_add(1) + 1 == tasks.size()) {
                std::lock_guard<std::mutex> lock(mutex);
                finished.notify_all();
            }
        }
    };
    std::vector<std::thread> workers;
    const int threads = threadCount(options.threads, tasks.size());
    for (int k = 0; k < threads; ++k) workers.emplace_back(work);
    int reported = -1;
    for (;;) {
        const std::size_t count = done.load();
        const int percent = static_cast<int>(count * 100 / tasks.size());
        if (percent != reported && progress) {
            reported = percent;
            if (!progress(percent)) stop = true;
        }
        if (count == tasks.size() || stop.load()) break;
        std::unique_lock<std::mutex> lock(mutex);
        finished.wait_for(lock, std::chrono::milliseconds(20));
    }
    for (std::thread& w : workers) w.join();
    if (stop.load() && done.load() < tasks.size()) {
        out.result = SprayResult::Cancelled;
        out.message = "The spray run was stopped before all particles were done.";
        out.trajectories.clear();
        return out;
    }
    for (std::size_t k = 0; k < tasks.size(); ++k)
        if (tasks[k].index >= 0) out.particles.push_back(results[k]);
    for (std::size_t k = 0; k < tasks.size(); ++k)
        if (tasks[k].trajectory >= 0) out.trajectories[static_cast<std::size_t>(tasks[k].trajectory)].status = results[k].status;
    return out;
}

} // namespace torvex::particles
