#pragma once

#include "plot/DrawingSurface.h"

#include <QFont>
#include <QImage>
#include <QPointF>

#include <vector>

namespace valvix {

// The logical size of a main window's client area, in layout units.
inline constexpr double kLayoutWidth = 12000;
inline constexpr double kLayoutHeight = 9000;
// Layout units per pixel on the reference 800 x 600 screen; fonts are sized for it.
inline constexpr double kUnitsPerReferencePixel = 15;

// A drawing surface over an image the window paints. Layout units are scaled
// uniformly into the image. Sizes, positions and pen widths are in the window's
// pixels (device-independent pixels); the image itself has the screen's full resolution,
// the window's pixels times the device pixel ratio, so on a high-density screen a pen of
// 2 pixels is 4 device pixels wide and pictures and text are drawn at full resolution.
class Canvas final : public DrawingSurface {
public:
    Canvas(QSize pixels, QColor background, qreal devicePixelRatio = 1);

    // Gives the canvas a new size in pixels (and device pixel ratio), keeping what was
    // drawn (scaled).
    void resize(QSize pixels);
    void resize(QSize pixels, qreal devicePixelRatio);
    void clear();

    // The drawing, in device pixels, with the device pixel ratio set.
    const QImage& image() const { return m_image; }
    qreal devicePixelRatio() const { return m_devicePixelRatio; }
    double scale() const { return m_scale; } // pixels per layout unit
    // The last picture painted, scaled once to the device pixels of its rectangle; it is
    // made again only for another picture object or another size in device pixels.
    const QImage& scaledPicture() const { return m_scaled.image; }
    QPointF toPixels(PointF at) const { return {at.x * m_scale, at.y * m_scale}; }
    PointF toLayout(QPointF pixels) const;
    // Pixel size of a font given in points for the reference screen.
    double fontPixels(double points) const;

    // Also hands every drawing call to another surface, which lets tests see exactly
    // what a window drew. Nothing by default.
    void setTap(DrawingSurface* tap) { m_tap = tap; }

    void setPenWidth(int pixels) override;
    int penWidth() const override { return m_pen; }
    void dot(PointF at, Rgb colour) override;
    void dots(const PointF* points, std::size_t count, Rgb colour) override;
    void line(PointF from, PointF to, Rgb colour) override;
    void rectangle(PointF corner1, PointF corner2, Rgb colour) override;
    void filledRectangle(PointF corner1, PointF corner2, Rgb colour) override;
    void setFont(const FontSpec& font) override;
    void text(PointF at, std::string_view text, Rgb colour) override;
    float textHeight() const override;
    bool picture(const Picture* picture, PointF topLeft, float width, float height) override;

private:
    struct ScaledCopy {
        const Picture* picture = nullptr;
        qint64 imageKey = 0; // QImage::cacheKey of the picture's pixels
        QImage image;
    };

    static double ScaleFor(QSize pixels);
    // The rectangle in device pixels, its edges rounded to whole pixels.
    QRect DevicePixels(PointF topLeft, float width, float height) const;
    // The image's pixels seen as a plain image of device pixels, for drawing by pixel.
    QImage DevicePixelView();

    QImage m_image;
    QColor m_background;
    QSize m_pixels; // in the window's pixels
    qreal m_devicePixelRatio;
    double m_scale;
    ScaledCopy m_scaled;
    int m_pen = 1;
    FontSpec m_fontSpec;
    QFont m_font;
    DrawingSurface* m_tap = nullptr;
};

} // namespace valvix
