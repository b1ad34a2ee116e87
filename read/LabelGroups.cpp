#include "read/LabelGroups.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>

namespace valvix::read {

namespace {

// A piece of ink this many square character heights or smaller is a speck, or a decimal
// point; one this many character heights off the line of text beside it is a stray speck.
constexpr double kSpeckArea = 0.1;
constexpr double kSpeckReach = 0.25;
// Ink this many times as long as it is wide, and as characters are high, runs along a line.
constexpr double kLineAspect = 1.5;
// At most this many text-like marks are read.
constexpr std::size_t kMostMarks = 60;

// The connected pieces of ink of a mask, each with its area and centre.
struct Pieces {
    cv::Mat1i of; // each pixel's piece
    cv::Mat stats;
    cv::Mat centres;
};

// Whether a speck (its centre) lies off the line of text that the rest of its group's ink
// (`rest`) runs along, and not beside it as a decimal point or a minus does.
bool OffTheLine(const std::vector<cv::Point>& rest, cv::Point2f speck, double height) {
    if (rest.size() < 6) {
        return false;
    }
    const cv::RotatedRect line = cv::minAreaRect(rest);
    std::array<cv::Point2f, 4> corners;
    line.points(corners.data());
    cv::Point2f along = corners[1] - corners[0];
    cv::Point2f side = corners[2] - corners[1];
    if (cv::norm(side) > cv::norm(along)) {
        std::swap(along, side);
    }
    if (cv::norm(along) < kLineAspect * std::max(cv::norm(side), height)) {
        return false; // a character alone, or too short to tell its line
    }
    const cv::Point2f across = side / static_cast<float>(cv::norm(side));
    return std::abs((speck - line.center).dot(across)) >
           0.5 * cv::norm(side) + kSpeckReach * height;
}

// A group's pieces of ink of a decimal point's size or less (specks of dirt among them) that
// lie off the line of text the rest of it runs along, left out: joined to the text, a speck
// would turn and widen its group, and the text would be read turned or as two lines.
std::vector<cv::Point> WithoutStraySpecks(std::vector<cv::Point> points, const Pieces& pieces,
                                          double height) {
    std::vector<int> specks;
    for (const cv::Point& p : points) {
        const int piece = pieces.of(p);
        if (pieces.stats.at<int>(piece, cv::CC_STAT_AREA) <= kSpeckArea * height * height &&
            std::find(specks.begin(), specks.end(), piece) == specks.end()) {
            specks.push_back(piece);
        }
    }
    for (const int speck : specks) {
        std::vector<cv::Point> rest;
        std::copy_if(points.begin(), points.end(), std::back_inserter(rest),
                     [&](const cv::Point& p) { return pieces.of(p) != speck; });
        const cv::Point2f centre(static_cast<float>(pieces.centres.at<double>(speck, 0)),
                                 static_cast<float>(pieces.centres.at<double>(speck, 1)));
        if (OffTheLine(rest, centre, height)) {
            points = std::move(rest);
        }
    }
    return points;
}

// Joins the groups of one line of text that stand side by side, or overlap, a gap of `reach`
// or less apart, each sharing more than half its height with the other (a line's descenders
// reach into the next line's rows far less): joined along rows alone, a line's "=" and a
// minus after it, which share no row, may split it ("Ec = -2" as "Ec =" and "= -2").
void JoinSideBySide(std::vector<std::vector<cv::Point>>& points, int reach) {
    std::vector<cv::Rect> bounds(points.size());
    for (std::size_t i = 1; i < points.size(); ++i) {
        bounds[i] = points[i].empty() ? cv::Rect() : cv::boundingRect(points[i]);
    }
    for (std::size_t i = 1; i < points.size(); ++i) {
        for (std::size_t j = i + 1; j < points.size() && !points[i].empty(); ++j) {
            const cv::Rect& a = bounds[i];
            const cv::Rect& b = bounds[j];
            const int shared = std::min(a.br().y, b.br().y) - std::max(a.y, b.y);
            const int gap = std::max(a.x, b.x) - std::min(a.br().x, b.br().x);
            if (points[j].empty() || 2 * shared <= std::max(a.height, b.height) || gap > reach) {
                continue;
            }
            points[i].insert(points[i].end(), points[j].begin(), points[j].end());
            points[j].clear();
            bounds[i] |= bounds[j];
            j = i; // the grown group may reach more
        }
    }
}

} // namespace

std::vector<Mark> Groups(const cv::Mat1b& characters, double height, cv::Point edges, bool level) {
    cv::Mat1b joined;
    const int reach = std::max(3, static_cast<int>(std::lround(0.9 * height)));
    cv::dilate(characters, joined,
               level ? cv::getStructuringElement(cv::MORPH_RECT, {reach, 1})
                     : cv::getStructuringElement(cv::MORPH_ELLIPSE, {reach, reach}));
    if (edges.x >= 0 && edges.x < joined.cols) {
        joined.col(edges.x).setTo(0);
    }
    if (edges.y >= 0 && edges.y < joined.rows) {
        joined.row(edges.y).setTo(0);
    }
    cv::Mat1i labels;
    const int count = cv::connectedComponents(joined, labels, 8);
    std::vector<std::vector<cv::Point>> points(static_cast<std::size_t>(count));
    for (int y = 0; y < characters.rows; ++y) {
        for (int x = 0; x < characters.cols; ++x) {
            if (characters(y, x) != 0) {
                points[static_cast<std::size_t>(labels(y, x))].emplace_back(x, y);
            }
        }
    }
    if (level) {
        JoinSideBySide(points, reach);
    }
    Pieces pieces;
    cv::connectedComponentsWithStats(characters, pieces.of, pieces.stats, pieces.centres, 8);
    std::vector<Mark> marks;
    for (std::size_t i = 1; i < points.size() && marks.size() < kMostMarks; ++i) {
        if (points[i].size() < 6) {
            continue;
        }
        points[i] = WithoutStraySpecks(points[i], pieces, height);
        const cv::RotatedRect at = cv::minAreaRect(points[i]);
        const double longSide = std::max(at.size.width, at.size.height);
        const double shortSide = std::min(at.size.width, at.size.height);
        if (shortSide >= 0.45 * height && shortSide <= 2.2 * height && longSide <= 14 * height) {
            cv::Mat1b ink(characters.size(), 0);
            for (const cv::Point& p : points[i]) {
                ink(p) = 255;
            }
            marks.push_back({at, ink});
        }
    }
    return marks;
}

} // namespace valvix::read
