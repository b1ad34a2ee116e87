#pragma once

#include "plot/DrawingSurface.h"
#include "state/Picture.h"

#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

namespace valvix {

// A magnifier over the chart area: the chart picture around a point, kZoom times as
// large as the window shows it, picture pixels as sharp blocks, with guide lines (the
// frame's edges) and a cross-hair that marks the point, or the pointer while it is over
// the loupe. A click in the loupe names the layout point under the pointer, so a point
// can be placed to a fraction of a picture pixel.
class Loupe final : public QWidget {
    Q_OBJECT
public:
    static constexpr double kZoom = 8;

    explicit Loupe(QWidget* parent = nullptr);

    // Shows the picture, as painted into the chart area, around a point in layout units;
    // windowScale is the window's pixels per layout unit.
    void lookAt(std::shared_ptr<const Picture> picture, PointF centre, double windowScale);
    // Upright lines at the xs and level lines at the ys, in layout units.
    void setGuides(std::vector<float> xs, std::vector<float> ys);

    PointF centre() const { return m_centre; }
    // The layout point at a place in the loupe (pixel i covers i to i + 1).
    PointF toLayout(QPointF place) const;

signals:
    void picked(float x, float y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QPointF ToPlace(PointF at) const;
    void PaintPicture(QPainter& painter) const;

    std::shared_ptr<const Picture> m_picture;
    PointF m_centre;
    double m_scale = 1; // loupe pixels per layout unit
    std::vector<float> m_xs;
    std::vector<float> m_ys;
    std::optional<QPointF> m_pointer;
};

} // namespace valvix
