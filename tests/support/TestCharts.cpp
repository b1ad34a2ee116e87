// The fit tests' charts, drawn from known model parameters by the example chart renderer.

#include "support/TestCharts.h"

namespace valvix::example {

namespace {

// Scales the true parameters to make deliberately unfitted ones.
TriodeParameters Off(const TriodeParameters& p, float mu, float ex, float kg1, float kp, float kvb) {
    return {p.Mu * mu, p.Ex * ex, p.Kg1 * kg1, p.Kp * kp, p.Kvb * kvb};
}

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
