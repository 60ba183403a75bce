#include "solver/normalise.h"

#include "solver/output_schedule.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>
#include <tuple>

namespace torvex {

namespace {

constexpr int kNitrogen = 2;

int clampInt(int value, int lower, int upper) { return std::min(std::max(value, lower), upper); }

// Diameter class: the diameter to the nearest millimetre, 5..11.
int diameterClassOf(float d) {
    if (d < 5.5f) return 5;
    if (d < 6.5f) return 6;
    if (d < 7.5f) return 7;
    if (d < 8.5f) return 8;
    if (d < 9.5f) return 9;
    if (d < 10.5f) return 10;
    return 11;
}

int lengthLowerBound(int g, int k) { return g <= 4 ? (k - 1) * (g + 1) : 2 * k - 2; }
int lengthUpperBound(int g, int k) { return g <= 4 ? (k - 1) * (g + 3) : 5 * (k - 1); }

// The length truncated to whole millimetres. The bounds are a few dozen mm,
// so clamping the float first keeps the integer conversion defined for any
// value read.
int wholeMillimetres(float mm, int upper) {
    return static_cast<int>(std::min(std::max(mm, -1.0f), static_cast<float>(upper) + 1.0f));
}

int currentLowerBound(int g, int k) { return g <= 4 ? 50 * (k - 3) * (3 - g) : 100 * (k - 3); }

int currentUpperBound(int g, int k) {
    if (g <= 4) return 50 * ((k - 2) * (4 - g) + (k - 5) * (1 - g));
    if (g == 5) return 150 * (k - 2);
    if (g <= 7) return 150 * (k - 2) - 50 * (k - 5);
    if (g <= 9) return 150 * (k - 2) - 50 * (k - 4);
    return 150 * (k - 2) + 50;
}

int flowLowerBound(int g, int k, int f) {
    if (g <= 4) return 5 * (k + g - 2) * f + 5 * (f - 1) * (g - 1);
    if (g == 5) return 5 * ((k - 1) * f + f - 1);
    if (g <= 7) return 5 * (k * f + f - 1);
    if (g <= 9) return 5 * ((k + 1) * f + f - 1);
    return 5 * (k - 1) * f;
}

int flowUpperBound(int g, int k, int f) { return g <= 4 ? 10 * (k - g + 1) * f : 10 * k * f; }

bool inchMode(const SolverState& s) { return s.lengthUnit == 2; }

// ----- what the normalisation changed, in the user's words ---------------------

// A number with the given decimals and a point, whatever the locale.
std::string decimal(double value, int decimals) {
    char text[400];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return result.ec == std::errc() ? std::string(text, result.ptr) : std::string("?");
}

std::string plasmaGasName(int g) {
    if (g == kNitrogen) return "nitrogen";
    if (g >= 5 && g <= 9) return "argon + " + std::to_string(5 * (g - 4)) + " % hydrogen";
    if (g >= 10 && g <= 14) return "argon + " + std::to_string(10 * (g - 9)) + " % helium";
    return "argon";
}

// A length as entered: "99.99 mm", or "0.50 in (12.70 mm)" in inch mode.
std::string enteredLength(const SolverState& s, float raw) {
    const std::string asRead = decimal(static_cast<double>(raw), 2);
    if (!inchMode(s)) return asRead + " mm";
    return asRead + " in (" + decimal(static_cast<double>(raw * s.mmPerInch), 2) + " mm)";
}

std::string flowUnitName(const SolverState& s) { return s.flowUnit == 2 ? "SCFH" : "SLPM"; }

// "for argon and anode diameter 8.0 mm": the bounds of length, current and
// flow depend on the gas and the diameter class.
std::string torchOf(const SolverState& s) {
    return "for " + plasmaGasName(s.gasCode) + " and anode diameter " +
           decimal(static_cast<double>(s.anodeDiameter), 1) + " mm";
}

std::string outsideRange(const std::string& quantity, const std::string& entered, const std::string& forWhat,
                         const std::string& lower, const std::string& upper, const std::string& used) {
    return quantity + " " + entered + " is outside the model's range " + forWhat + " (" + lower + " to " + upper +
           "); " + used + " was used";
}

std::string offStep(const std::string& quantity, const std::string& entered, const std::string& step,
                    const std::string& used) {
    return quantity + " " + entered + " is not " + step + "; " + used + " was used";
}

// Hundredths of a value read with two decimals, for comparing it with the
// value used without the float's last bits.
long hundredths(float value) { return std::lround(static_cast<double>(value) * 100.0); }

// Values entered in inches are converted to the model's millimetre grid; only
// leaving the model's range is a change worth a note there.
std::string diameterNote(const SolverState& s, float raw) {
    const float mm = inchMode(s) ? raw * s.mmPerInch : raw;
    const float upper = s.gasCode == kNitrogen ? 9.0f : 11.0f;
    const std::string used = decimal(static_cast<double>(s.diameterTenths) / 10.0, 1) + " mm";
    if (mm < 5.0f || mm > upper)
        return outsideRange("anode diameter", enteredLength(s, raw), "for " + plasmaGasName(s.gasCode), "5.0",
                            decimal(static_cast<double>(upper), 1) + " mm", used);
    if (!inchMode(s) && hundredths(raw) != 10L * s.diameterTenths)
        return offStep("anode diameter", enteredLength(s, raw), "an even tenth of a millimetre", used);
    return {};
}

std::string lengthNote(const SolverState& s, float raw, int lower, int upper, int truncated) {
    const std::string used = std::to_string(s.anodeLengthMm) + " mm";
    if (truncated < lower || truncated > upper)
        return outsideRange("anode length", enteredLength(s, raw), torchOf(s), std::to_string(lower),
                            std::to_string(upper) + " mm", used);
    if (!inchMode(s) && hundredths(raw) != 100L * s.anodeLengthMm)
        return offStep("anode length", enteredLength(s, raw), "a whole millimetre", used);
    return {};
}

std::string wholeNote(const SolverState& s, const std::string& quantity, const std::string& unit, int raw,
                      int lower, int upper, int step, int used) {
    const std::string entered = std::to_string(raw) + " " + unit;
    const std::string usedText = std::to_string(used) + " " + unit;
    if (raw < lower || raw > upper)
        return outsideRange(quantity, entered, torchOf(s), std::to_string(lower), std::to_string(upper) + " " + unit,
                            usedText);
    if (raw != used) return offStep(quantity, entered, "a multiple of " + std::to_string(step) + " " + unit, usedText);
    return {};
}

void addNote(std::vector<std::string>& notes, const std::string& note) {
    if (!note.empty()) notes.push_back(note);
}

} // namespace

void normaliseDiameter(SolverState& s, float rawDiameter) {
    float d = inchMode(s) ? rawDiameter * s.mmPerInch : rawDiameter;
    const float upper = s.gasCode == kNitrogen ? 9.0f : 11.0f;
    if (d < 5.0f) d = 5.0f;
    if (d > upper) d = upper;
    // Formed in double from the float, so that 7.1 (stored just below) gives 70.
    int tenths = static_cast<int>(10.0 * static_cast<double>(d));
    if (tenths % 2 != 0) tenths += 1;
    s.diameterTenths = tenths;
    s.anodeDiameter = static_cast<float>(tenths) * 0.1f;
    s.diameterClass = diameterClassOf(s.anodeDiameter);
}

void normaliseLength(SolverState& s, float rawLength) {
    s.anodeLength = inchMode(s) ? rawLength * s.mmPerInch : rawLength;
    const int upper = lengthUpperBound(s.gasCode, s.diameterClass);
    s.anodeLengthMm = clampInt(wholeMillimetres(s.anodeLength, upper), lengthLowerBound(s.gasCode, s.diameterClass), upper);
    const int channel = s.anodeLengthMm % 2 != 0 ? s.anodeLengthMm + 1 : s.anodeLengthMm;
    s.channelLength = static_cast<float>(channel);
}

void normaliseCurrent(SolverState& s, int rawCurrent) {
    const int current = clampInt(rawCurrent, currentLowerBound(s.gasCode, s.diameterClass),
                                 currentUpperBound(s.gasCode, s.diameterClass));
    s.arcCurrent = current - current % 10;
}

void normaliseFlow(SolverState& s, int rawFlow) {
    const int f = s.flowUnit;
    const int flow = clampInt(rawFlow, flowLowerBound(s.gasCode, s.diameterClass, f),
                              flowUpperBound(s.gasCode, s.diameterClass, f));
    s.gasFlow = flow - flow % 5;
    s.gasFlowSlpm = f == 2 ? static_cast<float>(s.gasFlow) * s.slpmPerScfh : static_cast<float>(s.gasFlow);
}

std::vector<std::string> normaliseInputs(SolverState& s, const RawInputs& raw) {
    s.rawDiameter = raw.diameter;
    s.rawLength = raw.length;
    s.rawCurrent = raw.current;
    s.rawFlow = raw.flow;
    std::vector<std::string> notes;
    normaliseDiameter(s, raw.diameter);
    addNote(notes, diameterNote(s, raw.diameter));
    normaliseLength(s, raw.length);
    const int g = s.gasCode;
    const int k = s.diameterClass;
    const int upper = lengthUpperBound(g, k);
    addNote(notes, lengthNote(s, raw.length, lengthLowerBound(g, k), upper, wholeMillimetres(s.anodeLength, upper)));
    normaliseCurrent(s, raw.current);
    addNote(notes, wholeNote(s, "arc current", "A", raw.current, currentLowerBound(g, k), currentUpperBound(g, k), 10,
                             s.arcCurrent));
    normaliseFlow(s, raw.flow);
    addNote(notes, wholeNote(s, "gas flow", flowUnitName(s), raw.flow, flowLowerBound(g, k, s.flowUnit),
                             flowUpperBound(g, k, s.flowUnit), 5, s.gasFlow));
    return notes;
}

void setUpGrid(SolverState& s) {
    s.axialStepMm = kJetStretches[0].stepMmFloat;  // the channel and the first stretch of the jet
    const float radialStepMm = 0.05f;
    s.axialStep = s.axialStepMm * 0.001f;
    s.radialStep = radialStepMm * 0.001f;
    s.radialNodeCount = std::min(s.diameterTenths + 1, kMaxNodes);
    s.jetNodeCount = std::min(s.radialNodeCount + 20, kMaxNodes);
    for (int i = 1; i <= s.radialNodeCount; ++i) {
        s.radius[i] = static_cast<float>(i - 1) * s.radialStep;
        s.simpsonWeight[i] = simpsonWeightAt(i, s.radialNodeCount);
    }
    s.channelStepCount = static_cast<int>(50.0f * s.channelLength);
    s.totalStepCount = s.channelStepCount + jetStepCount(s.lengthUnit);
    s.ambientVelocity = 0.2f;
}

float massFlowFigure(float coldDensity, float gasFlowSlpm) {
    const float massFlow = coldDensity * gasFlowSlpm / 60000.0f;  // kg/s
    const float scaled = massFlow * 3600.0f * 15.0f / 2.0f;
    // Bounded so that a table with absurd densities cannot overflow the conversion.
    int k = static_cast<int>(std::min(std::max(scaled, -1.0e9f), 1.0e9f));
    if (k % 2 != 0) k += 1;
    return 0.1f * static_cast<float>(k);
}

// ----- A variant as entered -----------------------------------------------------------

namespace {

// A field of ip.dat read back as the solver reads it: the text the writer
// puts in the columns, converted without the locale.
template <typename Number>
Number asWritten(double value, int width, int decimals) {
    const std::string text = fixedField(value, width, decimals);
    const std::size_t first = text.find_first_not_of(' ');
    Number read = 0;
    std::from_chars(text.data() + first, text.data() + text.size(), read);
    return read;
}

float asWrittenReal(double value) { return asWritten<float>(value, 5, 2); }

// The writer rounds a tie such as 502.5 to the even 502, as printf does.
int asWrittenWhole(double value) { return asWritten<int>(value, 4, 0); }

std::string shortNumber(double value, const char* format) {
    char text[40];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

bool UsedInputs::operator<(const UsedInputs& o) const {
    return std::tie(gasCode, diameterTenths, lengthMm, current, flow) <
           std::tie(o.gasCode, o.diameterTenths, o.lengthMm, o.current, o.flow);
}

bool isGasCode(double code) {
    for (int g : kGasCodes)
        if (code == g) return true;
    return false;
}

bool fitsInputFile(const VariantInputs& in, std::string& why) {
    if (!isGasCode(in.gasCode)) {
        why = "the gas code " + shortNumber(in.gasCode, "%g") + " names no plasma gas (1, 2 or 5 to 14)";
        return false;
    }
    const double values[] = {in.diameter, in.length, in.current, in.flow};
    for (double v : values) {
        if (!std::isfinite(v) || v < 0) {
            why = "a value is negative or not a number";
            return false;
        }
    }
    // The widest values the columns of ip.dat hold.
    if (in.diameter >= 99.995 || in.length >= 99.995 || in.current >= 9999.5 || in.flow >= 999.5) {
        why = "diameter and length must stay below 100, current below 10000 and flow below 1000";
        return false;
    }
    return true;
}

UsedInputs normaliseEntered(SolverState& s, const VariantInputs& entered, const UnitCodes& units,
                            std::vector<std::string>* notes) {
    s.lengthUnit = units.length;
    s.flowUnit = units.flow;
    s.gasCode = entered.gasCode;
    RawInputs raw;
    raw.diameter = asWrittenReal(entered.diameter);
    raw.length = asWrittenReal(entered.length);
    raw.current = asWrittenWhole(entered.current);
    raw.flow = asWrittenWhole(entered.flow);
    std::vector<std::string> changed = normaliseInputs(s, raw);
    if (notes) *notes = std::move(changed);
    return {s.gasCode, s.diameterTenths, s.anodeLengthMm, s.arcCurrent, s.gasFlow, s.gasFlowSlpm};
}

UsedInputs normalisedInputs(const VariantInputs& entered, const UnitCodes& units) {
    const auto s = std::make_unique<SolverState>();
    return normaliseEntered(*s, entered, units);
}

std::vector<std::string> normalisationNotes(const VariantInputs& entered, const UnitCodes& units) {
    const auto s = std::make_unique<SolverState>();
    std::vector<std::string> notes;
    normaliseEntered(*s, entered, units, &notes);
    return notes;
}

std::vector<std::string> inputFileNotes(const VariantInputs& entered, const UnitCodes& units) {
    const char* const length = units.length == 2 ? "in" : "mm";
    const char* const flow = units.flow == 2 ? "SCFH" : "SLPM";
    const struct {
        const char* quantity;
        double value;
        int width, decimals;
        const char* unit;
    } fields[] = {{"anode diameter", entered.diameter, 5, 2, length}, {"anode length", entered.length, 5, 2, length},
                  {"arc current", entered.current, 4, 0, "A"}, {"gas flow", entered.flow, 3, 0, flow}};
    std::vector<std::string> notes;
    for (const auto& f : fields) {
        if (asWritten<double>(f.value, f.width, f.decimals) == f.value) continue;
        const std::string text = fixedField(f.value, f.width, f.decimals);
        notes.push_back(std::string(f.quantity) + " " + shortNumber(f.value, "%.10g") + " " + f.unit +
                        " is written to ip.dat as " + text.substr(text.find_first_not_of(' ')) + " " + f.unit);
    }
    return notes;
}

} // namespace torvex
