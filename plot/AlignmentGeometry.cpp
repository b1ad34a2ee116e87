#include "plot/AlignmentGeometry.h"

#include <array>
#include <cmath>
#include <numbers>

namespace valvix {

namespace {

constexpr std::array<EdgeRule, 4> kEdges{{
    {FrameEdge::Left, &FrameEdges::left, true, FrameEdge::Right, "Left"},
    {FrameEdge::Right, &FrameEdges::right, true, FrameEdge::Left, "Right"},
    {FrameEdge::Top, &FrameEdges::top, false, FrameEdge::Bottom, "Top"},
    {FrameEdge::Bottom, &FrameEdges::bottom, false, FrameEdge::Top, "Bottom"},
}};

// Picture pixels the two straightening points must lie apart at least.
constexpr double kShortestAxis = 10;

} // namespace

FrameEdges FrameOf(const Design& design) {
    return {design.Xleft, design.Xright, design.Ytop, design.Ybottom};
}

void SetFrame(Design& design, const FrameEdges& frame) {
    design.Xleft = frame.left;
    design.Xright = frame.right;
    design.Ytop = frame.top;
    design.Ybottom = frame.bottom;
}

const EdgeRule& RuleOf(FrameEdge edge) {
    for (const EdgeRule& rule : kEdges) {
        if (rule.edge == edge) {
            return rule;
        }
    }
    return kEdges[0];
}

PixelStep PicturePixelStep(int pictureWidth, int pictureHeight) {
    return {kChartAreaWidth / static_cast<float>(pictureWidth),
            kChartAreaHeight / static_cast<float>(pictureHeight)};
}

bool InsideChartArea(PointF at) {
    return at.x >= kChartAreaTopLeft.x && at.x <= kChartAreaTopLeft.x + kChartAreaWidth &&
           at.y >= kChartAreaTopLeft.y && at.y <= kChartAreaTopLeft.y + kChartAreaHeight;
}

FrameOutcome FrameFromCorners(PointF origin, PointF farCorner, PixelStep step) {
    const float wide = farCorner.x - origin.x;
    const float high = origin.y - farCorner.y;
    const bool narrow = std::abs(wide) < step.x;
    const bool flat = std::abs(high) < step.y;
    if (narrow && flat) {
        return {{}, "Both corners were clicked on the same spot; the frame is unchanged."};
    }
    if (narrow || flat) {
        return {{}, "These corners give a frame without width or height; the frame is unchanged."};
    }
    if (wide < 0 || high < 0) {
        return {{},
                "The far corner must lie right of and above the origin corner; the frame "
                "is unchanged."};
    }
    return {{origin.x, farCorner.x, farCorner.y, origin.y}, {}};
}

FrameEdge EdgeAt(const FrameEdges& frame, PointF at, float reachX, float reachY) {
    FrameEdge nearest = FrameEdge::None;
    float nearestShare = 1; // distance as a share of the reach
    for (const EdgeRule& rule : kEdges) {
        const float along = rule.upright ? at.y : at.x;
        const float from =
            rule.upright ? std::min(frame.top, frame.bottom) : std::min(frame.left, frame.right);
        const float to =
            rule.upright ? std::max(frame.top, frame.bottom) : std::max(frame.left, frame.right);
        const float reachAlong = rule.upright ? reachY : reachX;
        if (along < from - reachAlong || along > to + reachAlong) {
            continue;
        }
        const float across = std::abs((rule.upright ? at.x : at.y) - frame.*rule.value);
        const float share = across / (rule.upright ? reachX : reachY);
        if (share <= nearestShare) {
            nearest = rule.edge;
            nearestShare = share;
        }
    }
    return nearest;
}

FrameEdges WithEdgeAt(FrameEdges frame, FrameEdge edge, float place, PixelStep step) {
    const EdgeRule& rule = RuleOf(edge);
    const float opposite = frame.*RuleOf(rule.opposite).value;
    const float gap = rule.upright ? step.x : step.y;
    // The left and top edges stay before their opposite, the others after it.
    const bool before = edge == FrameEdge::Left || edge == FrameEdge::Top;
    frame.*rule.value = before ? std::min(place, opposite - gap) : std::max(place, opposite + gap);
    return frame;
}

float ArrowChange(FrameEdge edge, ArrowKey key, bool tenfold, PixelStep step) {
    if (edge == FrameEdge::None) {
        return 0;
    }
    const bool sideways = key == ArrowKey::Left || key == ArrowKey::Right;
    if (sideways != RuleOf(edge).upright) {
        return 0;
    }
    const float pixel = sideways ? step.x : step.y;
    const float sign = key == ArrowKey::Left || key == ArrowKey::Up ? -1.0f : 1.0f;
    return sign * pixel * (tenfold ? 10.0f : 1.0f);
}

PointF TurnedWithPicture(PointF at, float degrees, int pictureWidth, int pictureHeight) {
    const PointF p = ToPicturePixels(at, pictureWidth, pictureHeight);
    const double cx = pictureWidth / 2.0;
    const double cy = pictureHeight / 2.0;
    const double radians = degrees * std::numbers::pi / 180;
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    const double x = cx + c * (p.x - cx) - s * (p.y - cy);
    const double y = cy + s * (p.x - cx) + c * (p.y - cy);
    return FromPicturePixels({static_cast<float>(x), static_cast<float>(y)}, pictureWidth,
                             pictureHeight);
}

TiltOutcome AxisTilt(PointF a, PointF b, int pictureWidth, int pictureHeight) {
    const PointF pa = ToPicturePixels(a, pictureWidth, pictureHeight);
    const PointF pb = ToPicturePixels(b, pictureWidth, pictureHeight);
    double dx = static_cast<double>(pb.x) - pa.x;
    double dy = static_cast<double>(pb.y) - pa.y;
    if (dx < 0) { // clicked from right to left
        dx = -dx;
        dy = -dy;
    }
    if (std::hypot(dx, dy) < kShortestAxis) {
        return {0, "The two points on the x axis are too close together; click them further "
                   "apart. The picture is unchanged."};
    }
    const double degrees = std::atan2(dy, dx) * 180 / std::numbers::pi;
    if (std::abs(degrees) > kLargestTilt) {
        return {0, "The two points give a tilt of more than 45 degrees; click two points on the "
                   "chart's x axis. The picture is unchanged."};
    }
    return {static_cast<float>(degrees), {}};
}

} // namespace valvix
