// The drawing of the start window: a triode symbol and a sketch of plate curves computed
// from the model. Coordinates are pixels of the final 412 x 255 picture.

#include "StartDrawing.h"

#include "PictureTools.h"

#include "model/Triode.h"

#include <QColor>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QRectF>
#include <QString>

#include <algorithm>

namespace valvix::pictures {

namespace {

constexpr int kDrawingWidth = 412;
constexpr int kDrawingHeight = 255;

const QColor kDrawingPaper(252, 252, 248);
const QColor kDrawingInk(20, 24, 40);
const QColor kCurveBlue(20, 70, 200);
const QColor kNoteGrey(90, 90, 100);
const QString kDrawingFamily = QStringLiteral("DejaVu Sans");

// The sketch: its frame, its full scales, and a 12AX7-like model.
const QRectF kSketch(QPointF(250, 46), QPointF(376, 206));
constexpr double kSketchVolts = 300;
constexpr double kSketchAmps = 0.004;
constexpr TriodeParameters kSketchModel{100.0f, 1.4f, 1060.0f, 600.0f, 300.0f};
constexpr float kSketchGrids[] = {0.0f, -1.0f, -2.0f, -3.0f};

// Writes text with its anchor at the given point, placed by the alignment flags.
void Label(QPainter& p, QPointF at, const QString& text, Qt::Alignment align) {
    const QFontMetricsF m(p.font());
    const double width = m.horizontalAdvance(text);
    double x = at.x();
    if (align & Qt::AlignRight) {
        x -= width;
    } else if (align & Qt::AlignHCenter) {
        x -= width / 2;
    }
    double y = at.y() + m.ascent() / 2 - m.descent() / 2;
    if (align & Qt::AlignTop) {
        y = at.y() + m.ascent();
    } else if (align & Qt::AlignBottom) {
        y = at.y() - m.descent();
    }
    p.drawText(QPointF(x, y), text);
}

QPen Wire() {
    return QPen(kDrawingInk, 1.8, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
}

// The dot at the end of an electrode's lead.
void Terminal(QPainter& p, QPointF at) {
    p.setBrush(kDrawingInk);
    p.drawEllipse(at, 2.6, 2.6);
    p.setBrush(Qt::NoBrush);
}

// The envelope; the plate, a bar with its lead up through the envelope; the grid, a
// dashed line with its lead out to the left.
void DrawEnvelopePlateAndGrid(QPainter& p) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kDrawingInk, 2.2));
    p.drawEllipse(QPointF(118, 132), 58, 58);

    p.setPen(Wire());
    p.drawLine(QPointF(94, 100), QPointF(142, 100));
    p.drawLine(QPointF(118, 100), QPointF(118, 38));
    Terminal(p, QPointF(118, 38));

    QPen dashed(kDrawingInk, 1.8, Qt::CustomDashLine, Qt::FlatCap);
    dashed.setDashPattern({2.2, 1.6});
    p.setPen(dashed);
    p.drawLine(QPointF(86, 132), QPointF(150, 132));
    p.setPen(Wire());
    p.drawLine(QPointF(86, 132), QPointF(26, 132));
    Terminal(p, QPointF(26, 132));
}

// The cathode sleeve with its lead down, and the heater under it.
void DrawCathodeAndHeater(QPainter& p) {
    p.setPen(Wire());
    QPainterPath cathode;
    cathode.moveTo(96, 168);
    cathode.lineTo(96, 162);
    cathode.lineTo(140, 162);
    p.drawPath(cathode);
    p.drawLine(QPointF(96, 168), QPointF(96, 226));
    Terminal(p, QPointF(96, 226));

    p.setPen(QPen(kDrawingInk, 1.2));
    QPainterPath filament;
    filament.moveTo(112, 220);
    filament.lineTo(112, 180);
    filament.lineTo(120, 170);
    filament.lineTo(128, 180);
    filament.lineTo(128, 220);
    p.drawPath(filament);
}

void LabelElectrodes(QPainter& p) {
    p.setFont(Font(kDrawingFamily, 12, false, true));
    p.setPen(kDrawingInk);
    Label(p, QPointF(126, 44), QStringLiteral("plate"), Qt::AlignLeft | Qt::AlignVCenter);
    Label(p, QPointF(54, 128), QStringLiteral("grid"), Qt::AlignRight | Qt::AlignBottom);
    Label(p, QPointF(90, 226), QStringLiteral("cathode"), Qt::AlignRight | Qt::AlignVCenter);
    p.setFont(Font(kDrawingFamily, 9.5, false, true));
    p.setPen(kNoteGrey);
    Label(p, QPointF(134, 214), QStringLiteral("heater"), Qt::AlignLeft | Qt::AlignVCenter);
}

QPointF SketchPoint(double volts, double amps) {
    return QPointF(kSketch.left() + volts / kSketchVolts * kSketch.width(),
                   kSketch.bottom() - amps / kSketchAmps * kSketch.height());
}

// The model's plate current, 0 where a point cannot be computed.
double SketchCurrent(double volts, float grid) {
    const PlatePoint point = EvaluatePlatePoint(static_cast<float>(volts), grid, kSketchModel);
    return point.ok ? static_cast<double>(point.Ip) : 0.0;
}

// Light grid lines, and the axes with arrow heads.
void DrawSketchFrame(QPainter& p) {
    p.setPen(QPen(QColor(215, 218, 226), 0.8));
    for (int i = 1; i < 6; ++i) {
        const double x = kSketch.left() + kSketch.width() * i / 6;
        p.drawLine(QPointF(x, kSketch.top()), QPointF(x, kSketch.bottom()));
    }
    for (int i = 1; i < 4; ++i) {
        const double y = kSketch.bottom() - kSketch.height() * i / 4;
        p.drawLine(QPointF(kSketch.left(), y), QPointF(kSketch.right(), y));
    }

    p.setPen(QPen(kDrawingInk, 1.6, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.drawLine(kSketch.bottomLeft(), QPointF(kSketch.left(), kSketch.top() - 12));
    p.drawLine(kSketch.bottomLeft(), QPointF(kSketch.right() + 12, kSketch.bottom()));
    p.setBrush(kDrawingInk);
    p.setPen(Qt::NoPen);
    const QPointF up(kSketch.left(), kSketch.top() - 16);
    p.drawPolygon(QPolygonF({up, up + QPointF(-4, 9), up + QPointF(4, 9)}));
    const QPointF right(kSketch.right() + 16, kSketch.bottom());
    p.drawPolygon(QPolygonF({right, right + QPointF(-9, -4), right + QPointF(-9, 4)}));
    p.setBrush(Qt::NoBrush);
}

void DrawSketchCurves(QPainter& p) {
    p.save();
    p.setClipRect(kSketch.adjusted(0, -1, 0, 0));
    p.setPen(QPen(kCurveBlue, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setFont(Font(kDrawingFamily, 9));
    for (const float grid : kSketchGrids) {
        QPainterPath path;
        path.moveTo(SketchPoint(0, 0));
        for (int i = 1; i <= 300; ++i) {
            const double volts = kSketchVolts * i / 300;
            path.lineTo(
                SketchPoint(volts, std::min(SketchCurrent(volts, grid), kSketchAmps * 1.1)));
        }
        p.drawPath(path);
    }
    p.restore();
}

// Each curve is labelled where it leaves the sketch: left of where it crosses the top
// (the space above a curve is empty) or right of its end at the right edge.
void LabelSketchCurves(QPainter& p) {
    p.setPen(kCurveBlue);
    p.setFont(Font(kDrawingFamily, 9.5));
    for (const float grid : kSketchGrids) {
        const QString text =
            grid == 0.0f ? QStringLiteral("Vg = 0") : QString::number(static_cast<double>(grid));
        const double atFullScale = SketchCurrent(kSketchVolts, grid);
        if (atFullScale < kSketchAmps) {
            Label(p, SketchPoint(kSketchVolts, atFullScale) + QPointF(4, 0), text,
                  Qt::AlignLeft | Qt::AlignVCenter);
            continue;
        }
        double low = 0;
        double high = kSketchVolts;
        for (int i = 0; i < 50; ++i) {
            const double middle = (low + high) / 2;
            (SketchCurrent(middle, grid) < kSketchAmps ? low : high) = middle;
        }
        Label(p, SketchPoint(low, kSketchAmps) + QPointF(-4, 2), text,
              Qt::AlignRight | Qt::AlignTop);
    }
}

void LabelSketchAxes(QPainter& p) {
    p.setPen(kDrawingInk);
    p.setFont(Font(kDrawingFamily, 12, false, true));
    Label(p, QPointF(kSketch.left() - 6, kSketch.top() - 14), QStringLiteral("Ip"),
          Qt::AlignRight | Qt::AlignVCenter);
    Label(p, QPointF(kSketch.right() + 14, kSketch.bottom() + 6), QStringLiteral("Vp"),
          Qt::AlignHCenter | Qt::AlignTop);
    p.setFont(Font(kDrawingFamily, 10));
    p.setPen(kNoteGrey);
    Label(p, QPointF(kSketch.center().x(), kSketch.bottom() + 22), QStringLiteral("plate curves"),
          Qt::AlignHCenter | Qt::AlignTop);
}

} // namespace

QImage RenderDrawing() {
    QImage big = Canvas(kDrawingWidth, kDrawingHeight, kDrawingPaper);
    {
        QPainter p(&big);
        Prepare(p);
        p.setPen(QPen(QColor(170, 175, 190), 1.0));
        p.drawRect(QRectF(3.5, 3.5, kDrawingWidth - 7, kDrawingHeight - 7));
        p.setPen(kDrawingInk);
        p.setFont(Font(kDrawingFamily, 15, true));
        Label(p, QPointF(kDrawingWidth - 14, 22), QStringLiteral("TRIODE"),
              Qt::AlignRight | Qt::AlignVCenter);
        DrawEnvelopePlateAndGrid(p);
        DrawCathodeAndHeater(p);
        LabelElectrodes(p);
        DrawSketchFrame(p);
        DrawSketchCurves(p);
        LabelSketchCurves(p);
        LabelSketchAxes(p);
    }
    return Finish(big, kDrawingWidth, kDrawingHeight);
}

} // namespace valvix::pictures
