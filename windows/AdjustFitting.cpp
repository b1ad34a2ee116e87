#include "windows/AdjustFitting.h"

#include "fit/PointsFile.h"
#include "platform/CanvasView.h"
#include "platform/WindowServices.h"
#include "plot/FrameMapping.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include <cmath>
#include <sstream>

namespace valvix {

namespace {

constexpr double kPoints = 9.0; // as the Adjust window's other controls
const QString kFace = "MS Sans Serif";
constexpr Rgb kMarkColour{0, 150, 0};
constexpr float kMarkHalf = 45; // layout units, about three pixels

// Removing takes the nearest point within this many layout units of the click.
constexpr double kRemoveReach = 300;

} // namespace

AdjustFitting::AdjustFitting(DesignState& design, WindowServices& services, CanvasView& view,
                             WindowHooks hooks, QObject* parent)
    : QObject(parent), m_design(design), m_services(services), m_view(view),
      m_hooks(std::move(hooks)) {
    const auto button = [&](const char* name, const QString& caption, QRectF at) {
        auto* control = m_view.place(new QPushButton(caption), at, kPoints, true, kFace);
        control->setObjectName(name);
        return control;
    };
    cmdFitToChart = button("cmdFitToChart", "Fit to chart", {6900, 3950, 2000, 360});
    cmdUndoFit = button("cmdUndoFit", "Undo fit", {9200, 3950, 2240, 360});
    cmdFitPointsFile = button("cmdFitPointsFile", "Fit to points file", {6900, 4450, 2000, 360});
    auto* howToClick =
        m_view.place(new QLabel("Shift+click on a printed curve: add a point to fit to.\n"
                                "Ctrl+click: remove the nearest point."),
                     {360, 4650, 6400, 720}, 8.0, false, kFace);
    howToClick->setObjectName("lblClickedPoints");
    lblFitResult = m_view.place(new QLabel, {360, 3880, 6400, 720}, 8.0, false, kFace);
    lblFitResult->setObjectName("lblFitResult");
    lblFitResult->setWordWrap(true);
    lblFitResult->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    cmdUndoFit->setEnabled(false);
    connect(cmdFitToChart, &QPushButton::clicked, this, &AdjustFitting::cmdFitToChart_Click);
    connect(cmdUndoFit, &QPushButton::clicked, this, &AdjustFitting::cmdUndoFit_Click);
    connect(cmdFitPointsFile, &QPushButton::clicked, this, &AdjustFitting::cmdFitPointsFile_Click);
    m_view.installEventFilter(this);
}

void AdjustFitting::cmdFitToChart_Click() {
    Apply({true, m_clicked, {}});
}

void AdjustFitting::cmdFitPointsFile_Click() {
    const auto chosen = m_services.openFileDialog(
        {"Open points file", "Points files (*.csv)|*.csv", m_pointsFileName});
    if (!chosen) {
        return;
    }
    m_pointsFileName = *chosen;
    const fit::PointsFile file = fit::ReadPointsFile(*chosen);
    if (!file.ok) {
        ShowResult(file.message);
        m_services.failure(file.message);
        return;
    }
    Apply({false, {}, file.points});
}

void AdjustFitting::Apply(const fit::FitRequest& request) {
    if (!m_hooks.validateAndPlot()) {
        return; // a refused field: its message has been shown, nothing is fitted
    }
    const fit::FitOutcome outcome = fit::FitToChart(m_design, request);
    if (!outcome.ok) {
        ShowResult(outcome.message);
        m_services.failure(outcome.message);
        return;
    }
    m_beforeFits.push_back(ParametersOf(m_design));
    cmdUndoFit->setEnabled(true);
    m_hooks.writeParameters(outcome.parameters);
    ShowResult(fit::DescribeFit(outcome));
}

void AdjustFitting::cmdUndoFit_Click() {
    if (m_beforeFits.empty()) {
        return;
    }
    const TriodeParameters before = m_beforeFits.back();
    m_beforeFits.pop_back();
    cmdUndoFit->setEnabled(!m_beforeFits.empty());
    m_hooks.writeParameters(before);
    ShowResult("The values from before the last fit are back.");
}

bool AdjustFitting::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_view && event->type() == QEvent::MouseButtonPress) {
        const auto* press = static_cast<QMouseEvent*>(event);
        const bool add = press->modifiers() & Qt::ShiftModifier;
        const bool remove = press->modifiers() & Qt::ControlModifier;
        if (press->button() == Qt::LeftButton && add != remove) {
            ClickOnChart(m_view.canvas().toLayout(press->position()), add);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void AdjustFitting::ClickOnChart(PointF at, bool add) {
    const FrameMapping frame(m_design.Xleft, m_design.Xright, m_design.Ytop, m_design.Ybottom);
    std::string said;
    if (add) {
        const std::optional<float> grid = fit::CurveThrough(m_design, at.x, at.y);
        if (!grid || !frame.Inside(at.x, at.y)) {
            ShowResult("Points are added on a printed curve inside the plot frame.");
            return;
        }
        m_clicked.push_back({frame.XToVolts(at.x, m_design.PlateVoltageFullscale), *grid,
                             frame.YToAmps(at.y, m_design.PlateCurrentFullscale)});
        std::ostringstream curve;
        curve << "Point added, nearest the " << *grid << " V curve";
        said = curve.str();
    } else {
        const std::size_t nearest = NearestClicked(at);
        if (nearest == m_clicked.size()) {
            return;
        }
        m_clicked.erase(m_clicked.begin() + static_cast<std::ptrdiff_t>(nearest));
        said = "Point removed";
    }
    m_hooks.validateAndPlot();
    ShowResult(said + " (" + std::to_string(m_clicked.size()) + " clicked points).");
}

std::size_t AdjustFitting::NearestClicked(PointF at) const {
    const FrameMapping frame(m_design.Xleft, m_design.Xright, m_design.Ytop, m_design.Ybottom);
    std::size_t nearest = m_clicked.size();
    double best = kRemoveReach;
    for (std::size_t i = 0; i < m_clicked.size(); ++i) {
        const double distance =
            std::hypot(frame.VoltsToX(m_clicked[i].vp, m_design.PlateVoltageFullscale) - at.x,
                       frame.AmpsToY(m_clicked[i].ip, m_design.PlateCurrentFullscale) - at.y);
        if (distance < best) {
            best = distance;
            nearest = i;
        }
    }
    return nearest;
}

void AdjustFitting::drawMarks(DrawingSurface& surface) const {
    const FrameMapping frame(m_design.Xleft, m_design.Xright, m_design.Ytop, m_design.Ybottom);
    const int pen = surface.penWidth();
    surface.setPenWidth(1);
    for (const fit::ChartPoint& point : m_clicked) {
        const float x = frame.VoltsToX(point.vp, m_design.PlateVoltageFullscale);
        const float y = frame.AmpsToY(point.ip, m_design.PlateCurrentFullscale);
        surface.line({x - kMarkHalf, y - kMarkHalf}, {x + kMarkHalf, y + kMarkHalf}, kMarkColour);
        surface.line({x - kMarkHalf, y + kMarkHalf}, {x + kMarkHalf, y - kMarkHalf}, kMarkColour);
    }
    surface.setPenWidth(pen);
}

void AdjustFitting::ShowResult(const std::string& text) {
    lblFitResult->setText(QString::fromStdString(text));
}

} // namespace valvix
