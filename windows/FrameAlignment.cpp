#include "windows/FrameAlignment.h"

#include "platform/CanvasView.h"
#include "platform/Loupe.h"
#include "plot/OverlayPlot.h"
#include "windows/ChangeCommand.h"
#include "windows/UndoControls.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include <algorithm>
#include <array>
#include <cmath>

namespace valvix {

namespace {

constexpr double kPoints = 9.0;    // as the window's buttons
constexpr double kReachPixels = 4; // how near an edge the pointer grabs it

// What the next click means, by mode (Idle first).
constexpr std::array<const char*, 5> kPrompts{
    "Drag a frame edge, or press Click axes or Straighten.",
    "Click the chart's origin corner (0 V, 0 A).",
    "Click the chart's far corner (full-scale volts, full-scale amps); a click in the "
    "loupe places the origin corner more exactly.",
    "Click the chart's x axis near its left end.",
    "Click the chart's x axis near its right end; a click in the loupe places the first "
    "point more exactly."};

const QString kOutside = "That click is outside the picture; nothing was changed. ";

struct ArrowBinding {
    int key;
    ArrowKey arrow;
};
constexpr std::array<ArrowBinding, 4> kArrows{{{Qt::Key_Left, ArrowKey::Left},
                                               {Qt::Key_Right, ArrowKey::Right},
                                               {Qt::Key_Up, ArrowKey::Up},
                                               {Qt::Key_Down, ArrowKey::Down}}};

} // namespace

FrameAlignment::FrameAlignment(Design& design, ChartGraphic& graphic, CanvasView& view,
                               Redraw redraw, QWidget& window)
    : QObject(&window), m_design(design), m_graphic(graphic), m_view(view),
      m_redraw(std::move(redraw)), m_straightening(design, graphic, m_history, m_redraw) {
    PlaceControls(window);
    m_view.setMouseTracking(true);
    m_view.setFocusPolicy(Qt::ClickFocus);
    m_view.installEventFilter(this);
    connect(&m_history, &QUndoStack::indexChanged, this, &FrameAlignment::RefreshLoupe);
}

FrameAlignment::~FrameAlignment() {
    // The loupe may be gone already when the window takes its children down.
    m_history.disconnect(this);
}

void FrameAlignment::PlaceControls(QWidget& window) {
    m_clickAxes = m_view.place(new QPushButton("Click axes"), {7030, 3500, 2440, 390}, kPoints);
    m_straighten = m_view.place(new QPushButton("Straighten"), {7030, 3950, 2440, 390}, kPoints);
    AddUndoControls(window, m_view, m_history, {7030, 4400, 1200, 390}, {8270, 4400, 1200, 390},
                    kPoints);
    m_status = m_view.place(new QLabel, {360, 3900, 5700, 1000}, kPoints);
    m_loupe = m_view.place(new Loupe, {9700, 890, 2200, 2200}, kPoints);
    m_clickAxes->setObjectName("cmdClickAxes");
    m_straighten->setObjectName("cmdStraighten");
    m_status->setObjectName("lblAlignment");
    m_status->setWordWrap(true);
    m_clickAxes->setEnabled(false); // until a picture is shown
    m_straighten->setEnabled(false);
    m_loupe->hide();
    connect(m_clickAxes, &QPushButton::clicked, this, [this] { StartMode(Mode::Origin); });
    connect(m_straighten, &QPushButton::clicked, this, [this] { StartMode(Mode::AxisStart); });
    connect(m_loupe, &Loupe::picked, this, &FrameAlignment::Picked);
}

void FrameAlignment::pictureShown() {
    m_clickAxes->setEnabled(true);
    m_straighten->setEnabled(true);
    Say(Prompt());
}

void FrameAlignment::startFreshHistory() {
    m_history.clear();
    Settle(Mode::Idle);
    HideLoupe();
    m_view.unsetCursor();
    Say(Ready() ? Prompt() : QString());
}

bool FrameAlignment::Ready() const {
    return m_clickAxes->isEnabled() && m_graphic.CurveGraphic != nullptr &&
           m_graphic.CurveGraphic->width() > 0 && m_graphic.CurveGraphic->height() > 0;
}

PixelStep FrameAlignment::Step() const {
    return PicturePixelStep(m_graphic.CurveGraphic->width(), m_graphic.CurveGraphic->height());
}

void FrameAlignment::Say(const QString& text) {
    m_status->setText(text);
}

QString FrameAlignment::Prompt() const {
    if (m_mode == Mode::Idle && m_selected != FrameEdge::None) {
        return QString("%1 edge selected: the arrow keys move it one picture pixel, Shift+arrow "
                       "ten; a click in the loupe places it.")
            .arg(RuleOf(m_selected).name);
    }
    return kPrompts[static_cast<std::size_t>(m_mode)];
}

// Drops any half-made step: no point waits for its mate, no edge is selected.
void FrameAlignment::Settle(Mode mode) {
    m_mode = mode;
    m_selected = FrameEdge::None;
    m_dragging = m_aiming = false;
}

FrameEdge FrameAlignment::EdgeUnder(PointF at) const {
    const float reach = static_cast<float>(kReachPixels / m_view.canvas().scale());
    return EdgeAt(FrameOf(m_design), at, reach, reach);
}

void FrameAlignment::StartMode(Mode mode) {
    Settle(mode);
    m_view.setCursor(Qt::CrossCursor);
    m_view.setFocus();
    Hold(LoupeHold::Following,
         {kChartAreaTopLeft.x + kChartAreaWidth / 2, kChartAreaTopLeft.y + kChartAreaHeight / 2});
    Say(Prompt());
}

void FrameAlignment::changeFrame(const FrameEdges& next, const QString& what) {
    const FrameEdges now = FrameOf(m_design);
    if (next == now) {
        m_redraw(); // redrawn all the same, as a nudge always is
        return;
    }
    m_history.push(new FrameCommand(
        now, next,
        [this](const FrameEdges& frame) {
            SetFrame(m_design, frame);
            m_redraw();
        },
        what));
}

// Watches the window's surface only.
bool FrameAlignment::eventFilter(QObject*, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        // The middle of the pixel under the pointer.
        const PointF at = m_view.canvas().toLayout(mouse->position() + QPointF(0.5, 0.5));
        if (event->type() == QEvent::MouseMove) {
            Moved(at);
        } else if (mouse->button() == Qt::LeftButton) {
            event->type() == QEvent::MouseButtonPress ? Pressed(at) : Released(at);
        }
        return false;
    }
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        return KeyPressed(key->key(), key->modifiers() & Qt::ShiftModifier);
    }
    default:
        return false;
    }
}

void FrameAlignment::Pressed(PointF at) {
    if (!Ready()) {
        return;
    }
    m_view.setFocus();
    if (m_mode != Mode::Idle) {
        m_aiming = true;
        Hold(LoupeHold::Following, at);
        return;
    }
    m_selected = EdgeUnder(at);
    if (m_selected == FrameEdge::None) {
        HideLoupe();
    } else {
        m_dragging = true;
        m_dragStart = FrameOf(m_design);
        m_grabbedAt = at;
        Hold(LoupeHold::Following, at);
    }
    Say(Prompt());
}

void FrameAlignment::Moved(PointF at) {
    if (!Ready()) {
        return;
    }
    if (m_dragging) {
        DragTo(at);
    } else if (m_mode != Mode::Idle) {
        if (m_aiming || m_hold == LoupeHold::Following) {
            LookAt(at);
        }
    } else {
        const FrameEdge edge = EdgeUnder(at);
        m_view.setCursor(edge == FrameEdge::None ? Qt::ArrowCursor
                         : RuleOf(edge).upright  ? Qt::SizeHorCursor
                                                 : Qt::SizeVerCursor);
    }
}

void FrameAlignment::Released(PointF at) {
    if (m_dragging) {
        m_dragging = false;
        const FrameEdges dragged = DraggedFrame(at);
        SetFrame(m_design, m_dragStart);
        changeFrame(dragged, "Drag edge");
        PointF onEdge = at;
        (RuleOf(m_selected).upright ? onEdge.x : onEdge.y) = dragged.*RuleOf(m_selected).value;
        Hold(LoupeHold::Edge, onEdge);
    } else if (m_aiming) {
        m_aiming = false;
        PlacePoint(at);
    }
}

FrameEdges FrameAlignment::DraggedFrame(PointF at) const {
    const EdgeRule& rule = RuleOf(m_selected);
    const float moved = rule.upright ? at.x - m_grabbedAt.x : at.y - m_grabbedAt.y;
    return WithEdgeAt(m_dragStart, m_selected, m_dragStart.*rule.value + moved, Step());
}

void FrameAlignment::DragTo(PointF at) {
    SetFrame(m_design, DraggedFrame(at));
    if (!m_redraw()) {
        m_dragging = false; // the picture is gone: say it once, not on every move
    }
    LookAt(at);
}

bool FrameAlignment::KeyPressed(int key, bool shift) {
    if (key == Qt::Key_Escape && (m_mode != Mode::Idle || m_selected != FrameEdge::None)) {
        Settle(Mode::Idle);
        HideLoupe();
        m_view.unsetCursor();
        Say(Prompt());
        return true;
    }
    const auto binding = std::find_if(kArrows.begin(), kArrows.end(),
                                      [key](const ArrowBinding& b) { return b.key == key; });
    if (binding == kArrows.end() || !Ready() || m_mode != Mode::Idle ||
        m_selected == FrameEdge::None || m_dragging) {
        return false;
    }
    const EdgeRule& rule = RuleOf(m_selected);
    const float change = ArrowChange(m_selected, binding->arrow, shift, Step());
    if (change != 0) {
        const FrameEdges frame = FrameOf(m_design);
        const FrameEdges next = WithEdgeAt(frame, m_selected, frame.*rule.value + change, Step());
        changeFrame(next, "Arrow key");
        PointF centre = m_loupe->centre();
        (rule.upright ? centre.x : centre.y) = next.*rule.value;
        Hold(LoupeHold::Edge, centre);
    }
    return true;
}

void FrameAlignment::PlacePoint(PointF at) {
    if (!InsideChartArea(at)) {
        Say(kOutside + Prompt());
        return;
    }
    switch (m_mode) {
    case Mode::Origin:
    case Mode::AxisStart:
        m_firstPoint = at;
        m_mode = m_mode == Mode::Origin ? Mode::FarCorner : Mode::AxisEnd;
        Hold(LoupeHold::FirstPoint, at);
        Say(Prompt());
        break;
    case Mode::FarCorner:
        PlaceFarCorner(at);
        break;
    case Mode::AxisEnd:
        Straighten(at);
        break;
    case Mode::Idle:
        break;
    }
}

void FrameAlignment::PlaceFarCorner(PointF at) {
    const FrameOutcome outcome = FrameFromCorners(m_firstPoint, at, Step());
    if (!outcome.refusal.empty()) {
        Say(QString::fromStdString(outcome.refusal) + " " + Prompt());
        return;
    }
    m_mode = Mode::Idle;
    m_view.unsetCursor();
    changeFrame(outcome.frame, "Click axes");
    Hold(LoupeHold::FarCorner, at);
    Say("The frame is set from the two corners; a click in the loupe places the far corner "
        "more exactly.");
}

void FrameAlignment::Straighten(PointF at) {
    const std::string refusal = m_straightening.straighten(m_firstPoint, at);
    if (!refusal.empty()) {
        Say(QString::fromStdString(refusal) + " " + Prompt());
        return;
    }
    m_mode = Mode::Idle;
    m_view.unsetCursor();
    // The loupe follows the second point as the picture turns, so it can be placed again.
    Hold(LoupeHold::AxisEnd, m_straightening.endShown());
    Say(QString("The picture is turned by %1 degrees so that its x axis is level; a click in "
                "the loupe places the second point more exactly. Then line the frame up.")
            .arg(static_cast<double>(-m_straightening.tilt()), 0, 'f', 2));
}

void FrameAlignment::Picked(float x, float y) {
    const PointF at{x, y};
    if (!Ready()) {
        return;
    }
    if (!InsideChartArea(at)) {
        Say(kOutside + Prompt());
        return;
    }
    if (m_mode == Mode::Origin || m_mode == Mode::AxisStart) {
        PlacePoint(at);
    } else if (m_mode != Mode::Idle) {
        m_firstPoint = at;
        Hold(LoupeHold::FirstPoint, at);
    } else {
        PickedWhileIdle(at);
    }
}

// A click in the loupe places again what was placed last: the far corner, the selected
// edge or the second point on the x axis.
void FrameAlignment::PickedWhileIdle(PointF at) {
    const FrameEdges frame = FrameOf(m_design);
    if (m_hold == LoupeHold::FarCorner) {
        const FrameOutcome outcome = FrameFromCorners({frame.left, frame.bottom}, at, Step());
        if (outcome.refusal.empty()) {
            changeFrame(outcome.frame, "Place far corner");
            Hold(LoupeHold::FarCorner, at);
        } else {
            Say(QString::fromStdString(outcome.refusal));
        }
    } else if (m_hold == LoupeHold::Edge && m_selected != FrameEdge::None) {
        const bool upright = RuleOf(m_selected).upright;
        changeFrame(WithEdgeAt(frame, m_selected, upright ? at.x : at.y, Step()), "Place edge");
        Hold(LoupeHold::Edge, at);
    } else if (m_hold == LoupeHold::AxisEnd) {
        const std::string refusal = m_straightening.placeEndAgain(at);
        if (refusal.empty()) {
            Hold(LoupeHold::AxisEnd, m_straightening.endShown());
        } else {
            Say(QString::fromStdString(refusal));
        }
    }
}

void FrameAlignment::Hold(LoupeHold hold, PointF at) {
    m_hold = hold;
    LookAt(at);
}

void FrameAlignment::LookAt(PointF at) {
    m_loupe->show();
    m_loupe->raise();
    m_loupe->lookAt(m_graphic.CurveGraphic, at, m_view.canvas().scale());
    const FrameEdges frame = FrameOf(m_design);
    m_loupe->setGuides({frame.left, frame.right}, {frame.top, frame.bottom});
}

void FrameAlignment::RefreshLoupe() {
    // The picture may be a new one after a redraw or a change of tilt.
    if (!m_loupe->isHidden()) {
        LookAt(m_loupe->centre());
    }
}

void FrameAlignment::HideLoupe() {
    m_hold = LoupeHold::Following;
    m_loupe->hide();
}

} // namespace valvix
