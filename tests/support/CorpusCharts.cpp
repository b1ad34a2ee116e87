#include "CorpusCharts.h"

#include "plot/OverlayPlot.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <random>
#include <tuple>

namespace valvix::corpus {

namespace {

enum Grid { DenseSolid, DashedMinor, DottedMinor, PlotterGrey };
enum Labels { AtEnds, Along, Boxed };
enum Ending { AtFrame, AtLimit, AtDataTop, DashedAboveLimit };

using LoadLine = std::tuple<double, double, QRgb>; // supply volts, ohms, colour

// One chart: its size; its tube and scales; its grid and what clutters the page. The tube draws
// k * x^power amperes, x = grid + contact volts + plate volts / mu, its foot softened over `tail` grid
// volts; TubeAmps says how the fields after `tail` bend that. With measuredEvery above 0, the curves are
// splines through points read off the tube that many volts apart.
struct Recipe {
    const char* name;
    int width, height;
    double mu, k, contactVolts, power, tail, muSwing, bunching, scatter, bend, wobble, measuredEvery;
    float volts, amps, gridPos, gridNeg, gridStep;
    int voltLines, ampLines, boldEvery, numberEvery; // grid lines; every how many bold, numbered
    Grid grid;
    Labels labels;
    bool italic;
    const char* gridText; // printf format of a grid voltage
    Ending ending;
    float watts; // dash-dot dissipation hyperbola when above 0
    std::vector<LoadLine> loads;
    const char* stamp;
    double pen; // curve width at 1000 x 700
    bool yellowed, oneBit;
    int jpeg; // quality; 0: none
    double skew;
    unsigned seed;
    QColor Paper() const { return yellowed ? QColor(238, 226, 190) : QColor(252, 252, 249); }
};

const QColor kInk(24, 22, 28);
constexpr QRgb kRed = 0xc83228, kBlue = 0x2848b4;

// clang-format off
const std::vector<Recipe>& Recipes() {
    static const std::vector<Recipe> recipes{
        {"12AX7-like, dense solid grid, end labels, 1 W limit, stamp, 1-bit speckled scan", 1000, 700,
         95, 2.73e-4, 0.35, 1.7, 0.15, 0.35, 0.15, 0.12, 0, 0.004, 0, 500, 0.004f, 0, -4, 0.5f,
         50, 40, 5, 10, DenseSolid, AtEnds, false, "%g", AtFrame, 1, {}, "92CS-4471", 2, false, true, 0, 0, 1},
        {"6SN7-like, plotter grid, rotated labels, two coloured load lines, yellowed JPEG, skew 0.3", 1000, 700,
         20, 2.35e-4, 0.5, 1.65, 0.6, 0.2, 0.1, 0.12, 0, 0.003, 0, 500, 0.02f, 0, -20, 2,
         25, 20, 5, 5, PlotterGrey, Along, false, "Ec = %g V", AtFrame, 0, {{400, 20000, kRed}, {300, 15000, kBlue}},
         nullptr, 1.6, true, false, 70, 0.3, 2},
        {"300B-like, dashed minor grid, curves stop at the 40 W limit, boxed labels, yellowed", 1040, 720,
         3.9, 2.08e-4, 1.0, 1.7, 3, 0.15, 0.05, 0.06, 0.33, 0.002, 0, 500, 0.25f, 0, -100, 10,
         25, 25, 5, 5, DashedMinor, Boxed, false, "%g", AtLimit, 40, {}, nullptr, 2.5, true, false, 0, 0, 3},
        {"6J5-like, spline through 25 V points, dotted minor grid, italic end labels, data stop short, JPEG", 1000, 700,
         19, 3.09e-4, 0.6, 1.6, 0.6, 0.25, 0.1, 0.12, 0, 0.004, 25, 400, 0.016f, 0, -18, 2,
         40, 32, 5, 10, DottedMinor, AtEnds, true, "Vg=%gV", AtDataTop, 0, {}, nullptr, 1.8, false, false, 60, 0, 4},
        {"2A3-like, dense solid grid, dashed above 15 W, load line, stamp, 1-bit scan, skew -0.2", 1000, 700,
         4.2, 2.39e-4, 0.8, 1.7, 3, 0.15, 0.1, 0.1, 0.33, 0.003, 0, 500, 0.2f, 0, -90, 10, 50, 40, 10, 10, DenseSolid,
         Along, true, "Ec=%g", DashedAboveLimit, 15, {{300, 2500, kRed}}, "92CM-6511", 2.2, false, true, 0, -0.2, 5},
        {"6AV6-like, spline through 50 V points, grey dashed grid, boxed labels, 0.5 W limit, heavy JPEG", 960, 720,
         100, 3.36e-4, 0.4, 1.7, 0.12, 0.35, 0.2, 0.12, 0, 0.004, 50, 400, 0.003f, 0, -3, 0.5f,
         20, 15, 5, 5, PlotterGrey, Boxed, false, "Ec=%g", AtFrame, 0.5f, {}, nullptr, 1.4, false, false, 45, 0, 6},
        {"45-like, spline through 25 V points, 4 px pens, dashed minor grid, load line, yellowed JPEG, skew 0.5",
         1100, 760, 3.5, 0.742e-4, 1.0, 1.8, 2.5, 0.35, 0.15, 0.12, 0.4, 0.004, 25, 350, 0.1f, 0, -70, 10, 35, 20, 5, 5,
         DashedMinor, Along, true, "%g", AtFrame, 0, {{300, 5000, kBlue}}, nullptr, 4, true, false, 75, 0.5, 7},
        {"12AT7-like, remote cut-off, 12 curves crowding the axis, dense solid grid, thin pens, stamp, JPEG, skew 0.15",
         960, 700, 70, 5.98e-4, 0.1, 1.55, 0.4, 0.2, 0.1, 0.12, 0, 0.003, 0, 400, 0.004f, 0, -5.5f, 0.5f,
         40, 40, 10, 10, DenseSolid, Along, true, "%g", AtFrame, 0, {}, "CS-5013", 1.2, false, false, 80, 0.15, 8},
    };
    return recipes;
}
// clang-format on

// Per grid style, the grey, width and dashes of the minor and of the bold lines.
struct GridLook {
    int grey[2];
    double width[2];
    Qt::PenStyle style[2];
};
constexpr GridLook kGridLooks[] = {{{24, 24}, {0.8, 1.5}, {Qt::SolidLine, Qt::SolidLine}},
                                   {{110, 80}, {1.0, 1.3}, {Qt::DashLine, Qt::SolidLine}},
                                   {{100, 70}, {1.2, 1.3}, {Qt::DotLine, Qt::SolidLine}},
                                   {{190, 165}, {1.0, 1.5}, {Qt::DashLine, Qt::DashLine}}};

// Picture pixels of the plot frame and the chart's scales.
struct Frame {
    double left, right, top, bottom, volts, amps;
    QPointF At(double v, double i) const {
        return {left + v * (right - left) / volts, bottom - i * (bottom - top) / amps};
    }
};

using Amps = std::function<double(double)>;
using Truth = std::vector<std::vector<QPointF>>;

struct Curve {
    Amps amps;       // of plate volts
    double end;      // plate volts where the printed curve stops
    double dashFrom; // plate volts from which it is dashed (end: never)
};

// The plate current of curve number `curve` at plate volts vp, departing from the clean law as real
// tubes do: the curves bunch towards cut-off (spaced 1 + bunching times the mean step at the top,
// 1 - bunching at the last) and stand unevenly (by `scatter` of a step); mu rises with the current
// (by muSwing times its mid-scale value per full-scale amperes); the foot fades into cut-off more
// slowly on the more negative grids; the curves bend over (`bend`: the full-scale amperes over those
// they saturate at); and the drawn curve wanders sideways by `wobble` of the full-scale volts.
double TubeAmps(const Recipe& r, double vp, int curve) {
    const double span = r.gridPos - r.gridNeg, u = curve * r.gridStep / span; // 0 on the top curve, 1 on the last
    const double grid = r.gridPos - span * u * (1 + r.bunching * (1 - u)) + r.contactVolts +
                        r.scatter * r.gridStep * std::sin(2.4 * curve + r.seed);
    const double period = r.volts * (0.3 + 0.06 * (curve % 4)), phase = 1.9 * curve + r.seed, tail = r.tail * (0.4 + u);
    const double v = vp + r.wobble * r.volts * (std::sin(2 * std::numbers::pi * vp / period + phase) - std::sin(phase));
    const auto space = [&](double amps) { // the space current mu lets through while `amps` flow
        const double x = grid + v / (r.mu * (1 + r.muSwing * (amps / r.amps - 0.5)));
        return r.k * std::pow(x > 30 * tail ? x : tail * std::log1p(std::exp(x / tail)), r.power);
    };
    double low = 0, high = space(0); // bisect for the current equal to the space current it lets through
    for (int k = 0; k < 48; ++k)
        (space((low + high) / 2) > (low + high) / 2 ? low : high) = (low + high) / 2;
    return low / std::hypot(1.0, r.bend * low / r.amps);
}

// A smooth cubic through hand-read points `step` volts apart, as drawn by hand: its slope at a
// point the mean of the slopes either side, or level where the points do not rise on both sides;
// at the ends, the slope of the end's interval.
Amps SmoothCurve(std::vector<double> y, double step) {
    std::vector<double> m(y.size(), 0.0);
    for (std::size_t i = 1; i + 1 < y.size(); ++i)
        m[i] = y[i + 1] > y[i] && y[i] > y[i - 1] ? (y[i + 1] - y[i - 1]) / (2 * step) : 0.0;
    m.front() = (y[1] - y[0]) / step;
    m.back() = (y.back() - y[y.size() - 2]) / step;
    return [y = std::move(y), m = std::move(m), step](double v) {
        const std::size_t i = std::min(static_cast<std::size_t>(std::max(v, 0.0) / step), y.size() - 2);
        const double t = v / step - static_cast<double>(i);
        const double h00 = (1 + 2 * t) * (1 - t) * (1 - t), h01 = t * t * (3 - 2 * t);
        const double h10 = t * (1 - t) * (1 - t), h11 = t * t * (t - 1);
        return h00 * y[i] + h01 * y[i + 1] + step * (h10 * m[i] + h11 * m[i + 1]);
    };
}

// The first plate voltage where `stop` holds, or full scale.
double FirstWhere(const Recipe& r, const std::function<bool(double)>& stop) {
    for (double v = 0; v < r.volts; v += r.volts / 4000)
        if (stop(v))
            return v;
    return r.volts;
}

// Each curve's law, or for hand-read charts a spline through wobbly points read off it;
// and where each stops or turns dashed.
std::vector<Curve> Curves(const Recipe& r) {
    std::vector<Curve> curves;
    const int count = static_cast<int>(std::lround((r.gridPos - r.gridNeg) / r.gridStep)) + 1;
    for (int i = 0; i < count; ++i) {
        Amps amps = [&r, i](double v) { return TubeAmps(r, v, i); };
        // Where the data stop: different for every curve.
        const double dataTop = r.amps * (0.55 + 0.35 * std::fmod(0.618 * i + 0.2, 1.0));
        const double limit = FirstWhere(r, [&](double v) { return v * amps(v) >= r.watts; });
        double end = r.ending == AtLimit     ? limit
                     : r.ending == AtDataTop ? FirstWhere(r, [&](double v) { return amps(v) >= dataTop; })
                                             : r.volts;
        if (const double step = r.measuredEvery; step > 0) {
            std::vector<double> read{0.0};
            for (double v = step; read.size() < 2 || v < end + step * (end < r.volts ? 0.01 : 0.99); v += step)
                read.push_back(std::max(read.back(), amps(v) * (1 + 0.025 * std::sin(v / 41 + 1.3 * i))));
            end = std::min(end, step * static_cast<double>(read.size() - 1));
            amps = SmoothCurve(std::move(read), step);
        }
        curves.push_back({amps, end, r.ending == DashedAboveLimit ? limit : end});
    }
    return curves;
}

// The curve in picture pixels from one plate voltage to another, its points `spacing` apart.
QPolygonF Trace(const Curve& c, const Frame& f, double from, double to, double spacing) {
    const int n = std::max(2, static_cast<int>((to - from) / f.volts * (f.right - f.left) * 4));
    QPolygonF points;
    for (int i = 0; i <= n; ++i) {
        const double v = from + (to - from) * i / n;
        const QPointF at = f.At(v, std::min(c.amps(v), 1.05 * f.amps));
        if (i == 0 || QLineF(points.back(), at).length() >= spacing)
            points << at;
        else if (i == n)
            points.back() = at; // the end itself, no nearer the point before
    }
    return points;
}

QFont Font(double pixels, bool bold = false, bool italic = false) {
    QFont font(QStringLiteral("DejaVu Sans"), -1, bold ? QFont::Bold : QFont::Normal, italic);
    font.setPixelSize(std::max(6, static_cast<int>(std::lround(pixels))));
    return font;
}

// The drawing functions take the painter p, the chart's recipe r, its frame f, and s, the scale of
// lengths against a picture of 1000 x 700.

// Grid lines, load lines, the dissipation hyperbola and the curves, inside the frame.
void DrawPlot(QPainter& p, const Recipe& r, const Frame& f, double s, const std::vector<Curve>& curves) {
    const GridLook& g = kGridLooks[static_cast<int>(r.grid)];
    const double weight = r.grid == DenseSolid ? std::max(1.2, r.pen) * s : s; // as heavy as the curves
    for (int k = 1; k < r.voltLines + r.ampLines; ++k) {
        const bool vertical = k < r.voltLines;
        const int b = (vertical ? k : k - r.voltLines) % r.boldEvery == 0 ? 1 : 0;
        const double v = r.volts * k / r.voltLines, i = r.amps * (k - r.voltLines) / r.ampLines;
        p.setPen(QPen(QColor(g.grey[b], g.grey[b], g.grey[b]), g.width[b] * weight, g.style[b]));
        p.drawLine(vertical ? QLineF(f.At(v, 0), f.At(v, r.amps)) : QLineF(f.At(0, i), f.At(r.volts, i)));
    }
    for (const auto& [supply, ohms, colour] : r.loads) {
        p.setPen(QPen(QColor(colour), 1.7 * s));
        p.drawLine(f.At(supply, 0), f.At(0, supply / ohms));
    }
    QPolygonF hyperbola;
    for (double v = r.watts / (1.1 * r.amps); r.watts > 0 && v <= r.volts; v += r.volts / 400)
        hyperbola << f.At(v, r.watts / v);
    p.setPen(QPen(kInk, 1.5 * s, Qt::DashDotLine));
    p.drawPolyline(hyperbola);
    p.setFont(Font(12 * s, false, true));
    if (r.watts > 0)
        p.drawText(f.At(0.8 * r.volts, r.watts / (0.8 * r.volts)) + QPointF(6 * s, -8 * s),
                   QStringLiteral("Pp = %1 W").arg(static_cast<double>(r.watts)));
    QPen pen(kInk, r.pen * s, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    for (const Curve& c : curves) {
        p.setPen(pen);
        p.drawPolyline(Trace(c, f, 0, c.dashFrom, 2 * s));
        if (c.dashFrom < c.end) {
            p.setPen(QPen(kInk, r.pen * s, Qt::DashLine));
            p.drawPolyline(Trace(c, f, c.dashFrom, c.end, 2 * s));
        }
    }
}

// Grid-voltage labels as the recipe places them, leaving out any that would overlap one
// already placed. Gives the boxes that break the curves.
std::vector<QRectF> DrawLabels(QPainter& p, const Recipe& r, double s, const Truth& truth) {
    p.setFont(Font(12.5 * s, false, r.italic));
    const QFontMetricsF metrics(p.font());
    std::vector<QRectF> placed, boxes;
    for (std::size_t i = 0; i < truth.size(); ++i) {
        const std::vector<QPointF>& t = truth[i];
        const QString text = QString::asprintf(r.gridText, r.gridPos - static_cast<double>(i) * r.gridStep);
        const double w = metrics.horizontalAdvance(text), a = metrics.ascent();
        if (t.size() < 40)
            continue;
        const auto at = static_cast<std::size_t>(static_cast<double>(t.size()) * (0.3 + 0.4 * std::fmod(0.37 * i, 1)));
        QTransform place = QTransform::fromTranslate(t[at].x(), t[at].y());
        QRectF box(-w / 2, -a / 2, w, a); // a box centred on the curve
        if (r.labels == Along) {          // turned along the curve, just above it
            place.rotate(std::atan2(t[at + 3].y() - t[at - 3].y(), t[at + 3].x() - t[at - 3].x()) * 180 /
                         std::numbers::pi);
            box.moveBottom(-(3 + r.pen / 2) * s);
        } else if (r.labels == AtEnds) { // just past the end of what shows
            place = QTransform::fromTranslate(t.back().x() + 4 * s, t.back().y() + a / 2);
            box.moveTopLeft(QPointF(0, -a));
        }
        const QRectF padded = box.adjusted(-2 * s, -2 * s, 2 * s, 2 * s), bounds = place.mapRect(padded);
        if (std::any_of(placed.begin(), placed.end(), [&](const QRectF& other) { return other.intersects(bounds); }))
            continue;
        placed.push_back(bounds);
        p.setTransform(place);
        if (r.labels == Boxed) {
            p.fillRect(padded, r.Paper());
            boxes.push_back(bounds);
        }
        p.setPen(kInk);
        p.drawText(box.bottomLeft(), text);
    }
    p.resetTransform();
    return boxes;
}

// The frame, tick numbers and titles outside it, and the code-number stamp inside.
void DrawAxes(QPainter& p, const Recipe& r, const Frame& f, double s) {
    p.setPen(QPen(kInk, 2.2 * s, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawRect(QRectF(f.At(0, r.amps), f.At(r.volts, 0)));
    const auto text = [&](const QString& t, QPointF at, double alignX, double alignY) {
        const QFontMetricsF m(p.font());
        p.drawText(at - QPointF(alignX * m.horizontalAdvance(t), alignY * m.ascent()), t);
    };
    p.setFont(Font(13 * s));
    for (int k = 0; k <= r.voltLines; k += r.numberEvery) {
        const QPointF at = f.At(r.volts * k / r.voltLines, 0);
        p.drawLine(at, at + QPointF(0, 6 * s));
        text(QString::number(r.volts * k / r.voltLines, 'g', 4), at + QPointF(0, 8 * s), 0.5, -1);
    }
    for (int k = 0; k <= r.ampLines; k += r.numberEvery) {
        const QPointF at = f.At(0, r.amps * k / r.ampLines);
        p.drawLine(at, at - QPointF(6 * s, 0));
        text(QString::number(1000.0 * r.amps * k / r.ampLines, 'g', 3), at - QPointF(8 * s, s), 1, -0.5);
    }
    p.setFont(Font(14 * s, true));
    text(QStringLiteral("TYPE VX-%1  AVERAGE PLATE CHARACTERISTICS").arg(r.seed),
         QPointF((f.left + f.right) / 2, f.top - 14 * s), 0.5, 0);
    text(QStringLiteral("PLATE VOLTS (Eb)"), QPointF((f.left + f.right) / 2, f.bottom + 48 * s), 0.5, 0);
    if (r.stamp != nullptr)
        text(QString::fromLatin1(r.stamp), QPointF(f.left + 12 * s, f.top + 12 * s), 0, -1);
    p.translate(f.left - 60 * s, (f.top + f.bottom) / 2);
    p.rotate(-90);
    text(QStringLiteral("PLATE MILLIAMPERES (Ib)"), QPointF(0, 0), 0.5, 0);
    p.resetTransform();
}

// The page as drawn, before the scan; fills in the truth: where each curve shows inside the
// frame, above where it merges into the x axis and not under a label's box.
QImage DrawPage(const Recipe& r, const Frame& f, double s, QSize size, Truth& truth) {
    const std::vector<Curve> curves = Curves(r);
    const double axisMargin = 1.1 * (1.1 * s + r.pen * s / 2) + 1;
    for (const Curve& c : curves) {
        const QPolygonF points = Trace(c, f, 0, c.end, 1.0);
        std::copy_if(points.begin(), points.end(), std::back_inserter(truth.emplace_back()), [&](const QPointF& at) {
            return at.x() > f.left && at.x() < f.right && at.y() > f.top && at.y() < f.bottom - axisMargin;
        });
    }
    QImage page(size, QImage::Format_RGB32);
    page.fill(r.Paper());
    QPainter p(&page);
    p.setRenderHint(QPainter::Antialiasing);
    p.setClipRect(QRectF(f.At(0, r.amps), f.At(r.volts, 0)));
    DrawPlot(p, r, f, s, curves);
    p.setClipping(false);
    for (const QRectF& box : DrawLabels(p, r, s, truth))
        for (auto& curve : truth)
            std::erase_if(curve, [&](const QPointF& at) { return box.contains(at); });
    DrawAxes(p, r, f, s);
    p.end();
    return page;
}

// The page as scanned: uneven paper tone (towards the binding edge, with age) and grain;
// then for a 1-bit scan a threshold with specks of dirt and dropouts; then JPEG.
QImage Scanned(QImage page, const Recipe& r, double s) {
    std::minstd_rand noise(r.seed);
    const double w = page.width(), h = page.height();
    QImage bits(page.size(), QImage::Format_Grayscale8);
    for (int y = 0; y < page.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(page.scanLine(y));
        for (int x = 0; x < page.width(); ++x) {
            const double shade = r.yellowed ? 1 - 0.07 * (1 - x / w) * (1 - x / w) - 0.03 * y / h : 1 - 0.015 * y / h;
            const int grain = static_cast<int>(noise() % 9) - 4;
            const auto tone = [&](int c) { return std::clamp(static_cast<int>(c * shade) + grain, 0, 255); };
            row[x] = qRgb(tone(qRed(row[x])), tone(qGreen(row[x])), tone(qBlue(row[x])));
            bits.scanLine(y)[x] = qGray(row[x]) < 150 ? 0 : 255;
        }
    }
    for (int n = 0; r.oneBit && n < page.width() * page.height() / (1500 * s * s); ++n) {
        const int x = static_cast<int>(noise() % static_cast<unsigned>(page.width()));
        const int y = static_cast<int>(noise() % static_cast<unsigned>(page.height()));
        const int size = std::max(1, static_cast<int>((1 + noise() % 2) * s));
        const QRect speck = QRect(x, y, size, size).intersected(bits.rect());
        const uchar value = noise() % 4 == 0 ? 255 : 0;
        for (int row = speck.top(); row <= speck.bottom(); ++row)
            std::fill_n(bits.scanLine(row) + speck.left(), speck.width(), value);
    }
    QImage scan = r.oneBit ? bits : page;
    if (r.jpeg > 0) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        scan.save(&buffer, "JPG", r.jpeg);
        scan = QImage::fromData(buffer.data(), "JPG").convertToFormat(QImage::Format_RGB32);
    }
    return scan;
}

} // namespace

std::size_t CorpusCount() {
    return Recipes().size();
}

CorpusChart CorpusChartAt(std::size_t index, int width, int height) {
    const Recipe& r = Recipes().at(index);
    const double s = std::min(width / 1000.0, height / 700.0);
    const auto centre = [](double at) { return std::floor(at) + 0.5; };
    const Frame f{
        centre(0.11 * width), centre(0.9 * width), centre(0.08 * height), centre(0.88 * height), r.volts, r.amps};
    Truth truth;
    QImage page = DrawPage(r, f, s, QSize(width, height), truth);
    QTransform turn; // about the picture's centre, clockwise on screen
    turn.translate(width / 2.0, height / 2.0).rotate(r.skew).translate(-width / 2.0, -height / 2.0);
    if (r.skew != 0) {
        QImage turned(page.size(), QImage::Format_RGB32);
        turned.fill(r.Paper());
        QPainter p(&turned);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.setTransform(turn);
        p.drawImage(0, 0, page);
        page = turned;
        for (auto& curve : truth)
            std::ranges::transform(curve, curve.begin(), [&](QPointF at) { return turn.map(at); });
    }
    const QPointF origin = turn.map(f.At(0, 0)), corner = turn.map(f.At(r.volts, r.amps));
    return {r.name, Scanned(page, r, s), origin.x(), corner.x(), corner.y(), origin.y(), r.volts,
            r.amps, r.gridPos,           r.gridNeg,  r.gridStep, r.watts,    r.skew,     truth};
}

std::vector<CorpusChart> Corpus() {
    std::vector<CorpusChart> charts;
    for (std::size_t i = 0; i < Recipes().size(); ++i)
        charts.push_back(CorpusChartAt(i, Recipes()[i].width, Recipes()[i].height));
    return charts;
}

Design CorpusDesign(const CorpusChart& chart, const TriodeParameters& parameters) {
    // The picture is stretched over the chart area of the layout.
    const double toX = kChartAreaWidth / chart.picture.width(), toY = kChartAreaHeight / chart.picture.height();
    Design design;
    design.Xleft = static_cast<float>(kChartAreaTopLeft.x + chart.left * toX);
    design.Xright = static_cast<float>(kChartAreaTopLeft.x + chart.right * toX);
    design.Ytop = static_cast<float>(kChartAreaTopLeft.y + chart.top * toY);
    design.Ybottom = static_cast<float>(kChartAreaTopLeft.y + chart.bottom * toY);
    std::tie(design.PlateVoltageFullscale, design.PlateCurrentFullscale, design.Dissipation) =
        std::tie(chart.voltsFullscale, chart.ampsFullscale, chart.plateWatts);
    std::tie(design.GridVoltageMostPos, design.GridVoltageMostNeg, design.GridVoltageStep) =
        std::tie(chart.gridMostPos, chart.gridMostNeg, chart.gridStep);
    std::tie(design.Mu, design.Ex, design.Kg1, design.Kp, design.Kvb) =
        std::tie(parameters.Mu, parameters.Ex, parameters.Kg1, parameters.Kp, parameters.Kvb);
    return design;
}

} // namespace valvix::corpus
