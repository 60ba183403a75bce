// The whole program, measured from outside:
//   - torvex-run through a full variant, as a child process: wall time and
//     the child's peak resident memory (wait4's rusage);
//   - the desktop program through a full variant and every chart view,
//     offscreen, as a child process: the same two figures, beside those of
//     the program only started and its empty main window painted;
//   - the time to paint each chart page from the result files (read anew on
//     every paint, as the main window does) onto a window-sized image.
#include "platform/page_devices.h"
#include "pages/jet_pages.h"
#include "solver/files.h"
#include "solver/solver.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace torvex;

// A fresh working directory holding un.dat (metric, kelvin, SLPM); removed at the end.
class WorkDir {
public:
    WorkDir() {
        std::string pattern = (fs::temp_directory_path() / "torvex-program-bench-XXXXXX").string();
        if (mkdtemp(pattern.data())) path_ = pattern;
        if (!path_.empty()) writeUnitCodes(path_ + "/un.dat", UnitCodes{});
    }
    ~WorkDir() {
        std::error_code ignored;
        if (!path_.empty()) fs::remove_all(path_, ignored);
    }
    WorkDir(const WorkDir&) = delete;
    WorkDir& operator=(const WorkDir&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

struct ChildResult {
    bool exitedZero = false;
    long peakResidentKilobytes = 0;
};

// Runs a program to its end and returns its own peak resident memory.
ChildResult runChild(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    // The child's summaries and messages would garble the benchmark table.
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &quiet, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&quiet);
    if (spawned != 0) return {};
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) return {};
    return {WIFEXITED(status) && WEXITSTATUS(status) == 0, usage.ru_maxrss};
}

// Repeats a child run and reports its largest peak resident memory.
void measureChild(benchmark::State& state, const std::vector<std::string>& arguments) {
    long peak = 0;
    for (auto _ : state) {
        const ChildResult child = runChild(arguments);
        if (!child.exitedZero) {
            state.SkipWithError(("the child failed: " + arguments.front()).c_str());
            return;
        }
        peak = std::max(peak, child.peakResidentKilobytes);
    }
    state.counters["peak_rss_kB"] = static_cast<double>(peak);
}

void torvexRunVariant(benchmark::State& state, std::vector<std::string> variant) {
    const WorkDir dir;
    std::vector<std::string> arguments{TORVEX_RUN_EXECUTABLE};
    arguments.insert(arguments.end(), variant.begin(), variant.end());
    arguments.insert(arguments.end(), {"--no-progress", dir.path()});
    measureChild(state, arguments);
}

void desktopProgramVariant(benchmark::State& state) {
    const WorkDir dir;
    measureChild(state, {TORVEX_GUI_VARIANT_EXECUTABLE, dir.path()});
}

void desktopProgramStartOnly(benchmark::State& state) {
    const WorkDir dir;
    measureChild(state, {TORVEX_GUI_VARIANT_EXECUTABLE, dir.path(), "--start"});
}

// Fonts need a GUI application; it runs offscreen and lives to the end.
void ensureGuiApplication() {
    if (QCoreApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QTemporaryDir runtime;
    if (!qEnvironmentVariableIsSet("XDG_RUNTIME_DIR") && runtime.isValid())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    static int argc = 1;
    static char name[] = "torvex_program_bench";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);  // never destroyed: Qt's teardown among statics is fragile
}

// One calculated argon variant shared by the painting benchmarks; "" when
// it could not be calculated.
std::string resultDirectory() {
    static const WorkDir dir;
    static const bool calculated = [] {
        VariantInputs in;
        in.gasCode = 1;
        in.diameter = 8.0;
        in.length = 14.0;
        in.current = 500.0;
        in.flow = 35.0;
        writeInputParameters(dir.path() + "/ip.dat", in);
        auto state = std::make_unique<SolverState>();
        return runSolver(*state, dir.path(), [](int) {}).result == RunResult::Completed;
    }();
    return calculated ? dir.path() : std::string();
}

void paintChartPage(benchmark::State& state, int view) {
    ensureGuiApplication();
    const std::string dir = resultDirectory();
    if (dir.empty()) {
        state.SkipWithError("the argon variant was not calculated");
        return;
    }
    constexpr int kWidth = 1200;
    constexpr int kHeight = 840;
    const UnitCodes units;
    for (auto _ : state) {
        const QImage image = renderPageImage(
            [&](DrawingContext& dc) { paintCurrentView(dc, view, units, ViewArea{0, 0, kWidth, kHeight}, dir); },
            kWidth, kHeight);
        benchmark::DoNotOptimize(image.constBits());
    }
}

}  // namespace

BENCHMARK_CAPTURE(torvexRunVariant, argon_8mm_14mm_500A_35slpm,
                  std::vector<std::string>{"--gas", "1", "--diameter", "8", "--length", "14", "--current", "500",
                                           "--flow", "35"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(torvexRunVariant, nitrogen_8mm_30mm_250A_40slpm,
                  std::vector<std::string>{"--gas", "2", "--diameter", "8", "--length", "30", "--current", "250",
                                           "--flow", "40"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(desktopProgramStartOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(desktopProgramVariant)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK_CAPTURE(paintChartPage, all_charts, kViewAllCharts)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(paintChartPage, isothermal_lines, kViewIsotherms)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(paintChartPage, radial_distributions, kViewRadial)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(paintChartPage, axial_distributions, kViewAxial)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
