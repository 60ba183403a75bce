#include "pages/jet_pages.h"

#include <algorithm>

#include "charts/page_rect.h"
#include "charts/palette.h"
#include "pages/summary_text.h"
#include "pages/variant_summary.h"
#include "solver/result_set.h"

namespace torvex {

namespace {

// The units of the run whose files lie in the folder: given by the caller,
// else as the folder records them.
std::optional<UnitCodes> unitsOfRun(const ChartSource& source, const UnitCodes* runUnits) {
    if (runUnits) return *runUnits;
    return runUnitsIn(source.directory);
}

PageInputs pageInputs(const UnitCodes& units, const std::string& directory, const UnitCodes* runUnits) {
    PageInputs in;
    in.source.units = units;
    in.source.directory = directory;
    in.source.runUnits = unitsOfRun(in.source, runUnits);
    in.parameters = readParameterTexts(in.source.file(kIntegralParametersFile), in.source.runUnits);
    return in;
}

// The page on a context in the state the window's paint handler starts with:
// transparent text background, grey text; everything restored afterwards.
void paintPage(DrawingContext& dc, int view, const Rect& page, const PageInputs& in) {
    ScopedState state(dc);
    dc.setBackgroundMode(BackgroundMode::Transparent);
    dc.setTextColour(kDefaultTextColour);
    drawViewPage(dc, view, page, in);
}

}  // namespace

std::optional<UnitCodes> runUnitsIn(const std::string& directory, std::string* why) {
    const std::string dir = directory.empty() ? "." : directory;
    // The set's own record first: unp.dat is TORVEX's alone, and a run from
    // a terminal since would have left it behind.
    const ResultSet set = readResultSet(dir, false);
    if (set.ok) return set.units;
    UnitCodes codes;
    if (!readUnitCodes(dir + "/" + kPreviousUnitFile, codes)) {
        if (why) *why = set.message;
        return std::nullopt;
    }
    return codes;
}

namespace {

ParameterTexts textsOf(const VariantSummary& summary) {
    ParameterTexts texts;
    // The panels draw the gas line apart (it carries the subscript): the
    // other four inputted lines, then the three calculated ones.
    auto next = texts.lines.begin();
    if (summary.hasInputs) {
        const GasLine gas = gasLine(summary.inputs.gasCode);
        texts.gas = gas.text;
        texts.gasSubscriptAfter = gas.subscriptAfter;
        const std::vector<std::string> inputted = inputtedLines(summary);
        next = std::copy(inputted.begin() + 1, inputted.end(), next);
    } else {
        next += 4;
    }
    const std::vector<std::string> calculated = calculatedLines(summary);
    std::copy(calculated.begin(), calculated.end(), next);
    return texts;
}

}  // namespace

ParameterTexts readParameterTexts(const std::string& integralParametersPath,
                                  const std::optional<UnitCodes>& runUnits) {
    // The whole variant as the Previous-variant dialog shows it, in the units
    // it was calculated in.
    return textsOf(
        previousVariantSummary(integralParametersPath, runUnits.has_value(), runUnits.value_or(UnitCodes{})));
}

ParameterTexts parameterTexts(const IntegralParameters& parameters, const UnitCodes& runUnits) {
    return textsOf(variantSummaryOf(parameters, true, runUnits));
}

void paintCurrentView(DrawingContext& dc, int view, const UnitCodes& units, const ViewArea& area,
                      const std::string& directory, const UnitCodes* runUnits) {
    if (view == kViewNothing) return;
    paintPage(dc, view, area, pageInputs(units, directory, runUnits));
}

void paintPrintedView(DrawingContext& dc, int view, const UnitCodes& units, const std::string& directory,
                      const UnitCodes* runUnits) {
    paintPage(dc, view, printPageRect(dc), pageInputs(units, directory, runUnits));
}

std::string viewPageName(int view) {
    switch (view) {
        case kViewAllCharts: return "All Charts";
        case kViewIsotherms: return "Isothermal Lines";
        case kViewRadial: return "Radial Distributions";
        case kViewAxial: return "Axial Distributions";
        default: return "";
    }
}

std::string viewDocumentTitle(int view, const std::string& directory) {
    ChartSource source;
    source.directory = directory;
    const std::optional<UnitCodes> runUnits = unitsOfRun(source, nullptr);
    const std::string variant = variantDescription(previousVariantSummary(
        source.file(kIntegralParametersFile), runUnits.has_value(), runUnits.value_or(UnitCodes{})));
    const std::string page = "TORVEX " + viewPageName(view);
    return variant.empty() ? page : page + " \u2014 " + variant;
}

}  // namespace torvex
