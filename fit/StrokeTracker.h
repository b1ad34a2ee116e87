#pragma once

#include <opencv2/core.hpp>

#include <vector>

namespace valvix::fit {

// A point where a stroke's centre line crosses a column of the mask (continuous
// coordinates: pixel (u, v) covers [u, u + 1) x [v, v + 1)), with the stroke's slope
// there (dv / du).
struct StrokePoint {
    double u;
    double v;
    double slope;
};

// A stroke followed along the columns, in order of growing u.
using StrokeTrack = std::vector<StrokePoint>;

// Follows the strokes of a mask column by column: in each column the runs of stroke
// pixels are found, and each run continues the track whose course (its last point and
// slope) it lies on. Gaps up to a few percent of the width (dashes, crossings, labels
// in blank boxes) are bridged; where two tracks meet in one run, both coast through
// it. Runs much longer than the stroke (blobs, steep parts) give no point.
std::vector<StrokeTrack> FollowColumns(const cv::Mat1b& strokes, double strokeWidth);

// Whether a track can be part of a plate curve: long enough, smooth, and rising (v
// falling) as u grows, so that text, speckle, load lines and the dissipation limit are
// left out. Above the band along the x axis (at `axis`, on v or, for tracks followed
// over the transposed mask, on u), where curves crowd at cut-off, a curve also rises
// markedly, unlike what is left of a dashed grid line.
bool LooksLikeCurve(const StrokeTrack& track, double strokeWidth, double axis, bool transposed);

} // namespace valvix::fit
