// Renders the example chart picture (a data-sheet style plate-characteristics chart of a
// 12AX7-like triode, with a slightly scanned look) and the example design that goes with
// it: the frame lined up with the chart's axes, the chart's scales and grid voltages, and
// model parameters that are close to the chart's but still need fitting.
//
// Usage: make_example [output directory]   (default: the examples folder of the sources)

#include "ExampleChart.h"
#include "PictureTools.h"

#include "model/Triode.h"
#include "plot/OverlayPlot.h"
#include "state/DesignFile.h"
#include "state/DesignState.h"

#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRectF>
#include <QString>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

using namespace valvix;
using namespace valvix::example;

namespace {

// The chart is drawn this many times larger and then scaled down, which gives the soft
// edges of printed and scanned lines.
constexpr int kOversample = 4;

// The axes in picture pixels, as continuous coordinates: pixel i covers [i, i + 1), so
// a one-pixel line on column 52 lies at 52.5.
constexpr double kAxisLeft = 52.5;
constexpr double kAxisRight = 362.5;
constexpr double kAxisTop = 22.5;
constexpr double kAxisBottom = 262.5;

constexpr double kVoltsMajor = 50;    // numbered vertical lines
constexpr double kVoltsMinor = 10;    // light vertical lines
constexpr double kAmpsMajor = 0.0005; // numbered horizontal lines
constexpr double kAmpsMinor = 0.0001; // light horizontal lines

// Fixed, so that regenerating gives the same design file.
constexpr char kSavedName[] = "example-12AX7.VXF";
constexpr char kSavedDate[] = "01/06/2024 12:00:00";
constexpr float kRatedDissipation = 1.0f; // watts, the 12AX7's plate rating

const QColor kPaper(250, 246, 233);
const QColor kInk(28, 26, 32);
const QColor kMajorGrid(186, 176, 158);
const QColor kMinorGrid(224, 216, 198);

double VoltsToPx(double volts) {
    return kAxisLeft + volts * (kAxisRight - kAxisLeft) / kVoltsFullscale;
}

double AmpsToPy(double amps) {
    return kAxisBottom - amps * (kAxisBottom - kAxisTop) / kAmpsFullscale;
}

// Layout units of the chart area for a continuous picture coordinate.
float PxToLayoutX(double px) {
    return static_cast<float>(kChartAreaTopLeft.x + px * kChartAreaWidth / kPictureWidth);
}

float PyToLayoutY(double py) {
    return static_cast<float>(kChartAreaTopLeft.y + py * kChartAreaHeight / kPictureHeight);
}

double TrueCurrent(double volts, double grid) {
    const PlatePoint point =
        EvaluatePlatePoint(static_cast<float>(volts), static_cast<float>(grid), kTrueParameters);
    return point.ok ? point.Ip : 0.0;
}

std::vector<float> GridVoltages() {
    std::vector<float> grids;
    for (int i = 0;; ++i) {
        const float grid = kGridMostPos - static_cast<float>(i) * kGridStep;
        if (grid < kGridMostNeg - kGridStep / 2) {
            break;
        }
        grids.push_back(grid);
    }
    return grids;
}

QString GridText(float grid) {
    if (grid == 0.0f) {
        return QStringLiteral("Ec=0");
    }
    return QString::number(static_cast<double>(grid), 'g', 3);
}

QFont ChartFont(double pixels, bool bold = false) {
    QFont font(QStringLiteral("Nimbus Sans"));
    font.setStyleHint(QFont::SansSerif);
    // The picture is drawn at 96 dots per inch (see RenderChart), where a point is 4/3
    // of a pixel; a point size lets the text take fractional pixel sizes.
    font.setPointSizeF(pixels * 72.0 / 96.0);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

void DrawGrid(QPainter& p) {
    const auto line = [&p](double x1, double y1, double x2, double y2) {
        p.drawLine(QPointF(x1, y1), QPointF(x2, y2));
    };
    p.setPen(QPen(kMinorGrid, 0.45));
    for (double v = kVoltsMinor; v < kVoltsFullscale - 1e-6; v += kVoltsMinor) {
        line(VoltsToPx(v), kAxisTop, VoltsToPx(v), kAxisBottom);
    }
    for (double i = kAmpsMinor; i < kAmpsFullscale - 1e-9; i += kAmpsMinor) {
        line(kAxisLeft, AmpsToPy(i), kAxisRight, AmpsToPy(i));
    }
    p.setPen(QPen(kMajorGrid, 0.7));
    for (double v = kVoltsMajor; v < kVoltsFullscale - 1e-6; v += kVoltsMajor) {
        line(VoltsToPx(v), kAxisTop, VoltsToPx(v), kAxisBottom);
    }
    for (double i = kAmpsMajor; i < kAmpsFullscale - 1e-9; i += kAmpsMajor) {
        line(kAxisLeft, AmpsToPy(i), kAxisRight, AmpsToPy(i));
    }
    // The axes and the full-scale lines make a heavier box.
    p.setPen(QPen(kInk, 1.4, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawRect(QRectF(QPointF(kAxisLeft, kAxisTop), QPointF(kAxisRight, kAxisBottom)));
}

void DrawAxisTexts(QPainter& p) {
    p.setPen(kInk);
    p.setFont(ChartFont(8.5));
    const QFontMetricsF numbers(p.font());
    for (double v = 0; v <= kVoltsFullscale + 1e-6; v += kVoltsMajor) {
        const QString text = QString::number(v, 'f', 0);
        const double width = numbers.horizontalAdvance(text);
        p.drawText(QPointF(VoltsToPx(v) - width / 2, kAxisBottom + 3 + numbers.ascent()), text);
    }
    for (double i = 0; i <= kAmpsFullscale + 1e-9; i += kAmpsMajor) {
        const QString text = QString::number(i * 1000, 'f', 1);
        const double width = numbers.horizontalAdvance(text);
        p.drawText(QPointF(kAxisLeft - 4 - width, AmpsToPy(i) + numbers.ascent() / 2 - 0.5), text);
    }

    p.setFont(ChartFont(9, true));
    const QFontMetricsF titles(p.font());
    const QString voltsTitle = QStringLiteral("PLATE VOLTS (Eb)");
    p.drawText(QPointF((kAxisLeft + kAxisRight - titles.horizontalAdvance(voltsTitle)) / 2,
                       kAxisBottom + 17 + titles.ascent()),
               voltsTitle);

    const QString ampsTitle = QStringLiteral("PLATE MILLIAMPERES (Ib)");
    p.save();
    p.translate(12, (kAxisTop + kAxisBottom + titles.horizontalAdvance(ampsTitle)) / 2);
    p.rotate(-90);
    p.drawText(QPointF(0, titles.ascent() - titles.height() / 2), ampsTitle);
    p.restore();

    p.setFont(ChartFont(9.5, true));
    const QFontMetricsF heading(p.font());
    const QString chartTitle = QStringLiteral("12AX7  AVERAGE PLATE CHARACTERISTICS");
    p.drawText(QPointF((kAxisLeft + kAxisRight - heading.horizontalAdvance(chartTitle)) / 2,
                       4 + heading.ascent()),
               chartTitle);

    p.setFont(ChartFont(8));
    const QFontMetricsF note(p.font());
    p.drawText(QPointF(kAxisLeft + 8, kAxisTop + 6 + note.ascent()), QStringLiteral("EACH UNIT"));
    p.drawText(QPointF(kAxisLeft + 8, kAxisTop + 8 + note.ascent() + note.height()),
               QStringLiteral("Ef = 6.3 VOLTS"));
}

// The plate voltage at which a curve reaches the full-scale current, found by halving
// the interval; the current rises with the plate voltage.
double VoltsAtFullscale(double grid) {
    double low = 0;
    double high = kVoltsFullscale;
    for (int i = 0; i < 60; ++i) {
        const double middle = (low + high) / 2;
        (TrueCurrent(middle, grid) < kAmpsFullscale ? low : high) = middle;
    }
    return (low + high) / 2;
}

void DrawCurves(QPainter& p) {
    p.save();
    p.setClipRect(QRectF(QPointF(kAxisLeft, kAxisTop), QPointF(kAxisRight, kAxisBottom)));
    p.setPen(QPen(kInk, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    constexpr int kSteps = 1500;
    for (const float grid : GridVoltages()) {
        QPainterPath path;
        for (int i = 0; i <= kSteps; ++i) {
            const double volts = kVoltsFullscale * i / kSteps;
            // Past the top the curve is clipped anyway; holding it just above the frame
            // keeps the path from running far off the picture.
            const double amps = std::min(TrueCurrent(volts, grid), kAmpsFullscale * 1.05);
            const QPointF at(VoltsToPx(volts), AmpsToPy(amps));
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

// Grid-voltage labels: just below the top edge, right of where a curve leaves the chart,
// or beyond the right edge where a curve ends inside it. Labels at the right edge are
// spread apart when their curves end close together.
void DrawCurveLabels(QPainter& p) {
    p.setPen(kInk);
    p.setFont(ChartFont(8));
    const QFontMetricsF metrics(p.font());
    const double lineHeight = metrics.ascent() + 1;

    struct EdgeLabel {
        QString text;
        double centreY;
    };
    std::vector<EdgeLabel> atRight;
    for (const float grid : GridVoltages()) {
        const double ampsAtEnd = TrueCurrent(kVoltsFullscale, grid);
        if (ampsAtEnd >= kAmpsFullscale) {
            const double x = VoltsToPx(VoltsAtFullscale(grid));
            p.drawText(QPointF(x + 3, kAxisTop + 3 + metrics.ascent()), GridText(grid));
        } else {
            atRight.push_back({GridText(grid), AmpsToPy(ampsAtEnd)});
        }
    }
    // From the lowest curve up, keep each label at least a line above the one below it.
    std::sort(atRight.begin(), atRight.end(),
              [](const EdgeLabel& a, const EdgeLabel& b) { return a.centreY > b.centreY; });
    double lowestFree = kAxisBottom + 2;
    for (EdgeLabel& label : atRight) {
        label.centreY = std::min(label.centreY, lowestFree - lineHeight / 2);
        lowestFree = label.centreY - lineHeight / 2;
        p.drawText(QPointF(kAxisRight + 4, label.centreY + metrics.ascent() / 2 - 0.5), label.text);
    }
}

// The same deterministic generator as the start pictures: the scanned look is the same
// on every run.
using pictures::Noise;

// Uneven paper tone and sensor grain, as a flatbed scan of an old page shows them.
void AddScanLook(QImage& image) {
    Noise grain(12345);
    const double w = image.width();
    const double h = image.height();
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            // Slow shading: a little darker towards the binding edge and one corner.
            const double shade = 1.0 - 0.035 * (1.0 - x / w) * (1.0 - x / w) -
                                 0.02 * (y / h) * (x / w) + 0.008 * std::sin(x * 0.045 + y * 0.021);
            const double speck = 3.0 * grain.next();
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

QImage RenderChart() {
    QImage big(kPictureWidth * kOversample, kPictureHeight * kOversample, QImage::Format_RGB32);
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
        p.scale(kOversample, kOversample);
        DrawGrid(p);
        DrawCurves(p);
        DrawCurveLabels(p);
        DrawAxisTexts(p);
    }
    QImage chart =
        big.scaled(kPictureWidth, kPictureHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .convertToFormat(QImage::Format_RGB32);
    AddScanLook(chart);
    return chart;
}

DesignState ExampleDesign() {
    DesignState design;
    design.Xleft = PxToLayoutX(kAxisLeft);
    design.Xright = PxToLayoutX(kAxisRight);
    design.Ytop = PyToLayoutY(kAxisTop);
    design.Ybottom = PyToLayoutY(kAxisBottom);
    design.PlateVoltageFullscale = kVoltsFullscale;
    design.PlateCurrentFullscale = kAmpsFullscale;
    design.GridVoltageMostPos = kGridMostPos;
    design.GridVoltageMostNeg = kGridMostNeg;
    design.GridVoltageStep = kGridStep;
    design.Mu = kSavedParameters.Mu;
    design.Ex = kSavedParameters.Ex;
    design.Kg1 = kSavedParameters.Kg1;
    design.Kp = kSavedParameters.Kp;
    design.Kvb = kSavedParameters.Kvb;
    design.Dissipation = kRatedDissipation;
    return design;
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size() && file.flush();
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);

    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1])
                            : QStringLiteral(VALVIX_EXAMPLES_DIR));
    const QString picturePath = out.filePath(QStringLiteral("example-12AX7.jpg"));
    const QString designPath = out.filePath(QString::fromLatin1(kSavedName));

    if (!RenderChart().save(picturePath, "JPG", 90)) {
        err << "Could not write " << picturePath << '\n';
        return 1;
    }
    const std::string text = DesignFileText(ExampleDesign(), kSavedName, kSavedDate);
    if (!WriteBytes(designPath, QByteArray::fromStdString(text))) {
        err << "Could not write " << designPath << '\n';
        return 1;
    }
    QTextStream(stdout) << "Wrote " << picturePath << " and " << designPath << '\n';
    return 0;
}
