// The two shipped example charts.

#include "ChartRender.h"
#include "ExampleChart.h"

#include <cmath>

namespace valvix::example {

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

} // namespace valvix::example
