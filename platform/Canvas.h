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
// uniformly into the image; pen widths are device pixels.
class Canvas final : public DrawingSurface {
public:
    Canvas(QSize pixels, QColor background);

    // Gives the canvas a new pixel size, keeping what was drawn (scaled).
    void resize(QSize pixels);
    void clear();

    const QImage& image() const { return m_image; }
    double scale() const { return m_scale; } // pixels per layout unit
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
    static double ScaleFor(QSize pixels);

    QImage m_image;
    QColor m_background;
    double m_scale;
    int m_pen = 1;
    FontSpec m_fontSpec;
    QFont m_font;
    DrawingSurface* m_tap = nullptr;
};

} // namespace valvix
