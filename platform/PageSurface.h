#pragma once

#include "platform/PrintJob.h"
#include "plot/DrawingSurface.h"

#include <QFont>
#include <QPainter>

namespace valvix {

// A drawing surface on a printed page measured in twips (1/1440 inch), its origin
// moved by an offset from the top-left of the printable area. Pen widths are device
// pixels. The painter starts with the first drawing call, so a page on which nothing
// is drawn is never printed.
class PageSurface final : public DrawingSurface {
public:
    PageSurface(PrintJob& job, PointF originTwips);
    ~PageSurface() override;

    // Ends the page; the job then prints or saves it. False when nothing was drawn.
    bool finish();

    void setPenWidth(int pixels) override { m_pen = pixels; }
    int penWidth() const override { return m_pen; }
    void dot(PointF at, Rgb colour) override;
    void line(PointF from, PointF to, Rgb colour) override;
    void rectangle(PointF corner1, PointF corner2, Rgb colour) override;
    void filledRectangle(PointF corner1, PointF corner2, Rgb colour) override;
    void setFont(const FontSpec& font) override;
    void text(PointF at, std::string_view text, Rgb colour) override;
    float textHeight() const override;
    bool picture(const Picture* picture, PointF topLeft, float width, float height) override;

private:
    QPainter& Painter();
    QPointF ToDevice(PointF twips) const;
    QPen Pen(Rgb colour) const;

    PrintJob& m_job;
    PointF m_origin;
    double m_scale; // device pixels per twip
    QPainter m_painter;
    int m_pen = 1;
    QFont m_font;
};

} // namespace valvix
