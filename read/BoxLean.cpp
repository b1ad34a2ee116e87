#include "read/BoxLean.h"

#include <opencv2/imgproc.hpp>

#include <cmath>
#include <numbers>
#include <vector>

namespace valvix::read {

namespace {

// A box line's ink is looked for this many pixels either side of where it should be.
constexpr int kLineReach = 3;
// A line is clean when this share of its points lies within a pixel of one straight line.
constexpr double kCleanLine = 0.9;

struct Slope {
    double slope;
    double inliers; // the points within a pixel of the line
};

// The slope of a least-squares line through the points, fitted again without the points
// more than a pixel off the first; nothing with fewer than 20 points.
std::optional<Slope> RobustSlope(const std::vector<cv::Point2d>& points) {
    std::optional<double> slope;
    double inliers = 0;
    double intercept = 0;
    for (int round = 0; round < 2; ++round) {
        double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
        for (const cv::Point2d& p : points) {
            if (slope && std::abs(p.y - (intercept + *slope * p.x)) > 1.0) {
                continue;
            }
            n += 1;
            sx += p.x;
            sy += p.y;
            sxx += p.x * p.x;
            sxy += p.x * p.y;
        }
        if (n < 20) {
            return std::nullopt;
        }
        slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
        intercept = (sy - *slope * sx) / n;
        inliers = n;
    }
    return Slope{*slope, inliers};
}

// The middle of the ink of a printed line near (x, y) of the unturned ink, across it
// within kLineReach pixels; nothing where there is none.
std::optional<double> InkMiddleNear(const cv::Mat1b& ink, int x, double y) {
    double weight = 0;
    double moment = 0;
    for (int row = int(y) - kLineReach; row <= int(y) + kLineReach; ++row) {
        if (row >= 0 && row < ink.rows && x >= 0 && x < ink.cols && ink(row, x) != 0) {
            weight += 1;
            moment += row + 0.5;
        }
    }
    return weight > 0 ? std::optional(moment / weight) : std::nullopt;
}

} // namespace

std::optional<double> MeasuredLean(const cv::Mat1b& ink, const PlotBox& box) {
    const cv::Mat back =
        cv::getRotationMatrix2D({ink.cols / 2.0f, ink.rows / 2.0f}, -box.tilt, 1.0);
    std::vector<cv::Point2d> points;
    std::optional<Slope> best;
    for (const double edge : {box.top, box.bottom}) {
        points.clear();
        const double margin = 0.05 * (box.right - box.left);
        for (double x = box.left + margin; x < box.right - margin; x += 2) {
            std::vector<cv::Point2d> at{{x, edge}};
            cv::transform(at, at, back);
            if (const auto middle = InkMiddleNear(ink, int(at[0].x), at[0].y)) {
                points.emplace_back(int(at[0].x) + 0.5, *middle);
            }
        }
        const std::optional<Slope> slope = RobustSlope(points);
        if (slope && slope->inliers >= kCleanLine * double(points.size())) {
            best = slope;
            break;
        }
    }
    if (!best) {
        return std::nullopt;
    }
    return std::atan(best->slope) * 180 / std::numbers::pi;
}

} // namespace valvix::read
