#pragma once

#include "fit/FitToChart.h"
#include "model/Triode.h"
#include "platform/ChartGraphic.h"
#include "plot/ChartGeometry.h"
#include "plot/DrawingSurface.h"
#include "state/Design.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QUndoStack;

namespace valvix {

class CanvasView;
class WindowServices;

// The Adjust window's fitting controls: "Fit to chart", "Undo fit", "Fit to points
// file", "Save found points", the result line under the chart, the points found on the
// chart (marked in one colour per grid voltage) and points clicked on it (Shift+click
// adds one on the printed curve under the cursor, Ctrl+click removes the nearest stray
// trace or clicked point).
class AdjustFitting final : public QObject {
    Q_OBJECT
public:
    struct WindowHooks {
        // Repaints the chart and validates every field as "Plot / refresh" does; false
        // when a field was refused (its message has been shown).
        std::function<bool()> validateAndPlot;
        // Writes fitted model values into their fields and redraws, as one step of the
        // window's history: the one way fitted values reach the window.
        std::function<void(const TriodeParameters&)> applyFit;
    };

    // history is the window's: "Undo fit" takes it back to before the latest fit.
    AdjustFitting(Design& design, ChartGraphic& graphic, WindowServices& services, CanvasView& view,
                  QUndoStack& history, WindowHooks hooks, QObject* parent = nullptr);

    // Small marks at the points found on the chart and at the clicked points, drawn
    // after every plotting pass.
    void drawMarks(DrawingSurface& surface) const;

    // Fits to the chart at once as "Fit to chart" does, but from no start: the five model
    // parameters are neither checked nor used, only the values that place the chart. A
    // failure is said as that button says it, with the chart left unplotted.
    void fitWithoutStart();

    // A field of the window changed (typed, stepped, undone or redone, or a refused value
    // written back): the result line no longer describes the fields and is cleared. A fit
    // and "Undo fit" write their line after writing their values.
    void fieldsChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A printed stroke found on the chart, with the grid voltage the last fit gave it
    // (nothing before a fit, or where the fit set it aside).
    struct FoundTrace {
        fit::PrintedTrace trace;
        std::optional<float> grid;
    };
    // What the found traces depend on: the chart picture, and the frame and scales
    // that place it.
    struct ChartKey {
        float xleft, xright, ytop, ybottom, voltsFullscale, ampsFullscale;
        int width, height;
        std::uint64_t levels;
        friend bool operator==(const ChartKey&, const ChartKey&) = default;
    };
    // A point of a list nearest a place on the chart, and its distance in layout units.
    struct Nearest {
        std::size_t index;
        double distance;
    };
    using RequestSource = std::function<std::optional<fit::FitRequest>()>;

    void PlaceControls();
    void cmdFitToChart_Click();
    void cmdUndoFit_Click();
    // The place in the window's history just before the latest fit not yet undone, or
    // nothing when there is none.
    std::optional<int> BeforeLatestFit() const;
    void cmdFitPointsFile_Click();
    void cmdSaveFoundPoints_Click();
    void Apply(const RequestSource& gather, bool fromChart);
    void Fit(const fit::FitRequest& request, bool fromChart);
    // The traces and clicked points to fit to, the chart digitized again only when the
    // picture, frame or scales changed; nothing (and a message) when there are none.
    std::optional<fit::FitRequest> ChartRequest();
    ChartKey KeyOfChart() const;
    void KeepFound(const fit::FitOutcome& outcome);
    void ClickOnChart(PointF at, bool add);
    // Removes the stray trace or clicked point nearest a place on the chart and says
    // what went; empty when nothing lies within reach.
    std::string RemoveNearest(PointF at);
    Nearest NearestOf(const std::vector<fit::ChartPoint>& points, PointF at) const;
    void DrawTraceMarks(DrawingSurface& surface, const ChartSpace& layout) const;
    Rgb ColourOf(std::optional<float> grid) const;
    void ShowResult(const std::string& text);

    Design& m_design;

    ChartGraphic& m_graphic;
    WindowServices& m_services;
    CanvasView& m_view;
    QUndoStack& m_history;
    WindowHooks m_hooks;
    QPushButton* m_cmdFitToChart = nullptr;
    QPushButton* m_cmdUndoFit = nullptr;
    QPushButton* m_cmdFitPointsFile = nullptr;
    QPushButton* m_cmdSaveFoundPoints = nullptr;
    QLabel* m_lblFitResult = nullptr;
    std::vector<fit::ChartPoint> m_clicked;
    std::vector<FoundTrace> m_traces; // as found, less those removed
    std::optional<ChartKey> m_tracesFrom;
    std::vector<fit::ChartPoint> m_found; // the points the last fit to the chart used
    std::string m_pointsFileName;
    std::string m_foundPointsFileName;
};

} // namespace valvix
