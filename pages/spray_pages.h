// The spray chart pages: the particle trajectories over the jet's isotherms,
// velocity, surface temperature and molten fraction along the flight of the
// d10, d50 and d90 particles, the histograms at the substrate, and the
// parameters panel. One page painter per view serves the window, images, PDF
// files and the printer; only the rectangle and the device differ.
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "charts/chart_pages.h"
#include "pages/spray_chart.h"
#include "pages/spray_units.h"
#include "particles/injector_tuning.h"
#include "particles/particle_model.h"

namespace torvex::kavel {

// The views of the window, in menu order.
constexpr int kViewNothing = 0;
constexpr int kViewAll = 1;
constexpr int kViewTrajectories = 2;
constexpr int kViewFlight = 3;
constexpr int kViewSubstrate = 4;
constexpr int kViewSensor = 5;  // the sensor reading and the size-class table
constexpr int kViewTune = 6;    // the injector tuning scan
constexpr int kViewClassFlight = 7;  // the size classes along the flight

// A block of the parameters panel: a heading and its lines.
struct PanelSection {
    std::string heading;
    std::vector<std::string> lines;
};

// Everything a page shows. The field and the outcome may be absent (no jet
// computed yet, no spray run yet); the pages then say so. With an outcome,
// the field and the variant are those of the jet its particles flew through.
struct SprayPageInputs {
    SprayUnits units;
    const particles::JetField* field = nullptr;
    const particles::SprayOutcome* outcome = nullptr;
    particles::SprayOptions options;
    std::string materialName;  // of options.powder.material, from the materials table
    ParameterTexts variant;
    // Why there is no jet to show (the set check's sentence), written where
    // the jet would be drawn; "" for the plain note.
    std::string jetNote;
    // A second spray drawn over the first in lighter colours, with its name,
    // its options and the variant of the jet it flew through.
    const particles::SprayOutcome* compared = nullptr;
    particles::SprayOptions comparedOptions;
    std::string comparedName;
    std::string comparedJet;
    // The last injector tuning scan, if any, with the options it ran with.
    const particles::TuneOutcome* tune = nullptr;
    particles::TuneOptions tuneOptions;
};

// The jet's isotherm at `levelK`: for each cross-section whose axis is at
// least that hot, the outermost radius (mm) at that temperature, linear
// between the radii of the field. Distances in mm.
struct IsothermLine {
    std::vector<double> distanceMm, radiusMm;
};
IsothermLine isothermOf(const particles::JetField& field, double levelK);

// The isotherm levels drawn: 2, 4, 6, 8 and 10 thousand of the temperature
// unit, in kelvin.
std::array<double, 5> isothermLevelsK(const SprayUnits& units);

// The lines of the panel: the variant, the powder and injection, the results
// at the substrate (when there are any).
std::vector<PanelSection> panelSections(const SprayPageInputs& in);

SprayChart trajectoryChart(const SprayPageInputs& in);
std::array<SprayChart, 3> flightCharts(const SprayPageInputs& in);
std::array<SprayChart, 3> substrateCharts(const SprayPageInputs& in);
// Velocity, surface temperature and molten share of each size class
// against the distance from the nozzle (particles/flight_by_class.h).
std::array<SprayChart, 3> classFlightCharts(const SprayPageInputs& in);

// The jet a page shows: the field and the variant's lines from the jet
// itself (the set it was read from), or none.
void showJet(SprayPageInputs& in, const particles::JetField* jet);

// The text height of a page's charts and panel: as on the jet's chart pages
// (a chart of half the page's height writes at 1/18 of its height).
int sprayPageFont(const Rect& page);

// The panel in the page's text height (0: from the panel's own height),
// smaller where its lines would not fit.
void drawSprayPanel(DrawingContext& dc, const Rect& area, const SprayPageInputs& in, int pageFont = 0);

// The charts of a view with a short name each, for the exported data;
// empty for an unknown view.
std::vector<std::pair<std::string, SprayChart>> viewCharts(int view, const SprayPageInputs& in);

// Paints the page of a view; false (nothing drawn) for view 0 or an unknown view.
bool drawSprayPage(DrawingContext& dc, int view, const Rect& page, const SprayPageInputs& in);

// The caption of a view ("All Charts", "Trajectories", ...), "" for others.
std::string viewCaption(int view);

}  // namespace torvex::kavel
