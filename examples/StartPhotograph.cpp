// The photograph of the start window, drawn from shapes and gradients. Coordinates are
// pixels of the final 200 x 329 picture.

#include "StartPhotograph.h"

#include "PictureTools.h"

#include <QColor>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRadialGradient>
#include <QRectF>

#include <algorithm>
#include <array>
#include <cmath>

namespace valvix::pictures {

namespace {

constexpr int kPhotoWidth = 200;
constexpr int kPhotoHeight = 329;

constexpr double kPi = 3.14159265358979323846;

constexpr double kTubeCentre = 100;
constexpr double kGlassLeft = 61;
constexpr double kGlassRight = 139;
constexpr double kGlassTop = 38;      // top of the dome, below the exhaust tip
constexpr double kGlassBottom = 262;  // lowest point of the glass base
constexpr double kShoulder = 70;      // where the dome meets the straight wall
constexpr double kBaseShoulder = 250; // where the wall starts to round into the base
constexpr double kTableTop = 276;     // the tabletop line the pins stand on

QPainterPath GlassOutline() {
    QPainterPath path;
    path.moveTo(kGlassLeft, kBaseShoulder);
    path.lineTo(kGlassLeft, kShoulder);
    path.cubicTo(kGlassLeft, kGlassTop + 6, kTubeCentre - 22, kGlassTop, kTubeCentre - 6,
                 kGlassTop);
    // The sealed-off exhaust tip.
    path.cubicTo(kTubeCentre - 5, kGlassTop - 9, kTubeCentre + 5, kGlassTop - 9, kTubeCentre + 6,
                 kGlassTop);
    path.cubicTo(kTubeCentre + 22, kGlassTop, kGlassRight, kGlassTop + 6, kGlassRight, kShoulder);
    path.lineTo(kGlassRight, kBaseShoulder);
    path.cubicTo(kGlassRight, kGlassBottom - 2, kTubeCentre + 20, kGlassBottom, kTubeCentre,
                 kGlassBottom);
    path.cubicTo(kTubeCentre - 20, kGlassBottom, kGlassLeft, kGlassBottom - 2, kGlassLeft,
                 kBaseShoulder);
    path.closeSubpath();
    return path;
}

void PaintBackdrop(QPainter& p) {
    QLinearGradient wall(0, 0, 0, kTableTop);
    wall.setColorAt(0.0, QColor(10, 9, 12));
    wall.setColorAt(0.6, QColor(26, 20, 20));
    wall.setColorAt(1.0, QColor(44, 32, 26));
    p.fillRect(QRectF(0, 0, kPhotoWidth, kTableTop), wall);

    // Warm light thrown on the wall by the glowing heater.
    QRadialGradient warmth(QPointF(kTubeCentre, 170), 120);
    warmth.setColorAt(0.0, QColor(150, 70, 20, 90));
    warmth.setColorAt(0.5, QColor(90, 40, 15, 40));
    warmth.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.fillRect(QRectF(0, 0, kPhotoWidth, kTableTop), warmth);

    // A dark polished tabletop that fades towards the viewer.
    QLinearGradient table(0, kTableTop, 0, kPhotoHeight);
    table.setColorAt(0.0, QColor(58, 42, 34));
    table.setColorAt(0.08, QColor(34, 25, 21));
    table.setColorAt(1.0, QColor(8, 6, 6));
    p.fillRect(QRectF(0, kTableTop, kPhotoWidth, kPhotoHeight - kTableTop), table);
    p.setPen(QPen(QColor(110, 80, 60, 110), 0.6));
    p.drawLine(QPointF(0, kTableTop), QPointF(kPhotoWidth, kTableTop));
}

// Nine pins in a circle under the glass base, seen a little from above: the front ones
// stand lower and are brighter.
struct Pin {
    double x;
    double top;
    double depth; // 0 at the back, 1 at the front
};
constexpr int kPins = 9;

std::array<Pin, kPins> Pins() {
    std::array<Pin, kPins> pins{};
    for (int i = 0; i < kPins; ++i) {
        // Noval pins sit on a circle with one gap where a tenth pin would be.
        const double angle = 2 * kPi * (i + 0.5) / (kPins + 1) + kPi / 2;
        const double depth = (std::sin(angle) + 1) / 2;
        pins[static_cast<std::size_t>(i)] = {kTubeCentre + 24 * std::cos(angle),
                                             kGlassBottom - 10 + 5 * depth, depth};
    }
    // Back to front, so that the front pins are painted over the back ones.
    std::sort(pins.begin(), pins.end(),
              [](const Pin& a, const Pin& b) { return a.depth < b.depth; });
    return pins;
}

void PaintPins(QPainter& p) {
    for (const Pin& pin : Pins()) {
        const double bottom = kTableTop + 2 + 6 * pin.depth;
        QLinearGradient metal(pin.x - 1.3, 0, pin.x + 1.3, 0);
        const int light = static_cast<int>(120 + 100 * pin.depth);
        metal.setColorAt(0.0, QColor(light / 3, light / 3, light / 3));
        metal.setColorAt(0.4, QColor(light, light - 8, light - 20));
        metal.setColorAt(1.0, QColor(light / 4, light / 4, light / 4));
        p.setPen(Qt::NoPen);
        p.setBrush(metal);
        p.drawRoundedRect(QRectF(pin.x - 1.3, pin.top, 2.6, bottom - pin.top), 1.2, 1.2);
    }
}

void PaintSupports(QPainter& p) {
    // The glass press at the foot of the mount, where the leads are sealed in.
    QPainterPath press;
    press.moveTo(88, 224);
    press.lineTo(112, 224);
    press.lineTo(126, kGlassBottom - 10);
    press.lineTo(74, kGlassBottom - 10);
    press.closeSubpath();
    QLinearGradient pressGlass(0, 224, 0, kGlassBottom - 10);
    pressGlass.setColorAt(0.0, QColor(200, 215, 205, 20));
    pressGlass.setColorAt(1.0, QColor(200, 215, 205, 55));
    p.setPen(QPen(QColor(210, 220, 215, 40), 0.5));
    p.setBrush(pressGlass);
    p.drawPath(press);

    // Side rods that hold the micas and the electrodes.
    p.setPen(QPen(QColor(150, 150, 150), 1.1));
    for (const double x : {72.0, 128.0}) {
        p.drawLine(QPointF(x, 84), QPointF(x, 226));
    }
    // Leads from the mount down through the press to the pins.
    p.setPen(QPen(QColor(140, 136, 130), 0.7));
    std::array<Pin, kPins> pins = Pins();
    std::sort(pins.begin(), pins.end(), [](const Pin& a, const Pin& b) { return a.x < b.x; });
    for (std::size_t i = 0; i < pins.size(); ++i) {
        const double start = 80 + static_cast<double>(i) * 5;
        QPainterPath lead;
        lead.moveTo(start, 206);
        lead.cubicTo(start, 222, pins[i].x, 232, pins[i].x, pins[i].top);
        p.drawPath(lead);
    }
}

// A mica spacer seen edge-on: a thin, translucent, slightly glittering plate.
void PaintMica(QPainter& p, double y) {
    QLinearGradient mica(0, y - 3, 0, y + 3);
    mica.setColorAt(0.0, QColor(235, 228, 205, 230));
    mica.setColorAt(0.5, QColor(190, 182, 160, 220));
    mica.setColorAt(1.0, QColor(120, 112, 96, 220));
    p.setPen(QPen(QColor(90, 84, 72, 200), 0.5));
    p.setBrush(mica);
    p.drawRoundedRect(QRectF(66, y - 3, 68, 6), 2.5, 2.5);
}

// Glow of the cathode seen through the slit between the two plates and under them.
void PaintCathodeGlow(QPainter& p) {
    QRadialGradient inner(QPointF(kTubeCentre, 190), 30);
    inner.setColorAt(0.0, QColor(255, 190, 90, 255));
    inner.setColorAt(0.25, QColor(255, 120, 30, 200));
    inner.setColorAt(1.0, QColor(255, 80, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(inner);
    p.drawEllipse(QPointF(kTubeCentre, 190), 30, 22);
}

// One of the two plates, its left edge at left. Leaves the pen off.
void PaintPlate(QPainter& p, double left) {
    const QRectF plate(left, 98, 23.5, 92);
    QLinearGradient metal(plate.left(), 0, plate.right(), 0);
    metal.setColorAt(0.0, QColor(38, 38, 40));
    metal.setColorAt(0.25, QColor(96, 95, 96));
    metal.setColorAt(0.45, QColor(140, 138, 136));
    metal.setColorAt(0.7, QColor(70, 69, 70));
    metal.setColorAt(1.0, QColor(28, 28, 30));
    p.setPen(QPen(QColor(20, 20, 22), 0.6));
    p.setBrush(metal);
    p.drawRect(plate);
    // Stamped ribs along the plate.
    p.setPen(QPen(QColor(25, 25, 27, 160), 0.8));
    for (const double dx : {5.0, 18.5}) {
        p.drawLine(QPointF(plate.left() + dx, plate.top() + 4),
                   QPointF(plate.left() + dx, plate.bottom() - 4));
    }
    // Heat-tinted lower edge.
    QLinearGradient tint(0, plate.bottom() - 18, 0, plate.bottom());
    tint.setColorAt(0.0, QColor(255, 110, 30, 0));
    tint.setColorAt(1.0, QColor(255, 110, 30, 70));
    p.setPen(Qt::NoPen);
    p.setBrush(tint);
    p.drawRect(plate.adjusted(0, 74, 0, 0));
}

// The glowing cathode sleeve in the slit between the plates, and the heater's bright
// ends just below them. Expects the pen off.
void PaintCathodeAndHeater(QPainter& p) {
    QLinearGradient slit(98.5, 0, 101.5, 0);
    slit.setColorAt(0.0, QColor(200, 70, 10));
    slit.setColorAt(0.5, QColor(255, 200, 110));
    slit.setColorAt(1.0, QColor(200, 70, 10));
    p.setBrush(slit);
    p.drawRect(QRectF(98.5, 102, 3, 84));

    for (const double x : {87.0, 113.0}) {
        QRadialGradient spot(QPointF(x, 195), 7);
        spot.setColorAt(0.0, QColor(255, 236, 170, 255));
        spot.setColorAt(0.35, QColor(255, 150, 50, 230));
        spot.setColorAt(1.0, QColor(255, 90, 0, 0));
        p.setBrush(spot);
        p.drawEllipse(QPointF(x, 195), 7, 5);
    }
}

void PaintPlates(QPainter& p) {
    PaintCathodeGlow(p);
    for (const double left : {75.0, 101.5}) {
        PaintPlate(p, left);
    }
    PaintCathodeAndHeater(p);
}

// The silvery getter deposit inside the dome and the getter ring above the top mica.
void PaintGetter(QPainter& p) {
    p.save();
    p.setClipPath(GlassOutline());
    QLinearGradient flash(0, kGlassTop - 8, 0, kShoulder + 8);
    flash.setColorAt(0.0, QColor(70, 70, 78, 255));
    flash.setColorAt(0.45, QColor(120, 118, 125, 235));
    flash.setColorAt(0.8, QColor(90, 70, 55, 120));
    flash.setColorAt(1.0, QColor(60, 40, 30, 0));
    p.fillRect(QRectF(kGlassLeft, kGlassTop - 10, kGlassRight - kGlassLeft, 50), flash);
    p.restore();

    p.setPen(QPen(QColor(160, 160, 165), 1.0));
    p.setBrush(QColor(70, 70, 75));
    p.drawEllipse(QPointF(kTubeCentre, 76), 11, 3);
    p.drawLine(QPointF(kTubeCentre, 79), QPointF(kTubeCentre, 86));
}

// The sheen of the envelope: a tint brighter at the edges, the long window reflection on
// the left and a thinner one on the right. Leaves the pen off.
void PaintGlassSheen(QPainter& p) {
    QLinearGradient body(kGlassLeft, 0, kGlassRight, 0);
    body.setColorAt(0.0, QColor(255, 255, 255, 70));
    body.setColorAt(0.08, QColor(255, 255, 255, 18));
    body.setColorAt(0.5, QColor(255, 255, 255, 6));
    body.setColorAt(0.9, QColor(255, 190, 140, 22));
    body.setColorAt(1.0, QColor(255, 200, 160, 60));
    p.fillRect(QRectF(kGlassLeft, 0, kGlassRight - kGlassLeft, kPhotoHeight), body);

    QLinearGradient streak(64, 0, 71, 0);
    streak.setColorAt(0.0, QColor(255, 255, 255, 0));
    streak.setColorAt(0.45, QColor(255, 255, 255, 170));
    streak.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(streak);
    p.drawRoundedRect(QRectF(64, 62, 7, 180), 3.5, 3.5);

    QLinearGradient thin(129, 0, 134, 0);
    thin.setColorAt(0.0, QColor(255, 235, 220, 0));
    thin.setColorAt(0.5, QColor(255, 235, 220, 90));
    thin.setColorAt(1.0, QColor(255, 235, 220, 0));
    p.setBrush(thin);
    p.drawRoundedRect(QRectF(129, 80, 5, 140), 2.5, 2.5);
}

// The round highlight on the dome and the pressed glass base, thicker and greenish.
// Expects the pen off.
void PaintDomeAndBase(QPainter& p) {
    QRadialGradient dome(QPointF(84, 52), 10);
    dome.setColorAt(0.0, QColor(255, 255, 255, 200));
    dome.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setBrush(dome);
    p.drawEllipse(QPointF(84, 52), 10, 7);

    QLinearGradient base(0, kBaseShoulder - 12, 0, kGlassBottom);
    base.setColorAt(0.0, QColor(170, 200, 180, 0));
    base.setColorAt(1.0, QColor(170, 200, 180, 70));
    p.setBrush(base);
    p.drawRect(QRectF(kGlassLeft, kBaseShoulder - 12, kGlassRight - kGlassLeft, 30));
}

// Highlights and reflections that make the envelope read as glass, and its outline.
void PaintGlass(QPainter& p) {
    const QPainterPath glass = GlassOutline();
    p.save();
    p.setClipPath(glass);
    PaintGlassSheen(p);
    PaintDomeAndBase(p);
    p.restore();

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(220, 225, 235, 120), 1.1));
    p.drawPath(glass);
}

// The heater's glow spilling out around the tube.
void PaintHalo(QPainter& p) {
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Plus);
    QRadialGradient halo(QPointF(kTubeCentre, 188), 55);
    halo.setColorAt(0.0, QColor(110, 50, 10, 110));
    halo.setColorAt(0.5, QColor(50, 20, 4, 40));
    halo.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(halo);
    p.drawEllipse(QPointF(kTubeCentre, 188), 55, 55);
    p.restore();
}

void PaintTube(QPainter& p) {
    PaintPins(p);
    // The dark inside of the envelope, seen through the glass.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(14, 11, 11, 120));
    p.drawPath(GlassOutline());
    PaintGetter(p);
    PaintSupports(p);
    PaintMica(p, 92);
    PaintPlates(p);
    PaintMica(p, 203);
    PaintGlass(p);
    PaintHalo(p);
}

// The tube mirrored in the polished tabletop, fading out.
void PaintReflection(QPainter& p, const QImage& tube) {
    const int top = static_cast<int>(kTableTop * kOversample);
    const int height = tube.height() - top;
    QImage mirrored = tube.copy(0, top - height, tube.width(), height).mirrored(false, true);
    QImage fade(mirrored.size(), QImage::Format_ARGB32_Premultiplied);
    fade.fill(Qt::transparent);
    {
        QPainter f(&fade);
        QLinearGradient g(0, 0, 0, fade.height());
        g.setColorAt(0.0, QColor(0, 0, 0, 90));
        g.setColorAt(0.35, QColor(0, 0, 0, 0));
        f.fillRect(fade.rect(), g);
        f.setCompositionMode(QPainter::CompositionMode_SourceIn);
        f.drawImage(0, 0, mirrored);
    }
    p.save();
    p.resetTransform();
    p.drawImage(0, top, fade);
    p.restore();
}

// Film grain and a darkened edge, as a camera would give them.
void AddPhotographLook(QImage& image) {
    Noise grain(2718);
    const double cx = image.width() / 2.0;
    const double cy = image.height() * 0.48;
    const double reach = std::hypot(cx, cy);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const double r = std::hypot(x - cx, y - cy) / reach;
            const double vignette = 1.0 - 0.35 * r * r;
            const double speck = 3.5 * grain.next();
            const auto channel = [&](int value) {
                return std::clamp(static_cast<int>(std::lround(value * vignette + speck)), 0, 255);
            };
            const QRgb c = row[x];
            row[x] = qRgb(channel(qRed(c)), channel(qGreen(c)), channel(qBlue(c)));
        }
    }
}

} // namespace

QImage RenderPhotograph() {
    QImage big = Canvas(kPhotoWidth, kPhotoHeight, Qt::black);
    {
        QPainter p(&big);
        Prepare(p);
        PaintBackdrop(p);
        PaintTube(p);
    }
    {
        QPainter p(&big);
        Prepare(p);
        PaintReflection(p, big.copy());
    }
    QImage photo = Finish(big, kPhotoWidth, kPhotoHeight);
    AddPhotographLook(photo);
    return photo;
}

} // namespace valvix::pictures
