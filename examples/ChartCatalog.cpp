// The charts the project draws: the two shipped examples and the fit tests' charts.

#include "ChartRender.h"
#include "ExampleChart.h"

#include <cmath>

namespace valvix::example {

namespace {

// Places the axes at fixed shares of the picture, on pixel centres, and sizes text and
// pens with the picture.
void FitFrame(ChartSpec& spec, int width, int height) {
    spec.width = width;
    spec.height = height;
    const auto centre = [](double at) { return std::floor(at) + 0.5; };
    spec.axisLeft = centre(0.13 * width);
    spec.axisRight = centre(0.905 * width);
    spec.axisTop = centre(0.075 * height);
    spec.axisBottom = centre(0.875 * height);
    spec.textScale = std::min(width / 400.0, height / 300.0);
    spec.curvePen = 1.5 * spec.textScale;
    spec.oversample = width > 700 ? 3 : 4;
}

// Scales the true parameters to make deliberately unfitted ones.
TriodeParameters Off(const TriodeParameters& p, float mu, float ex, float kg1, float kp,
                     float kvb) {
    return {p.Mu * mu, p.Ex * ex, p.Kg1 * kg1, p.Kp * kp, p.Kvb * kvb};
}

} // namespace

ChartSpec Example12AX7() {
    ChartSpec spec;
    spec.title = QStringLiteral("12AX7  AVERAGE PLATE CHARACTERISTICS");
    spec.notes = {QStringLiteral("EACH UNIT"), QStringLiteral("Ef = 6.3 VOLTS")};
    spec.truth = kTrueParameters;
    spec.saved = kSavedParameters;
    spec.voltsFullscale = kVoltsFullscale;
    spec.ampsFullscale = kAmpsFullscale;
    spec.gridMostPos = kGridMostPos;
    spec.gridMostNeg = kGridMostNeg;
    spec.gridStep = kGridStep;
    spec.width = kPictureWidth;
    spec.height = kPictureHeight;
    spec.axisLeft = 52.5;
    spec.axisRight = 362.5;
    spec.axisTop = 22.5;
    spec.axisBottom = 262.5;
    spec.voltsMajor = 50;
    spec.voltsMinor = 10;
    spec.ampsMajor = 0.0005;
    spec.ampsMinor = 0.0001;
    spec.designDissipation = 1.0f; // watts, the 12AX7's plate rating
    return spec;
}

ChartSpec Example6SN7() {
    ChartSpec spec;
    spec.title = QStringLiteral("6SN7  AVERAGE PLATE CHARACTERISTICS");
    spec.notes = {QStringLiteral("EACH UNIT"), QStringLiteral("Ef = 6.3 VOLTS")};
    spec.truth = {20.0f, 1.3f, 1300.0f, 250.0f, 600.0f};
    spec.saved = {17.0f, 1.2f, 1500.0f, 200.0f, 800.0f};
    spec.voltsFullscale = 500;
    spec.ampsFullscale = 0.03f;
    spec.gridMostPos = 0;
    spec.gridMostNeg = -20;
    spec.gridStep = 2;
    FitFrame(spec, 1000, 700);
    spec.voltsMajor = 100;
    spec.voltsMinor = 20;
    spec.ampsMajor = 0.005;
    spec.ampsMinor = 0.001;
    spec.milliampDecimals = 0;
    spec.loadLine = {400, 20000};
    spec.limitWatts = 5;
    spec.designDissipation = 5;
    spec.seed = 2024;
    spec.jpegQuality = 85;
    return spec;
}

namespace {

// The test charts' common spoiling: scan grain, then JPEG.
ChartSpec Spoiled(ChartSpec spec, std::uint32_t seed, int jpegQuality) {
    spec.grain = 6;
    spec.seed = seed;
    spec.jpegQuality = jpegQuality;
    spec.saved = Off(spec.truth, 1.1f, 0.95f, 1.1f, 0.9f, 1.1f);
    return spec;
}

ChartSpec HighMuChart() {
    ChartSpec spec = Example12AX7();
    spec.truth = {95.0f, 1.45f, 900.0f, 700.0f, 250.0f};
    FitFrame(spec, 560, 400);
    spec.loadLine = {300, 100000};
    spec.darkGrid = true;
    spec.limitWatts = 1;
    return Spoiled(spec, 11, 75);
}

ChartSpec LowMuChart() {
    ChartSpec spec = Example6SN7();
    FitFrame(spec, 640, 480);
    spec.labelsOnCurves = true;
    return Spoiled(spec, 12, 70);
}

// The scales and grid lines of a chart of 400 V full scale.
ChartSpec FourHundredVolts(const char* title, float amps, double ampsMajor) {
    ChartSpec spec;
    spec.title = QString::fromLatin1(title);
    spec.notes = {QStringLiteral("Ef = 6.3 VOLTS")};
    spec.voltsFullscale = 400;
    spec.ampsFullscale = amps;
    spec.voltsMajor = 50;
    spec.voltsMinor = 10;
    spec.ampsMajor = ampsMajor;
    spec.ampsMinor = ampsMajor / 5;
    spec.milliampDecimals = 0;
    return spec;
}

ChartSpec PowerTriodeChart() {
    ChartSpec spec = FourHundredVolts("2A3  AVERAGE PLATE CHARACTERISTICS", 0.25f, 0.05);
    spec.truth = {4.2f, 1.4f, 1500.0f, 60.0f, 2400.0f};
    spec.gridMostNeg = -100;
    spec.gridStep = 10;
    FitFrame(spec, 700, 500);
    spec.loadLine = {300, 2500};
    spec.darkGrid = true;
    spec.labelsOnCurves = true;
    spec.limitWatts = 15;
    return Spoiled(spec, 13, 75);
}

ChartSpec PositiveGridChart() {
    ChartSpec spec = FourHundredVolts("12AU7  PLATE CHARACTERISTICS, POSITIVE GRID", 0.06f, 0.01);
    spec.truth = {17.0f, 1.35f, 1180.0f, 84.0f, 300.0f};
    spec.gridMostPos = 10;
    spec.gridMostNeg = -20;
    spec.gridStep = 5;
    FitFrame(spec, 500, 380);
    spec.loadLine = {350, 10000};
    spec.labelsOnCurves = true;
    spec.limitWatts = 3.5f;
    return Spoiled(spec, 14, 80);
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
