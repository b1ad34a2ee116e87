#pragma once

#include "ChartRender.h"

namespace valvix::example {

// A chart for the window's fit tests drawn from the model itself: a high-mu triode at
// 560 x 400 pixels with dark grid lines, axis numbers, curve labels, a load line, a limit
// curve, scan noise and JPEG compression; its saved parameters are 5 to 10 % off.
ChartSpec HighMuTestChart();

} // namespace valvix::example
