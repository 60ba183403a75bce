// What the three chart kinds share: where the result files are, the unit
// conversions of the charts, axes that start at 0 with a round step, the
// five curve styles, and the small text helpers of titles and legends.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "charts/scales.h"
#include "platform/drawing_context.h"
#include "solver/files.h"

namespace torvex {

// Where a chart finds its result files and in which units it shows them.
//
// The axes follow the units chosen now; the values the run fixed (the
// isotherm levels, the distances of the radial sections, the variant's
// parameters) are labelled in the units the run was calculated in, since the
// solver chose them in those units. Without the run's units those labels are
// left out rather than shown in units that may not be theirs.
struct ChartSource {
    UnitCodes units;
    // Folder of the result files; empty for the working directory.
    std::string directory;
    // The units of the run that wrote the files (unp.dat), if known.
    std::optional<UnitCodes> runUnits;

    std::string file(const std::string& name) const;
    bool metric() const { return units.length == 1; }
};

constexpr double kInchesPerMillimetre = 0.03937007874;
constexpr double kMetresPerFoot = 0.3048;

// Thousands of kelvin to thousands of degrees Fahrenheit or Celsius, with the
// program's offset of 273.
double kelvinToFahrenheitK(double kiloKelvin);
double kelvinToCelsiusK(double kiloKelvin);
// Thousands of the temperature unit (1 K, 2 F, 3 C; another code: kelvin).
double chartTemperature(double kiloKelvin, int temperatureCode);
// Velocity in units of 100 m/s (metric) or in ft/s (inch).
double chartVelocity(double metresPerSecond, int lengthCode);
// Distance from the nozzle exit in cm (metric) or in.
double chartDistance(double millimetres, int lengthCode);
// Radial position in mm (metric) or in.
double chartRadius(double millimetres, int lengthCode);

// An axis from 0 to intervals * step with ticks 0, step, 2 step, ...
struct AxisScale {
    double step = 0;
    int intervals = 0;
    std::vector<double> ticks;

    double end() const { return step * intervals; }
};

// The scale of data reaching `dataEnd` with about `wishedIntervals`
// intervals. Data that give no positive range (no records, all zero) get a
// single tick at 0 instead of a pile of equal labels.
AxisScale axisScale(double dataEnd, int wishedIntervals);

// The same with a step of 1, 2, 2.5 or 5 units of a decade: the axes in
// inches, feet per second and degrees Fahrenheit, whose round numbers a
// reader of those units expects.
AxisScale readableAxisScale(double dataEnd, int wishedIntervals);

// The scale of an axis in the units chosen: readable steps for the inch and
// Fahrenheit units, else the round steps of axisScale.
AxisScale chartAxisScale(double dataEnd, int wishedIntervals, bool readable);

// The printf pattern of tick labels `step` apart with as many decimals as the
// step needs ("%.1lf" for 0.1 or 0.5, "%.2lf" for 0.05 or 0.25, ...; "%lg"
// for whole steps).
std::string decimalsFormat(double step);

// The five curve styles of the radial charts, curve 1 first; the isotherm
// chart uses the same pens in another colour order.
Pen curvePen(int curve, const Rgb& colour);

// "Temperature, kK", "Temperature, kF" or "Temperature, kC"; "" for another code.
std::string temperatureTitle(int temperatureCode);

// The axis font of a chart of height H: face Arial, H / 18.
int axisFontHeight(int chartHeight);

// The length of the tick marks: 6 screen pixels in the device's units.
int tickLength(const DrawingContext& dc);

// The plot rectangle of a chart area, its margins counted in the axis font's
// sample size: `leftWidths` and `rightWidths` sample widths beside it (tick
// labels, and a legend strip where a chart has one), 3.45 sample heights
// above for the title and 3.75 below for the tick labels and the axis title.
Rect plotInArea(const Rect& area, const TextSize& sample, double leftWidths, double rightWidths);

// Grid lines at the ticks of both scales, in the grid pen.
void drawScaleGrid(DrawingContext& dc, const Rect& plot, const DataWindow& window, const AxisScale& x,
                   const AxisScale& y);

// How far a rotated value-axis title must move left (a value <= 0) so that
// its right edge, now at `titleRight`, keeps a gap of a quarter of the text
// height `textHeight` from tick labels as wide as `widestLabel` that end at
// the axis `plotLeft`. It never moves the title's leftmost part, now at
// `titleLeft`, out of the chart area.
int titleShiftClearOfLabels(const Rect& area, int plotLeft, int widestLabel, int titleLeft, int titleRight,
                            int textHeight);

// The legend strip right of a plot, where each curve family has a row.
struct LegendStrip {
    int plotTop = 0;
    int labelRight = 0;   // labels end here
    int sampleStart = 0;  // the line samples run from here back to the labels
    int digitWidth = 0;   // width of "1" in the axis font
};

// The legend row of curve 1..5: its label right-aligned in the curve's
// colour, two label heights per row below the plot's top; then, in the
// curve's pen, a line sample up to a digit's width right of the label
// (doubled one unit higher for the thin pens of curves 2..5) and the curve
// itself, which `drawCurveInPen` draws while that pen is selected.
void drawLegendRow(DrawingContext& dc, const LegendStrip& strip, int curve, const Rgb& colour,
                   const std::string& label, const std::function<void()>& drawCurveInPen);

// Tells the device of a plot with its data window, the axes' names and units
// in the chart's units and the curves drawn in it, for the readout of the
// curves' values under the pointer.
void notePlotAxes(DrawingContext& dc, const Rect& plot, const DataWindow& window, const std::string& xName,
                  const std::string& xUnit, const std::string& yName, const std::string& yUnit, double yFactor = 1,
                  std::vector<PlotCurve> curves = {});

// A curve for notePlotAxes: the points 0..lastIndex as the chart draws them.
PlotCurve plotCurve(const std::string& label, const std::vector<double>& x, const std::vector<double>& y,
                    int lastIndex, const Rgb& colour);

// The names a chart's axes go by in the readout, in the source's units.
std::string distanceUnit(const ChartSource& source);  // "cm" or "in"
std::string radiusUnit(const ChartSource& source);    // "mm" or "in"
std::string temperatureUnitText(int temperatureCode); // "kK", "kF" or "kC"
// Velocity axes count 100 m/s (metric) or 1 ft/s (inch).
std::string velocityUnit(const ChartSource& source);
double velocityFactor(const ChartSource& source);

// A point from reals, each truncated toward zero.
Point at(double x, double y);
void drawText(DrawingContext& dc, const Point& p, const std::string& text);

}  // namespace torvex
