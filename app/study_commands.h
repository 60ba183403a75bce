// The subcommands of torvex-run beside the single run: a parameter study,
// the merge of its shards, its chart, and the export of one variant.
#pragma once

#include <optional>
#include <string>

#include "study/plan_limit.h"

namespace CLI {
class App;
}

namespace torvex {

struct StudyCommands {
    CLI::App* study = nullptr;
    CLI::App* merge = nullptr;
    CLI::App* chart = nullptr;
    CLI::App* exporter = nullptr;

    std::string studyFile;
    std::string outDir;
    int jobs = 0;  // 0: one per core
    std::string shard;
    bool progress = true;
    long long maxVariants = kDefaultMaxVariants;  // a study planning more is refused before it starts
    std::string mergeDir;
    std::string chartDir;
    std::string chartBy = "flow";
    std::string chartFormats = "png,pdf,svg";
    std::string exportDir;
};

void addStudyCommands(CLI::App& app, StudyCommands& c);

// The exit status of the subcommand that was given, or nothing when the
// command line is a single run.
std::optional<int> runStudyCommand(const CLI::App& app, const StudyCommands& c);

}  // namespace torvex
