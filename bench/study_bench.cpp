// Merging the shard tables of a large study: 64 shards of a 30 000-variant
// table (rows of the width a real table has) joined into study.csv.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "study/study_table.h"

namespace {

namespace fs = std::filesystem;

constexpr int kShards = 64;
constexpr int kVariants = 30000;

// A row as the study writes it after its index.
const char* const kRow =
    "1,Ar,8.00,14.00,500,35,8.0,14,500,35,completed,27.1,13.5,53,13170,590.64,10780,324.55,6150,136.61,"
    "2420,44.64,114.0,70.1,51.1,38.7,26.3,,variants/g01-d8.0mm-l14mm-i500A-f35slpm";

fs::path writeShards() {
    const fs::path dir = fs::temp_directory_path() / ("torvex-merge-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string header = torvex::studyTableHeader(torvex::UnitCodes{});
    for (int shard = 0; shard < kShards; ++shard) {
        std::ofstream out(dir / torvex::studyTableName(shard, kShards));
        std::vector<torvex::TableRow> rows;
        for (int i = shard; i < kVariants; i += kShards) rows.push_back({i, kRow});
        out << torvex::studyTableText(header, std::move(rows), shard, kShards);
    }
    return dir;
}

void BM_MergeShards(benchmark::State& state) {
    const fs::path dir = writeShards();
    for (auto _ : state) {
        std::string message;
        if (!torvex::mergeShardTables(dir.string(), message)) state.SkipWithError(message.c_str());
    }
    state.counters["rows"] = kVariants;
    fs::remove_all(dir);
}
BENCHMARK(BM_MergeShards)->Unit(benchmark::kMillisecond);

}  // namespace
