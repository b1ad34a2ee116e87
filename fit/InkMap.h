#pragma once

#include "fit/ChartSpace.h"
#include "state/Picture.h"

#include <cstdint>
#include <vector>

namespace valvix::fit {

// What the fit reads from a chart picture around the plot frame: how much darker than
// the paper near it each pixel is (so that an unevenly lit scan reads alike
// everywhere), how dark the printed lines are, and how far each place lies from the
// nearest strongly printed pixel. Worked out once per fit.
class InkMap final {
public:
    // Reads the frame and a border of `border` pixels around it.
    InkMap(const GreyLevels& grey, const ChartSpace& space, double border);

    // Darkness below the local paper at a continuous picture point (pixel centres at
    // i + 0.5), interpolated between pixels; 0 outside the part read.
    double darkness(double x, double y) const;

    // The darkness of the printed lines (a high percentile inside the frame) and the
    // least darkness a curve's stroke must reach.
    double inkDarkness() const { return m_inkDarkness; }
    double strokeThreshold() const { return m_inkDarkness * 0.45; }

    // About how far, in pixels, a continuous point lies from the nearest strongly
    // printed pixel inside the frame; at most kFarthest.
    double distance(double x, double y) const;
    static constexpr double kFarthest = 40;

private:
    void FindDarkness(const GreyLevels& grey);
    // The paper's grey level in each block of the part read, row by row.
    std::vector<float> PaperLevels(const GreyLevels& grey, int blocksX, int blocksY) const;
    void FindInkDarkness(const ChartSpace& space);
    void FindDistances(const ChartSpace& space);
    // Strongly printed pixels of the frame that may belong to curves (1), row by row
    // over the part read; long straight lines (grid lines, axes) left out.
    std::vector<std::uint8_t> CurveStrokes(const ChartSpace& space) const;
    float dark(int x, int y) const {
        return m_dark[static_cast<std::size_t>(y - m_y0) * static_cast<std::size_t>(m_w) +
                      static_cast<std::size_t>(x - m_x0)];
    }

    // The part of the picture read: [m_x0, m_x0 + m_w) x [m_y0, m_y0 + m_h).
    int m_x0 = 0;
    int m_y0 = 0;
    int m_w = 0;
    int m_h = 0;
    std::vector<float> m_dark;
    double m_inkDarkness = 0;
    // Distances on a grid of cells of m_cell x m_cell pixels over the part read.
    int m_cell = 1;
    int m_cw = 0;
    int m_ch = 0;
    std::vector<std::uint16_t> m_distance; // in thirds of a cell
};

} // namespace valvix::fit
