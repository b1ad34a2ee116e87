#pragma once

// Renders data-sheet style plate-characteristics charts of a triode from known model
// parameters, in memory: the shipped example charts are made with it, and the fit
// tests draw their charts with it instead of keeping picture files.

#include "model/Triode.h"
#include "state/Design.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace valvix::example {

// A straight load line from the supply voltage at 0 A to 0 V at supply / ohms.
struct LoadLine {
    double supplyVolts = 0;
    double ohms = 0; // 0: no load line
};

// Everything a chart shows, and how it is spoiled on the way to the picture.
struct ChartSpec {
    QString title;
    QStringList notes;        // small lines in the top-left corner of the frame
    TriodeParameters truth;   // the model the printed curves follow
    TriodeParameters saved;   // the parameters of the design that goes with it
    float voltsFullscale = 0; // volts at the right edge
    float ampsFullscale = 0;  // amps at the top edge
    float gridMostPos = 0;
    float gridMostNeg = 0;
    float gridStep = 1;
    int width = 400; // picture pixels
    int height = 300;
    // The axes in continuous picture coordinates: pixel i covers [i, i + 1).
    double axisLeft = 0;
    double axisRight = 0;
    double axisTop = 0;
    double axisBottom = 0;
    double voltsMajor = 0;       // numbered vertical lines
    double voltsMinor = 0;       // light vertical lines
    double ampsMajor = 0;        // numbered horizontal lines
    double ampsMinor = 0;        // light horizontal lines
    int milliampDecimals = 1;    // decimals of the current numbers, in mA
    double textScale = 1;        // text sizes and pens against a 400 x 300 chart
    double curvePen = 1.5;       // curve stroke width in picture pixels
    bool darkGrid = false;       // numbered grid lines thin but as dark as the curves
    bool labelsOnCurves = false; // grid-voltage labels on the curves, each in a blank box
    float limitWatts = 0;        // dissipation limit curve drawn when above 0
    LoadLine loadLine;
    float designDissipation = 0; // the Dissipation saved with the design
    int oversample = 4;          // drawn this many times larger, then scaled down
    double grain = 3;            // scan noise, grey levels either way
    std::uint32_t seed = 12345;  // of the scan noise
    int jpegQuality = 0;         // compressed and read back when above 0
};

// The chart as a picture.
QImage RenderChart(const ChartSpec& sheet);

// A design lined up with the chart: frame on the axes, the chart's scales and grid
// voltages, the given model parameters and the sheet's dissipation.
Design ChartDesign(const ChartSpec& sheet, const TriodeParameters& parameters);

// The shipped examples: a 12AX7-like chart of 400 x 300 pixels and a 6SN7-like one of
// 1000 x 700 with a load line and a dissipation limit.
ChartSpec Example12AX7();
ChartSpec Example6SN7();

// Places the axes at fixed shares of a picture of the given size, on pixel centres, and
// sizes text and pens with the picture.
void FitFrame(ChartSpec& sheet, int width, int height);

} // namespace valvix::example
