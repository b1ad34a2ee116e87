// The charts the project draws: the two shipped examples and the fit tests' charts.

#include "ChartRender.h"
#include "ExampleChart.h"

#include <cmath>

namespace valvix::example {

namespace {

// Places the axes at fixed shares of the picture, on pixel centres, and sizes text and
// pens with the picture.
void FitFrame(ChartSpec& sheet, int width, int height) {
    sheet.width = width;
    sheet.height = height;
    const auto centre = [](double at) { return std::floor(at) + 0.5; };
    sheet.axisLeft = centre(0.13 * width);
    sheet.axisRight = centre(0.905 * width);
    sheet.axisTop = centre(0.075 * height);
    sheet.axisBottom = centre(0.875 * height);
    sheet.textScale = std::min(width / 400.0, height / 300.0);
    sheet.curvePen = 1.5 * sheet.textScale;
    sheet.oversample = width > 700 ? 3 : 4;
}

// Scales the true parameters to make deliberately unfitted ones.
TriodeParameters Off(const TriodeParameters& p, float mu, float ex, float kg1, float kp,
                     float kvb) {
    return {p.Mu * mu, p.Ex * ex, p.Kg1 * kg1, p.Kp * kp, p.Kvb * kvb};
}

} // namespace

ChartSpec Example12AX7() {
    ChartSpec sheet;
    sheet.title = QStringLiteral("12AX7  AVERAGE PLATE CHARACTERISTICS");
    sheet.notes = {QStringLiteral("EACH UNIT"), QStringLiteral("Ef = 6.3 VOLTS")};
    sheet.truth = kTrueParameters;
    sheet.saved = kSavedParameters;
    sheet.voltsFullscale = kVoltsFullscale;
    sheet.ampsFullscale = kAmpsFullscale;
    sheet.gridMostPos = kGridMostPos;
    sheet.gridMostNeg = kGridMostNeg;
    sheet.gridStep = kGridStep;
    sheet.width = kPictureWidth;
    sheet.height = kPictureHeight;
    sheet.axisLeft = 52.5;
    sheet.axisRight = 362.5;
    sheet.axisTop = 22.5;
    sheet.axisBottom = 262.5;
    sheet.voltsMajor = 50;
    sheet.voltsMinor = 10;
    sheet.ampsMajor = 0.0005;
    sheet.ampsMinor = 0.0001;
    sheet.designDissipation = 1.0f; // watts, the 12AX7's plate rating
    return sheet;
}

ChartSpec Example6SN7() {
    ChartSpec sheet;
    sheet.title = QStringLiteral("6SN7  AVERAGE PLATE CHARACTERISTICS");
    sheet.notes = {QStringLiteral("EACH UNIT"), QStringLiteral("Ef = 6.3 VOLTS")};
    sheet.truth = {20.0f, 1.3f, 1300.0f, 250.0f, 600.0f};
    sheet.saved = {17.0f, 1.2f, 1500.0f, 200.0f, 800.0f};
    sheet.voltsFullscale = 500;
    sheet.ampsFullscale = 0.03f;
    sheet.gridMostPos = 0;
    sheet.gridMostNeg = -20;
    sheet.gridStep = 2;
    FitFrame(sheet, 1000, 700);
    sheet.voltsMajor = 100;
    sheet.voltsMinor = 20;
    sheet.ampsMajor = 0.005;
    sheet.ampsMinor = 0.001;
    sheet.milliampDecimals = 0;
    sheet.loadLine = {400, 20000};
    sheet.limitWatts = 5;
    sheet.designDissipation = 5;
    sheet.seed = 2024;
    sheet.jpegQuality = 85;
    return sheet;
}

namespace {

// The test charts' common spoiling: scan grain, then JPEG.
ChartSpec Spoiled(ChartSpec sheet, std::uint32_t seed, int jpegQuality) {
    sheet.grain = 6;
    sheet.seed = seed;
    sheet.jpegQuality = jpegQuality;
    sheet.saved = Off(sheet.truth, 1.1f, 0.95f, 1.1f, 0.9f, 1.1f);
    return sheet;
}

ChartSpec HighMuChart() {
    ChartSpec sheet = Example12AX7();
    sheet.truth = {95.0f, 1.45f, 900.0f, 700.0f, 250.0f};
    FitFrame(sheet, 560, 400);
    sheet.loadLine = {300, 100000};
    sheet.darkGrid = true;
    sheet.limitWatts = 1;
    return Spoiled(sheet, 11, 75);
}

ChartSpec LowMuChart() {
    ChartSpec sheet = Example6SN7();
    FitFrame(sheet, 640, 480);
    sheet.labelsOnCurves = true;
    return Spoiled(sheet, 12, 70);
}

// The scales and grid lines of a chart of 400 V full scale.
ChartSpec FourHundredVolts(const char* title, float amps, double ampsMajor) {
    ChartSpec sheet;
    sheet.title = QString::fromLatin1(title);
    sheet.notes = {QStringLiteral("Ef = 6.3 VOLTS")};
    sheet.voltsFullscale = 400;
    sheet.ampsFullscale = amps;
    sheet.voltsMajor = 50;
    sheet.voltsMinor = 10;
    sheet.ampsMajor = ampsMajor;
    sheet.ampsMinor = ampsMajor / 5;
    sheet.milliampDecimals = 0;
    return sheet;
}

ChartSpec PowerTriodeChart() {
    ChartSpec sheet = FourHundredVolts("2A3  AVERAGE PLATE CHARACTERISTICS", 0.25f, 0.05);
    sheet.truth = {4.2f, 1.4f, 1500.0f, 60.0f, 2400.0f};
    sheet.gridMostNeg = -100;
    sheet.gridStep = 10;
    FitFrame(sheet, 700, 500);
    sheet.loadLine = {300, 2500};
    sheet.darkGrid = true;
    sheet.labelsOnCurves = true;
    sheet.limitWatts = 15;
    return Spoiled(sheet, 13, 75);
}

ChartSpec PositiveGridChart() {
    ChartSpec sheet = FourHundredVolts("12AU7  PLATE CHARACTERISTICS, POSITIVE GRID", 0.06f, 0.01);
    sheet.truth = {17.0f, 1.35f, 1180.0f, 84.0f, 300.0f};
    sheet.gridMostPos = 10;
    sheet.gridMostNeg = -20;
    sheet.gridStep = 5;
    FitFrame(sheet, 500, 380);
    sheet.loadLine = {350, 10000};
    sheet.labelsOnCurves = true;
    sheet.limitWatts = 3.5f;
    return Spoiled(sheet, 14, 80);
}

} // namespace

ChartSpec TestChart(TestTube tube) {
    switch (tube) {
    case TestTube::HighMu:
        return HighMuChart();
    case TestTube::LowMu:
        return LowMuChart();
    case TestTube::PowerTriode:
        return PowerTriodeChart();
    case TestTube::PositiveGrid:
        return PositiveGridChart();
    }
    return HighMuChart();
}

} // namespace valvix::example
