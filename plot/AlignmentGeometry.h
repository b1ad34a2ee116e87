#pragma once

#include "plot/ChartGeometry.h"
#include "plot/DrawingSurface.h"
#include "state/Design.h"

#include <string>

namespace valvix {

// The geometry of lining the plot frame up with a chart picture by hand: clicked
// corners, grabbed edges, arrow-key steps of one picture pixel and the tilt of the
// printed x axis. Points are layout units on the window surface; the picture is the
// one stretched into the chart area.

struct FrameEdges {
    float left = 0;
    float right = 0;
    float top = 0;
    float bottom = 0;
    friend bool operator==(const FrameEdges&, const FrameEdges&) = default;
};

FrameEdges FrameOf(const Design& design);
void SetFrame(Design& design, const FrameEdges& frame);

enum class FrameEdge { None, Left, Right, Top, Bottom };

// What sets an edge apart: where it is held, whether it runs up and down (moved along
// x), its opposite edge and its name.
struct EdgeRule {
    FrameEdge edge;
    float FrameEdges::*value;
    bool upright;
    FrameEdge opposite;
    const char* name;
};
const EdgeRule& RuleOf(FrameEdge edge); // edge must not be None

// One picture pixel in layout units: the chart area's size over the picture's.
struct PixelStep {
    float x = 0;
    float y = 0;
};
PixelStep PicturePixelStep(int pictureWidth, int pictureHeight);

// Strictly or on the border of the chart area.
bool InsideChartArea(PointF at);

// A frame worked out from the user's input, or the reason it was refused (then the
// frame must stay as it is).
struct FrameOutcome {
    FrameEdges frame;
    std::string refusal; // empty when accepted
};

// The frame from the chart's origin corner (0 V, 0 A: left and bottom edges) and far
// corner (full scales: right and top edges). Corners less than a picture pixel apart in
// both directions are the same spot; less than a pixel apart in one direction give no
// width or height; a far corner left of or below the origin would cross the frame.
FrameOutcome FrameFromCorners(PointF origin, PointF farCorner, PixelStep step);

// The edge within reach of a point: within reachX of an upright edge's line (reachY of
// a level one) and along its length; the nearest one when several are. None otherwise.
FrameEdge EdgeAt(const FrameEdges& frame, PointF at, float reachX, float reachY);

// The frame with one edge moved to a place, kept at least a picture pixel short of its
// opposite edge.
FrameEdges WithEdgeAt(FrameEdges frame, FrameEdge edge, float place, PixelStep step);

enum class ArrowKey { Left, Right, Up, Down };

// How far an arrow key moves an edge: one picture pixel, ten when tenfold. Left and
// Right move the upright edges, Up and Down the level ones; any other pair gives 0.
float ArrowChange(FrameEdge edge, ArrowKey key, bool tenfold, PixelStep step);

// A point of the chart area carried along when the picture turns about its own centre
// by degrees clockwise on the screen.
PointF TurnedWithPicture(PointF at, float degrees, int pictureWidth, int pictureHeight);

inline constexpr float kLargestTilt = 45; // degrees

struct TiltOutcome {
    float degrees = 0;
    std::string refusal; // empty when accepted
};

// The tilt of the printed x axis through two clicked points, in either order, measured
// in picture pixels: degrees clockwise on the screen. The points must lie at least ten
// picture pixels apart and give no more than kLargestTilt.
TiltOutcome AxisTilt(PointF a, PointF b, int pictureWidth, int pictureHeight);

} // namespace valvix
