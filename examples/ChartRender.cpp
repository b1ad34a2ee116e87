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
    ChartPainter(const ChartSpec& sheet, QPainter& painter) : m_spec(sheet), m_painter(painter) {}

    void draw() {
        DrawGrid();
        DrawCurves();
        DrawLoadLineAndLimit();
        m_spec.labelsOnCurves ? DrawLabelsOnCurves() : DrawCurveLabels();
        DrawAxisNumbers();
        DrawTitlesAndNotes();
    }

private:
    double Px(double volts) const {
        return m_spec.axisLeft +
               volts * (m_spec.axisRight - m_spec.axisLeft) / m_spec.voltsFullscale;
    }
    double Py(double amps) const {
        return m_spec.axisBottom -
               amps * (m_spec.axisBottom - m_spec.axisTop) / m_spec.ampsFullscale;
    }
    double Current(double volts, double grid) const {
        const PlatePoint point =
            EvaluatePlatePoint(static_cast<float>(volts), static_cast<float>(grid), m_spec.truth);
        return point.ok ? point.Ip : 0.0;
    }
    QFont Font(double pixels, bool bold = false) const {
        // DejaVu Sans, which the setup script installs: a face found only on some machines would
        // draw the charts, and so the tests' pictures, differently from one machine to the next.
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setStyleHint(QFont::SansSerif);
        // The picture is drawn at 96 dots per inch, where a point is 4/3 of a pixel.
        font.setPointSizeF(pixels * m_spec.textScale * 72.0 / 96.0);
        font.setBold(bold);
        font.setHintingPreference(QFont::PreferNoHinting);
        return font;
    }
    void Line(double x1, double y1, double x2, double y2) {
        m_painter.drawLine(QPointF(x1, y1), QPointF(x2, y2));
    }
    QRectF Frame() const {
        return {QPointF(m_spec.axisLeft, m_spec.axisTop),
                QPointF(m_spec.axisRight, m_spec.axisBottom)};
    }

    std::vector<float> GridVoltages() const {
        std::vector<float> grids;
        for (int i = 0;; ++i) {
            const float grid = m_spec.gridMostPos - static_cast<float>(i) * m_spec.gridStep;
            if (grid < m_spec.gridMostNeg - m_spec.gridStep / 2) {
                return grids;
            }
            grids.push_back(grid);
        }
    }

    void DrawGrid() {
        const double pen = m_spec.textScale;
        m_painter.setPen(QPen(kMinorGrid, 0.45 * pen));
        for (double v = m_spec.voltsMinor; v < m_spec.voltsFullscale - 1e-6;
             v += m_spec.voltsMinor) {
            Line(Px(v), m_spec.axisTop, Px(v), m_spec.axisBottom);
        }
        for (double i = m_spec.ampsMinor; i < m_spec.ampsFullscale - 1e-9; i += m_spec.ampsMinor) {
            Line(m_spec.axisLeft, Py(i), m_spec.axisRight, Py(i));
        }
        m_painter.setPen(m_spec.darkGrid ? QPen(kInk, 0.5 * pen) : QPen(kMajorGrid, 0.7 * pen));
        for (double v = m_spec.voltsMajor; v < m_spec.voltsFullscale - 1e-6;
             v += m_spec.voltsMajor) {
            Line(Px(v), m_spec.axisTop, Px(v), m_spec.axisBottom);
        }
        for (double i = m_spec.ampsMajor; i < m_spec.ampsFullscale - 1e-9; i += m_spec.ampsMajor) {
            Line(m_spec.axisLeft, Py(i), m_spec.axisRight, Py(i));
        }
        // The axes and the full-scale lines make a heavier box.
        m_painter.setPen(QPen(kInk, 1.4 * pen, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        m_painter.drawRect(Frame());
    }

    void DrawAxisNumbers() {
        m_painter.setPen(kInk);
        m_painter.setFont(Font(8.5));
        const double k = m_spec.textScale;
        const QFontMetricsF numbers(m_painter.font());
        for (double v = 0; v <= m_spec.voltsFullscale + 1e-6; v += m_spec.voltsMajor) {
            const QString text = QString::number(v, 'f', 0);
            const double width = numbers.horizontalAdvance(text);
            m_painter.drawText(
                QPointF(Px(v) - width / 2, m_spec.axisBottom + 3 * k + numbers.ascent()), text);
        }
        for (double i = 0; i <= m_spec.ampsFullscale + 1e-9; i += m_spec.ampsMajor) {
            const QString text = QString::number(i * 1000, 'f', m_spec.milliampDecimals);
            const double width = numbers.horizontalAdvance(text);
            m_painter.drawText(
                QPointF(m_spec.axisLeft - 4 * k - width, Py(i) + numbers.ascent() / 2 - 0.5), text);
        }
    }

    void DrawTitlesAndNotes() {
        const double k = m_spec.textScale;
        m_painter.setFont(Font(9, true));
        const QFontMetricsF titles(m_painter.font());
        const QString voltsTitle = QStringLiteral("PLATE VOLTS (Eb)");
        m_painter.drawText(
            QPointF((m_spec.axisLeft + m_spec.axisRight - titles.horizontalAdvance(voltsTitle)) / 2,
                    m_spec.axisBottom + 17 * k + titles.ascent()),
            voltsTitle);
        const QString ampsTitle = QStringLiteral("PLATE MILLIAMPERES (Ib)");
        m_painter.save();
        m_painter.translate(
            12 * k, (m_spec.axisTop + m_spec.axisBottom + titles.horizontalAdvance(ampsTitle)) / 2);
        m_painter.rotate(-90);
        m_painter.drawText(QPointF(0, titles.ascent() - titles.height() / 2), ampsTitle);
        m_painter.restore();

        m_painter.setFont(Font(9.5, true));
        const QFontMetricsF heading(m_painter.font());
        m_painter.drawText(
            QPointF((m_spec.axisLeft + m_spec.axisRight - heading.horizontalAdvance(m_spec.title)) /
                        2,
                    4 * k + heading.ascent()),
            m_spec.title);

        m_painter.setFont(Font(8));
        const QFontMetricsF note(m_painter.font());
        for (qsizetype i = 0; i < m_spec.notes.size(); ++i) {
            const double gap = i == 0 ? 6 * k : 8 * k + static_cast<double>(i) * note.height();
            m_painter.drawText(
                QPointF(m_spec.axisLeft + 8 * k, m_spec.axisTop + gap + note.ascent()),
                m_spec.notes[i]);
        }
    }

    // The plate voltage at which a curve reaches the full-scale current, found by
    // halving the interval; the current rises with the plate voltage.
    double VoltsAtFullscale(double grid) const {
        double low = 0;
        double high = m_spec.voltsFullscale;
        for (int i = 0; i < 60; ++i) {
            const double middle = (low + high) / 2;
            (Current(middle, grid) < m_spec.ampsFullscale ? low : high) = middle;
        }
        return (low + high) / 2;
    }

    void DrawCurves() {
        m_painter.save();
        m_painter.setClipRect(Frame());
        m_painter.setPen(QPen(kInk, m_spec.curvePen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        m_painter.setBrush(Qt::NoBrush);
        constexpr int kSteps = 1500;
        for (const float grid : GridVoltages()) {
            QPainterPath path;
            for (int i = 0; i <= kSteps; ++i) {
                const double volts = m_spec.voltsFullscale * i / kSteps;
                // Past the top the curve is clipped anyway; holding it just above the
                // frame keeps the path from running far off the picture.
                const double amps = std::min(Current(volts, grid), m_spec.ampsFullscale * 1.05);
                const QPointF at(Px(volts), Py(amps));
                if (i == 0) {
                    path.moveTo(at);
                } else {
                    path.lineTo(at);
                }
            }
            m_painter.drawPath(path);
        }
        m_painter.restore();
    }

    // The load line solid and the dissipation limit dashed, both a little lighter than
    // the curves.
    void DrawLoadLineAndLimit() {
        m_painter.save();
        m_painter.setClipRect(Frame());
        m_painter.setBrush(Qt::NoBrush);
        if (m_spec.loadLine.ohms > 0) {
            m_painter.setPen(QPen(kInk, 1.1 * m_spec.textScale));
            Line(Px(m_spec.loadLine.supplyVolts), Py(0), Px(0),
                 Py(m_spec.loadLine.supplyVolts / m_spec.loadLine.ohms));
        }
        if (m_spec.limitWatts > 0) {
            m_painter.setPen(QPen(kInk, 1.1 * m_spec.textScale, Qt::DashLine));
            QPainterPath path;
            const double from = m_spec.limitWatts / (1.05 * m_spec.ampsFullscale);
            for (int i = 0; i <= 400; ++i) {
                const double volts = from + (m_spec.voltsFullscale - from) * i / 400;
                const QPointF at(Px(volts), Py(m_spec.limitWatts / volts));
                i == 0 ? path.moveTo(at) : path.lineTo(at);
            }
            m_painter.drawPath(path);
        }
        m_painter.restore();
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
        m_painter.setFont(Font(8));
        const QFontMetricsF metrics(m_painter.font());
        for (const float grid : GridVoltages()) {
            double volts = 0.8 * m_spec.voltsFullscale;
            for (double v = 0; v < volts; v += m_spec.voltsFullscale / 500) {
                volts = Current(v, grid) >= 0.6 * m_spec.ampsFullscale ? v : volts;
            }
            const QPointF at(Px(volts),
                             Py(std::min(Current(volts, grid), 0.6 * m_spec.ampsFullscale)));
            const QString text = GridText(grid);
            const QSizeF size(metrics.horizontalAdvance(text) + 2 * m_spec.textScale,
                              metrics.ascent());
            m_painter.fillRect(QRectF(at - QPointF(size.width() / 2, size.height() / 2), size),
                               kPaper);
            m_painter.setPen(kInk);
            m_painter.drawText(
                at + QPointF(m_spec.textScale - size.width() / 2, size.height() / 2 - 1), text);
        }
    }

    // Grid-voltage labels: just below the top edge, right of where a curve leaves the
    // chart, or beyond the right edge where a curve ends inside it. Labels at the right
    // edge are spread apart when their curves end close together.
    void DrawCurveLabels() {
        m_painter.setPen(kInk);
        m_painter.setFont(Font(8));
        const double k = m_spec.textScale;
        const QFontMetricsF metrics(m_painter.font());
        const double lineHeight = metrics.ascent() + 1;
        struct EdgeLabel {
            QString text;
            double centreY;
        };
        std::vector<EdgeLabel> atRight;
        for (const float grid : GridVoltages()) {
            const double ampsAtEnd = Current(m_spec.voltsFullscale, grid);
            if (ampsAtEnd >= m_spec.ampsFullscale) {
                const double x = Px(VoltsAtFullscale(grid));
                m_painter.drawText(QPointF(x + 3 * k, m_spec.axisTop + 3 * k + metrics.ascent()),
                                   GridText(grid));
            } else {
                atRight.push_back({GridText(grid), Py(ampsAtEnd)});
            }
        }
        // From the lowest curve up, keep each label at least a line above the one below.
        std::sort(atRight.begin(), atRight.end(),
                  [](const EdgeLabel& a, const EdgeLabel& b) { return a.centreY > b.centreY; });
        double lowestFree = m_spec.axisBottom + 2 * k;
        for (EdgeLabel& label : atRight) {
            label.centreY = std::min(label.centreY, lowestFree - lineHeight / 2);
            lowestFree = label.centreY - lineHeight / 2;
            m_painter.drawText(
                QPointF(m_spec.axisRight + 4 * k, label.centreY + metrics.ascent() / 2 - 0.5),
                label.text);
        }
    }

    const ChartSpec& m_spec;
    QPainter& m_painter;
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
