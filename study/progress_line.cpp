#include "study/progress_line.h"

#include <cmath>
#include <cstdio>

namespace torvex {

std::string clockText(double seconds) {
    const long total = std::lround(seconds < 0 ? 0 : seconds);
    char text[32];
    if (total >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
    return text;
}

std::string studyProgressLine(const StudyProgress& p, int width) {
    const int filled =
        p.total > 0 ? static_cast<int>(static_cast<long long>(p.done) * width / p.total) : width;
    std::string bar = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                      std::string(static_cast<std::size_t>(width - filled), ' ') + "]";
    char counts[64];
    std::snprintf(counts, sizeof counts, " %d/%d variants", p.done, p.total);
    const int runNow = p.done - p.skipped;
    std::string rate = "  --/s  --:-- left";
    if (runNow > 0 && p.seconds > 0) {
        const double perSecond = runNow / p.seconds;
        char text[64];
        std::snprintf(text, sizeof text, "  %.1f/s  %s left", perSecond,
                      clockText((p.total - p.done) / perSecond).c_str());
        rate = text;
    }
    return bar + counts + rate;
}

}  // namespace torvex
