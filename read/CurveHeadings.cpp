#include "read/CurveHeadings.h"

#include <cmath>
#include <numbers>

namespace valvix::read {

namespace {

// A label along its curve stands within this many character heights of it, and no nearer
// than this (a mark nearer is a stub of the curve).
constexpr double kBesideReach = 2;
constexpr double kOnTheCurve = 0.5;
// The box's inner margin, in character heights, where labels stand at the curves' ends or
// across the top edge, printed level.
constexpr double kEdgeMargin = 0.5;
// Curves that run within this many degrees of level turn no label: level text leans that
// much as its ink lies.
constexpr double kLevelSlack = 15;

// The slope of a curve at its point i, in degrees as the picture turns them (rising to the
// right is negative): between its first points a character height or more either side.
double HeadingAt(const std::vector<cv::Point2f>& curve, std::size_t i, double height) {
    std::size_t first = i;
    std::size_t last = i;
    while (first > 0 && cv::norm(curve[first] - curve[i]) < height) {
        --first;
    }
    while (last + 1 < curve.size() && cv::norm(curve[last] - curve[i]) < height) {
        ++last;
    }
    const cv::Point2f step = curve[last] - curve[first];
    return std::atan2(step.y, step.x) * 180 / std::numbers::pi;
}

} // namespace

CurveHeadings::CurveHeadings(const std::vector<fit::PrintedTrace>& curves, const cv::Rect2d& box,
                             double height)
    : m_box(box), m_height(height) {
    const cv::Point2d origin(box.x, box.y + box.height);
    for (const fit::PrintedTrace& trace : curves) {
        std::vector<cv::Point2f>& curve = m_curves.emplace_back();
        for (const fit::ChartPoint& point : trace.points) {
            curve.emplace_back(cv::Point2d(origin.x + point.vp, origin.y - point.ip));
        }
    }
}

std::optional<double> CurveHeadings::besideAt(cv::Point2f at) const {
    const double margin = kEdgeMargin * m_height;
    if (at.x < m_box.x || at.x > m_box.x + m_box.width - margin || at.y < m_box.y + margin ||
        at.y > m_box.y + m_box.height) {
        return std::nullopt;
    }
    double nearest = kBesideReach * m_height;
    std::optional<double> heading;
    for (const std::vector<cv::Point2f>& curve : m_curves) {
        for (std::size_t i = 0; i < curve.size(); ++i) {
            const double distance = cv::norm(curve[i] - at);
            if (distance < kOnTheCurve * m_height) {
                return std::nullopt;
            }
            if (distance < nearest && curve.size() >= 2) {
                nearest = distance;
                heading = HeadingAt(curve, i, m_height);
            }
        }
    }
    if (heading && std::abs(*heading) <= kLevelSlack) {
        return std::nullopt;
    }
    return heading;
}

} // namespace valvix::read
