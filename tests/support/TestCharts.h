#pragma once

#include "ChartRender.h"

namespace valvix::example {

// Charts for the fit tests, drawn from the model itself: quite different triodes, each
// with grid lines, axis numbers, curve labels, a load line and a limit curve, JPEG
// compression and scan noise. They show that the fit finds the parameters a chart was
// drawn with; the corpus charts show how it fares where the model is not the curves' law.
enum class TestTube { HighMu, LowMu, PowerTriode, PositiveGrid };
ChartSpec TestChart(TestTube tube);

} // namespace valvix::example
