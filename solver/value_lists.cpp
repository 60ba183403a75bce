#include "solver/value_lists.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace torvex {

namespace {

constexpr double kMillimetresPerInch = 25.4;
constexpr double kHundredthsOfInchPerMillimetre = 3.937007874015748;  // 100 / 25.4
constexpr double kMinDiameterMm = 5.0;
constexpr double kMaxDiameterMm = 11.0;

// Entries from first to last inclusive (whole numbers) in the given step.
ValueList steppedEntries(int first, int last, int step, const char* pattern) {
    ValueList entries;
    for (int value = first; value <= last; value += step) entries.push_back(formatReal(pattern, value));
    return entries;
}

struct Bounds {
    int first = 0;
    int last = 0;
};

// Arc currents for which the empirical torch characteristics were measured.
Bounds currentBounds(int gasCode, int k) {
    if (gasCode == kGasArgon) return {100 * (k - 3), 150 * (k - 2)};
    if (gasCode == kGasNitrogen) return {50 * (k - 3), 50 * (k + 1)};
    if (gasCode == 5) return {100 * k - 300, 150 * k - 300};
    if (gasCode == 6 || gasCode == 7) return {100 * k - 300, 100 * k - 50};
    if (gasCode == 8 || gasCode == 9) return {100 * k - 300, 100 * k - 100};
    return {100 * k - 300, 150 * k - 250};  // helium mixtures
}

// Gas flows, with u = 1 for SLPM and 2 for SCFH (1 SLPM is about 2 SCFH).
Bounds flowBounds(int gasCode, int k, int u) {
    if (gasCode == kGasArgon) return {5 * u * (k - 1), 10 * u * k};
    if (gasCode == kGasNitrogen) return {5 * u * k + 5 * u - 5, 10 * u * (k - 1)};
    if (gasCode == 5) return {5 * u * k - 5, 10 * u * k};
    if (gasCode == 6 || gasCode == 7) return {5 * u * (k + 1) - 5, 10 * u * k};
    if (gasCode == 8 || gasCode == 9) return {5 * u * (k + 2) - 5, 10 * u * k};
    return {5 * u * (k - 1), 10 * u * k};  // helium mixtures
}

// Inch lengths: the millimetre bounds in hundredths of an inch, cut down to a
// multiple of 5, then 0.05 in steps by repeated addition. The running sum
// drifts in the last bits, which decides whether the step beyond the upper
// bound still passes the "not greater than upper + 0.05" test.
ValueList inchLengthEntries(const LengthRange& mm) {
    int a = static_cast<int>(mm.lower * kHundredthsOfInchPerMillimetre);
    int b = static_cast<int>(mm.upper * kHundredthsOfInchPerMillimetre);
    a -= a % 5;
    b -= b % 5;
    const double limit = b * 0.01 + 0.05;
    ValueList entries;
    for (double value = a * 0.01; value <= limit; value += 0.05) entries.push_back(formatReal("%#4.2lf", value));
    return entries;
}

} // namespace

std::string formatReal(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

double entryValue(const std::string& entry) { return std::strtod(entry.c_str(), nullptr); }

ValueList diameterEntries(bool nitrogen, int lengthCode) {
    ValueList entries;
    if (lengthCode == 1) {
        const int lastTenths = nitrogen ? 90 : 110;  // 5.0 .. 9.0 or 11.0 mm in 0.2 mm steps
        for (int tenths = 50; tenths <= lastTenths; tenths += 2) entries.push_back(formatReal("%3.1lf", tenths / 10.0));
    } else {
        const int lastHundredths = nitrogen ? 35 : 43;  // 0.20 .. 0.35 or 0.43 in
        for (int h = 20; h <= lastHundredths; ++h) entries.push_back(formatReal("%4.2lf", h / 100.0));
    }
    return entries;
}

ValueList argonFractionEntries(int radioId) {
    if (radioId == 510) return {"95", "90", "85", "80", "75"};
    if (radioId == 511) return {"90", "80", "70", "60", "50"};
    return {};
}

double roundedDiameterMillimetres(double diameter, int lengthCode) {
    double mm = lengthCode == 1 ? diameter : diameter * kMillimetresPerInch;
    mm = std::clamp(mm, kMinDiameterMm, kMaxDiameterMm);
    int tenths = static_cast<int>(10.0 * mm);
    if (tenths % 2 != 0) ++tenths;
    return tenths * 0.1;
}

int diameterClass(double roundedMillimetres) {
    for (int k = 5; k < 11; ++k) {
        if (roundedMillimetres < k + 0.5) return k;
    }
    return 11;
}

LengthRange anodeLengthRange(int gasCode, int diameterClass) {
    const int h = diameterClass - 1;
    if (gasCode == kGasArgon) return {2 * h, 4 * h};
    if (gasCode == kGasNitrogen) return {3 * h, 5 * h};
    return {2 * h, 5 * h};
}

ValueList lengthEntries(int gasCode, int diameterClass, int lengthCode) {
    const LengthRange mm = anodeLengthRange(gasCode, diameterClass);
    if (lengthCode != 1) return inchLengthEntries(mm);
    return steppedEntries(mm.lower, mm.upper, 1, "%lg");
}

ValueList currentEntries(int gasCode, int diameterClass) {
    const Bounds b = currentBounds(gasCode, diameterClass);
    return steppedEntries(b.first, b.last, 10, "%-4.0lf");
}

ValueList flowEntries(int gasCode, int diameterClass, int flowCode) {
    const int u = flowCode == 1 ? 1 : 2;
    const Bounds b = flowBounds(gasCode, diameterClass, u);
    return steppedEntries(b.first, b.last, 5, "%-3.0lf");
}

} // namespace torvex
