#include "platform/PageSurface.h"

#include "platform/QtPicture.h"

#include <QFontMetricsF>
#include <QPaintDevice>

#include <algorithm>
#include <cmath>

namespace valvix {

PageSurface::PageSurface(PrintJob& job, PointF originTwips)
    : m_job(job), m_origin(originTwips), m_scale(job.device().logicalDpiX() / 1440.0) {
    setFont(FontSpec{});
}

PageSurface::~PageSurface() {
    if (m_painter.isActive()) {
        m_painter.end();
    }
}

bool PageSurface::finish() {
    if (!m_painter.isActive()) {
        return false;
    }
    m_painter.end();
    m_job.finish();
    return true;
}

QPainter& PageSurface::Painter() {
    if (!m_painter.isActive()) {
        m_painter.begin(&m_job.device());
    }
    return m_painter;
}

QPointF PageSurface::ToDevice(PointF twips) const {
    return {(twips.x + m_origin.x) * m_scale, (twips.y + m_origin.y) * m_scale};
}

QPen PageSurface::Pen(Rgb colour) const {
    QPen result(QColor(colour.r, colour.g, colour.b));
    result.setWidth(std::max(m_pen, 1));
    result.setCapStyle(Qt::SquareCap);
    result.setJoinStyle(Qt::MiterJoin);
    return result;
}

void PageSurface::dot(PointF at, Rgb colour) {
    line(at, at, colour);
}

void PageSurface::line(PointF from, PointF to, Rgb colour) {
    QPainter& p = Painter();
    p.setPen(Pen(colour));
    if (from == to) {
        p.drawPoint(ToDevice(from));
    } else {
        p.drawLine(ToDevice(from), ToDevice(to));
    }
}

void PageSurface::rectangle(PointF corner1, PointF corner2, Rgb colour) {
    QPainter& p = Painter();
    p.setPen(Pen(colour));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(ToDevice(corner1), ToDevice(corner2)).normalized());
}

void PageSurface::filledRectangle(PointF corner1, PointF corner2, Rgb colour) {
    Painter().fillRect(QRectF(ToDevice(corner1), ToDevice(corner2)).normalized(),
                       QColor(colour.r, colour.g, colour.b));
}

void PageSurface::setFont(const FontSpec& font) {
    // The printer's default face at the given size.
    m_font = QFont();
    m_font.setPixelSize(std::max(1, static_cast<int>(std::lround(font.points * 20 * m_scale))));
    m_font.setBold(font.bold);
}

void PageSurface::text(PointF at, std::string_view text, Rgb colour) {
    QPainter& p = Painter();
    p.setFont(m_font);
    p.setPen(QColor(colour.r, colour.g, colour.b));
    const QPointF origin = ToDevice(at);
    p.drawText(QPointF(origin.x(), origin.y() + QFontMetricsF(m_font, &m_job.device()).ascent()),
               QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

float PageSurface::textHeight() const {
    return static_cast<float>(QFontMetricsF(m_font, &m_job.device()).height() / m_scale);
}

bool PageSurface::picture(const Picture* picture, PointF topLeft, float width, float height) {
    const auto* qt = dynamic_cast<const QtPicture*>(picture);
    if (qt == nullptr) {
        return false;
    }
    const QPointF corner = ToDevice(topLeft);
    Painter().drawImage(QRectF(corner.x(), corner.y(), width * m_scale, height * m_scale),
                        qt->image());
    return true;
}

} // namespace valvix
