// Complete solver runs, inlet to the end of the jet with every result file
// written, for representative variants of the four gas families. Each
// variant runs in its own temporary working directory. Reports the time per
// run and the process's peak resident memory.
#include "solver/files.h"
#include "solver/solver.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

namespace fs = std::filesystem;

struct Variant {
    int gasCode;
    double diameterMm;
    double lengthMm;
    double currentA;
    double flowSlpm;
};

// A fresh working directory with un.dat, ip.dat and the gas file; removed
// when the benchmark is done with it.
class WorkDir {
public:
    explicit WorkDir(const Variant& v)
    {
        std::string pattern = (fs::temp_directory_path() / "torvex-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            path_ = pattern;
        if (path_.empty())
            return;
        torvex::writeUnitCodes(file("un.dat"), torvex::UnitCodes{});
        torvex::VariantInputs in;
        in.gasCode = v.gasCode;
        in.diameter = v.diameterMm;
        in.length = v.lengthMm;
        in.current = v.currentA;
        in.flow = v.flowSlpm;
        torvex::writeInputParameters(file("ip.dat"), in);
        const std::string gas = torvex::gasFileName(v.gasCode);
        std::error_code ignored;
        fs::copy_file(fs::path(TORVEX_SOURCE_DATA_DIR) / gas, file(gas), ignored);
    }
    ~WorkDir()
    {
        std::error_code ignored;
        if (!path_.empty())
            fs::remove_all(path_, ignored);
    }
    WorkDir(const WorkDir&) = delete;
    WorkDir& operator=(const WorkDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return (fs::path(path_) / name).string(); }

private:
    std::string path_;
};

long peakResidentKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void completeRun(benchmark::State& state, Variant variant)
{
    const WorkDir dir(variant);
    if (dir.path().empty()) {
        state.SkipWithError("cannot create a working directory");
        return;
    }
    auto solverState = std::make_unique<torvex::SolverState>();
    const torvex::ProgressCallback ignoreProgress = [](int) {};
    for (auto _ : state) {
        const torvex::RunOutcome outcome = torvex::runSolver(*solverState, dir.path(), ignoreProgress);
        if (outcome.result != torvex::RunResult::Completed) {
            state.SkipWithError(outcome.message.empty() ? "the run did not complete" : outcome.message.c_str());
            break;
        }
    }
    state.counters["peak_rss_kB"] = static_cast<double>(peakResidentKilobytes());
}

} // namespace

BENCHMARK_CAPTURE(completeRun, argon_8mm_14mm_500A_35slpm, Variant{1, 8.0, 14.0, 500.0, 35.0})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(completeRun, nitrogen_8mm_30mm_250A_40slpm, Variant{2, 8.0, 30.0, 250.0, 40.0})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(completeRun, argon_hydrogen15_8mm_20mm_500A_45slpm, Variant{7, 8.0, 20.0, 500.0, 45.0})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(completeRun, argon_helium30_8mm_20mm_500A_40slpm, Variant{12, 8.0, 20.0, 500.0, 40.0})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
