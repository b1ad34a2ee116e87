#pragma once

#include "state/Picture.h"

#include <opencv2/core.hpp>

#include <cstddef>

namespace valvix::fit {

// The part of a chart picture inside the plot frame, as a mask of the strokes that may
// belong to curves. Pictures larger than a working size are first scaled down by area
// averaging; working pixel (u, v) covers picture pixels from (x0 + u / scale,
// y0 + v / scale) on.
struct StrokeMask {
    cv::Mat1b strokes; // 255 where a stroke may belong to a curve
    double x0 = 0;
    double y0 = 0;
    double scale = 1;
    double strokeWidth = 1;       // the usual width of a printed stroke, working pixels
    std::size_t linesRemoved = 0; // grid and frame lines taken out
};

// The rectangle [x0, x1) x [y0, y1) of the picture, in whole pixels, already clipped to it.
struct PixelBox {
    int x0 = 0;
    int y0 = 0;
    int x1 = 0;
    int y1 = 0;
};

// A header over the picture's grey levels, for reading only.
cv::Mat1b GreyView(const GreyLevels& grey);
// The grey levels of a picture held as a matrix.
GreyLevels GreyLevelsOf(const cv::Mat1b& grey);

// How much darker than the paper around it each pixel is: the paper's level is the
// lightest grey nearby, smoothed, so that yellowed or unevenly lit scans read alike.
cv::Mat1b DarknessAgainstPaper(const cv::Mat1b& grey);

// Reads the box: the paper's level is taken out so that an unevenly lit or yellowed scan
// reads alike everywhere; dark enough pixels are strokes; speckle, and long straight
// horizontal and vertical runs (solid, dashed or dotted grid lines and the frame), are
// taken out.
StrokeMask FindStrokes(const GreyLevels& grey, const PixelBox& box);

} // namespace valvix::fit
