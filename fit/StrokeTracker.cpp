#include "fit/StrokeTracker.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace valvix::fit {

namespace {

// Gaps bridged along a track: this share of the width, at least kLeastGap columns.
constexpr double kGapShare = 0.025;
constexpr int kLeastGap = 12;
// A track's slope is fitted over its last kSlopePoints points.
constexpr std::size_t kSlopePoints = 12;
// A track kept for a curve: at least kLeastPoints points spanning kLeastSpan pixels.
constexpr std::size_t kLeastPoints = 8;
constexpr double kLeastSpan = 12;
// Above this share of the height from the x axis, a curve rises at least kLeastRise
// pixels a pixel along its scan.
constexpr double kCutOffBand = 0.1;
// A track turning by more than kSharpestTurn radians between the chords kKinkReach
// points either side of a point is cut there.
constexpr std::size_t kKinkReach = 6;
constexpr double kSharpestTurn = 0.5;
constexpr double kLeastRise = 0.12;

struct Run {
    int top;
    int bottom; // inclusive
    double centre() const { return 0.5 * (top + bottom + 1); }
    int length() const { return bottom - top + 1; }
};

struct ActiveTrack {
    StrokeTrack points;
    int lastColumn = 0;
    double slope = 0;
    double width = 1; // usual run length less the slope's share
    std::size_t chosenRun = 0;
    bool chose = false;

    double predicted(int column) const { return points.back().v + slope * (column - lastColumn); }
};

void ColumnRuns(const cv::Mat1b& strokes, int column, std::vector<Run>& runs) {
    runs.clear();
    int top = -1;
    for (int y = 0; y <= strokes.rows; ++y) {
        const bool ink = y < strokes.rows && strokes(y, column) != 0;
        if (ink && top < 0) {
            top = y;
        } else if (!ink && top >= 0) {
            runs.push_back({top, y - 1});
            top = -1;
        }
    }
}

// The least-squares slope of the track's last points.
double RecentSlope(const StrokeTrack& points) {
    const std::size_t n = std::min(points.size(), kSlopePoints);
    if (n < 2) {
        return 0;
    }
    double su = 0, sv = 0, suu = 0, suv = 0;
    for (std::size_t i = points.size() - n; i < points.size(); ++i) {
        su += points[i].u;
        sv += points[i].v;
        suu += points[i].u * points[i].u;
        suv += points[i].u * points[i].v;
    }
    const double spread = n * suu - su * su;
    return spread > 1e-9 ? (n * suv - su * sv) / spread : 0.0;
}

// The run a track's course passes through, if any: the one whose centre lies nearest.
void Choose(ActiveTrack& track, int column, const std::vector<Run>& runs, double strokeWidth) {
    const int gap = column - track.lastColumn;
    const double at = track.predicted(column);
    const double reach = 1 + 0.5 * strokeWidth + 0.15 * gap * (1 + std::abs(track.slope));
    track.chose = false;
    double best = 1e300;
    for (std::size_t r = 0; r < runs.size(); ++r) {
        if (at >= runs[r].top - reach && at <= runs[r].bottom + 1 + reach &&
            std::abs(runs[r].centre() - at) < best) {
            best = std::abs(runs[r].centre() - at);
            track.chosenRun = r;
            track.chose = true;
        }
    }
}

void Extend(ActiveTrack& track, int column, const Run& run) {
    const double expected = track.width + std::abs(track.slope) + 2;
    if (run.length() > 1.6 * expected + 1) {
        return; // a blob or a crossing: coast through it
    }
    track.points.push_back({column + 0.5, run.centre(), 0});
    track.lastColumn = column;
    track.slope = RecentSlope(track.points);
    const double width = std::max(1.0, run.length() - std::abs(track.slope));
    track.width += (width - track.width) / std::min<double>(track.points.size(), 8);
}

// The angle, in radians, of the chord from point a to point b.
double Heading(const StrokePoint& a, const StrokePoint& b) {
    return std::atan2(b.v - a.v, b.u - a.u);
}

// Cuts a track where it turns sharply: a plate curve bends smoothly, so a kink is where
// the track ran from a curve onto another stroke (a dash of the grid, a label).
void CutAtKinks(StrokeTrack track, std::vector<StrokeTrack>& pieces) {
    std::size_t from = 0;
    for (std::size_t i = kKinkReach; i + kKinkReach < track.size(); ++i) {
        const double turn = std::abs(Heading(track[i - kKinkReach], track[i]) -
                                     Heading(track[i], track[i + kKinkReach]));
        if (turn > kSharpestTurn && i - from >= kKinkReach) {
            pieces.emplace_back(track.begin() + std::ptrdiff_t(from),
                                track.begin() + std::ptrdiff_t(i));
            from = i;
        }
    }
    pieces.emplace_back(track.begin() + std::ptrdiff_t(from), track.end());
}

} // namespace

std::vector<StrokeTrack> FollowColumns(const cv::Mat1b& strokes, double strokeWidth) {
    const int longestGap = std::max(kLeastGap, int(kGapShare * strokes.cols));
    const double longestStart = 3 * strokeWidth + 4;
    std::vector<ActiveTrack> active;
    std::vector<StrokeTrack> finished;
    std::vector<Run> runs;
    std::vector<int> claims;
    for (int column = 0; column < strokes.cols; ++column) {
        ColumnRuns(strokes, column, runs);
        claims.assign(runs.size(), 0);
        for (ActiveTrack& track : active) {
            Choose(track, column, runs, strokeWidth);
            claims[track.chosenRun] += track.chose ? 1 : 0;
        }
        for (ActiveTrack& track : active) {
            if (track.chose && claims[track.chosenRun] == 1) {
                Extend(track, column, runs[track.chosenRun]);
            }
        }
        for (std::size_t r = 0; r < runs.size(); ++r) {
            if (claims[r] == 0 && runs[r].length() <= longestStart) {
                ActiveTrack track;
                track.points.push_back({column + 0.5, runs[r].centre(), 0});
                track.lastColumn = column;
                track.width = runs[r].length();
                active.push_back(std::move(track));
            }
        }
        const auto ended = std::stable_partition(active.begin(), active.end(), [&](const auto& t) {
            return column - t.lastColumn <= longestGap;
        });
        for (auto it = ended; it != active.end(); ++it) {
            finished.push_back(std::move(it->points));
        }
        active.erase(ended, active.end());
    }
    for (ActiveTrack& track : active) {
        finished.push_back(std::move(track.points));
    }
    std::vector<StrokeTrack> pieces;
    for (StrokeTrack& track : finished) {
        CutAtKinks(std::move(track), pieces);
    }
    finished = std::move(pieces);
    // The slope at each point, from its neighbours either side.
    for (StrokeTrack& track : finished) {
        for (std::size_t i = 0; i < track.size(); ++i) {
            const std::size_t a = i >= 3 ? i - 3 : 0;
            const std::size_t b = std::min(track.size() - 1, i + 3);
            track[i].slope = b > a ? (track[b].v - track[a].v) / (track[b].u - track[a].u) : 0.0;
        }
    }
    return finished;
}

bool LooksLikeCurve(const StrokeTrack& track, double strokeWidth, double axis, bool transposed) {
    if (track.size() < kLeastPoints) {
        return false;
    }
    const double spanU = track.back().u - track.front().u;
    const double rise = track.front().v - track.back().v;
    if (std::max(spanU, std::abs(rise)) < kLeastSpan || rise < std::max(2.0, 0.03 * spanU)) {
        return false; // short, flat or falling
    }
    const StrokePoint& middle = track[track.size() / 2];
    if (axis - (transposed ? middle.u : middle.v) > kCutOffBand * axis &&
        rise < kLeastRise * spanU) {
        return false; // flat, well above the axis
    }
    // Ragged strokes (text) jump about between neighbours.
    double squares = 0;
    for (std::size_t i = 2; i + 2 < track.size(); ++i) {
        const StrokePoint& a = track[i - 2];
        const StrokePoint& b = track[i + 2];
        const double t = (track[i].u - a.u) / (b.u - a.u);
        const double between = a.v + t * (b.v - a.v);
        squares += (track[i].v - between) * (track[i].v - between);
    }
    const double jitter = std::sqrt(squares / double(track.size() - 4));
    return jitter <= 0.6 + 0.25 * strokeWidth;
}

} // namespace valvix::fit
