#pragma once

#include "platform/ChartGraphic.h"
#include "plot/AlignmentGeometry.h"
#include "state/Design.h"
#include "windows/AxisStraightening.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <functional>

class QLabel;
class QPushButton;

namespace valvix {

class CanvasView;
class Loupe;

// Lines the plot frame up with the chart picture as a plot digitizer does: clicking the
// chart's origin and far corners, dragging the frame's edges, moving a selected edge
// with the arrow keys by picture pixels, a loupe while placing a point or dragging, and
// straightening a tilted scan by two clicks along its x axis. Every change of the frame
// or of the tilt is a step of the window's undo history.
class FrameAlignment final : public QObject {
    Q_OBJECT
public:
    // redraw repaints the picture and the frame as a nudge does; false when the picture
    // could not be painted.
    using Redraw = std::function<bool()>;

    FrameAlignment(Design& design, ChartGraphic& graphic, CanvasView& view, Redraw redraw,
                   QWidget& window);
    ~FrameAlignment() override;

    // A picture is shown: the frame can be lined up with it.
    void pictureShown();
    // A design was loaded: the history starts afresh and any half-made step is dropped.
    void startFreshHistory();
    // Moves the frame as one step of the history, and redraws.
    void changeFrame(const FrameEdges& next, const QString& what);

    QUndoStack& history() { return m_history; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Mode { Idle, Origin, FarCorner, AxisStart, AxisEnd };
    // What a click in the loupe moves once a point has been placed.
    enum class LoupeHold { Following, FirstPoint, FarCorner, Edge, AxisEnd };

    void PlaceControls(QWidget& window);
    void Settle(Mode mode);
    void StartMode(Mode mode);
    FrameEdge EdgeUnder(PointF at) const;
    bool Ready() const;
    PixelStep Step() const;
    void Say(const QString& text);
    QString Prompt() const;

    void Pressed(PointF at);
    void Moved(PointF at);
    void Released(PointF at);
    bool KeyPressed(int key, bool shift);
    FrameEdges DraggedFrame(PointF at) const;
    void DragTo(PointF at);
    void PlacePoint(PointF at);
    void PlaceFarCorner(PointF at);
    void Straighten(PointF at);
    void Picked(float x, float y);
    void PickedWhileIdle(PointF at);

    void Hold(LoupeHold hold, PointF at);
    void LookAt(PointF at);
    void RefreshLoupe();
    void HideLoupe();

    Design& m_design;

    ChartGraphic& m_graphic;
    CanvasView& m_view;
    Redraw m_redraw;
    QUndoStack m_history;
    AxisStraightening m_straightening;

    Loupe* m_loupe = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_clickAxes = nullptr;
    QPushButton* m_straighten = nullptr;

    Mode m_mode = Mode::Idle;
    LoupeHold m_hold = LoupeHold::Following;
    PointF m_firstPoint;   // the origin corner or the axis start, waiting for its mate
    bool m_aiming = false; // the button is down while placing a point
    FrameEdge m_selected = FrameEdge::None;
    bool m_dragging = false;
    FrameEdges m_dragStart;
    PointF m_grabbedAt; // where the edge was grabbed: it moves as far as the pointer
};

} // namespace valvix
