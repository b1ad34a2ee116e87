#include "platform/PictureScaling.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace valvix {

namespace {

// Weights are fixed-point fractions of this unit; the weights of one target pixel add up
// to exactly one unit, so a plain area keeps its colour.
constexpr std::uint32_t kUnit = 1U << 16;

// Which source pixels along one axis make up each target pixel, and with what weight.
struct Coverage {
    std::vector<int> first;             // per target pixel: its first source pixel
    std::vector<int> count;             // per target pixel: how many source pixels
    std::vector<std::uint32_t> weights; // all weights, target pixel after target pixel
};

// Coverage of a box reduction from source to target pixels (target < source): target
// pixel i covers the source interval [i, i + 1) x source / target.
Coverage BoxCoverage(int source, int target) {
    Coverage coverage;
    coverage.first.reserve(static_cast<std::size_t>(target));
    coverage.count.reserve(static_cast<std::size_t>(target));
    const double ratio = static_cast<double>(source) / target;
    for (int i = 0; i < target; ++i) {
        const double from = i * ratio;
        const double to = std::min((i + 1) * ratio, static_cast<double>(source));
        const int first = std::min(static_cast<int>(from), source - 1);
        const int last = std::clamp(static_cast<int>(std::ceil(to)) - 1, first, source - 1);
        // Cumulative rounding: the weights never go negative and add up to one unit.
        std::uint32_t given = 0;
        for (int j = first; j <= last; ++j) {
            const double covered = (std::min(j + 1.0, to) - from) / (to - from);
            const auto upTo = j == last ? kUnit
                                        : static_cast<std::uint32_t>(
                                              std::lround(std::clamp(covered, 0.0, 1.0) * kUnit));
            coverage.weights.push_back(upTo - std::min(upTo, given));
            given = std::max(given, upTo);
        }
        coverage.first.push_back(first);
        coverage.count.push_back(last - first + 1);
    }
    return coverage;
}

std::uint8_t Averaged(std::uint32_t sum) {
    return static_cast<std::uint8_t>((sum + kUnit / 2) >> 16);
}

// Reduces the height: each target row is the weighted sum of the source rows it covers.
// Every byte of a pixel is a channel of its own.
QImage ReduceRows(const QImage& source, int height) {
    const Coverage coverage = BoxCoverage(source.height(), height);
    QImage target(source.width(), height, source.format());
    if (target.isNull()) {
        return target; // no memory for it
    }
    const auto bytes = static_cast<std::size_t>(source.width()) * (source.depth() / 8);
    std::vector<std::uint32_t> sums(bytes);
    std::size_t weight = 0;
    for (int y = 0; y < height; ++y) {
        std::fill(sums.begin(), sums.end(), 0U);
        for (int k = 0; k < coverage.count[static_cast<std::size_t>(y)]; ++k, ++weight) {
            const std::uint32_t w = coverage.weights[weight];
            const std::uint8_t* row =
                source.constScanLine(coverage.first[static_cast<std::size_t>(y)] + k);
            for (std::size_t b = 0; b < bytes; ++b) {
                sums[b] += w * row[b];
            }
        }
        std::uint8_t* out = target.scanLine(y);
        std::transform(sums.begin(), sums.end(), out, Averaged);
    }
    return target;
}

// Reduces the width the same way, one row at a time.
template <int kBytes> QImage ReduceColumns(const QImage& source, int width) {
    const Coverage coverage = BoxCoverage(source.width(), width);
    QImage target(width, source.height(), source.format());
    for (int y = 0; !target.isNull() && y < source.height(); ++y) {
        const std::uint8_t* row = source.constScanLine(y);
        std::uint8_t* out = target.scanLine(y);
        std::size_t weight = 0;
        for (int x = 0; x < width; ++x) {
            std::uint32_t sums[kBytes] = {};
            const std::uint8_t* pixel =
                row +
                static_cast<std::ptrdiff_t>(coverage.first[static_cast<std::size_t>(x)]) * kBytes;
            for (int k = 0; k < coverage.count[static_cast<std::size_t>(x)]; ++k, ++weight) {
                const std::uint32_t w = coverage.weights[weight];
                for (int b = 0; b < kBytes; ++b) {
                    sums[b] += w * pixel[k * kBytes + b];
                }
            }
            for (int b = 0; b < kBytes; ++b) {
                out[x * kBytes + b] = Averaged(sums[b]);
            }
        }
    }
    return target;
}

// The source in a format whose bytes can be averaged one by one: grey levels stay one
// byte a pixel; colour becomes RGB32, or premultiplied ARGB32 with transparency.
QImage AveragingFormat(const QImage& source) {
    if (source.hasAlphaChannel()) {
        return source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    // Only pictures with a colour table are asked: for others the question reads every pixel.
    if (source.format() == QImage::Format_Grayscale8 ||
        (source.colorCount() > 0 && source.isGrayscale())) {
        return source.convertToFormat(QImage::Format_Grayscale8);
    }
    return source.convertToFormat(QImage::Format_RGB32);
}

} // namespace

QImage ScaledPicture(const QImage& source, QSize target) {
    if (source.isNull() || target.isEmpty()) {
        return {};
    }
    QImage scaled = AveragingFormat(source);
    if (!scaled.isNull() && target.height() < scaled.height()) {
        scaled = ReduceRows(scaled, target.height());
    }
    if (!scaled.isNull() && target.width() < scaled.width()) {
        scaled = scaled.depth() == 8 ? ReduceColumns<1>(scaled, target.width())
                                     : ReduceColumns<4>(scaled, target.width());
    }
    if (scaled.size() != target) {
        scaled = scaled.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return scaled.convertToFormat(scaled.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                           : QImage::Format_RGB32);
}

} // namespace valvix
