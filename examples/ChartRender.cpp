#include "ChartRender.h"

#include "PictureTools.h"

#include "plot/OverlayPlot.h"

#include <QBuffer>
#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRectF>

#include <algorithm>
#include <cmath>
#include <vector>

namespace valvix::example {

namespace {

const QColor kPaper(250, 246, 233);
const QColor kInk(28, 26, 32);
const QColor kMajorGrid(186, 176, 158);
const QColor kMinorGrid(224, 216, 198);

// Draws one chart; all lengths are in pixels of the final picture.
class ChartPainter {
public:
    ChartPainter(const ChartSpec& sheet, QPainter& painter) : s(sheet), p(painter) {}

    void draw() {
        DrawGrid();
        DrawCurves();
        DrawLoadLineAndLimit();
        s.labelsOnCurves ? DrawLabelsOnCurves() : DrawCurveLabels();
        DrawAxisNumbers();
        DrawTitlesAndNotes();
    }

private:
    double Px(double volts) const {
        return s.axisLeft + volts * (s.axisRight - s.axisLeft) / s.voltsFullscale;
    }
    double Py(double amps) const {
        return s.axisBottom - amps * (s.axisBottom - s.axisTop) / s.ampsFullscale;
    }
    double Current(double volts, double grid) const {
        const PlatePoint point =
            EvaluatePlatePoint(static_cast<float>(volts), static_cast<float>(grid), s.truth);
        return point.ok ? point.Ip : 0.0;
    }
    QFont Font(double pixels, bool bold = false) const {
        QFont font(QStringLiteral("Nimbus Sans"));
        font.setStyleHint(QFont::SansSerif);
        // The picture is drawn at 96 dots per inch, where a point is 4/3 of a pixel.
        font.setPointSizeF(pixels * s.textScale * 72.0 / 96.0);
        font.setBold(bold);
        font.setHintingPreference(QFont::PreferNoHinting);
        return font;
    }
    void Line(double x1, double y1, double x2, double y2) {
        p.drawLine(QPointF(x1, y1), QPointF(x2, y2));
    }
    QRectF Frame() const {
        return {QPointF(s.axisLeft, s.axisTop), QPointF(s.axisRight, s.axisBottom)};
    }

    std::vector<float> GridVoltages() const {
        std::vector<float> grids;
        for (int i = 0;; ++i) {
            const float grid = s.gridMostPos - static_cast<float>(i) * s.gridStep;
            if (grid < s.gridMostNeg - s.gridStep / 2) {
                return grids;
            }
            grids.push_back(grid);
        }
    }

    void DrawGrid() {
        const double pen = s.textScale;
        p.setPen(QPen(kMinorGrid, 0.45 * pen));
        for (double v = s.voltsMinor; v < s.voltsFullscale - 1e-6; v += s.voltsMinor) {
            Line(Px(v), s.axisTop, Px(v), s.axisBottom);
        }
        for (double i = s.ampsMinor; i < s.ampsFullscale - 1e-9; i += s.ampsMinor) {
            Line(s.axisLeft, Py(i), s.axisRight, Py(i));
        }
        p.setPen(s.darkGrid ? QPen(kInk, 0.5 * pen) : QPen(kMajorGrid, 0.7 * pen));
        for (double v = s.voltsMajor; v < s.voltsFullscale - 1e-6; v += s.voltsMajor) {
            Line(Px(v), s.axisTop, Px(v), s.axisBottom);
        }
        for (double i = s.ampsMajor; i < s.ampsFullscale - 1e-9; i += s.ampsMajor) {
            Line(s.axisLeft, Py(i), s.axisRight, Py(i));
        }
        // The axes and the full-scale lines make a heavier box.
        p.setPen(QPen(kInk, 1.4 * pen, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.drawRect(Frame());
    }

    void DrawAxisNumbers() {
        p.setPen(kInk);
        p.setFont(Font(8.5));
        const double k = s.textScale;
        const QFontMetricsF numbers(p.font());
        for (double v = 0; v <= s.voltsFullscale + 1e-6; v += s.voltsMajor) {
            const QString text = QString::number(v, 'f', 0);
            const double width = numbers.horizontalAdvance(text);
            p.drawText(QPointF(Px(v) - width / 2, s.axisBottom + 3 * k + numbers.ascent()), text);
        }
        for (double i = 0; i <= s.ampsFullscale + 1e-9; i += s.ampsMajor) {
            const QString text = QString::number(i * 1000, 'f', s.milliampDecimals);
            const double width = numbers.horizontalAdvance(text);
            p.drawText(QPointF(s.axisLeft - 4 * k - width, Py(i) + numbers.ascent() / 2 - 0.5),
                       text);
        }
    }

    void DrawTitlesAndNotes() {
        const double k = s.textScale;
        p.setFont(Font(9, true));
        const QFontMetricsF titles(p.font());
        const QString voltsTitle = QStringLiteral("PLATE VOLTS (Eb)");
        p.drawText(QPointF((s.axisLeft + s.axisRight - titles.horizontalAdvance(voltsTitle)) / 2,
                           s.axisBottom + 17 * k + titles.ascent()),
                   voltsTitle);
        const QString ampsTitle = QStringLiteral("PLATE MILLIAMPERES (Ib)");
        p.save();
        p.translate(12 * k, (s.axisTop + s.axisBottom + titles.horizontalAdvance(ampsTitle)) / 2);
        p.rotate(-90);
        p.drawText(QPointF(0, titles.ascent() - titles.height() / 2), ampsTitle);
        p.restore();

        p.setFont(Font(9.5, true));
        const QFontMetricsF heading(p.font());
        p.drawText(QPointF((s.axisLeft + s.axisRight - heading.horizontalAdvance(s.title)) / 2,
                           4 * k + heading.ascent()),
                   s.title);

        p.setFont(Font(8));
        const QFontMetricsF note(p.font());
        for (qsizetype i = 0; i < s.notes.size(); ++i) {
            const double gap = i == 0 ? 6 * k : 8 * k + static_cast<double>(i) * note.height();
            p.drawText(QPointF(s.axisLeft + 8 * k, s.axisTop + gap + note.ascent()), s.notes[i]);
        }
    }

    // The plate voltage at which a curve reaches the full-scale current, found by
    // halving the interval; the current rises with the plate voltage.
    double VoltsAtFullscale(double grid) const {
        double low = 0;
        double high = s.voltsFullscale;
        for (int i = 0; i < 60; ++i) {
            const double middle = (low + high) / 2;
            (Current(middle, grid) < s.ampsFullscale ? low : high) = middle;
        }
        return (low + high) / 2;
    }

    void DrawCurves() {
        p.save();
        p.setClipRect(Frame());
        p.setPen(QPen(kInk, s.curvePen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        constexpr int kSteps = 1500;
        for (const float grid : GridVoltages()) {
            QPainterPath path;
            for (int i = 0; i <= kSteps; ++i) {
                const double volts = s.voltsFullscale * i / kSteps;
                // Past the top the curve is clipped anyway; holding it just above the
                // frame keeps the path from running far off the picture.
                const double amps = std::min(Current(volts, grid), s.ampsFullscale * 1.05);
                const QPointF at(Px(volts), Py(amps));
                if (i == 0) {
                    path.moveTo(at);
                } else {
                    path.lineTo(at);
                }
            }
            p.drawPath(path);
        }
        p.restore();
    }

    // The load line solid and the dissipation limit dashed, both a little lighter than
    // the curves.
    void DrawLoadLineAndLimit() {
        p.save();
        p.setClipRect(Frame());
        p.setBrush(Qt::NoBrush);
        if (s.loadLine.ohms > 0) {
            p.setPen(QPen(kInk, 1.1 * s.textScale));
            Line(Px(s.loadLine.supplyVolts), Py(0), Px(0),
                 Py(s.loadLine.supplyVolts / s.loadLine.ohms));
        }
        if (s.limitWatts > 0) {
            p.setPen(QPen(kInk, 1.1 * s.textScale, Qt::DashLine));
            QPainterPath path;
            const double from = s.limitWatts / (1.05 * s.ampsFullscale);
            for (int i = 0; i <= 400; ++i) {
                const double volts = from + (s.voltsFullscale - from) * i / 400;
                const QPointF at(Px(volts), Py(s.limitWatts / volts));
                i == 0 ? path.moveTo(at) : path.lineTo(at);
            }
            p.drawPath(path);
        }
        p.restore();
    }

    static QString GridText(float grid) {
        if (grid == 0.0f) {
            return QStringLiteral("Ec=0");
        }
        const QString number = QString::number(static_cast<double>(grid), 'g', 3);
        return grid > 0 ? "+" + number : number;
    }

    // Each label in a box of paper over its curve, where the curve crosses 60 % of the
    // full-scale current, or at 80 % of the full-scale voltage if it stays lower.
    void DrawLabelsOnCurves() {
        p.setFont(Font(8));
        const QFontMetricsF metrics(p.font());
        for (const float grid : GridVoltages()) {
            double volts = 0.8 * s.voltsFullscale;
            for (double v = 0; v < volts; v += s.voltsFullscale / 500) {
                volts = Current(v, grid) >= 0.6 * s.ampsFullscale ? v : volts;
            }
            const QPointF at(Px(volts), Py(std::min(Current(volts, grid), 0.6 * s.ampsFullscale)));
            const QString text = GridText(grid);
            const QSizeF size(metrics.horizontalAdvance(text) + 2 * s.textScale, metrics.ascent());
            p.fillRect(QRectF(at - QPointF(size.width() / 2, size.height() / 2), size), kPaper);
            p.setPen(kInk);
            p.drawText(at + QPointF(s.textScale - size.width() / 2, size.height() / 2 - 1), text);
        }
    }

    // Grid-voltage labels: just below the top edge, right of where a curve leaves the
    // chart, or beyond the right edge where a curve ends inside it. Labels at the right
    // edge are spread apart when their curves end close together.
    void DrawCurveLabels() {
        p.setPen(kInk);
        p.setFont(Font(8));
        const double k = s.textScale;
        const QFontMetricsF metrics(p.font());
        const double lineHeight = metrics.ascent() + 1;
        struct EdgeLabel {
            QString text;
            double centreY;
        };
        std::vector<EdgeLabel> atRight;
        for (const float grid : GridVoltages()) {
            const double ampsAtEnd = Current(s.voltsFullscale, grid);
            if (ampsAtEnd >= s.ampsFullscale) {
                const double x = Px(VoltsAtFullscale(grid));
                p.drawText(QPointF(x + 3 * k, s.axisTop + 3 * k + metrics.ascent()),
                           GridText(grid));
            } else {
                atRight.push_back({GridText(grid), Py(ampsAtEnd)});
            }
        }
        // From the lowest curve up, keep each label at least a line above the one below.
        std::sort(atRight.begin(), atRight.end(),
                  [](const EdgeLabel& a, const EdgeLabel& b) { return a.centreY > b.centreY; });
        double lowestFree = s.axisBottom + 2 * k;
        for (EdgeLabel& label : atRight) {
            label.centreY = std::min(label.centreY, lowestFree - lineHeight / 2);
            lowestFree = label.centreY - lineHeight / 2;
            p.drawText(QPointF(s.axisRight + 4 * k, label.centreY + metrics.ascent() / 2 - 0.5),
                       label.text);
        }
    }

    const ChartSpec& s;
    QPainter& p;
};

// Uneven paper tone and sensor grain, as a flatbed scan of an old page shows them.
void AddScanLook(QImage& image, double grainLevels, std::uint32_t seed) {
    pictures::Noise grain(seed);
    const double w = image.width();
    const double h = image.height();
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            // Slow shading: a little darker towards the binding edge and one corner.
            const double shade = 1.0 - 0.035 * (1.0 - x / w) * (1.0 - x / w) -
                                 0.02 * (y / h) * (x / w) + 0.008 * std::sin(x * 0.045 + y * 0.021);
            const double speck = grainLevels * grain.next();
            const auto channel = [&](int value, double tint) {
                return std::clamp(static_cast<int>(std::lround(value * shade * tint + speck)), 0,
                                  255);
            };
            const QRgb c = row[x];
            row[x] =
                qRgb(channel(qRed(c), 1.0), channel(qGreen(c), 0.995), channel(qBlue(c), 0.985));
        }
    }
}

QImage ThroughJpeg(const QImage& image, int quality) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", quality);
    QImage decoded;
    decoded.loadFromData(bytes, "JPG");
    return decoded.convertToFormat(QImage::Format_RGB32);
}

} // namespace

QImage RenderChart(const ChartSpec& sheet) {
    const int k = sheet.oversample;
    QImage big(sheet.width * k, sheet.height * k, QImage::Format_RGB32);
    big.fill(kPaper);
    // Text sizes are given for 96 dots per inch in the units of the final picture; the
    // painter's scale then enlarges them with everything else.
    constexpr int kDotsPerMetre = 3780;
    big.setDotsPerMeterX(kDotsPerMetre);
    big.setDotsPerMeterY(kDotsPerMetre);
    {
        QPainter p(&big);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.scale(k, k);
        ChartPainter(sheet, p).draw();
    }
    QImage chart =
        big.scaled(sheet.width, sheet.height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .convertToFormat(QImage::Format_RGB32);
    AddScanLook(chart, sheet.grain, sheet.seed);
    return sheet.jpegQuality > 0 ? ThroughJpeg(chart, sheet.jpegQuality) : chart;
}

Design ChartDesign(const ChartSpec& sheet, const TriodeParameters& parameters) {
    const auto layoutX = [&](double px) {
        return static_cast<float>(kChartAreaTopLeft.x + px * kChartAreaWidth / sheet.width);
    };
    const auto layoutY = [&](double py) {
        return static_cast<float>(kChartAreaTopLeft.y + py * kChartAreaHeight / sheet.height);
    };
    Design design;
    design.Xleft = layoutX(sheet.axisLeft);
    design.Xright = layoutX(sheet.axisRight);
    design.Ytop = layoutY(sheet.axisTop);
    design.Ybottom = layoutY(sheet.axisBottom);
    design.PlateVoltageFullscale = sheet.voltsFullscale;
    design.PlateCurrentFullscale = sheet.ampsFullscale;
    design.GridVoltageMostPos = sheet.gridMostPos;
    design.GridVoltageMostNeg = sheet.gridMostNeg;
    design.GridVoltageStep = sheet.gridStep;
    design.Mu = parameters.Mu;
    design.Ex = parameters.Ex;
    design.Kg1 = parameters.Kg1;
    design.Kp = parameters.Kp;
    design.Kvb = parameters.Kvb;
    design.Dissipation = sheet.designDissipation;
    return design;
}

} // namespace valvix::example
