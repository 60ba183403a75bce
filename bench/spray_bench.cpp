// A spray of 1000 particles of 8YSZ (d10/d50/d90 = 20/40/70 um) with internal
// conduction, from the injector to the end of the field at 200 mm, through
// the jet of the default argon variant; on every core. Reports the time per
// spray and the process's peak resident memory (the solver run that makes
// the field is done once, before the timing).
#include "particles/particle_model.h"
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

void zirconiaSprayTo200mm(benchmark::State& state) {
    const ArgonJet jet;
    const particles::Material* ysz = jet.ok() ? jet.material("ysz8") : nullptr;
    if (!ysz) {
        state.SkipWithError("the argon jet or the material could not be prepared");
        return;
    }
    particles::SprayOptions options;
    options.powder.d10Um = 20;
    options.powder.d50Um = 40;
    options.powder.d90Um = 70;
    options.powder.count = 1000;
    options.standoffMm = 200;
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

} // namespace

BENCHMARK(zirconiaSprayTo200mm)->Arg(1)->Arg(2)->ArgName("threads")->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
