#pragma once

#include "platform/Canvas.h"

#include <QRectF>
#include <QWidget>

#include <vector>

namespace valvix {

// The client area of a window laid out in layout units: it paints its canvas on every
// expose, so drawings survive being covered, and places its child controls in layout
// units, scaling controls, fonts and drawing uniformly with the window.
class CanvasView final : public QWidget {
    Q_OBJECT
public:
    explicit CanvasView(QColor background, QWidget* parent = nullptr);

    Canvas& canvas() { return m_canvas; }

    // Places a child control at a rectangle in layout units with a font size in points
    // for the reference screen. A height of 0 takes one line of text.
    template <class Control>
    Control* place(Control* control, QRectF layout, double points, bool bold = false,
                   const QString& family = {}) {
        control->setParent(this);
        AddPlacement(control, layout, points, bold, family);
        return control;
    }

    // Repaints the part of the window between two corners in layout units, with a few
    // pixels round it for pen widths; all of it when a corner is not a number.
    void updateArea(PointF corner1, PointF corner2);

    // The window size that shows the whole layout on the current screen.
    static QSize preferredSize();
    QSize sizeHint() const override { return preferredSize(); }

signals:
    // A mouse press on the surface: button 1 left, 2 right, 4 middle; position in
    // layout units.
    void mousePressed(int button, float x, float y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    struct Placement {
        QWidget* control;
        QRectF layout;
        double points;
        bool bold;
        QString family;
    };
    void FitCanvas();
    void AddPlacement(QWidget* control, QRectF layout, double points, bool bold,
                      const QString& family);
    void ApplyPlacement(const Placement& placement);

    Canvas m_canvas;
    std::vector<Placement> m_placements;
};

} // namespace valvix
