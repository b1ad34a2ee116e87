#include "platform/CanvasView.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <cmath>

namespace valvix {

CanvasView::CanvasView(QColor background, QWidget* parent)
    : QWidget(parent), m_canvas(preferredSize(), background) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(240, 180);
    resize(preferredSize());
    FitCanvas();
}

void CanvasView::FitCanvas() {
    // The canvas has the window's size in pixels and the full resolution of its screen.
    m_canvas.resize(size(), devicePixelRatioF());
}

QSize CanvasView::preferredSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
    // As large as fits comfortably, up to the designed 800 x 600 pixels per 12000 x 9000
    // units where the screen allows more.
    double scale = std::min(available.width() * 0.95 / kLayoutWidth,
                            available.height() * 0.88 / kLayoutHeight);
    scale = std::min(scale, 1.5 / kUnitsPerReferencePixel);
    return {static_cast<int>(kLayoutWidth * scale), static_cast<int>(kLayoutHeight * scale)};
}

void CanvasView::updateArea(PointF corner1, PointF corner2) {
    constexpr double kMargin = 4; // pixels: the widest pen and the picture's rounding
    const QRectF area = QRectF(m_canvas.toPixels(corner1), m_canvas.toPixels(corner2))
                            .normalized()
                            .adjusted(-kMargin, -kMargin, kMargin, kMargin)
                            .intersected(QRectF(rect()));
    if (!(area.width() >= 0 && area.height() >= 0)) {
        update();
        return;
    }
    update(area.toAlignedRect());
}

void CanvasView::AddPlacement(QWidget* control, QRectF layout, double points, bool bold,
                              const QString& family) {
    m_placements.push_back({control, layout, points, bold, family});
    ApplyPlacement(m_placements.back());
}

void CanvasView::ApplyPlacement(const Placement& placement) {
    QFont font = placement.control->font();
    if (!placement.family.isEmpty()) {
        font.setFamily(placement.family);
    }
    font.setPixelSize(static_cast<int>(std::lround(m_canvas.fontPixels(placement.points))));
    font.setBold(placement.bold);
    placement.control->setFont(font);
    const double s = m_canvas.scale();
    QRectF r(placement.layout.x() * s, placement.layout.y() * s, placement.layout.width() * s,
             placement.layout.height() * s);
    if (placement.layout.height() <= 0) {
        r.setHeight(placement.control->sizeHint().height());
    }
    placement.control->setGeometry(r.toRect());
}

void CanvasView::paintEvent(QPaintEvent*) {
    // A window moved to a screen of another pixel density is painted anew: the canvas
    // takes the new resolution first.
    FitCanvas();
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), m_canvas.image());
}

void CanvasView::resizeEvent(QResizeEvent*) {
    FitCanvas();
    for (const Placement& placement : m_placements) {
        ApplyPlacement(placement);
    }
}

void CanvasView::mousePressEvent(QMouseEvent* event) {
    int button = 0;
    switch (event->button()) {
    case Qt::LeftButton:
        button = 1;
        break;
    case Qt::RightButton:
        button = 2;
        break;
    case Qt::MiddleButton:
        button = 4;
        break;
    default:
        return;
    }
    const PointF at = m_canvas.toLayout(event->position());
    emit mousePressed(button, at.x, at.y);
}

} // namespace valvix
