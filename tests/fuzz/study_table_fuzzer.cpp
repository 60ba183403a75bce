// The study tables: two shard tables (separated by a form feed) as
// study-merge joins them, and the first as study-chart reads a table.
#include "study/study_series.h"
#include "study/study_table.h"
#include "tests/fuzz/fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> pieces = torvex::fuzz::splitAtFormFeeds(data, size);
    for (std::size_t shard = 0; shard < 2; ++shard) {
        const std::string name = torvex::studyTableName(static_cast<int>(shard), 2);
        if (shard < pieces.size()) torvex::fuzz::writeScratchFile(name, pieces[shard]);
        else torvex::fuzz::removeScratchFile(name);
    }
    std::string message;
    torvex::mergeShardTables(torvex::fuzz::scratchFolder(), message);
    torvex::StudyChartData chart;
    for (const torvex::StudyCurves by : {torvex::StudyCurves::PerFlow, torvex::StudyCurves::PerGas})
        torvex::studyChartData(pieces.empty() ? std::string() : pieces.front(), "study.csv", by, chart, message);
    return 0;
}
