#include "pages/spray_pages.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "charts/chart_font.h"
#include "charts/palette.h"
#include "pages/jet_pages.h"
#include "pages/sensor_page.h"
#include "pages/summary_text.h"
#include "pages/text_blocks.h"
#include "pages/tune_chart.h"
#include "particles/flight_by_class.h"
#include "particles/in_flight.h"
#include "particles/spray_statistics.h"

namespace torvex::kavel {

namespace {

using particles::ParticleResult;
using particles::SprayOutcome;
using particles::Trajectory;

// The d10, d50 and d90 particles: blue, green, red; other samples grey.
constexpr Rgb kD10Colour{0, 0, 255};
constexpr Rgb kD50Colour{0, 150, 0};
constexpr Rgb kD90Colour{255, 0, 0};
constexpr Rgb kSampleColour{150, 150, 150};
// Isotherms in one family of brown shades, paler for the cooler levels, so
// they read as one quantity and none is taken for a particle's colour.
constexpr std::array<Rgb, 5> kIsothermColours{Rgb{205, 175, 140}, Rgb{185, 145, 100}, Rgb{160, 115, 70},
                                              Rgb{130, 85, 45}, Rgb{95, 55, 25}};
constexpr Rgb kNumberBarColour{150, 180, 230};
constexpr Rgb kMassColour{200, 60, 0};

Rgb trajectoryColour(const std::string& label) {
    if (label == "d10") return kD10Colour;
    if (label == "d50") return kD50Colour;
    if (label == "d90") return kD90Colour;
    return kSampleColour;
}

bool isSizeClass(const Trajectory& t) { return t.label == "d10" || t.label == "d50" || t.label == "d90"; }

std::string distanceTitle(const SprayUnits& u) {
    return "Distance from the nozzle exit, " + u.distanceUnit();
}

// "2 kK", ..., "10 kK": an isotherm's level as the axes count temperature.
std::string isothermLevelLabel(const SprayUnits& u, std::size_t level) {
    const char* unit = u.temperature == 2 ? "kF" : u.temperature == 3 ? "kC" : "kK";
    return std::to_string(2 * (level + 1)) + " " + unit;
}

// The standoff in mm: the outcome's plane, else the option's.
double standoffMm(const SprayPageInputs& in) {
    return in.outcome && in.outcome->standoffMm > 0 ? in.outcome->standoffMm : in.options.standoffMm;
}

std::string sizeClassName(const Trajectory& t) {
    return printed("%s %.0f \u00b5m", t.label.c_str(), t.diameterUm);
}

// Legend entries of the three size classes present in the outcome, with their diameters.
std::vector<LegendEntry> sizeClassLegend(const SprayOutcome& outcome) {
    std::vector<LegendEntry> legend;
    for (const Trajectory& t : outcome.trajectories) {
        if (!isSizeClass(t)) continue;
        legend.push_back({sizeClassName(t), Pen{PenStyle::Solid, 2, trajectoryColour(t.label)}});
    }
    return legend;
}

// One quantity of the samples of a trajectory up to the standoff, in chart units.
template <typename Value>
ChartLine alongFlight(const Trajectory& t, const SprayUnits& u, double standoff, Value value) {
    ChartLine line;
    line.pen = Pen{PenStyle::Solid, 2, trajectoryColour(t.label)};
    line.label = isSizeClass(t) ? sizeClassName(t) : printed("sample %.0f \u00b5m", t.diameterUm);
    for (const particles::ParticleState& s : t.samples) {
        if (s.axialMm > standoff + 1e-9) break;
        line.x.push_back(u.distance(s.axialMm));
        line.y.push_back(value(s));
    }
    return line;
}

// The compared spray's curves: the colours of the first spray's, paler, and dashed.
Rgb lighter(const Rgb& c) {
    const auto pale = [](int v) { return v + (255 - v) * 11 / 20; };
    return Rgb{pale(c.red), pale(c.green), pale(c.blue)};
}

void asCompared(ChartLine& line, const std::string& name) {
    line.pen = Pen{PenStyle::Dash, 2, lighter(line.pen.colour)};
    line.label = name + ": " + line.label;
    line.tag.clear();
}

// The legend entry that tells the compared spray's curves.
LegendEntry comparedLegend(const SprayPageInputs& in) {
    return {in.comparedName + " (paler, dashed)", Pen{PenStyle::Dash, 2, lighter(kD50Colour)}};
}

double largest(const std::vector<ChartLine>& lines, double floor) {
    double top = floor;
    for (const ChartLine& l : lines)
        for (double v : l.y) top = std::max(top, v);
    return top;
}

}  // namespace

// ----- isotherms --------------------------------------------------------------------

IsothermLine isothermOf(const particles::JetField& field, double levelK) {
    IsothermLine line;
    const int radii = particles::kFieldRadii;
    for (int k = 0; k < field.recordCount; ++k) {
        const float* t = field.temperature.data() + static_cast<std::size_t>(k) * radii;
        if (t[0] < levelK) continue;
        int j = radii - 1;
        while (j > 0 && t[j] < levelK) --j;
        double r = j * particles::kFieldRadiusStepMm;
        if (j < radii - 1 && t[j] > t[j + 1]) {
            r += particles::kFieldRadiusStepMm * (t[j] - levelK) / (t[j] - t[j + 1]);
        }
        line.distanceMm.push_back(particles::fieldRecordDistanceMm(k));
        line.radiusMm.push_back(r);
        // Where the axis falls below the level the isotherm closes on it,
        // between this cross-section and the next.
        if (k + 1 < field.recordCount) {
            const float next = field.temperature[static_cast<std::size_t>(k + 1) * radii];
            if (next < levelK) {
                const double z0 = particles::fieldRecordDistanceMm(k),
                             z1 = particles::fieldRecordDistanceMm(k + 1);
                line.distanceMm.push_back(z0 + (z1 - z0) * (t[0] - levelK) / (t[0] - next));
                line.radiusMm.push_back(0);
            }
        }
    }
    return line;
}

std::array<double, 5> isothermLevelsK(const SprayUnits& units) {
    std::array<double, 5> levels{};
    for (int i = 0; i < 5; ++i) {
        const double shown = 2000.0 * (i + 1);
        // Back from the shown unit to kelvin, with the program's offset.
        if (units.temperature == 2)
            levels[i] = (shown - 32) / 1.8 + 273;
        else if (units.temperature == 3)
            levels[i] = shown + 273;
        else
            levels[i] = shown;
    }
    return levels;
}

// ----- panel --------------------------------------------------------------------------

namespace {

// The powder's sizes as sprayed: one size, the log-normal's quantiles and
// their basis, or the measured distribution's file with its own quantiles
// (those of the d10, d50 and d90 particles, once sprayed).
std::vector<std::string> powderSizeLines(const particles::SprayOptions& o, const particles::SprayOutcome* outcome) {
    // A spray says the sizes its particles were drawn from: the measured
    // file's own quantiles, not the log-normal fields it replaced.
    // (two short lines: the panel's text is as small as its widest line needs).
    if (outcome && outcome->powder.d50Um > 0) {
        const particles::PowderAsSprayed& p = outcome->powder;
        if (p.singleSize) return {printed("Diameter: %.1f \u00b5m, one size", p.d50Um)};
        const std::string quantiles = printed("d10 / d50 / d90: %.1f / %.1f / %.1f \u00b5m by %s", p.d10Um, p.d50Um,
                                              p.d90Um, p.basis == particles::SizeBasis::Number ? "number" : "volume");
        if (p.distributionFile.empty()) return {quantiles + " (log-normal)"};
        const std::string& file = p.distributionFile;
        return {"Measured distribution: " + file.substr(file.find_last_of('/') + 1), "its " + quantiles};
    }
    const particles::PowderOptions& p = o.powder;
    if (p.singleSize) return {printed("Diameter: %.0f \u00b5m, one size", p.d50Um)};
    if (p.sizeDistributionFile.empty())
        return {printed("d10 / d50 / d90: %.0f / %.0f / %.0f \u00b5m by %s", p.d10Um, p.d50Um, p.d90Um,
                        p.sizeBasis == particles::SizeBasis::Number ? "number" : "volume")};
    const std::string& file = p.sizeDistributionFile;
    return {"Measured distribution: " + file.substr(file.find_last_of('/') + 1)};
}

// The three shares of the injected mass, molten arriving, arriving and
// evaporated, on two lines that fit the panel.
std::vector<std::string> massSharesLines(const particles::SprayStatistics& st) {
    return {"Mass molten arriving: " + plusMinus(st.moltenMassShare, 1, 100) + " %",
            "arriving " + plusMinus(st.depositedMassShare, 1, 100) + " %, evaporated " + plusMinus(st.evaporatedMassShare, 1, 100) +
                " %"};
}

std::string deviationLine(const particles::SprayStatistics& st, const particles::SprayOptions& o,
                          const particles::SprayOutcome& outcome) {
    return "Particle jet deviation: " +
           plusMinus(particles::deviationAngleDeg(st, o.injection, outcome.standoffMm), 1) +
           "\u00b0";
}

// Where the material's data came from and its melting and boiling points.
std::string materialDataLine(const SprayUnits& u, const particles::Material& m) {
    const std::string from = m.origin == particles::MaterialOrigin::Packaged        ? "packaged table"
                             : m.origin == particles::MaterialOrigin::WorkingFolder ? "folder's materials.csv"
                                                                                     : m.source;
    const std::string points = printed("melts %.0f %s, boils %.0f %s", u.temperatureOf(m.meltingPoint),
                                       u.temperatureUnit().c_str(), u.temperatureOf(m.boilingPoint),
                                       u.temperatureUnit().c_str());
    return from.empty() ? "Data: " + points : "Data: " + from + ", " + points;
}

// The compared spray in a few lines: its jet, its powder and what arrives.
PanelSection comparedSection(const SprayPageInputs& in) {
    const SprayUnits& u = in.units;
    const particles::SprayOptions& o = in.comparedOptions;
    PanelSection section{"Compared: " + in.comparedName + " (paler)", {}};
    if (!in.comparedJet.empty()) section.lines.push_back("Jet: " + in.comparedJet);
    section.lines.push_back("Material: " + in.compared->material.name);
    for (const std::string& line : powderSizeLines(o, in.compared)) section.lines.push_back(line);
    section.lines.push_back(o.injection.speedFrom == particles::InjectionSpeed::Fixed
                                ? printed("Injection velocity: %.3g %s", u.velocity(o.injection.velocity),
                                          u.velocityUnit().c_str())
                                : printed("Carrier gas: %.3g SLPM argon", o.injection.carrierFlowSlpm));
    const particles::SprayStatistics st = particles::computeStatistics(*in.compared);
    section.lines.push_back(printed("Arrived: %d of %d", st.arrived, st.total));
    if (st.arrived > 0) {
        section.lines.push_back(printed("Velocity: %.0f %s, surface temperature %.0f %s",
                                        u.velocity(st.velocity.byNumber.mean), u.velocityUnit().c_str(),
                                        u.temperatureOf(st.surfaceTemperature.byNumber.mean),
                                        u.temperatureUnit().c_str()));
        section.lines.push_back(deviationLine(st, o, *in.compared));
    }
    for (const std::string& line : massSharesLines(st)) section.lines.push_back(line);
    return section;
}

}  // namespace

void showJet(SprayPageInputs& in, const particles::JetField* jet) {
    in.field = jet;
    // A field built by hand names no variant.
    in.variant = jet && jet->parameters.gasCode > 0 ? parameterTexts(jet->parameters, jet->runUnits) : ParameterTexts();
}

std::vector<PanelSection> panelSections(const SprayPageInputs& in) {
    const SprayUnits& u = in.units;
    std::vector<PanelSection> sections;

    PanelSection variant{"Variant", {}};
    if (!in.variant.gas.empty()) {
        // The formula's subscript written inline: "Ar + H2" instead of a lowered 2.
        variant.lines.push_back(inlineGasText(in.variant.gas, in.variant.gasSubscriptAfter, "2"));
    }
    for (const std::string& line : in.variant.lines)
        if (!line.empty()) variant.lines.push_back(line);
    if (variant.lines.empty()) variant.lines.push_back("no calculated variant (iop.par) in this folder");
    sections.push_back(variant);

    const particles::SprayOptions& o = in.options;
    PanelSection powder{"Powder and injection", {}};
    const std::string material = in.outcome && !in.outcome->material.name.empty() ? in.outcome->material.name
                                 : !in.materialName.empty()                       ? in.materialName
                                                                                  : o.powder.material;
    powder.lines.push_back("Material: " + material);
    for (const std::string& line : powderSizeLines(o, in.outcome)) powder.lines.push_back(line);
    // A spray shown says how many particles it flew; before one, the count
    // the dialog asks for (or the rule that will choose it).
    if (in.outcome)
        powder.lines.push_back(printed("Particles: %zu, seed %llu", in.outcome->particles.size(),
                                       static_cast<unsigned long long>(o.seed)));
    else if (o.precisionPoints > 0)
        powder.lines.push_back(printed("Particles: until the shares are known to \u00b1%.3g point%s, seed %llu",
                                       o.precisionPoints, o.precisionPoints == 1 ? "" : "s",
                                       static_cast<unsigned long long>(o.seed)));
    else
        powder.lines.push_back(
            printed("Particles: %d, seed %llu", o.powder.count, static_cast<unsigned long long>(o.seed)));
    powder.lines.push_back(printed("Injector: %.3g %s downstream, %.3g %s from the axis",
                                   u.distance(o.injection.distanceMm), u.distanceUnit().c_str(),
                                   u.distance(o.injection.radiusMm), u.distanceUnit().c_str()));
    if (o.injection.speedFrom == particles::InjectionSpeed::Fixed)
        powder.lines.push_back(printed("Injection velocity: %.3g %s, spread %.0f %% either way",
                                       u.velocity(o.injection.velocity), u.velocityUnit().c_str(),
                                       100 * o.injection.velocitySpread));
    else
        powder.lines.push_back(printed("Carrier gas: %.3g SLPM argon, spread %.0f %% either way",
                                       o.injection.carrierFlowSlpm, 100 * o.injection.velocitySpread));
    powder.lines.push_back(printed("Standoff: %.4g %s, substrate radius %.3g %s", u.distance(standoffMm(in)),
                                   u.distanceUnit().c_str(), u.distance(o.substrateRadiusMm),
                                   u.distanceUnit().c_str()));
    if (in.outcome) powder.lines.push_back(materialDataLine(u, in.outcome->material));
    sections.push_back(powder);

    if (!in.outcome) return sections;
    const particles::SprayStatistics st = particles::computeStatistics(*in.outcome);
    PanelSection result{"At the substrate", {}};
    result.lines.push_back(printed("Arrived: %d of %d", st.arrived, st.total));
    if (st.arrived > 0) {
        result.lines.push_back("(mean \u00b1 standard deviation by number)");
        result.lines.push_back(printed("Velocity: %.0f \u00b1 %.0f %s", u.velocity(st.velocity.byNumber.mean),
                                       u.velocity(st.velocity.byNumber.spread), u.velocityUnit().c_str()));
        result.lines.push_back(printed(
            "Surface temperature: %.0f \u00b1 %.0f %s", u.temperatureOf(st.surfaceTemperature.byNumber.mean),
            st.surfaceTemperature.byNumber.spread * (u.temperature == 2 ? 1.8 : 1.0),
            u.temperatureUnit().c_str()));
        result.lines.push_back(printed("Molten fraction: %.2f \u00b1 %.2f", st.moltenFraction.byNumber.mean,
                                       st.moltenFraction.byNumber.spread));
        result.lines.push_back(printed("Fully / partly molten / solid: %d / %d / %d", st.fullyMolten,
                                       st.partlyMolten, st.solid));
        // The spot is where molten mass lands; without any there is none.
        if (st.fullyMolten + st.partlyMolten == 0)
            result.lines.push_back("Deposition spot: none, no particle arrives molten");
        else
            result.lines.push_back(printed("Deposition spot: %.3g \u00b1 %.3g %s (molten mass)",
                                           u.distance(st.spotCentreMm.value), u.distance(st.spotSpreadMm),
                                           u.distanceUnit().c_str()));
        result.lines.push_back("(below: \u00b1 the 95 % interval of the sample)");
        result.lines.push_back(deviationLine(st, o, *in.outcome));
        for (const std::string& line : massSharesLines(st)) result.lines.push_back(line);
    }
    result.lines.push_back(printed("Evaporated: %d, missed: %d", st.evaporated, st.missed));
    result.lines.push_back("Lost: " + particles::lossesByReason(st));
    if (!in.outcome->notice.empty()) result.lines.push_back(in.outcome->notice);
    sections.push_back(result);
    if (in.compared) sections.push_back(comparedSection(in));
    return sections;
}

namespace {

// The widest line of the panel in the font of this height.
int widestLine(DrawingContext& dc, const std::vector<PanelSection>& sections, int font) {
    replaceFont(dc, font, 0);
    int widest = 0;
    for (const PanelSection& s : sections) {
        widest = std::max(widest, dc.textExtent(s.heading).width);
        for (const std::string& l : s.lines) widest = std::max(widest, font + dc.textExtent(l).width);
    }
    return widest;
}

}  // namespace

int sprayPageFont(const Rect& page) { return std::max(1, page.height() / 36); }

void drawSprayPanel(DrawingContext& dc, const Rect& area, const SprayPageInputs& in, int pageFont) {
    const std::vector<PanelSection> sections = panelSections(in);
    std::size_t rows = 1;
    for (const PanelSection& s : sections) rows += s.lines.size() + 2;
    // The page's text height where the lines fit, one row per line at 1.35
    // font heights; smaller only where the panel could not hold them.
    const int byHeight = toDevice(area.height() / (1.35 * static_cast<double>(rows)));
    int font = std::max(1, std::min(pageFont > 0 ? pageFont : area.height() / 20, byHeight));
    const int room = area.width() - 2 * font;
    const int widest = widestLine(dc, sections, font);
    if (widest > room && widest > 0) font = std::max(1, font * room / widest);
    const int pitch = toDevice(1.35 * font);
    const int left = area.left + font;
    int y = drawTextPageTitle(dc, left, area.top + font / 2, font, pitch, "Parameters");
    for (const PanelSection& s : sections)
        y = drawHeadingAndLines(dc, left, y, font, pitch, s.heading, s.lines) + pitch / 2;
}

// ----- charts ------------------------------------------------------------------------

SprayChart trajectoryChart(const SprayPageInputs& in) {
    const SprayUnits& u = in.units;
    const double standoff = standoffMm(in);
    SprayChart chart;
    chart.title = "Particle Trajectories";
    chart.xTitle = distanceTitle(u);
    chart.yTitle = "Radial position, " + u.distanceUnit();

    double reach = in.options.injection.radiusMm * 1.15;
    if (in.field) {
        const auto levels = isothermLevelsK(u);
        for (std::size_t i = 0; i < levels.size(); ++i) {
            const IsothermLine iso = isothermOf(*in.field, levels[i]);
            const std::string level = isothermLevelLabel(u, i);
            ChartLine upper{
                {}, {}, Pen{PenStyle::Solid, 1, kIsothermColours[i]}, level + " isotherm, upper", level};
            ChartLine lower = upper;
            lower.label = level + " isotherm, lower";
            lower.tag.clear();
            for (std::size_t k = 0; k < iso.distanceMm.size() && iso.distanceMm[k] <= standoff; ++k) {
                upper.x.push_back(u.distance(iso.distanceMm[k]));
                upper.y.push_back(u.distance(iso.radiusMm[k]));
                lower.x.push_back(u.distance(iso.distanceMm[k]));
                lower.y.push_back(-u.distance(iso.radiusMm[k]));
                reach = std::max(reach, iso.radiusMm[k]);
            }
            chart.lines.push_back(upper);
            chart.lines.push_back(lower);
            chart.legend.push_back(
                {(i == 0 ? "isotherms: " : "") + level, Pen{PenStyle::Solid, 2, kIsothermColours[i]}});
        }
    }
    if (in.outcome) {
        // Samples first, so the size classes are drawn over them.
        std::vector<const Trajectory*> order;
        for (const Trajectory& t : in.outcome->trajectories)
            if (!isSizeClass(t)) order.push_back(&t);
        for (const Trajectory& t : in.outcome->trajectories)
            if (isSizeClass(t)) order.push_back(&t);
        for (const Trajectory* t : order) {
            ChartLine line = alongFlight(*t, u, standoff, [&](const particles::ParticleState& s) {
                reach = std::max(reach, std::fabs(s.radialMm));
                return u.distance(s.radialMm);
            });
            if (!isSizeClass(*t)) line.pen = Pen{PenStyle::Solid, 1, kSampleColour};
            chart.lines.push_back(line);
        }
        for (const LegendEntry& e : sizeClassLegend(*in.outcome)) chart.legend.push_back(e);
        if (order.size() > 3)
            chart.legend.push_back({"other particles, a sample", Pen{PenStyle::Solid, 1, kSampleColour}});
    }
    if (in.compared) {
        for (const Trajectory& t : in.compared->trajectories) {
            if (!isSizeClass(t)) continue;
            ChartLine line = alongFlight(t, u, standoff, [&](const particles::ParticleState& s) {
                reach = std::max(reach, std::fabs(s.radialMm));
                return u.distance(s.radialMm);
            });
            asCompared(line, in.comparedName);
            chart.lines.push_back(line);
        }
        chart.legend.push_back(comparedLegend(in));
    }
    // Beyond the computed jet the particles fly on through still gas to the
    // plane, as far out as the substrate reaches.
    const double substrate = in.options.substrateRadiusMm;
    const double side = std::min(reach, std::max(substrate, particles::kFieldOuterRadiusMm));
    chart.x = spanScale(0, u.distance(standoff), 8);
    chart.y = spanScale(-u.distance(side), u.distance(side), 6);
    if (side > particles::kFieldOuterRadiusMm) {
        const double edge = u.distance(particles::kFieldOuterRadiusMm);
        const Pen dotted{PenStyle::Dot, 1, kSampleColour};
        for (double y : {edge, -edge})
            chart.lines.push_back(ChartLine{{0, u.distance(standoff)}, {y, y}, dotted, "edge of the computed jet", ""});
        chart.legend.push_back(
            {printed("edge of the computed jet, %.3g %s", edge, u.distanceUnit().c_str()), dotted});
    }
    // The substrate: a disc of its radius around the axis in the plane.
    const double plate = u.distance(substrate);
    chart.lines.push_back(ChartLine{{u.distance(standoff), u.distance(standoff)},
                                    {std::max(-plate, scaleLow(chart.y)), std::min(plate, scaleHigh(chart.y))},
                                    Pen{PenStyle::Dash, 2, kBlack},
                                    "substrate",
                                    ""});
    chart.legend.push_back({printed("substrate at %.4g %s, %.3g %s radius", u.distance(standoff),
                                    u.distanceUnit().c_str(), plate, u.distanceUnit().c_str()),
                            Pen{PenStyle::Dash, 2, kBlack}});
    if (!in.field) chart.emptyNote = in.jetNote.empty() ? "No jet field (ftu.res) in this folder" : in.jetNote;
    return chart;
}

namespace {

// The three charts of velocity, surface temperature and molten share over the
// distance from the nozzle, titled; their value axes come once the curves are
// in (scaleAlongFlight).
std::array<SprayChart, 3> chartsAlongFlight(const SprayPageInputs& in, const std::array<const char*, 3>& titles,
                                            const char* moltenTitle, const std::string& xTitle) {
    const SprayUnits& u = in.units;
    std::array<SprayChart, 3> charts;
    for (std::size_t k = 0; k < 3; ++k) charts[k].title = titles[k];
    charts[0].yTitle = "Velocity, " + u.velocityUnit();
    charts[1].yTitle = "Temperature, " + u.temperatureUnit();
    charts[2].yTitle = moltenTitle;
    for (SprayChart& c : charts) {
        c.xTitle = xTitle;
        c.x = spanScale(0, u.distance(standoffMm(in)), 8);
        if (!in.outcome) c.emptyNote = "No spray run yet";
    }
    return charts;
}

void scaleAlongFlight(std::array<SprayChart, 3>& charts, const SprayUnits& u) {
    charts[0].y = spanScale(0, largest(charts[0].lines, 1), 5);
    charts[1].y = spanScale(u.temperatureOf(300), largest(charts[1].lines, u.temperatureOf(1000)), 5);
    charts[2].y = spanScale(0, 1, 5);
    charts[2].yFormat = "%.1f";
}

// One curve to each chart, the compared spray's paler.
void addToCharts(std::array<SprayChart, 3>& charts, std::array<ChartLine, 3> lines, const std::string* compared) {
    for (std::size_t k = 0; k < 3; ++k) {
        if (compared) asCompared(lines[k], *compared);
        charts[k].lines.push_back(lines[k]);
    }
}

// The d10, d50 and d90 particles' velocity, surface temperature and molten
// fraction along the flight, into the three charts.
void addSizeClassFlights(std::array<SprayChart, 3>& charts, const particles::SprayOutcome& outcome,
                         const SprayUnits& u, double standoff, const std::string* compared) {
    for (const Trajectory& t : outcome.trajectories) {
        if (!isSizeClass(t)) continue;
        std::array<ChartLine, 3> lines{
            alongFlight(t, u, standoff, [&](const particles::ParticleState& s) { return u.velocity(s.velocity); }),
            alongFlight(t, u, standoff,
                        [&](const particles::ParticleState& s) { return u.temperatureOf(s.surfaceTemperature); }),
            alongFlight(t, u, standoff, [](const particles::ParticleState& s) { return s.moltenFraction; })};
        addToCharts(charts, lines, compared);
    }
}

}  // namespace

std::array<SprayChart, 3> flightCharts(const SprayPageInputs& in) {
    const SprayUnits& u = in.units;
    const double standoff = standoffMm(in);
    // Short axis titles, so that they fit the narrow charts of the All Charts page.
    std::array<SprayChart, 3> charts = chartsAlongFlight(
        in, {"Particle Velocity", "Surface Temperature", "Molten Fraction"}, "Molten fraction", "Distance, " + u.distanceUnit());
    if (in.outcome) {
        addSizeClassFlights(charts, *in.outcome, u, standoff, nullptr);
        for (SprayChart& c : charts) c.legend = sizeClassLegend(*in.outcome);
        if (in.compared) {
            addSizeClassFlights(charts, *in.compared, u, standoff, &in.comparedName);
            for (SprayChart& c : charts) c.legend.push_back(comparedLegend(in));
        }
        // The melting point, which decides what the substrate receives.
        const double melting = in.outcome->material.meltingPoint;
        if (melting > 0) {
            const std::string label =
                printed("melting point %.0f %s", u.temperatureOf(melting), u.temperatureUnit().c_str());
            charts[1].lines.push_back(ChartLine{{0, u.distance(standoff)},
                                                {u.temperatureOf(melting), u.temperatureOf(melting)},
                                                Pen{PenStyle::Dash, 1, kBlack},
                                                label,
                                                ""});
            charts[1].legend.push_back({label, Pen{PenStyle::Dash, 1, kBlack}});
        }
    }
    scaleAlongFlight(charts, u);
    return charts;
}

std::array<SprayChart, 3> substrateCharts(const SprayPageInputs& in) {
    const SprayUnits& u = in.units;
    std::array<SprayChart, 3> charts;
    const std::array<particles::HistogramQuantity, 3> quantities{
        particles::HistogramQuantity::Velocity, particles::HistogramQuantity::SurfaceTemperature,
        particles::HistogramQuantity::MoltenFraction};
    charts[0].title = "Velocity at the Substrate";
    charts[0].xTitle = "Velocity, " + u.velocityUnit();
    charts[1].title = "Surface Temperature at the Substrate";
    charts[1].xTitle = "Temperature, " + u.temperatureUnit();
    charts[2].title = "Molten Fraction at the Substrate";
    charts[2].xTitle = "Molten fraction";
    auto shown = [&](int chart, double v) {
        return chart == 0 ? u.velocity(v) : chart == 1 ? u.temperatureOf(v) : v;
    };
    for (int c = 0; c < 3; ++c) {
        SprayChart& chart = charts[static_cast<std::size_t>(c)];
        chart.yTitle = "Share, %";
        if (!in.outcome) chart.emptyNote = "No spray run yet";
        double top = 10;
        double lo = 0, hi = 1;
        if (in.outcome) {
            const particles::Histogram h =
                particles::histogramOf(in.outcome->particles, quantities[static_cast<std::size_t>(c)], 20);
            double total = 0;
            for (double n : h.count) total += n;
            if (total > 0 && h.binWidth > 0) {
                // The axis spans the bins that hold particles, not the whole binned range.
                std::size_t first = h.count.size(), last = 0;
                for (std::size_t b = 0; b < h.count.size(); ++b) {
                    if (h.count[b] <= 0) continue;
                    first = std::min(first, b);
                    last = b;
                }
                lo = shown(c, h.lower + h.binWidth * static_cast<double>(first));
                hi = shown(c, h.lower + h.binWidth * static_cast<double>(last + 1));
                ChartLine mass{{}, {}, Pen{PenStyle::Solid, 2, kMassColour}, "by mass", ""};
                for (std::size_t b = first; b <= last; ++b) {
                    const double x0 = shown(c, h.lower + h.binWidth * static_cast<double>(b));
                    const double x1 = shown(c, h.lower + h.binWidth * static_cast<double>(b + 1));
                    const double share = 100 * h.count[b] / total;
                    const double massShare = b < h.mass.size() ? 100 * h.mass[b] : 0;
                    chart.bars.push_back({x0, x1, share, kNumberBarColour, massShare});
                    mass.x.insert(mass.x.end(), {x0, x1});
                    mass.y.insert(mass.y.end(), {massShare, massShare});
                    top = std::max({top, share, massShare});
                }
                chart.lines.push_back(mass);
                chart.legend = {{"by number", Pen{PenStyle::Solid, 6, kNumberBarColour}},
                                {"by mass", Pen{PenStyle::Solid, 2, kMassColour}}};
            } else {
                chart.emptyNote = "No particle reached the substrate";
            }
        }
        if (in.outcome && in.compared) {
            // The compared spray's shares by number as an outline over the bars.
            const particles::Histogram h =
                particles::histogramOf(in.compared->particles, quantities[static_cast<std::size_t>(c)], 20);
            double total = 0;
            for (double n : h.count) total += n;
            ChartLine outline{{}, {}, comparedLegend(in).pen, in.comparedName + ": by number", ""};
            for (std::size_t b = 0; total > 0 && b < h.count.size(); ++b) {
                if (h.count[b] <= 0) continue;
                const double x0 = shown(c, h.lower + h.binWidth * static_cast<double>(b));
                const double x1 = shown(c, h.lower + h.binWidth * static_cast<double>(b + 1));
                const double share = 100 * h.count[b] / total;
                outline.x.insert(outline.x.end(), {x0, x0, x1, x1});
                outline.y.insert(outline.y.end(), {0, share, share, 0});
                if (chart.bars.empty() && outline.x.size() == 4) lo = x0, hi = x1;
                lo = std::min(lo, x0), hi = std::max(hi, x1), top = std::max(top, share);
            }
            chart.lines.push_back(outline);
            chart.legend.push_back({in.comparedName + " by number (dashed)", outline.pen});
        }
        chart.x = spanScale(lo, hi, 6);
        chart.y = spanScale(0, top, 5);
    }
    // A fraction ends at 1: the axis shows no room past fully molten.
    charts[2].x = spanScale(std::min(scaleLow(charts[2].x), 1.0), 1, 5);
    if (scaleHigh(charts[2].x) > 1) charts[2].x = spanScale(0, 1, 5);
    charts[2].xFormat = "%.1f";
    return charts;
}

namespace {

// Size classes from blue (the finest) through green to red (the coarsest),
// each dark enough to read on white.
Rgb classColour(std::size_t k, std::size_t classes) {
    constexpr std::array<Rgb, 10> kRamp{Rgb{0, 0, 230},   Rgb{0, 100, 230}, Rgb{0, 150, 180}, Rgb{0, 150, 90},
                                        Rgb{90, 150, 0},  Rgb{170, 140, 0}, Rgb{220, 110, 0}, Rgb{230, 60, 0},
                                        Rgb{200, 0, 0},   Rgb{140, 0, 60}};
    const std::size_t last = kRamp.size() - 1;
    return kRamp[classes > 1 ? (k * last + (classes - 1) / 2) / (classes - 1) : last / 2];
}

// The three curves of each size class of an outcome, in chart units.
void addClassCurves(std::array<SprayChart, 3>& charts, const particles::SprayOutcome& outcome, int classes,
                    const SprayUnits& u, const std::string* compared) {
    const std::vector<particles::ClassFlight> flights = particles::flightBySizeClass(outcome, classes);
    for (std::size_t k = 0; k < flights.size(); ++k) {
        const particles::ClassFlight& f = flights[k];
        const std::string name = printed("%.0f\u2013%.0f \u00b5m", f.lowerUm, f.upperUm);
        ChartLine line{{}, {}, Pen{PenStyle::Solid, 2, classColour(k, flights.size())}, name, ""};
        if (!compared)
            charts[0].legend.push_back(
                {printed("%s (%d)", name.c_str(), f.trajectories), Pen{PenStyle::Solid, 2, line.pen.colour}});
        if (f.distanceMm.empty()) continue;
        for (double z : f.distanceMm) line.x.push_back(u.distance(z));
        std::array<ChartLine, 3> lines{line, line, line};
        for (std::size_t i = 0; i < f.distanceMm.size(); ++i) {
            lines[0].y.push_back(u.velocity(f.velocity[i]));
            lines[1].y.push_back(u.temperatureOf(f.surfaceTemperature[i]));
            lines[2].y.push_back(f.moltenShare[i]);
        }
        addToCharts(charts, lines, compared);
    }
}

}  // namespace

std::array<SprayChart, 3> classFlightCharts(const SprayPageInputs& in) {
    const SprayUnits& u = in.units;
    std::array<SprayChart, 3> charts = chartsAlongFlight(
        in, {"Velocity by Size Class", "Surface Temperature by Size Class", "Molten Share of the Mass in Flight"},
        "Molten share", distanceTitle(u));
    if (in.outcome) {
        addClassCurves(charts, *in.outcome, in.options.sizeClasses, u, nullptr);
        if (charts[0].lines.empty()) charts[0].emptyNote = "No trajectory kept: raise Trajectories kept";
        // In brackets: the trajectories each class's means are taken over.
        charts[1].legend.push_back({"(n): trajectories in the class", Pen{PenStyle::Null, 1, kLabelColour}});
        if (in.compared) {
            addClassCurves(charts, *in.compared, in.comparedOptions.sizeClasses, u, &in.comparedName);
            for (SprayChart& c : charts) c.legend.push_back(comparedLegend(in));
        }
    }
    scaleAlongFlight(charts, u);
    return charts;
}

// ----- pages --------------------------------------------------------------------------

namespace {

void drawFrame(DrawingContext& dc, const Rect& r) {
    ScopedPen pen(dc, kFramePen);
    ScopedBrush brush(dc, Brush{BrushStyle::Solid, kWhite});
    dc.rectangle(r.left, r.top, r.right, r.bottom);
}

// A chart inside a frame, inset by two units so the frame stays visible,
// its texts in the page's height.
void drawFramedChart(DrawingContext& dc, const Rect& r, SprayChart chart, int font) {
    drawFrame(dc, r);
    chart.font = font;
    drawSprayChart(dc, Rect{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2}, chart);
}

void drawFramedPanel(DrawingContext& dc, const Rect& r, const SprayPageInputs& in, int font) {
    drawFrame(dc, r);
    drawSprayPanel(dc, Rect{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2}, in, font);
}

// Three charts one above the other in the rectangle.
void drawStack(DrawingContext& dc, const Rect& r, const std::array<SprayChart, 3>& charts, int font) {
    const int h = r.height() / 3;
    for (int i = 0; i < 3; ++i) {
        drawFramedChart(dc, Rect{r.left, r.top + i * h, r.right, r.top + (i + 1) * h},
                        charts[static_cast<std::size_t>(i)], font);
    }
}

}  // namespace

bool drawSprayPage(DrawingContext& dc, int view, const Rect& page, const SprayPageInputs& in) {
    const int l = page.left, t = page.top, r = page.right, b = page.bottom;
    const int split = l + (2 * page.width()) / 3;
    if (viewCaption(view).empty()) return false;
    const int font = sprayPageFont(page);
    ScopedState state(dc);
    dc.setBackgroundMode(BackgroundMode::Transparent);
    switch (view) {
        case kViewAll: {
            const int middle = t + page.height() / 2;
            drawFramedChart(dc, Rect{l, t, split, middle}, trajectoryChart(in), font);
            const auto flight = flightCharts(in);
            const int w = (split - l) / 3;
            for (int i = 0; i < 3; ++i) {
                drawFramedChart(dc, Rect{l + i * w, middle, l + (i + 1) * w, b},
                                flight[static_cast<std::size_t>(i)], font);
            }
            break;
        }
        case kViewTrajectories:
            drawFramedChart(dc, Rect{l, t, split, b}, trajectoryChart(in), font);
            break;
        case kViewFlight:
            drawStack(dc, Rect{l, t, split, b}, flightCharts(in), font);
            break;
        case kViewSubstrate:
            drawStack(dc, Rect{l, t, split, b}, substrateCharts(in), font);
            break;
        case kViewClassFlight:
            drawStack(dc, Rect{l, t, split, b}, classFlightCharts(in), font);
            break;
        case kViewSensor: {
            const Rect left{l, t, split, b};
            drawFrame(dc, left);
            drawTextBlocks(dc, Rect{l + 2, t + 2, split - 2, b - 2}, "Sensor and Size Classes", sensorBlocks(in),
                           font);
            break;
        }
        case kViewTune: {
            // The table of steps needs more room than the panel: the charts take half.
            const int charts = l + page.width() / 2;
            const particles::TuneOutcome none;
            drawTunePage(dc, Rect{l, t, charts, b}, in.tuneOptions, in.tune ? *in.tune : none, font);
            drawFrame(dc, Rect{charts, t, r, b});
            std::vector<TextBlock> blocks =
                in.tune ? tuneBlocks(in.tuneOptions, *in.tune)
                        : std::vector<TextBlock>{{"No tuning scan yet", {"Spray \u203a Tune Injector\u2026 runs one."}, {}, -1}};
            drawTextBlocks(dc, Rect{charts + 2, t + 2, r - 2, b - 2}, "Injector Tuning", blocks, font);
            return true;
        }
        default:
            return false;
    }
    drawFramedPanel(dc, Rect{split, t, r, b}, in, font);
    return true;
}

std::vector<std::pair<std::string, SprayChart>> viewCharts(int view, const SprayPageInputs& in) {
    std::vector<std::pair<std::string, SprayChart>> charts;
    const auto flight = [&] {
        const auto c = flightCharts(in);
        charts.insert(charts.end(), {{"velocity", c[0]}, {"temperature", c[1]}, {"molten", c[2]}});
    };
    switch (view) {
        case kViewAll:
            charts.push_back({"trajectories", trajectoryChart(in)});
            flight();
            break;
        case kViewTrajectories:
            charts.push_back({"trajectories", trajectoryChart(in)});
            break;
        case kViewFlight:
            flight();
            break;
        case kViewSubstrate: {
            const auto c = substrateCharts(in);
            charts = {{"velocity", c[0]}, {"temperature", c[1]}, {"molten", c[2]}};
            break;
        }
        case kViewClassFlight: {
            const auto c = classFlightCharts(in);
            charts = {{"velocity", c[0]}, {"temperature", c[1]}, {"molten", c[2]}};
            break;
        }
        case kViewTune: {
            const particles::TuneOutcome none;
            const auto c = tuneCharts(in.tuneOptions, in.tune ? *in.tune : none);
            charts = {{"deviation", c[0]}, {"mass", c[1]}, {"velocity", c[2]}, {"temperature", c[3]}};
            break;
        }
        default:
            break;
    }
    return charts;
}

std::string viewCaption(int view) {
    switch (view) {
        case kViewAll:
            return "All Charts";
        case kViewTrajectories:
            return "Trajectories";
        case kViewFlight:
            return "Along the Flight";
        case kViewSubstrate:
            return "At the Substrate";
        case kViewSensor:
            return "Sensor and Size Classes";
        case kViewTune:
            return "Injector Tuning";
        case kViewClassFlight:
            return "Size Classes Along the Flight";
        default:
            return "";
    }
}

}  // namespace torvex::kavel
