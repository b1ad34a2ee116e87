#include "platform/Canvas.h"

#include "platform/PictureScaling.h"
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

QSize DeviceSize(QSize pixels, qreal devicePixelRatio) {
    return QSize(qRound(pixels.width() * devicePixelRatio),
                 qRound(pixels.height() * devicePixelRatio))
        .expandedTo({1, 1});
}

qreal UsableRatio(qreal devicePixelRatio) {
    return devicePixelRatio > 0 && std::isfinite(devicePixelRatio) ? devicePixelRatio : 1;
}

QImage BlankImage(QSize pixels, qreal devicePixelRatio, const QColor& background) {
    QImage image(DeviceSize(pixels, devicePixelRatio), QImage::Format_RGB32);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(background);
    return image;
}

} // namespace

Canvas::Canvas(QSize pixels, QColor background, qreal devicePixelRatio)
    : m_background(background), m_pixels(pixels.expandedTo({1, 1})),
      m_devicePixelRatio(UsableRatio(devicePixelRatio)), m_scale(ScaleFor(m_pixels)) {
    m_image = BlankImage(m_pixels, m_devicePixelRatio, m_background);
    setFont(m_fontSpec);
}

double Canvas::ScaleFor(QSize pixels) {
    return std::max(1e-6, std::min(pixels.width() / kLayoutWidth, pixels.height() / kLayoutHeight));
}

void Canvas::resize(QSize pixels) {
    resize(pixels, m_devicePixelRatio);
}

void Canvas::resize(QSize pixels, qreal devicePixelRatio) {
    pixels = pixels.expandedTo({1, 1});
    devicePixelRatio = UsableRatio(devicePixelRatio);
    if (pixels == m_pixels && devicePixelRatio == m_devicePixelRatio) {
        return;
    }
    QImage next = BlankImage(pixels, devicePixelRatio, m_background);
    const double nextScale = ScaleFor(pixels);
    {
        QPainter painter(&next);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const double ratio = nextScale / m_scale;
        painter.drawImage(QRectF(0, 0, m_pixels.width() * ratio, m_pixels.height() * ratio),
                          m_image);
    }
    m_image = std::move(next);
    m_pixels = pixels;
    m_devicePixelRatio = devicePixelRatio;
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
    // Each dot is a square of the pen width, written straight into the device pixels:
    // the same pixels a painter would fill, without its per-point cost.
    const QRgb rgb = qRgb(colour.r, colour.g, colour.b);
    const int width = std::max(static_cast<int>(std::lround(m_pen * m_devicePixelRatio)), 1);
    const double toDevice = m_scale * m_devicePixelRatio;
    const int imageWidth = m_image.width();
    const int imageHeight = m_image.height();
    uchar* const bits = m_image.bits();
    const qsizetype bytesPerLine = m_image.bytesPerLine();
    for (std::size_t i = 0; i < count; ++i) {
        const double left = std::floor(points[i].x * toDevice - width / 2.0 + 0.5);
        const double top = std::floor(points[i].y * toDevice - width / 2.0 + 0.5);
        if (!(left > -width && left < imageWidth && top > -width && top < imageHeight)) {
            continue; // off the image, or not a number
        }
        const int x0 = std::max(static_cast<int>(left), 0);
        const int x1 = std::min(static_cast<int>(left) + width, imageWidth);
        const int y0 = std::max(static_cast<int>(top), 0);
        const int y1 = std::min(static_cast<int>(top) + width, imageHeight);
        for (int y = y0; y < y1; ++y) {
            auto* row = reinterpret_cast<QRgb*>(bits + y * bytesPerLine);
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

QRect Canvas::DevicePixels(PointF topLeft, float width, float height) const {
    const double toDevice = m_scale * m_devicePixelRatio;
    const QPoint from(qRound(topLeft.x * toDevice), qRound(topLeft.y * toDevice));
    const QPoint to(qRound((topLeft.x + width) * toDevice),
                    qRound((topLeft.y + height) * toDevice));
    return QRect(from, QSize(to.x() - from.x(), to.y() - from.y()));
}

QImage Canvas::DevicePixelView() {
    return QImage(m_image.bits(), m_image.width(), m_image.height(), m_image.bytesPerLine(),
                  m_image.format());
}

bool Canvas::picture(const Picture* picture, PointF topLeft, float width, float height) {
    if (m_tap != nullptr) {
        m_tap->picture(picture, topLeft, width, height);
    }
    const QRect target = DevicePixels(topLeft, width, height);
    QImage device = DevicePixelView();
    QPainter painter(&device);
    const auto* qt = dynamic_cast<const QtPicture*>(picture);
    if (qt == nullptr || qt->image().isNull()) {
        // Nothing to paint: the rectangle is emptied rather than left showing an old picture.
        painter.fillRect(target.normalized(), m_background);
        return false;
    }
    if (target.isEmpty()) {
        return true; // too small to show a pixel
    }
    const qint64 imageKey = qt->image().cacheKey();
    if (m_scaled.picture != picture || m_scaled.imageKey != imageKey ||
        m_scaled.image.size() != target.size()) {
        m_scaled = {picture, imageKey, ScaledPicture(qt->image(), target.size())};
    }
    painter.drawImage(target.topLeft(), m_scaled.image);
    return true;
}

} // namespace valvix
