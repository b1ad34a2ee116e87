#include "platform/Canvas.h"

#include "platform/QtPicture.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace valvix {

namespace {

QColor ToQColor(Rgb c) {
    return QColor(c.r, c.g, c.b);
}

// A pen that draws a point as a square of its width, without smoothing.
QPen DotPen(Rgb colour, int width) {
    QPen pen(ToQColor(colour));
    pen.setWidth(std::max(width, 1));
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

} // namespace

Canvas::Canvas(QSize pixels, QColor background)
    : m_image(pixels.expandedTo({1, 1}), QImage::Format_RGB32), m_background(background),
      m_scale(ScaleFor(pixels)) {
    m_image.fill(m_background);
    setFont(m_fontSpec);
}

double Canvas::ScaleFor(QSize pixels) {
    return std::max(1e-6, std::min(pixels.width() / kLayoutWidth, pixels.height() / kLayoutHeight));
}

void Canvas::resize(QSize pixels) {
    pixels = pixels.expandedTo({1, 1});
    if (pixels == m_image.size()) {
        return;
    }
    QImage next(pixels, QImage::Format_RGB32);
    next.fill(m_background);
    const double nextScale = ScaleFor(pixels);
    {
        QPainter painter(&next);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const double ratio = nextScale / m_scale;
        painter.drawImage(QRectF(0, 0, m_image.width() * ratio, m_image.height() * ratio), m_image);
    }
    m_image = std::move(next);
    m_scale = nextScale;
    setFont(m_fontSpec);
}

void Canvas::clear() {
    m_image.fill(m_background);
}

PointF Canvas::toLayout(QPointF pixels) const {
    return {static_cast<float>(pixels.x() / m_scale), static_cast<float>(pixels.y() / m_scale)};
}

double Canvas::fontPixels(double points) const {
    // Points are for the reference screen, where 15 layout units make one pixel and a
    // point is 4/3 pixel; the whole layout, fonts included, scales with the window.
    return std::max(1.0, points * 4.0 / 3.0 * m_scale * kUnitsPerReferencePixel);
}

void Canvas::setPenWidth(int pixels) {
    m_pen = pixels;
    if (m_tap != nullptr) {
        m_tap->setPenWidth(pixels);
    }
}

void Canvas::dot(PointF at, Rgb colour) {
    dots(&at, 1, colour);
}

void Canvas::dots(const PointF* points, std::size_t count, Rgb colour) {
    if (m_tap != nullptr) {
        m_tap->dots(points, count, colour);
    }
    // Each dot is a square of the pen width in pixels, written straight into the image:
    // the same pixels a painter would fill, without its per-point cost.
    const QRgb rgb = qRgb(colour.r, colour.g, colour.b);
    const int width = std::max(m_pen, 1);
    const int imageWidth = m_image.width();
    const int imageHeight = m_image.height();
    for (std::size_t i = 0; i < count; ++i) {
        const QPointF centre = toPixels(points[i]);
        const double left = std::floor(centre.x() - width / 2.0 + 0.5);
        const double top = std::floor(centre.y() - width / 2.0 + 0.5);
        if (!(left > -width && left < imageWidth && top > -width && top < imageHeight)) {
            continue; // off the image, or not a number
        }
        const int x0 = std::max(static_cast<int>(left), 0);
        const int x1 = std::min(static_cast<int>(left) + width, imageWidth);
        const int y0 = std::max(static_cast<int>(top), 0);
        const int y1 = std::min(static_cast<int>(top) + width, imageHeight);
        for (int y = y0; y < y1; ++y) {
            auto* row = reinterpret_cast<QRgb*>(m_image.scanLine(y));
            std::fill(row + x0, row + x1, rgb);
        }
    }
}

void Canvas::line(PointF from, PointF to, Rgb colour) {
    if (m_tap != nullptr) {
        m_tap->line(from, to, colour);
    }
    QPainter painter(&m_image);
    painter.setPen(DotPen(colour, m_pen));
    painter.drawLine(toPixels(from), toPixels(to));
}

void Canvas::rectangle(PointF corner1, PointF corner2, Rgb colour) {
    if (m_tap != nullptr) {
        m_tap->rectangle(corner1, corner2, colour);
    }
    QPainter painter(&m_image);
    QPen pen = DotPen(colour, m_pen);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(toPixels(corner1), toPixels(corner2)).normalized());
}

void Canvas::filledRectangle(PointF corner1, PointF corner2, Rgb colour) {
    if (m_tap != nullptr) {
        m_tap->filledRectangle(corner1, corner2, colour);
    }
    QPainter painter(&m_image);
    painter.fillRect(QRectF(toPixels(corner1), toPixels(corner2)).normalized(), ToQColor(colour));
}

void Canvas::setFont(const FontSpec& font) {
    if (m_tap != nullptr) {
        m_tap->setFont(font);
    }
    m_fontSpec = font;
    m_font = QFont(QString::fromStdString(font.family));
    m_font.setStyleHint(font.family.find("Times") != std::string::npos ? QFont::Serif
                                                                       : QFont::SansSerif);
    m_font.setPixelSize(static_cast<int>(std::lround(fontPixels(font.points))));
    m_font.setBold(font.bold);
}

void Canvas::text(PointF at, std::string_view text, Rgb colour) {
    if (m_tap != nullptr) {
        m_tap->text(at, text, colour);
    }
    QPainter painter(&m_image);
    painter.setFont(m_font);
    painter.setPen(ToQColor(colour));
    const QPointF origin = toPixels(at);
    const QFontMetricsF metrics(m_font);
    painter.drawText(QPointF(origin.x(), origin.y() + metrics.ascent()),
                     QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

float Canvas::textHeight() const {
    return static_cast<float>(QFontMetricsF(m_font).height() / m_scale);
}

bool Canvas::picture(const Picture* picture, PointF topLeft, float width, float height) {
    if (m_tap != nullptr) {
        m_tap->picture(picture, topLeft, width, height);
    }
    const auto* qt = dynamic_cast<const QtPicture*>(picture);
    if (qt == nullptr || qt->image().isNull()) {
        return false;
    }
    QPainter painter(&m_image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QPointF origin = toPixels(topLeft);
    painter.drawImage(QRectF(origin.x(), origin.y(), width * m_scale, height * m_scale),
                      qt->image());
    return true;
}

} // namespace valvix
