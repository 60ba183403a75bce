// The model choices and the material data of a run in words, for the summary
// and the files' header, so that every choice that can change an answer is
// named with its source.
#include "particles/exchange.h"
#include "particles/particle_model.h"
#include "particles/text_file.h"

#include <cstdio>

namespace torvex::particles {

namespace {

std::string formatRatio(double gamma) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", gamma);
    return text;
}

// A property as the table gives it (up to six significant digits), scaled
// into the unit named.
std::string tableValue(double value, double scale, const char* unit) {
    char text[48];
    std::snprintf(text, sizeof text, "%.6g %s", value / scale, unit);
    return text;
}

// A path or name on one header line: a control character (a line end in a
// folder's name) would start a line of its own in a file's header.
std::string oneLine(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    return text;
}

std::string originOf(const Material& m) {
    switch (m.origin) {
    case MaterialOrigin::Packaged: return "the packaged table " + oneLine(m.source);
    case MaterialOrigin::WorkingFolder: return "the working folder's table " + oneLine(m.source);
    case MaterialOrigin::File: break;
    }
    return m.source.empty() ? std::string("no file (given by the program)") : "the table " + oneLine(m.source);
}

} // namespace

std::vector<std::string> describeModel(const ModelOptions& model, int gasCode) {
    std::vector<std::string> lines;
    lines.push_back(model.internalConduction
                        ? "heating: conduction inside the particle on " + std::to_string(model.shellCount) +
                              " shells, enthalpy method (Voller and Swaminathan 1991)"
                        : "heating: one temperature per particle (lumped)");
    lines.push_back(model.dragBasis == DragBasis::FilmProperties
                        ? "drag: film-temperature properties, Schiller-Naumann (Boulos, Fauchais and Pfender 1994)"
                        : "drag: free-stream properties times the property-ratio factor (Lee and Pfender 1985)");
    lines.push_back("heat transfer: Ranz-Marshall at film properties, integral-mean conductivity "
                    "(Bourdin, Fauchais and Boulos 1983)");
    const ExchangeSwitches switches = exchangeSwitches(model, gasCode);
    lines.push_back(model.knudsenCorrection
                        ? "non-continuum correction: on, gamma " + formatRatio(switches.heatCapacityRatio) +
                              (model.gasGamma > 0 ? " (given)" : " (from the gas)") + " (Chen and Pfender 1983)"
                        : "non-continuum correction: off");
    lines.push_back(model.radiation ? "radiation: on, grey surface to 300 K surroundings" : "radiation: off");
    lines.push_back(model.diffusiveEvaporation
                        ? "evaporation below boiling: on, Clausius-Clapeyron vapour pressure, Spalding mass "
                          "transfer number, Sherwood = Nusselt (Spalding 1953)"
                        : "evaporation below boiling: off");
    lines.push_back(model.vapourShielding
                        ? "vapour shielding: on, heat times phi/(e^phi - 1), ln(1+B)/B at boiling (Spalding 1953)"
                        : "vapour shielding: off");
    lines.push_back("molten particles: liquid density");
    if (model.gravity) lines.push_back("gravity: on, along -y");
    return lines;
}

std::vector<std::string> describeMaterial(const Material& m) {
    constexpr double kMega = 1e6;
    return {
        oneLine(m.key) + " (" + oneLine(m.name) + "), row of " + originOf(m),
        "melting point " + tableValue(m.meltingPoint, 1, "K") + ", latent heat of fusion " +
            tableValue(m.latentHeatFusion, kMega, "MJ/kg"),
        "boiling point " + tableValue(m.boilingPoint, 1, "K") + ", latent heat of vaporisation " +
            tableValue(m.latentHeatVaporisation, kMega, "MJ/kg") + " (heat taken), vapour-pressure enthalpy " +
            tableValue(m.vapourPressureEnthalpy, kMega, "MJ/kg") +
            (m.vapourPressureEnthalpyGiven ? std::string(" (Clausius-Clapeyron curve)")
                                           : std::string(" (no such column in the table: the latent heat)")),
    };
}

std::string describePowder(const PowderAsSprayed& p) {
    if (p.singleSize) return "one size, " + formatFixed(p.d50Um, 1) + " um";
    const std::string quantiles = "d10/d50/d90 = " + formatFixed(p.d10Um, 1) + "/" + formatFixed(p.d50Um, 1) + "/" +
                                  formatFixed(p.d90Um, 1) + " um by " +
                                  (p.basis == SizeBasis::Volume ? "volume" : "number");
    if (p.distributionFile.empty()) return quantiles + " (log-normal)";
    return quantiles + ", of the measured distribution " + oneLine(p.distributionFile);
}

} // namespace torvex::particles
