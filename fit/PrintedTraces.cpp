#include "fit/PrintedTraces.h"

#include "fit/Spread.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace valvix::fit {

namespace {

// Pieces closer than this (chart-space units) over the plate voltages they share run
// along one stroke.
constexpr double kAlong = 1.5;
constexpr std::size_t kLeastShared = 3;

// The distance from a point to a polyline's stretch between two indices.
double ToPolyline(double px, double py, const std::vector<ChartPoint>& line, std::size_t first,
                  std::size_t last, const ChartSpace& space) {
    double nearest = std::numeric_limits<double>::infinity(); // squared
    double ax = space.x(line[first > 0 ? first - 1 : 0].vp);
    double ay = space.y(line[first > 0 ? first - 1 : 0].ip);
    for (std::size_t j = first; j <= last && j < line.size(); ++j) {
        const double bx = space.x(line[j].vp), by = space.y(line[j].ip);
        const double length = (bx - ax) * (bx - ax) + (by - ay) * (by - ay);
        const double t =
            length > 0
                ? std::clamp(((px - ax) * (bx - ax) + (py - ay) * (by - ay)) / length, 0.0, 1.0)
                : 0.0;
        const double dx = ax + t * (bx - ax) - px, dy = ay + t * (by - ay) - py;
        nearest = std::min(nearest, dx * dx + dy * dy);
        ax = bx;
        ay = by;
    }
    return std::sqrt(nearest);
}

std::size_t FirstFrom(const std::vector<ChartPoint>& points, double vp) {
    return std::size_t(std::lower_bound(points.begin(), points.end(), vp,
                                        [](const ChartPoint& p, double v) { return p.vp < v; }) -
                       points.begin());
}

// How far apart two pieces lie where they meet or overlap, or nothing when they do not.
double Meeting(const PrintedTrace& a, const PrintedTrace& b, const ChartSpace& space,
               double reach) {
    const auto& pa = a.points;
    const auto& pb = b.points;
    const double from = std::max(pa.front().vp, pb.front().vp);
    const double to = std::min(pa.back().vp, pb.back().vp);
    if (FirstFrom(pa, to) - FirstFrom(pa, from) >= kLeastShared &&
        FirstFrom(pb, to) - FirstFrom(pb, from) >= kLeastShared) {
        const bool aShorter = pa.size() < pb.size();
        const double apart = TracesApart(aShorter ? a : b, aShorter ? b : a, from, to, space);
        return apart <= kAlong ? apart : reach;
    }
    if (pb.front().vp < pa.back().vp) {
        // b begins a little before a ends: its first point must lie on a.
        const ChartPoint& start = pb.front();
        const double off = ToPolyline(space.x(start.vp), space.y(start.ip), pa,
                                      FirstFrom(pa, start.vp), pa.size() - 1, space);
        return off <= kAlong ? off : reach;
    }
    // b's first point on the course of a's last few.
    const ChartPoint& end = pa.back();
    const ChartPoint& back = pa[pa.size() - std::min<std::size_t>(pa.size(), 6)];
    const ChartPoint& start = pb.front();
    const double dx = space.x(end.vp) - space.x(back.vp), dy = space.y(end.ip) - space.y(back.ip);
    const double gx = space.x(start.vp) - space.x(end.vp), gy = space.y(start.ip) - space.y(end.ip);
    const double along = std::hypot(dx, dy);
    const double gap = std::hypot(gx, gy);
    const double off = along > 0 ? std::abs(gx * dy - gy * dx) / along : gap;
    return off <= kAlong + 0.15 * gap ? gap : reach;
}

} // namespace

double TracesApart(const PrintedTrace& trace, const PrintedTrace& other, double from, double to,
                   const ChartSpace& space) {
    std::vector<double> apart;
    const std::size_t first = FirstFrom(trace.points, from);
    const std::size_t last = FirstFrom(trace.points, to);
    const std::size_t stride = std::max<std::size_t>(1, (last - first) / 20);
    const std::size_t otherFirst = FirstFrom(other.points, from);
    const std::size_t otherLast = std::min(other.points.size(), FirstFrom(other.points, to) + 1);
    for (std::size_t i = first; i < last && otherFirst < otherLast; i += stride) {
        const ChartPoint& p = trace.points[i];
        apart.push_back(
            ToPolyline(space.x(p.vp), space.y(p.ip), other.points, otherFirst, otherLast, space));
    }
    return apart.empty() ? 0.0 : Median(apart);
}

void JoinPieces(std::vector<PrintedTrace>& traces, const ChartSpace& space, double reach) {
    // How far apart each ordered pair meets, worked out once and again only for a joined
    // piece's pairs.
    const auto meeting = [&](std::size_t a, std::size_t b) {
        return a == b ? reach : Meeting(traces[a], traces[b], space, reach);
    };
    std::vector<std::vector<double>> apart(traces.size(), std::vector<double>(traces.size()));
    for (std::size_t a = 0; a < traces.size(); ++a) {
        for (std::size_t b = 0; b < traces.size(); ++b) {
            apart[a][b] = meeting(a, b);
        }
    }
    for (;;) {
        double best = reach;
        std::size_t first = 0;
        std::size_t then = 0;
        for (std::size_t a = 0; a < traces.size(); ++a) {
            for (std::size_t b = 0; b < traces.size(); ++b) {
                if (apart[a][b] < best) {
                    best = apart[a][b];
                    first = a;
                    then = b;
                }
            }
        }
        if (best >= reach) {
            return;
        }
        auto& joined = traces[first].points;
        joined.insert(joined.end(), traces[then].points.begin(), traces[then].points.end());
        std::sort(joined.begin(), joined.end(),
                  [](const ChartPoint& p, const ChartPoint& q) { return p.vp < q.vp; });
        traces.erase(traces.begin() + std::ptrdiff_t(then));
        apart.erase(apart.begin() + std::ptrdiff_t(then));
        for (auto& row : apart) {
            row.erase(row.begin() + std::ptrdiff_t(then));
        }
        const std::size_t kept = first > then ? first - 1 : first;
        for (std::size_t other = 0; other < traces.size(); ++other) {
            apart[kept][other] = meeting(kept, other);
            apart[other][kept] = meeting(other, kept);
        }
    }
}

} // namespace valvix::fit
