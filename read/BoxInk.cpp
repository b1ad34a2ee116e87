#include "read/BoxInk.h"

#include "fit/StrokeMask.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cstddef>
#include <vector>

namespace valvix::read {

namespace {

constexpr int kWorkingSize = 1200;
// A faint line is this much darker than the paper around it (of 255): a light grey frame
// on white, a grid line on a grey panel. Paper's own shading stays below it.
constexpr int kFaintLine = 20;
// A panel is this much darker than the paper at the picture's edges.
constexpr int kPanelStep = 10;
// Light lines across a panel (its grid) are closed up to this width, in working pixels.
constexpr int kPanelGridLine = 5;
// A panel fills this share of the box at least: lines drawn darker than the paper have
// edges too, but little between them.
constexpr double kPanelFill = 0.5;

// The paper's level: the median of the picture's outermost rows and columns.
int PaperLevel(const cv::Mat1b& grey) {
    std::vector<uchar> rim;
    for (int x = 0; x < grey.cols; ++x) {
        rim.push_back(grey(0, x));
        rim.push_back(grey(grey.rows - 1, x));
    }
    for (int y = 0; y < grey.rows; ++y) {
        rim.push_back(grey(y, 0));
        rim.push_back(grey(y, grey.cols - 1));
    }
    const auto middle = rim.begin() + static_cast<std::ptrdiff_t>(rim.size() / 2);
    std::nth_element(rim.begin(), middle, rim.end());
    return *middle;
}

// The outline of what is darker than the paper, light lines across it closed up: a
// panel's edges, and the rims of the texts and curves off it.
cv::Mat1b PanelEdges(const cv::Mat1b& grey) {
    cv::Mat1b panel;
    cv::threshold(grey, panel, PaperLevel(grey) - kPanelStep, 255, cv::THRESH_BINARY_INV);
    cv::morphologyEx(panel, panel, cv::MORPH_CLOSE,
                     cv::getStructuringElement(cv::MORPH_RECT, {kPanelGridLine, kPanelGridLine}));
    cv::Mat1b edges;
    cv::morphologyEx(panel, edges, cv::MORPH_GRADIENT,
                     cv::getStructuringElement(cv::MORPH_RECT, {3, 3}));
    return edges;
}

} // namespace

WorkingGrey WorkingGreyOf(const GreyLevels& grey) {
    WorkingGrey working;
    working.grey = fit::GreyView(grey);
    const int longer = std::max(grey.width, grey.height);
    if (longer > kWorkingSize) {
        working.scale = double(kWorkingSize) / longer;
        cv::resize(fit::GreyView(grey), working.grey, cv::Size(), working.scale, working.scale,
                   cv::INTER_AREA);
    }
    return working;
}

bool PanelFills(const cv::Mat1b& grey, const cv::Rect& box) {
    const cv::Rect inside = box & cv::Rect(0, 0, grey.cols, grey.rows);
    if (inside.empty()) {
        return false;
    }
    cv::Mat1b panel;
    cv::threshold(grey(inside), panel, PaperLevel(grey) - kPanelStep, 255, cv::THRESH_BINARY_INV);
    return cv::countNonZero(panel) >= kPanelFill * inside.area();
}

cv::Mat1b BoxInkOf(const cv::Mat1b& grey, BoxLines lines) {
    cv::Mat1b ink;
    switch (lines) {
    case BoxLines::Dark:
        cv::threshold(fit::DarknessAgainstPaper(grey), ink, 0, 255,
                      cv::THRESH_BINARY | cv::THRESH_OTSU);
        break;
    case BoxLines::Faint:
        cv::threshold(fit::DarknessAgainstPaper(grey), ink, kFaintLine - 1, 255, cv::THRESH_BINARY);
        break;
    case BoxLines::PanelEdge:
        ink = PanelEdges(grey);
        break;
    }
    return ink;
}

} // namespace valvix::read
