#pragma once

#include "platform/ChartGraphic.h"
#include "plot/AlignmentGeometry.h"
#include "plot/DrawingSurface.h"
#include "read/ChartReader.h"
#include "state/Design.h"

#include <string>

namespace valvix {

// What reading a chart picture puts into the design and the graphic: the frame, the full
// scales, the grid voltages and the tilt that turns the picture level. One step of the
// Initialize window's history holds them as they were before and after.
struct ReadValues {
    FrameEdges frame;
    float voltsFullscale = 0;
    float ampsFullscale = 0;
    float gridMostPositive = 0;
    float gridMostNegative = 0;
    float gridStep = 0;
    std::string tiltFileName;
    float tiltDegrees = 0;
    bool fromReading = false; // the values a reading gave, not those from before it
};

// The values as the design and the graphic hold them now.
ReadValues CurrentValues(const Design& design, const ChartGraphic& graphic);
// The values with the reading put in as if typed, the picture of the design's
// GraphicFileName (of the given size) turned level by the box's lean; what was not read
// stays as it is.
ReadValues ValuesFromReading(const read::ChartReading& reading, const Design& design,
                             const ChartGraphic& graphic, int pictureWidth, int pictureHeight);
void PutValues(const ReadValues& values, Design& design, ChartGraphic& graphic);

// A reading with the picture it was made from.
struct PictureReading {
    read::ChartReading reading;
    std::string fileName;
    int width = 0;
    int height = 0;
};

// Marks what was read over the picture as turned level: the box, each axis number used
// with its value, each curve label with its grid voltage, and how many texts were set
// aside.
void DrawReading(DrawingSurface& surface, const PictureReading& shown);

// The status line: what was read, then what could not be, one sentence each.
std::string DescribeReading(const read::ChartReading& reading);

} // namespace valvix
