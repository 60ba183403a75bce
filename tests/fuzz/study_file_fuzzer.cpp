// A study file (TOML) as torvex-run study reads it, and its plan when it
// is read: only a few hundred combinations are expanded, as a study that
// asks for more is refused before its plan is made.
#include "study/study_file.h"
#include "tests/fuzz/fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = torvex::fuzz::writeScratchFile("study.toml", data, size);
    torvex::StudyDefinition definition;
    std::string error;
    if (!torvex::readStudyFile(path, definition, error)) {
        if (error.empty()) __builtin_trap();  // every refusal says why
        return 0;
    }
    if (torvex::combinationCount(definition).count > 500) return 0;
    torvex::StudyPlan plan;
    torvex::expandStudy(definition, plan, error);
    return 0;
}
