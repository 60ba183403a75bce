// Sprays of 8YSZ (d10/d50/d90 = 20/40/70 um) with internal conduction and
// evaporation, from the carrier-gas injector to the end of the field at
// 200 mm, through the jet of the default argon variant: 1000 particles on one
// and on two threads, 10 000 particles on every core, and the injector tuning
// over 20 carrier-gas flows of 2000 particles each. Then what kavel-run does
// by default: the spray to 100 mm with particles added until the molten and
// arriving mass shares are known to +-1 point (target: under 3 s on the
// 2-core machine), and the tuning over 15 carrier-gas flows with the same
// rule at each (target: under 30 s). Reports the time, the particles flown
// and the process's peak resident memory (the solver run that makes the field
// is done once, before the timing).
#include "particles/injector_tuning.h"
#include "particles/particle_model.h"
#include "particles/spray_option_table.h"
#include "particles/spray_statistics.h"
#include "solver/files.h"
#include "solver/solver.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace torvex;

// The default argon variant (8 mm, 14 mm, 500 A, 35 SLPM) calculated in a
// temporary working directory, removed at the end.
class ArgonJet {
public:
    ArgonJet() {
        std::string pattern = (fs::temp_directory_path() / "torvex-spray-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) return;
        dir_ = pattern;
        writeUnitCodes(dir_ + "/un.dat", UnitCodes{});
        writeInputParameters(dir_ + "/ip.dat", VariantInputs{1, 8.0, 14.0, 500.0, 35.0});
        if (runSolver(dir_, [](int) {}).result != RunResult::Completed) return;
        ok_ = particles::readJetField(dir_, field_).ok && particles::loadMaterials(dir_, materials_).ok;
    }
    ~ArgonJet() {
        std::error_code ignored;
        if (!dir_.empty()) fs::remove_all(dir_, ignored);
    }
    ArgonJet(const ArgonJet&) = delete;
    ArgonJet& operator=(const ArgonJet&) = delete;
    bool ok() const { return ok_; }
    const particles::JetField& field() const { return field_; }
    const particles::Material* material(const std::string& key) const { return materials_.find(key); }

private:
    std::string dir_;
    bool ok_ = false;
    particles::JetField field_;
    particles::MaterialTable materials_;
};

long peakResidentKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

const ArgonJet& argonJet() {
    static const ArgonJet jet;
    return jet;
}

// 8YSZ of the jet's folder; nullptr with the benchmark skipped when the jet
// or the material could not be prepared.
const particles::Material* zirconiaOf(const ArgonJet& jet, benchmark::State& state) {
    const particles::Material* ysz = jet.ok() ? jet.material("ysz8") : nullptr;
    if (!ysz) state.SkipWithError("the argon jet or the material could not be prepared");
    return ysz;
}

particles::SprayOptions zirconiaPowder(int count) {
    particles::SprayOptions options;
    options.powder.d10Um = 20;
    options.powder.d50Um = 40;
    options.powder.d90Um = 70;
    options.powder.count = count;
    options.standoffMm = 200;
    return options;
}

void zirconiaSprayTo200mm(benchmark::State& state) {
    const ArgonJet& jet = argonJet();
    const particles::Material* ysz = zirconiaOf(jet, state);
    if (!ysz) return;
    particles::SprayOptions options = zirconiaPowder(static_cast<int>(state.range(1)));
    options.threads = static_cast<int>(state.range(0));
    for (auto _ : state) {
        const particles::SprayOutcome out = particles::simulateSpray(jet.field(), *ysz, options, nullptr);
        if (out.result != particles::SprayResult::Completed) {
            state.SkipWithError(out.message.c_str());
            break;
        }
        benchmark::DoNotOptimize(out.particles.data());
    }
    state.counters["peak_rss_kB"] = static_cast<double>(peakResidentKilobytes());
}

void injectorTuning(benchmark::State& state) {
    const ArgonJet& jet = argonJet();
    const particles::Material* ysz = zirconiaOf(jet, state);
    if (!ysz) return;
    particles::SprayOptions options = zirconiaPowder(2000);
    options.standoffMm = 100;
    particles::TuneOptions tune;
    tune.steps = 20;
    for (auto _ : state) {
        const particles::TuneOutcome out = particles::tuneInjection(jet.field(), *ysz, options, tune, nullptr);
        if (out.result != particles::SprayResult::Completed) {
            state.SkipWithError(out.message.c_str());
            break;
        }
        benchmark::DoNotOptimize(out.steps.data());
    }
    state.counters["peak_rss_kB"] = static_cast<double>(peakResidentKilobytes());
}

// kavel-run's defaults: 8YSZ 20/40/70 um by volume to 100 mm, +-1 point.
void defaultSprayUntilOnePoint(benchmark::State& state) {
    const ArgonJet& jet = argonJet();
    const particles::Material* ysz = zirconiaOf(jet, state);
    if (!ysz) return;
    particles::SprayOptions options = particles::defaultSprayOptions(1);
    options.seed = static_cast<std::uint64_t>(state.range(0));
    for (auto _ : state) {
        const particles::SprayOutcome out = particles::simulateSpray(jet.field(), *ysz, options, nullptr);
        if (out.result != particles::SprayResult::Completed) {
            state.SkipWithError(out.message.c_str());
            break;
        }
        const particles::SprayStatistics s = particles::computeStatistics(out);
        state.counters["particles"] = out.sampling.flown;
        state.counters["molten_percent"] = 100 * s.moltenMassShare.value;
        state.counters["molten_half_width"] = 100 * s.moltenMassShare.halfWidth95;
    }
    state.counters["peak_rss_kB"] = static_cast<double>(peakResidentKilobytes());
}

void tuneUntilOnePointPerStep(benchmark::State& state) {
    const ArgonJet& jet = argonJet();
    const particles::Material* ysz = zirconiaOf(jet, state);
    if (!ysz) return;
    const particles::SprayOptions options = particles::defaultSprayOptions(1);
    const particles::TuneOptions tune;  // 15 flows from 1 to 8 SLPM
    for (auto _ : state) {
        const particles::TuneOutcome out = particles::tuneInjection(jet.field(), *ysz, options, tune, nullptr);
        if (out.result != particles::SprayResult::Completed) {
            state.SkipWithError(out.message.c_str());
            break;
        }
        int flown = 0;
        for (const particles::TuneStep& step : out.steps) flown += step.particles;
        state.counters["particles"] = flown;
    }
    state.counters["peak_rss_kB"] = static_cast<double>(peakResidentKilobytes());
}

} // namespace

BENCHMARK(zirconiaSprayTo200mm)
    ->Args({1, 1000})
    ->Args({2, 1000})
    ->Args({0, 10000})
    ->ArgNames({"threads", "particles"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(injectorTuning)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(defaultSprayUntilOnePoint)->DenseRange(1, 5)->ArgName("seed")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(tuneUntilOnePointPerStep)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

BENCHMARK_MAIN();
