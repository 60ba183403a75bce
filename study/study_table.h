// The study table: one row per variant with its inputs as entered and as
// used, the plasmatron's integral figures, the axis temperature and velocity
// at the nozzle exit and downstream, the length of the hot core for each
// isotherm level, and the status. Variants that cannot be calculated are
// rows too, with the reason.
#pragma once

#include <string>
#include <vector>

#include "solver/solver.h"
#include "study/study_plan.h"

namespace torvex {

// How the run of a variant ended.
struct VariantOutcome {
    RunResult result = RunResult::Completed;
    std::string message;         // the reason when not completed
    bool reachedNozzle = false;  // iop.par was written by this run
};

// Distances from the nozzle exit (mm) at which the table gives axis values.
constexpr double kProbeDistancesMm[] = {0.0, 20.0, 50.0, 100.0};
// Isotherm levels (K) whose length along the axis the table gives.
constexpr double kCoreLevelsKelvin[] = {2000.0, 4000.0, 6000.0, 8000.0, 10000.0};

// Column names with their units, comma-separated, without a line end.
std::string studyTableHeader(const UnitCodes& units);

// The columns after the index for a variant whose run ended with `outcome`,
// from iop.par and ztu0.res in `variantDir`; `relativeDir` goes in the last
// column. Without a line end.
std::string variantRow(const StudyVariant& v, const UnitCodes& units, const VariantOutcome& outcome,
                       const std::string& variantDir, const std::string& relativeDir);

// A row with its index in front.
struct TableRow {
    int index = 0;
    std::string columns;  // everything after the index
};

// The whole table: header line, then the rows in index order. A shard's
// table (shardCount > 1) ends with the line "# shard I of N: R rows", by
// which study-merge tells a whole shard table from one cut short; the table
// of a whole study has no such line.
std::string studyTableText(const std::string& header, std::vector<TableRow> rows, int shard = 0,
                           int shardCount = 1);

// The status a row's columns (everything after the index) give, as a run's
// result: "completed" is Completed, "folder in use" Busy, and so on.
RunResult rowStatus(const std::string& columns);

// Splits one line of the table into its fields (quotes removed).
std::vector<std::string> splitCsvLine(const std::string& line);

// The table file of a shard: "study-I-of-N.csv"; of a whole study "study.csv".
std::string studyTableName(int shard, int shardCount);

// Joins the shard tables study-I-of-N.csv in `dir` into dir/study.csv, byte
// for byte the table one whole run writes. False with a message when a shard
// is missing, the shards disagree or a file is not a shard table.
bool mergeShardTables(const std::string& dir, std::string& message);

}  // namespace torvex
