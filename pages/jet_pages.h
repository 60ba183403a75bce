// TORVEX's chart pages as the main window, its printouts and torvex-run's
// images show them: the pages of the charts module over the result files of
// a folder, with the variant's parameters panel. Drawing only (no desktop
// widgets); printing is the shell's (shell/chart_view.h).
#pragma once

#include <optional>
#include <string>

#include "charts/chart_pages.h"
#include "platform/drawing_context.h"
#include "solver/files.h"

namespace torvex {

// The main window's client area in device units.
using ViewArea = Rect;

// The units the results in `directory` ("" the working directory) were
// calculated in: the result set's own record (results.stamp), else unp.dat,
// which TORVEX writes after each run; none when neither says (`why`, if
// given, then holds why the result set gave none).
std::optional<UnitCodes> runUnitsIn(const std::string& directory, std::string* why = nullptr);

// The variant's lines of the parameters panels, read from an iop.par on every
// paint and worded as the variant summaries word them. iop.par holds the
// inputs in the units the variant was calculated in (`runUnits`); without
// them only the calculated lines are given. A missing or unreadable file
// gives no lines.
ParameterTexts readParameterTexts(const std::string& integralParametersPath,
                                  const std::optional<UnitCodes>& runUnits);

// The same lines from iop.par's values as a reader of the set holds them
// (the jet a spray flew through), in the units of that run.
ParameterTexts parameterTexts(const IntegralParameters& parameters, const UnitCodes& runUnits);

// Paints the page of a view (1 all charts, 2 isothermal lines, 3 radial,
// 5 axial) in the client area from the result files and iop.par in
// `directory` ("" the working directory); view 0 paints nothing. The axes
// follow `units`; what the run fixed is labelled in the run's units, which
// `runUnits` gives or, when null, runUnitsIn(directory).
void paintCurrentView(DrawingContext& dc, int view, const UnitCodes& units, const ViewArea& area,
                      const std::string& directory = "", const UnitCodes* runUnits = nullptr);

// The same page on a sheet: laid out in the printed page rectangle of the
// device. `directory` holds the result files ("" the working directory).
void paintPrintedView(DrawingContext& dc, int view, const UnitCodes& units,
                      const std::string& directory = "", const UnitCodes* runUnits = nullptr);

// The page's name as its menu item gives it ("Axial Distributions"); "" for
// no page.
std::string viewPageName(int view);

// The title of a printed page of a view: the page and the variant of the
// result files in `directory` ("TORVEX Axial Distributions — Ar, 8.0 mm, 14 mm,
// 500 A, 35 SLPM"); just the page when no variant is readable there.
std::string viewDocumentTitle(int view, const std::string& directory);

}  // namespace torvex
