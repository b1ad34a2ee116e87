#include "windows/AdjustFitting.h"

#include "fit/Digitizer.h"
#include "fit/PointsFile.h"
#include "platform/CanvasView.h"
#include "platform/WaitCursor.h"
#include "platform/WindowServices.h"
#include "state/SafeFile.h"
#include "state/ValueRules.h"
#include "windows/ChangeCommand.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QUndoStack>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <sstream>

namespace valvix {

namespace {

constexpr double kPoints = 9.0; // as the Adjust window's other controls
const QString kFace = "MS Sans Serif";
constexpr Rgb kMarkColour{0, 150, 0};
constexpr float kMarkHalf = 45; // layout units, about three pixels

// Found points: a small square each, in the colour of its curve's grid voltage (the
// palette repeats down the family), grey where the fit set its trace aside. No colour is
// the computed curves' blue, the clicked points' green or the chart's black.
constexpr std::array<Rgb, 7> kCurvePalette{{{230, 110, 0},
                                            {200, 0, 200},
                                            {0, 160, 160},
                                            {150, 75, 0},
                                            {120, 40, 220},
                                            {150, 150, 0},
                                            {230, 30, 90}}};
constexpr Rgb kSetAsideColour{150, 150, 150};
constexpr float kFoundHalf = 22; // layout units, about a pixel and a half
// Beyond this many found points only every so many are marked, so redraws stay quick.
constexpr std::size_t kMostMarks = 800;

// Removing takes the nearest point within this many layout units of the click.
constexpr double kRemoveReach = 300;

std::uint64_t HashOf(const std::vector<std::uint8_t>& bytes) {
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (const std::uint8_t byte : bytes) {
        hash = (hash ^ byte) * 1099511628211ull;
    }
    return hash;
}

// Every so many of the points, evenly, where there are more than a points file may hold.
std::vector<fit::ChartPoint> AtMost(const std::vector<fit::ChartPoint>& points, std::size_t most) {
    const std::size_t every = std::max<std::size_t>(1, (points.size() + most - 1) / most);
    std::vector<fit::ChartPoint> kept;
    for (std::size_t i = 0; i < points.size(); i += every) {
        kept.push_back(points[i]);
    }
    return kept;
}

} // namespace

AdjustFitting::AdjustFitting(Design& design, ChartGraphic& graphic, WindowServices& services,
                             CanvasView& view, QUndoStack& history, WindowHooks hooks,
                             QObject* parent)
    : QObject(parent), m_design(design), m_graphic(graphic), m_services(services), m_view(view),
      m_history(history), m_hooks(std::move(hooks)) {
    PlaceControls();
    m_cmdUndoFit->setEnabled(false);
    connect(&m_history, &QUndoStack::indexChanged, this,
            [this] { m_cmdUndoFit->setEnabled(BeforeLatestFit().has_value()); });
    m_cmdSaveFoundPoints->setEnabled(false);
    connect(m_cmdFitToChart, &QPushButton::clicked, this, &AdjustFitting::cmdFitToChart_Click);
    connect(m_cmdUndoFit, &QPushButton::clicked, this, &AdjustFitting::cmdUndoFit_Click);
    connect(m_cmdFitPointsFile, &QPushButton::clicked, this,
            &AdjustFitting::cmdFitPointsFile_Click);
    connect(m_cmdSaveFoundPoints, &QPushButton::clicked, this,
            &AdjustFitting::cmdSaveFoundPoints_Click);
    m_view.installEventFilter(this);
}

void AdjustFitting::PlaceControls() {
    const auto button = [&](const char* name, const QString& caption, QRectF at) {
        auto* control = m_view.place(new QPushButton(caption), at, kPoints, true, kFace);
        control->setObjectName(name);
        return control;
    };
    m_cmdFitToChart = button("cmdFitToChart", "Fit to chart", {6900, 3950, 2000, 360});
    m_cmdUndoFit = button("cmdUndoFit", "Undo fit", {9200, 3950, 2240, 360});
    m_cmdFitPointsFile = button("cmdFitPointsFile", "Fit to points file", {6900, 4450, 2000, 360});
    m_cmdSaveFoundPoints =
        button("cmdSaveFoundPoints", "Save found points", {6900, 5420, 2000, 360});
    auto* howToClick =
        m_view.place(new QLabel("Shift+click on a printed curve: add a point to fit to.\n"
                                "Ctrl+click: remove the nearest stray trace or point."),
                     {360, 4650, 6400, 720}, 8.0, false, kFace);
    howToClick->setObjectName("lblClickedPoints");
    m_lblFitResult = m_view.place(new QLabel, {360, 3880, 6400, 720}, 8.0, false, kFace);
    m_lblFitResult->setObjectName("lblFitResult");
    m_lblFitResult->setWordWrap(true);
    m_lblFitResult->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void AdjustFitting::cmdFitToChart_Click() {
    Apply([this] { return ChartRequest(); }, true);
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
    const fit::FitRequest request{{}, {}, file.points};
    Apply([&] { return std::optional(request); }, false);
}

std::optional<fit::FitRequest> AdjustFitting::ChartRequest() {
    const ChartKey key = KeyOfChart();
    if (m_tracesFrom != key) {
        const fit::DigitizeOutcome found =
            fit::DigitizeDesignChart(m_design, m_graphic.CurveGraphic.get());
        m_traces.clear();
        m_tracesFrom.reset();
        if (!found.ok && m_clicked.empty()) {
            ShowResult(found.message);
            m_services.failure(found.message);
            return std::nullopt;
        }
        for (const fit::PrintedTrace& trace : found.chart.traces) {
            m_traces.push_back({trace, std::nullopt});
        }
        m_tracesFrom = found.ok ? std::optional(key) : std::nullopt;
    }
    fit::FitRequest request{{}, m_clicked, {}};
    for (const FoundTrace& found : m_traces) {
        request.traces.push_back(found.trace);
    }
    return request;
}

AdjustFitting::ChartKey AdjustFitting::KeyOfChart() const {
    ChartKey key{m_design.Xleft,
                 m_design.Xright,
                 m_design.Ytop,
                 m_design.Ybottom,
                 m_design.PlateVoltageFullscale,
                 m_design.PlateCurrentFullscale,
                 0,
                 0,
                 0};
    if (const Picture* picture = m_graphic.CurveGraphic.get(); picture != nullptr) {
        const GreyLevels& grey = picture->grey();
        key.width = grey.width;
        key.height = grey.height;
        key.levels = HashOf(grey.levels);
    }
    return key;
}

// The fields are checked (and read into the design) before the points are gathered:
// the frame and scales place the chart's points.
void AdjustFitting::Apply(const RequestSource& gather, bool fromChart) {
    if (!m_hooks.validateAndPlot()) {
        return; // a refused field: its message has been shown, nothing is fitted
    }
    if (const std::optional<fit::FitRequest> request = gather()) {
        Fit(*request, fromChart);
    }
}

void AdjustFitting::fitWithoutStart() {
    const ValueRule* refused = FirstRefused(m_design, [](const ValueRule& rule) {
        return IsFitValue(rule) && !IsModelParameter(rule);
    });
    if (refused != nullptr) {
        ShowResult(std::string(refused->message));
        m_services.showMessage(std::string(refused->message));
        return;
    }
    if (std::optional<fit::FitRequest> request = ChartRequest()) {
        request->withoutStart = true;
        Fit(*request, true);
    }
}

void AdjustFitting::Fit(const fit::FitRequest& request, bool fromChart) {
    const fit::FitOutcome outcome = [&] {
        const WaitCursor fitting;
        return fit::FitToChart(m_design, m_graphic.CurveGraphic.get(), request);
    }();
    if (!outcome.ok) {
        if (!request.withoutStart) {
            m_hooks.validateAndPlot(); // the points found, unfitted
        }
        ShowResult(outcome.message);
        m_services.failure(outcome.message);
        return;
    }
    if (fromChart) {
        KeepFound(outcome);
    }
    m_hooks.applyFit(outcome.parameters);
    ShowResult(fit::DescribeFit(outcome));
}

void AdjustFitting::KeepFound(const fit::FitOutcome& outcome) {
    for (std::size_t t = 0; t < m_traces.size(); ++t) {
        m_traces[t].grid = t < outcome.traceGrids.size() ? outcome.traceGrids[t] : std::nullopt;
    }
    m_found = AtMost(outcome.fitted, fit::kMostPoints);
    m_cmdSaveFoundPoints->setEnabled(!m_found.empty());
}

std::optional<int> AdjustFitting::BeforeLatestFit() const {
    for (int step = m_history.index() - 1; step >= 0; --step) {
        if (m_history.command(step)->id() == kFitStep) {
            return step;
        }
    }
    return std::nullopt;
}

// Undoes the latest fit with every step made after it, as that many presses of Ctrl+Z
// would; Ctrl+Y brings them back.
void AdjustFitting::cmdUndoFit_Click() {
    if (const std::optional<int> before = BeforeLatestFit()) {
        m_history.setIndex(*before);
        ShowResult("The values from before the last fit are back.");
    }
}

void AdjustFitting::cmdSaveFoundPoints_Click() {
    if (m_foundPointsFileName.empty() && !m_design.GraphicFileName.empty()) {
        m_foundPointsFileName =
            std::filesystem::path(m_design.GraphicFileName).replace_extension(".csv").string();
    }
    const auto chosen = m_services.saveFileDialog(
        {"Save found points", "Points files (*.csv)|*.csv", m_foundPointsFileName});
    if (!chosen) {
        return; // cancelled: nothing is written
    }
    m_foundPointsFileName = *chosen;
    if (!WriteFileReplacing(*chosen, fit::PointsText(m_found))) {
        m_services.failure("The found points could not be saved to " + *chosen +
                           ". Check that the folder exists and that the file may be "
                           "written; nothing was changed.");
    }
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
    std::string said;
    if (add) {
        const ChartSpace layout = LayoutSpace(m_design);
        const double volts = layout.volts(at.x);
        const double amps = layout.amps(at.y);
        const std::optional<float> grid = fit::CurveThrough(m_design, volts, amps);
        if (!grid || !layout.Inside(at.x, at.y)) {
            ShowResult("Points are added on a printed curve inside the plot frame.");
            return;
        }
        m_clicked.push_back({volts, *grid, amps});
        std::ostringstream curve;
        curve << "Point added, nearest the " << *grid << " V curve ("
              << std::to_string(m_clicked.size()) << " clicked points).";
        said = curve.str();
    } else {
        said = RemoveNearest(at);
        if (said.empty()) {
            return;
        }
    }
    m_hooks.validateAndPlot();
    ShowResult(said);
}

std::string AdjustFitting::RemoveNearest(PointF at) {
    const Nearest clicked = NearestOf(m_clicked, at);
    Nearest trace{m_traces.size(), clicked.distance};
    for (std::size_t t = 0; t < m_traces.size(); ++t) {
        const Nearest within = NearestOf(m_traces[t].trace.points, at);
        if (within.distance < trace.distance) {
            trace = {t, within.distance};
        }
    }
    if (trace.index < m_traces.size()) {
        m_traces.erase(m_traces.begin() + static_cast<std::ptrdiff_t>(trace.index));
        return "Trace removed (" + std::to_string(m_traces.size()) +
               " traces left); press Fit to chart to fit again.";
    }
    if (clicked.index < m_clicked.size()) {
        m_clicked.erase(m_clicked.begin() + static_cast<std::ptrdiff_t>(clicked.index));
        return "Point removed (" + std::to_string(m_clicked.size()) + " clicked points).";
    }
    return {};
}

AdjustFitting::Nearest AdjustFitting::NearestOf(const std::vector<fit::ChartPoint>& points,
                                                PointF at) const {
    const ChartSpace layout = LayoutSpace(m_design);
    Nearest nearest{points.size(), kRemoveReach};
    for (std::size_t i = 0; i < points.size(); ++i) {
        const double distance =
            std::hypot(layout.x(points[i].vp) - at.x, layout.y(points[i].ip) - at.y);
        if (distance < nearest.distance) {
            nearest = {i, distance};
        }
    }
    return nearest;
}

void AdjustFitting::drawMarks(DrawingSurface& surface) const {
    const ChartSpace layout = LayoutSpace(m_design);
    const int pen = surface.penWidth();
    surface.setPenWidth(1);
    DrawTraceMarks(surface, layout);
    for (const fit::ChartPoint& point : m_clicked) {
        const auto x = static_cast<float>(layout.x(point.vp));
        const auto y = static_cast<float>(layout.y(point.ip));
        surface.line({x - kMarkHalf, y - kMarkHalf}, {x + kMarkHalf, y + kMarkHalf}, kMarkColour);
        surface.line({x - kMarkHalf, y + kMarkHalf}, {x + kMarkHalf, y - kMarkHalf}, kMarkColour);
    }
    surface.setPenWidth(pen);
}

void AdjustFitting::DrawTraceMarks(DrawingSurface& surface, const ChartSpace& layout) const {
    std::size_t points = 0;
    for (const FoundTrace& found : m_traces) {
        points += found.trace.points.size();
    }
    const std::size_t every = std::max<std::size_t>(1, (points + kMostMarks - 1) / kMostMarks);
    for (const FoundTrace& found : m_traces) {
        const Rgb colour = ColourOf(found.grid);
        const auto& trace = found.trace.points;
        for (std::size_t i = 0; i < trace.size(); i += every) {
            const auto x = static_cast<float>(layout.x(trace[i].vp));
            const auto y = static_cast<float>(layout.y(trace[i].ip));
            surface.rectangle({x - kFoundHalf, y - kFoundHalf}, {x + kFoundHalf, y + kFoundHalf},
                              colour);
        }
    }
}

Rgb AdjustFitting::ColourOf(std::optional<float> grid) const {
    const double steps =
        grid ? (m_design.GridVoltageMostPos - *grid) / m_design.GridVoltageStep : std::nan("");
    if (!std::isfinite(steps)) {
        return kSetAsideColour;
    }
    const auto count = static_cast<long>(kCurvePalette.size());
    const long index = ((std::lround(steps) % count) + count) % count;
    return kCurvePalette[static_cast<std::size_t>(index)];
}

void AdjustFitting::fieldsChanged() {
    m_lblFitResult->clear();
}

void AdjustFitting::ShowResult(const std::string& text) {
    m_lblFitResult->setText(QString::fromStdString(text));
}

} // namespace valvix
