// The spray: the population of particles drawn from the powder and injector
// settings, flown on every core, each from its own random stream so that
// the results do not depend on the number of threads, in stratified batches
// (particles/sampling.h) until the count is reached or the main shares are
// known to the precision asked.
#include "particles/carrier_gas.h"
#include "particles/particle_flight.h"
#include "particles/particle_model.h"
#include "particles/powder_sampling.h"
#include "particles/spray_statistics.h"
#include "particles/text_file.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <thread>

namespace torvex::particles {

namespace {

constexpr double kDegree = kPi / 180.0;
constexpr double kLongestField = 200;  // mm, last cross-section of a complete field
constexpr int kMaxCount = 1000000;
// The precision rule's range, percentage points: finer would fly the cap
// for most powders, coarser tells nothing.
constexpr double kLeastPrecisionPoints = 0.1;
constexpr double kMostPrecisionPoints = 20;
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

// The powder's sizes: the log-normal of d10/d50/d90 (one size: no width) or
// the measured classes.
struct PowderSizes {
    LogNormalSize logNormal;
    const MeasuredSizes* measured = nullptr;
    // The diameter at the share u of the count; a measured distribution takes
    // the place within the class from the particle's stream.
    double at(double u, ParticleRandom& random) const {
        return measured ? diameterAtCountShareUm(*measured, u, random.uniform()) : diameterAtCountShareUm(logNormal, u);
    }
    double meanCubedUm3() const { return measured ? meanCubedDiameterUm3(*measured) : meanCubedDiameterUm3(logNormal); }
};

PowderSizes powderSizes(const PowderOptions& p, const MeasuredSizes* measured) {
    PowderSizes size;
    size.logNormal = p.singleSize ? LogNormalSize{p.d50Um, 0} : fitLogNormal(p.d10Um, p.d50Um, p.d90Um, p.sizeBasis);
    size.measured = p.singleSize ? nullptr : measured;
    return size;
}

PowderAsSprayed asSprayed(const PowderOptions& p, const MeasuredSizes* measured) {
    PowderAsSprayed powder;
    powder.singleSize = p.singleSize;
    powder.basis = p.sizeBasis;
    powder.d10Um = p.d10Um, powder.d50Um = p.d50Um, powder.d90Um = p.d90Um;
    if (!p.singleSize && measured) {
        powder.distributionFile = p.sizeDistributionFile;
        powder.basis = SizeBasis::Volume;
        powder.d10Um = volumeQuantileUm(*measured, 0.1);
        powder.d50Um = volumeQuantileUm(*measured, 0.5);
        powder.d90Um = volumeQuantileUm(*measured, 0.9);
    }
    return powder;
}

enum Draw { kSizeDraw, kSpeedDraw, kPolarDraw, kAzimuthDraw };

// Particle i of the population: diameter, speed and direction from its own
// stream, each stratified within its batch (BatchStrata). Directions fill
// the cone's solid angle evenly (polar angle from its cosine drawn uniformly).
Task populationTask(const SprayOptions& o, const Material& material, const PowderSizes& size,
                    const BatchStrata& strata, int i) {
    ParticleRandom random(o.seed, static_cast<std::uint64_t>(i));
    const int member = i % kBatchSize;
    const auto draw = [&](Draw d) { return strata.at(d, member, random.uniform()); };
    const double diameter = size.at(draw(kSizeDraw), random);
    const double speed =
        injectionSpeed(o, material, diameter) * (1.0 + o.injection.velocitySpread * (2.0 * draw(kSpeedDraw) - 1.0));
    const double halfCone = 0.5 * o.injection.divergenceDeg * kDegree;
    const double polar = std::acos(1.0 - draw(kPolarDraw) * (1.0 - std::cos(halfCone)));
    const double azimuth = 2.0 * kPi * draw(kAzimuthDraw);
    Task t;
    t.start = startOf(o, diameter, speed, polar, azimuth);
    t.index = i;
    return t;
}

// Population particles `from` to `to` (exclusive), without trajectories.
std::vector<Task> populationTasks(const SprayOptions& o, const Material& material, const PowderSizes& size, int from,
                                  int to) {
    std::vector<Task> tasks;
    for (int batch = batchOf(from); batch * kBatchSize < to; ++batch) {
        const BatchStrata strata(o.seed, batch);
        for (int i = std::max(from, batch * kBatchSize); i < std::min(to, (batch + 1) * kBatchSize); ++i)
            tasks.push_back(populationTask(o, material, size, strata, i));
    }
    return tasks;
}

// The flights whose paths are kept: d10, d50 and d90 (or the one size),
// and every stride-th of the population's `count` particles, flown again with
// their paths (a flight does not depend on its path being kept).
std::vector<Task> trajectoryTasks(const SprayOptions& o, const Material& material, const MeasuredSizes* measured,
                                  const PowderSizes& size, int count, std::vector<Trajectory>& trajectories) {
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
    const int samples = std::clamp(o.sampledTrajectories, 0, count);
    const int stride = samples > 0 ? std::max(1, count / samples) : 0;
    for (int k = 0; k < samples; ++k) {
        const int i = k * stride;
        Task t = populationTasks(o, material, size, i, i + 1).front();
        t.trajectory = static_cast<int>(trajectories.size());
        trajectories.push_back(Trajectory{"sample", i, t.start.diameter * 1e6, ParticleStatus::Arrived, {}});
        tasks.push_back(t);
    }
    return tasks;
}

int threadCount(int requested, std::size_t tasks) {
    int n = requested > 0 ? requested : static_cast<int>(std::thread::hardware_concurrency());
    n = std::clamp(n, 1, 64);
    return static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(n), std::max<std::size_t>(tasks, 1)));
}

// The progress of a spray: percent of the particles planned so far. The
// plan is the fixed count, or the first round and then the count the
// interval asks for, so the bar can step back once a round is added.
class Meter {
public:
    explicit Meter(const SprayProgress& progress) : progress_(progress) {}
    // False when the caller asked to stop.
    bool report(long done, long planned) {
        const int percent = static_cast<int>(std::min(100L, done * 100 / std::max(planned, 1L)));
        if (percent == reported_ || !progress_) return true;
        reported_ = percent;
        return progress_(percent);
    }

private:
    const SprayProgress& progress_;
    int reported_ = -1;
};

// What the particles fly through and to.
struct Flight {
    const JetField& field;
    const Material& material;
    const SprayOptions& options;
    double standoffMm;
};

// Flies the tasks on the options' threads, each result at its task's place;
// the trajectories of tasks that keep one into `trajectories`. `done` tasks
// of `planned` were flown before. False when the progress asked to stop.
bool flyTasks(const Flight& f, const std::vector<Task>& tasks, std::vector<ParticleResult>& results,
              std::vector<Trajectory>& trajectories, long done, long planned, Meter& meter) {
    results.assign(tasks.size(), ParticleResult{});
    std::atomic<std::size_t> next{0}, finishedCount{0};
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::condition_variable finished;
    auto work = [&]() {
        for (;;) {
            const std::size_t k = next.fetch_add(1);
            if (k >= tasks.size() || stop.load()) break;
            const Task& t = tasks[k];
            Trajectory* trajectory = t.trajectory >= 0 ? &trajectories[static_cast<std::size_t>(t.trajectory)] : nullptr;
            results[k] = flyParticle(f.field, f.material, f.options.model, t.start, f.standoffMm,
                                     f.options.substrateRadiusMm, trajectory);
            results[k].index = t.index;
            if (finishedCount.fetch_add(1) + 1 == tasks.size()) {
                std::lock_guard<std::mutex> lock(mutex);
                finished.notify_all();
            }
        }
    };
    std::vector<std::thread> workers;
    const int threads = threadCount(f.options.threads, tasks.size());
    for (int k = 0; k < threads; ++k) workers.emplace_back(work);
    for (;;) {
        const std::size_t count = finishedCount.load();
        if (!meter.report(done + static_cast<long>(count), planned)) stop = true;
        if (count == tasks.size() || stop.load()) break;
        std::unique_lock<std::mutex> lock(mutex);
        finished.wait_for(lock, std::chrono::milliseconds(20));
    }
    for (std::thread& w : workers) w.join();
    return !(stop.load() && finishedCount.load() < tasks.size());
}

// The wider half-width of the molten-arriving and the arriving mass share,
// percentage points (infinite while the sample cannot tell).
double widestMainShare(const std::vector<ParticleResult>& population, double meanInjectedMassKg) {
    const SprayStatistics s = computeStatistics(population, meanInjectedMassKg);
    double widest = 0;
    for (const Estimate& e : {s.moltenMassShare, s.depositedMassShare})
        widest = std::max(widest, hasInterval(e) ? 100 * e.halfWidth95 : std::numeric_limits<double>::infinity());
    return widest;
}

// The next round's plan: the count the interval asks for (its width falls as
// one over the root of the count), a tenth more, in whole batches; at least
// one batch more, at most the cap.
int nextPlan(int flown, double widestPoints, double precisionPoints, int cap) {
    const double asked = std::isfinite(widestPoints)
                             ? 1.1 * flown * (widestPoints / precisionPoints) * (widestPoints / precisionPoints)
                             : 2.0 * flown;
    const double batches = std::ceil(std::min(asked, double(cap)) / kBatchSize);
    return std::clamp(static_cast<int>(batches) * kBatchSize, flown + kBatchSize, cap);
}

// The particles a spray of `population` plans: the paths flown at the end
// count in it.
long plannedWithPaths(const SprayOptions& o, int population) {
    return static_cast<long>(population) + (o.powder.singleSize ? 1 : 3) +
           std::clamp(o.sampledTrajectories, 0, population);
}

// The population, round by round: the fixed count at once, or batches added
// until both main shares are known to the precision (out.sampling says how
// it ended). False when the progress asked to stop.
bool flyPopulation(const Flight& f, const PowderSizes& size, Meter& meter, SprayOutcome& out) {
    const SprayOptions& o = f.options;
    SamplingFacts& sampling = out.sampling;
    const bool adaptive = o.precisionPoints > 0;
    int planned = adaptive ? kFirstRound : o.powder.count;
    for (;;) {
        const int flown = static_cast<int>(out.particles.size());
        std::vector<ParticleResult> round;
        std::vector<Trajectory> none;
        if (!flyTasks(f, populationTasks(o, f.material, size, flown, planned), round, none, flown,
                      plannedWithPaths(o, planned), meter))
            return false;
        out.particles.insert(out.particles.end(), round.begin(), round.end());
        sampling.flown = planned;
        if (!adaptive) return true;
        sampling.reachedPoints = widestMainShare(out.particles, sampling.meanInjectedMassKg);
        if (sampling.reachedPoints <= o.precisionPoints) {
            sampling.rule = CountRule::Precision;
            return true;
        }
        if (planned >= sampling.cap) {
            sampling.rule = CountRule::Cap;
            return true;
        }
        planned = nextPlan(planned, sampling.reachedPoints, o.precisionPoints, sampling.cap);
    }
}

// The paths of d10, d50 and d90 and of the sampled members of the flown
// population. False when the progress asked to stop.
bool flyPaths(const Flight& f, const MeasuredSizes* classes, const PowderSizes& size, Meter& meter,
              SprayOutcome& out) {
    const int flown = out.sampling.flown;
    const std::vector<Task> paths = trajectoryTasks(f.options, f.material, classes, size, flown, out.trajectories);
    std::vector<ParticleResult> ends;
    if (!flyTasks(f, paths, ends, out.trajectories, flown, plannedWithPaths(f.options, flown), meter)) return false;
    for (std::size_t k = 0; k < paths.size(); ++k)
        out.trajectories[static_cast<std::size_t>(paths[k].trajectory)].status = ends[k].status;
    return true;
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
    if (!(o.precisionPoints == 0 || inside(o.precisionPoints, kLeastPrecisionPoints, kMostPrecisionPoints)))
        return "The precision of the mass shares must lie between 0.1 and 20 points (or be 0 for a fixed count).";
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
    const MeasuredSizes* classes = measured.classes.empty() ? nullptr : &measured;
    const PowderSizes size = powderSizes(options.powder, classes);
    out.powder = asSprayed(options.powder, classes);
    SamplingFacts& sampling = out.sampling;
    sampling.meanInjectedMassKg = material.densitySolid * kPi / 6 * size.meanCubedUm3() * 1e-18;
    sampling.precisionPoints = options.precisionPoints;
    sampling.cap = std::clamp(options.mostParticles, kFirstRound, kCountCap) / kBatchSize * kBatchSize;

    const Flight flight{field, material, options, out.standoffMm};
    Meter meter(progress);
    if (!flyPopulation(flight, size, meter, out) || !flyPaths(flight, classes, size, meter, out)) {
        out.result = SprayResult::Cancelled;
        out.message = "The spray run was stopped before all particles were done.";
        out.particles.clear();
        out.trajectories.clear();
    }
    return out;
}

} // namespace torvex::particles
