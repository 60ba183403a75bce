// The study tables: two shard tables (separated by a form feed) as
// study-merge joins them, and the merged or the first table as study-chart
// reads it.
#include "study/study_series.h"
#include "study/study_table.h"
#include "tests/fuzz/fuzz_files.h"

#include <fstream>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> pieces = torvex::fuzz::splitAtFormFeeds(data, size);
    for (int shard = 0; shard < 2; ++shard) {
        const std::string name = torvex::studyTableName(shard, 2);
        if (static_cast<std::size_t>(shard) < pieces.size())
            torvex::fuzz::writeScratchFile(name, pieces[static_cast<std::size_t>(shard)]);
        else
            torvex::fuzz::removeScratchFile(name);
    }
    torvex::fuzz::removeScratchFile("study.csv");
    std::string message, table = pieces.empty() ? std::string() : pieces.front();
    if (torvex::mergeShardTables(torvex::fuzz::scratchFolder(), message)) {
        std::ifstream merged(torvex::fuzz::scratchFolder() + "/study.csv", std::ios::binary);
        std::ostringstream text;
        text << merged.rdbuf();
        table = text.str();
        if (table.find("# shard") != std::string::npos) __builtin_trap();  // no closing line in the whole table
    }
    torvex::StudyChartData chart;
    for (const torvex::StudyCurves by : {torvex::StudyCurves::PerFlow, torvex::StudyCurves::PerGas})
        torvex::studyChartData(table, "study.csv", by, chart, message);
    return 0;
}
