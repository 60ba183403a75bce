#include "variant/progress_text.h"

#include <cstdio>

namespace torvex {

const char* progressWaitText() { return "Please wait\u2026"; }

const char* progressPhaseText(RunPhase phase) {
    return phase == RunPhase::Inside ? "Parameters of plasma flow inside" : "Parameters of plasma jet outside";
}

const char* progressCalculatedText() { return "plasmatron are being calculated."; }

std::string progressPercentText(int value) {
    if (value <= 0) return "    0 %   ";
    const char* pattern = value == 5 ? "    %u %%        " : value <= 95 ? "  %u %%        " : "%u %%        ";
    char text[32];
    std::snprintf(text, sizeof text, pattern, static_cast<unsigned>(value));
    return text;
}

} // namespace torvex
