#include "fit/FamilyCurves.h"

#include <cmath>

namespace valvix::fit {

namespace {

// Halving a step of the plate voltage at most this often keeps a cliff-like curve
// from costing without bound.
constexpr int kDeepestHalving = 12;
constexpr std::size_t kMostSamples = 200000;

class CurveWalker {
public:
    CurveWalker(const LogParameters& p, const ChartSpace& space, const Region& region,
                double spacing, std::vector<CurveSample>& out)
        : m_model(p), m_space(space), m_region(region), m_spacing(spacing), m_out(out) {}

    void walk(double vg, int curve) {
        m_vg = vg;
        m_curve = curve;
        const double fullscale = m_space.Volts(m_space.right);
        const int steps =
            std::max(2, static_cast<int>(std::ceil((m_space.right - m_space.left) / m_spacing)));
        Point from = at(fullscale * 1e-6);
        keep(from);
        for (int i = 1; i <= steps; ++i) {
            const Point to = at(fullscale * i / steps);
            if (from.y < m_region.top && to.y < m_region.top) {
                return; // the current only rises from here: the curve has left the top
            }
            between(from, to, 0);
            keep(to);
            from = to;
        }
    }

private:
    struct Point {
        double vp;
        double x;
        double y;
        double slope; // amps per volt
    };

    Point at(double vp) const {
        const ModelPoint<double> m = m_model.at(vp, m_vg);
        return {vp, m_space.X(vp), m_space.Y(m.amps), m.slope};
    }

    // Fills in points between two neighbours that lie too far apart, where the curve
    // runs near the region.
    void between(const Point& a, const Point& b, int depth) {
        const double dx = b.x - a.x;
        const double dy = b.y - a.y;
        if (!(dx * dx + dy * dy > 2.25 * m_spacing * m_spacing) || depth >= kDeepestHalving ||
            !nearRegion(a, b)) {
            return;
        }
        const Point middle = at((a.vp + b.vp) / 2);
        between(a, middle, depth + 1);
        keep(middle);
        between(middle, b, depth + 1);
    }

    bool nearRegion(const Point& a, const Point& b) const {
        const double top = std::min(a.y, b.y);
        const double bottom = std::max(a.y, b.y);
        return bottom >= m_region.top && top <= m_region.bottom && b.x >= m_region.left &&
               a.x <= m_region.right;
    }

    void keep(const Point& p) {
        if (!m_region.contains(p.x, p.y) || !std::isfinite(p.slope) ||
            m_out.size() >= kMostSamples) {
            return;
        }
        // Tangent (perVolt, -perAmp * slope); the normal turns it a quarter.
        const double tx = m_space.perVolt;
        const double ty = -m_space.perAmp * p.slope;
        const double length = std::sqrt(tx * tx + ty * ty);
        m_out.push_back({p.x, p.y, -ty / length, tx / length, p.vp, m_curve});
    }

    Model m_model;
    const ChartSpace& m_space;
    const Region& m_region;
    double m_spacing;
    std::vector<CurveSample>& m_out;
    double m_vg = 0;
    int m_curve = 0;
};

} // namespace

void SampleFamily(const LogParameters& p, const std::vector<float>& grids, const ChartSpace& space,
                  const Region& region, double spacing, std::vector<CurveSample>& out) {
    out.clear();
    CurveWalker walker(p, space, region, spacing, out);
    for (std::size_t i = 0; i < grids.size(); ++i) {
        walker.walk(grids[i], static_cast<int>(i));
    }
}

} // namespace valvix::fit
