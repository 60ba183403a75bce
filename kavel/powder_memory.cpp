#include "kavel/powder_memory.h"

#include <charconv>
#include <cstdio>
#include <functional>
#include <map>
#include <type_traits>

#include "solver/file_access.h"

namespace torvex::kavel {

namespace {

// Room for the options and a long path of a measured size distribution.
constexpr std::size_t kMaxBytes = 8192;

using particles::SprayOptions;

// Each option by its key: how it is written and how a value is taken.
struct Field {
    std::function<std::string(const SprayOptions&)> write;
    std::function<bool(const std::string&, SprayOptions&)> read;
};

std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", v);
    return text;
}

bool parsed(const std::string& text, double& out) {
    const char* end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, out);
    return r.ec == std::errc() && r.ptr == end;
}

template <typename Member>
Field realField(Member member) {
    return {[member](SprayOptions copy) { return number(member(copy)); },
            [member](const std::string& t, SprayOptions& o) { return parsed(t, member(o)); }};
}

template <typename Member>
Field countField(Member member) {
    return {[member](SprayOptions copy) { return std::to_string(member(copy)); },
            [member](const std::string& t, SprayOptions& o) {
                double v = 0;
                if (!parsed(t, v) || v < 0 || v > 4e9 || v != static_cast<double>(static_cast<long long>(v)))
                    return false;
                member(o) = static_cast<std::remove_reference_t<decltype(member(o))>>(v);
                return true;
            }};
}

Field flagField(bool& (*member)(SprayOptions&)) {
    return {[member](SprayOptions copy) { return std::string(member(copy) ? "1" : "0"); },
            [member](const std::string& t, SprayOptions& o) {
                if (t != "0" && t != "1") return false;
                member(o) = t == "1";
                return true;
            }};
}

// A choice of two, written as a word.
template <typename Enum>
Field choiceField(Enum& (*member)(SprayOptions&), Enum first, const char* firstWord, Enum second,
                  const char* secondWord) {
    return {[=](SprayOptions copy) { return std::string(member(copy) == first ? firstWord : secondWord); },
            [=](const std::string& t, SprayOptions& o) {
                if (t != firstWord && t != secondWord) return false;
                member(o) = t == firstWord ? first : second;
                return true;
            }};
}

const std::map<std::string, Field>& fields() {
    using particles::DragBasis;
    using particles::InjectionSpeed;
    using particles::SizeBasis;
    static const std::map<std::string, Field> table{
        {"material",
         {[](const SprayOptions& o) { return o.powder.material; },
          [](const std::string& t, SprayOptions& o) {
              if (t.empty()) return false;
              o.powder.material = t;
              return true;
          }}},
        {"single_size", flagField([](SprayOptions& o) -> bool& { return o.powder.singleSize; })},
        {"d10_um", realField([](SprayOptions& o) -> double& { return o.powder.d10Um; })},
        {"d50_um", realField([](SprayOptions& o) -> double& { return o.powder.d50Um; })},
        {"d90_um", realField([](SprayOptions& o) -> double& { return o.powder.d90Um; })},
        {"count", countField([](SprayOptions& o) -> int& { return o.powder.count; })},
        {"injector_distance_mm",
         realField([](SprayOptions& o) -> double& { return o.injection.distanceMm; })},
        {"injector_radius_mm", realField([](SprayOptions& o) -> double& { return o.injection.radiusMm; })},
        {"injection_velocity_m_s",
         realField([](SprayOptions& o) -> double& { return o.injection.velocity; })},
        {"velocity_spread", realField([](SprayOptions& o) -> double& { return o.injection.velocitySpread; })},
        {"divergence_deg", realField([](SprayOptions& o) -> double& { return o.injection.divergenceDeg; })},
        {"standoff_mm", realField([](SprayOptions& o) -> double& { return o.standoffMm; })},
        {"seed", countField([](SprayOptions& o) -> std::uint64_t& { return o.seed; })},
        {"internal_conduction",
         flagField([](SprayOptions& o) -> bool& { return o.model.internalConduction; })},
        {"gravity", flagField([](SprayOptions& o) -> bool& { return o.model.gravity; })},
        {"size_basis", choiceField(+[](SprayOptions& o) -> SizeBasis& { return o.powder.sizeBasis; },
                                   SizeBasis::Volume, "volume", SizeBasis::Number, "number")},
        {"size_distribution_file",
         {[](const SprayOptions& o) { return o.powder.sizeDistributionFile; },
          [](const std::string& t, SprayOptions& o) {
              o.powder.sizeDistributionFile = t;  // empty: the log-normal
              return true;
          }}},
        {"injection_speed",
         choiceField(+[](SprayOptions& o) -> InjectionSpeed& { return o.injection.speedFrom; },
                     InjectionSpeed::CarrierGas, "carrier_gas", InjectionSpeed::Fixed, "fixed")},
        {"carrier_flow_slpm", realField([](SprayOptions& o) -> double& { return o.injection.carrierFlowSlpm; })},
        {"injector_diameter_mm",
         realField([](SprayOptions& o) -> double& { return o.injection.injectorDiameterMm; })},
        {"injector_angle_deg", realField([](SprayOptions& o) -> double& { return o.injection.angleDeg; })},
        {"drag_basis", choiceField(+[](SprayOptions& o) -> DragBasis& { return o.model.dragBasis; },
                                   DragBasis::FilmProperties, "film", DragBasis::FreeStream, "free_stream")},
        {"knudsen_correction", flagField([](SprayOptions& o) -> bool& { return o.model.knudsenCorrection; })},
        {"radiation", flagField([](SprayOptions& o) -> bool& { return o.model.radiation; })},
        {"vapour_shielding", flagField([](SprayOptions& o) -> bool& { return o.model.vapourShielding; })},
        {"diffusive_evaporation",
         flagField([](SprayOptions& o) -> bool& { return o.model.diffusiveEvaporation; })},
        {"gas_gamma", realField([](SprayOptions& o) -> double& { return o.model.gasGamma; })},
        {"shell_count", countField([](SprayOptions& o) -> int& { return o.model.shellCount; })},
        {"sensor_size_mm", realField([](SprayOptions& o) -> double& { return o.sensor.sizeMm; })},
        {"sensor_at_plume_centre", flagField([](SprayOptions& o) -> bool& { return o.sensor.atPlumeCentre; })},
        {"sensor_x_mm", realField([](SprayOptions& o) -> double& { return o.sensor.xMm; })},
        {"sensor_y_mm", realField([](SprayOptions& o) -> double& { return o.sensor.yMm; })},
        {"size_classes", countField([](SprayOptions& o) -> int& { return o.sizeClasses; })},
    };
    return table;
}

}  // namespace

std::string powderMemoryText(const SprayOptions& options) {
    std::string text;
    for (const auto& [key, field] : fields()) text += key + " " + field.write(options) + "\n";
    return text;
}

bool readPowderMemory(const std::string& dir, SprayOptions& options, std::string& error) {
    const std::string path = dir + "/" + kPowderMemoryFile;
    std::string text, fault;
    if (!readRegularFile(path, kMaxBytes, text, fault)) {
        if (fault == "is missing") return true;  // never chosen in this folder: the defaults
        error = "The last powder file " + path + " " + fault + "; the dialog offers the defaults.";
        return false;
    }
    SprayOptions read = options;
    int number = 0;
    for (const std::string& line : splitLines(text)) {
        ++number;
        if (line.empty()) continue;
        const std::size_t blank = line.find(' ');
        const std::string key = line.substr(0, blank);
        const std::string value = blank == std::string::npos ? std::string() : line.substr(blank + 1);
        const auto it = fields().find(key);
        if (it == fields().end() || !it->second.read(value, read)) {
            error = "The last powder file " + path + " has a line " + std::to_string(number) +
                    " that is not understood: \"" + line + "\"; the dialog offers the defaults.";
            return false;
        }
    }
    options = read;
    return true;
}

bool writePowderMemory(const std::string& dir, const SprayOptions& options, std::string& error) {
    const std::string path = dir + "/" + kPowderMemoryFile;
    std::string fault;
    if (replaceFile(path, powderMemoryText(options), fault)) return true;
    error = "The chosen powder was not kept in " + path + ": " + fault;
    return false;
}

}  // namespace torvex::kavel
