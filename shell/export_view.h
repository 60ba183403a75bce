// "Charts > Export...": the current chart view saved as a PNG image, a PDF
// page or an SVG drawing, or its data as CSV.
#pragma once

#include <QString>

#include "solver/files.h"

class QWidget;

namespace torvex {

// Asks for a file name, a format and (PNG) a resolution and writes the view
// there; a message box says why when it cannot be written. Returns the paths
// written, comma-separated ("" if none).
QString exportViewWithDialog(QWidget* owner, int view, const UnitCodes& units, int width, int height);

// Writes the page of a view to `path`, the format chosen by its extension:
// .png and .svg at width x height, .pdf on an A4 landscape sheet as printed,
// .csv the data of the view's charts (All Charts: the isotherm table, the
// radial and the axial profiles in three files, NAME-isotherms.csv,
// NAME-radial.csv and NAME-axial.csv). A PNG has `pngDotsPerInch` (96: the
// size given).
// `directory` holds the result files ("" the working directory). False with
// `error` on a fault; nothing is left half-written.
bool exportViewTo(const QString& path, int view, const UnitCodes& units, int width, int height,
                  const std::string& directory, QString* error, int pngDotsPerInch = 96);

}  // namespace torvex
