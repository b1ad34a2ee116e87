#include "support/TestCharts.h"

namespace valvix::example {

ChartSpec HighMuTestChart() {
    ChartSpec sheet = Example12AX7();
    sheet.truth = {95.0f, 1.45f, 900.0f, 700.0f, 250.0f};
    const TriodeParameters& t = sheet.truth;
    sheet.saved = {t.Mu * 1.1f, t.Ex * 0.95f, t.Kg1 * 1.1f, t.Kp * 0.9f, t.Kvb * 1.1f};
    FitFrame(sheet, 560, 400);
    sheet.loadLine = {300, 100000};
    sheet.darkGrid = true;
    sheet.limitWatts = 1;
    sheet.grain = 6;
    sheet.seed = 11;
    sheet.jpegQuality = 75;
    return sheet;
}

} // namespace valvix::example
