#include "platform/Loupe.h"

#include "platform/QtPicture.h"
#include "plot/OverlayPlot.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace valvix {

namespace {

const QColor kOutside(224, 224, 224);
// See-through guides, so that the printed line under a guide still shows.
const QColor kGuide(0, 0, 255, 90);
const QColor kCrossHair(255, 0, 0);
// The cross-hair and the guides reach in from the border and leave this share of the
// loupe's half-size open round the marked point, where the printed lines are to be seen.
constexpr double kOpenShare = 0.5;

QPointF Centre(QPointF place) {
    return place + QPointF(0.5, 0.5); // the middle of the pixel under the pointer
}

} // namespace

Loupe::Loupe(QWidget* parent) : QWidget(parent) {
    setObjectName("Loupe");
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Loupe::lookAt(std::shared_ptr<const Picture> picture, PointF centre, double windowScale) {
    m_picture = std::move(picture);
    m_centre = centre;
    m_scale = windowScale * kZoom;
    update();
}

void Loupe::setGuides(std::vector<float> xs, std::vector<float> ys) {
    m_xs = std::move(xs);
    m_ys = std::move(ys);
    update();
}

PointF Loupe::toLayout(QPointF place) const {
    return {static_cast<float>(m_centre.x + (place.x() - width() / 2.0) / m_scale),
            static_cast<float>(m_centre.y + (place.y() - height() / 2.0) / m_scale)};
}

QPointF Loupe::ToPlace(PointF at) const {
    return {(at.x - m_centre.x) * m_scale + width() / 2.0,
            (at.y - m_centre.y) * m_scale + height() / 2.0};
}

void Loupe::PaintPicture(QPainter& painter) const {
    const auto* qt = dynamic_cast<const QtPicture*>(m_picture.get());
    if (qt == nullptr || qt->image().isNull()) {
        return;
    }
    const QRectF chart(kChartAreaTopLeft.x, kChartAreaTopLeft.y, kChartAreaWidth, kChartAreaHeight);
    const PointF first = toLayout({0, 0});
    const PointF last = toLayout({static_cast<double>(width()), static_cast<double>(height())});
    const QRectF seen = QRectF(QPointF(first.x, first.y), QPointF(last.x, last.y)) & chart;
    if (seen.isEmpty()) {
        return;
    }
    const double perUnitX = qt->image().width() / chart.width();
    const double perUnitY = qt->image().height() / chart.height();
    const QRectF source((seen.left() - chart.left()) * perUnitX,
                        (seen.top() - chart.top()) * perUnitY, seen.width() * perUnitX,
                        seen.height() * perUnitY);
    const QRectF target(
        ToPlace({static_cast<float>(seen.left()), static_cast<float>(seen.top())}),
        ToPlace({static_cast<float>(seen.right()), static_cast<float>(seen.bottom())}));
    painter.drawImage(target, qt->image(), source);
}

void Loupe::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kOutside);
    PaintPicture(painter);
    // Guides and cross-hair leave a square round the marked point open.
    const QPointF at = m_pointer ? Centre(*m_pointer) : QPointF(width() / 2.0, height() / 2.0);
    const double open = kOpenShare * std::min(width(), height()) / 2.0;
    const QRectF openSquare(at - QPointF(open, open), at + QPointF(open, open));
    painter.setClipRegion(QRegion(rect()) - QRegion(openSquare.toAlignedRect()));
    painter.setPen(QPen(kGuide, 1));
    for (const float x : m_xs) {
        const double place = ToPlace({x, m_centre.y}).x();
        painter.drawLine(QPointF(place, 0), QPointF(place, height()));
    }
    for (const float y : m_ys) {
        const double place = ToPlace({m_centre.x, y}).y();
        painter.drawLine(QPointF(0, place), QPointF(width(), place));
    }
    painter.setPen(QPen(kCrossHair, 1));
    painter.drawLine(QPointF(0, at.y()), QPointF(width(), at.y()));
    painter.drawLine(QPointF(at.x(), 0), QPointF(at.x(), height()));
    painter.setClipping(false);
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void Loupe::mouseMoveEvent(QMouseEvent* event) {
    m_pointer = event->position();
    update();
}

void Loupe::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const PointF at = toLayout(Centre(event->position()));
    emit picked(at.x, at.y);
}

void Loupe::leaveEvent(QEvent*) {
    m_pointer.reset();
    update();
}

} // namespace valvix
