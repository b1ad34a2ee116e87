#include "fit/InkMap.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace valvix::fit {

namespace {

// The paper tone is taken per block of this many pixels square: the brightest fifth of
// a block is paper even where printing is dense.
constexpr int kBlock = 32;
constexpr double kPaperShare = 0.8;
// Darkness below which a pixel counts as paper or grain when the ink is measured.
constexpr int kFaintest = 24;
using Histogram = std::array<int, 256>;

// The level below which the given share of a histogram's counts lie.
int Percentile(const Histogram& histogram, double share) {
    long total = 0;
    for (const int count : histogram) {
        total += count;
    }
    const double wanted = share * static_cast<double>(total);
    long seen = 0;
    for (int level = 0; level < 256; ++level) {
        seen += histogram[static_cast<std::size_t>(level)];
        if (static_cast<double>(seen) >= wanted) {
            return level;
        }
    }
    return 255;
}

int Clip(double at, int size) {
    return static_cast<int>(std::clamp(std::floor(at), 0.0, static_cast<double>(size)));
}

// Interpolation between block centres along one axis: the lower block and the weight
// of the next one, for every pixel.
struct Between {
    std::vector<int> low;
    std::vector<float> weight;
    Between(int from, int count, int blocks) : low(std::size_t(count)), weight(std::size_t(count)) {
        for (int i = 0; i < count; ++i) {
            const double f = std::clamp((from + i + 0.5) / kBlock - 0.5, 0.0, blocks - 1.0);
            low[std::size_t(i)] = std::min(static_cast<int>(f), std::max(blocks - 2, 0));
            weight[std::size_t(i)] =
                blocks < 2 ? 0.0f : static_cast<float>(f - low[std::size_t(i)]);
        }
    }
};

} // namespace

InkMap::InkMap(const GreyLevels& grey, const ChartSpace& space, double border) {
    m_x0 = Clip(std::min(space.left, space.right) - border, grey.width);
    m_y0 = Clip(std::min(space.top, space.bottom) - border, grey.height);
    m_w = Clip(std::max(space.left, space.right) + border + 1, grey.width) - m_x0;
    m_h = Clip(std::max(space.top, space.bottom) + border + 1, grey.height) - m_y0;
    FindDarkness(grey);
    FindInkDarkness(space);
    m_cell = std::max(1, static_cast<int>(std::lround(std::min(grey.width, grey.height) / 400.0)));
    FindDistances(space);
}

std::vector<float> InkMap::PaperLevels(const GreyLevels& grey, int blocksX, int blocksY) const {
    std::vector<Histogram> histograms(static_cast<std::size_t>(blocksX) * std::size_t(blocksY));
    for (auto& histogram : histograms) {
        histogram.fill(0);
    }
    for (int y = 0; y < m_h; ++y) {
        const std::uint8_t* row =
            &grey.levels[std::size_t(m_y0 + y) * std::size_t(grey.width) + std::size_t(m_x0)];
        Histogram* blockRow = &histograms[std::size_t(y / kBlock) * std::size_t(blocksX)];
        for (int x = 0; x < m_w; ++x) {
            ++blockRow[x / kBlock][row[x]];
        }
    }
    std::vector<float> paper(histograms.size());
    for (std::size_t i = 0; i < paper.size(); ++i) {
        paper[i] = static_cast<float>(Percentile(histograms[i], kPaperShare));
    }
    return paper;
}

void InkMap::FindDarkness(const GreyLevels& grey) {
    const int blocksX = (m_w + kBlock - 1) / kBlock;
    const int blocksY = (m_h + kBlock - 1) / kBlock;
    const std::vector<float> paper = PaperLevels(grey, blocksX, blocksY);
    // Paper between block centres is interpolated, so no block edge shows.
    const Between across(0, m_w, blocksX);
    const Between down(0, m_h, blocksY);
    m_dark.assign(static_cast<std::size_t>(m_w) * static_cast<std::size_t>(m_h), 0);
    std::vector<float> paperRow(static_cast<std::size_t>(blocksX));
    for (int y = 0; y < m_h; ++y) {
        const int by = down.low[std::size_t(y)];
        const int byNext = std::min(by + 1, blocksY - 1);
        const float wy = down.weight[std::size_t(y)];
        for (int bx = 0; bx < blocksX; ++bx) {
            const auto column = std::size_t(bx);
            const float top = paper[std::size_t(by) * std::size_t(blocksX) + column];
            const float below = paper[std::size_t(byNext) * std::size_t(blocksX) + column];
            paperRow[column] = top + wy * (below - top);
        }
        const std::uint8_t* row =
            &grey.levels[std::size_t(m_y0 + y) * std::size_t(grey.width) + std::size_t(m_x0)];
        float* out = &m_dark[std::size_t(y) * std::size_t(m_w)];
        for (int x = 0; x < m_w; ++x) {
            const int bx = across.low[std::size_t(x)];
            const float left = paperRow[std::size_t(bx)];
            const float right = paperRow[std::size_t(std::min(bx + 1, blocksX - 1))];
            out[x] = std::max(0.0f, left + across.weight[std::size_t(x)] * (right - left) - row[x]);
        }
    }
}

void InkMap::FindInkDarkness(const ChartSpace& space) {
    // Inside the frame, a few pixels off its edges, which are the chart's axes.
    constexpr double kEdge = 3;
    Histogram histogram{};
    const int xFrom = std::max(m_x0, Clip(space.left + kEdge, m_x0 + m_w));
    const int xTo = Clip(space.right - kEdge, m_x0 + m_w);
    const int yFrom = std::max(m_y0, Clip(space.top + kEdge, m_y0 + m_h));
    const int yTo = Clip(space.bottom - kEdge, m_y0 + m_h);
    long counted = 0;
    for (int y = yFrom; y < yTo; ++y) {
        for (int x = xFrom; x < xTo; ++x) {
            const int level = static_cast<int>(dark(x, y));
            if (level >= kFaintest) {
                ++histogram[static_cast<std::size_t>(std::min(level, 255))];
                ++counted;
            }
        }
    }
    // Most dark pixels of a chart lie on its curves; grid lines are fainter.
    m_inkDarkness = counted < 20 ? 0.0 : Percentile(histogram, 0.9);
}

std::vector<std::uint8_t> InkMap::CurveStrokes(const ChartSpace& space) const {
    std::vector<std::uint8_t> strokes(m_dark.size(), 0);
    const double threshold = strokeThreshold();
    for (int y = 0; y < m_h && threshold > 0; ++y) {
        for (int x = 0; x < m_w; ++x) {
            const bool inFrame = x + m_x0 >= space.left && x + m_x0 < space.right &&
                                 y + m_y0 >= space.top && y + m_y0 < space.bottom;
            strokes[std::size_t(y) * std::size_t(m_w) + std::size_t(x)] =
                inFrame && dark(x + m_x0, y + m_y0) >= threshold;
        }
    }
    // Runs straight across a quarter of the frame are grid lines, not curves.
    const auto clearLongRuns = [&](int lines, int length, std::size_t along, std::size_t across,
                                   int longest) {
        for (int line = 0; line < lines; ++line) {
            int run = 0;
            for (int i = 0; i <= length; ++i) {
                const std::size_t at = std::size_t(line) * across + std::size_t(i) * along;
                if (i < length && strokes[at] != 0) {
                    ++run;
                    continue;
                }
                for (int j = i - run; run > longest && j < i; ++j) {
                    strokes[std::size_t(line) * across + std::size_t(j) * along] = 0;
                }
                run = 0;
            }
        }
    };
    const double width = std::abs(space.right - space.left);
    const double height = std::abs(space.bottom - space.top);
    clearLongRuns(m_h, m_w, 1, std::size_t(m_w), static_cast<int>(width / 4));
    clearLongRuns(m_w, m_h, std::size_t(m_w), 1, static_cast<int>(height / 4));
    return strokes;
}

void InkMap::FindDistances(const ChartSpace& space) {
    constexpr int kFar = static_cast<int>(kFarthest) * 3;
    // One cell of border keeps the sweeps free of edge tests.
    m_cw = m_w / m_cell + 3;
    m_ch = m_h / m_cell + 3;
    m_distance.assign(static_cast<std::size_t>(m_cw) * static_cast<std::size_t>(m_ch), kFar);
    const std::vector<std::uint8_t> strokes = CurveStrokes(space);
    for (int y = 0; y < m_h; ++y) {
        for (int x = 0; x < m_w; ++x) {
            if (strokes[std::size_t(y) * std::size_t(m_w) + std::size_t(x)] != 0) {
                m_distance[std::size_t(y / m_cell + 1) * std::size_t(m_cw) +
                           std::size_t(x / m_cell + 1)] = 0;
            }
        }
    }
    // Two sweeps of the 3-4 chamfer distance: steps of 3 across and 4 diagonally.
    const auto w = static_cast<std::ptrdiff_t>(m_cw);
    std::uint16_t* d = m_distance.data();
    const auto relax = [d](std::ptrdiff_t at, std::ptrdiff_t other, int step) {
        d[at] = static_cast<std::uint16_t>(std::min<int>(d[at], d[other] + step));
    };
    for (std::ptrdiff_t y = 1; y + 1 < m_ch; ++y) {
        for (std::ptrdiff_t at = y * w + 1; at < y * w + w - 1; ++at) {
            relax(at, at - 1, 3);
            relax(at, at - w, 3);
            relax(at, at - w - 1, 4);
            relax(at, at - w + 1, 4);
        }
    }
    for (std::ptrdiff_t y = m_ch - 2; y >= 1; --y) {
        for (std::ptrdiff_t at = y * w + w - 2; at >= y * w + 1; --at) {
            relax(at, at + 1, 3);
            relax(at, at + w, 3);
            relax(at, at + w + 1, 4);
            relax(at, at + w - 1, 4);
        }
    }
}

double InkMap::darkness(double x, double y) const {
    // Pixel centres lie at i + 0.5.
    const double fx = x - 0.5 - m_x0;
    const double fy = y - 0.5 - m_y0;
    const double cx = std::floor(fx);
    const double cy = std::floor(fy);
    if (!(cx >= 0) || !(cy >= 0) || cx + 1 >= m_w || cy + 1 >= m_h) {
        return 0;
    }
    const int ix = static_cast<int>(cx) + m_x0;
    const int iy = static_cast<int>(cy) + m_y0;
    const double wx = fx - cx;
    const double wy = fy - cy;
    const double top = dark(ix, iy) + wx * (dark(ix + 1, iy) - dark(ix, iy));
    const double bottom = dark(ix, iy + 1) + wx * (dark(ix + 1, iy + 1) - dark(ix, iy + 1));
    return top + wy * (bottom - top);
}

double InkMap::distance(double x, double y) const {
    const double cx = std::floor((x - m_x0) / m_cell) + 1;
    const double cy = std::floor((y - m_y0) / m_cell) + 1;
    if (!(cx >= 0) || !(cy >= 0) || cx >= m_cw || cy >= m_ch) {
        return kFarthest;
    }
    const std::size_t at =
        static_cast<std::size_t>(cy) * std::size_t(m_cw) + static_cast<std::size_t>(cx);
    return std::min(kFarthest, m_distance[at] * m_cell / 3.0);
}

} // namespace valvix::fit
