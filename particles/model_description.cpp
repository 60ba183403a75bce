// The model choices of a run in words, for the summary and the files' header,
// so that every choice that can change an answer is named with its source.
#include "particles/exchange.h"
#include "particles/particle_model.h"

#include <cstdio>

namespace torvex::particles {

namespace {

std::string formatRatio(double gamma) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", gamma);
    return text;
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

} // namespace torvex::particles
