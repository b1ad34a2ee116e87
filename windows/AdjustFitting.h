#pragma once

#include "fit/FitToChart.h"
#include "model/Triode.h"
#include "plot/DrawingSurface.h"
#include "state/DesignState.h"

#include <QObject>

#include <functional>
#include <string>
#include <vector>

class QLabel;
class QPushButton;

namespace valvix {

class CanvasView;
class WindowServices;

// The Adjust window's fitting controls: "Fit to chart", "Undo fit", "Fit to points
// file", the result line under the chart, and points clicked on the chart (Shift+click
// adds one on the printed curve under the cursor, Ctrl+click removes the nearest).
class AdjustFitting final : public QObject {
    Q_OBJECT
public:
    struct WindowHooks {
        // Repaints the chart and validates every field as "Plot / refresh" does; false
        // when a field was refused (its message has been shown).
        std::function<bool()> validateAndPlot;
        // Writes five model values into their fields and redraws: the one way fitted
        // (or restored) values reach the window.
        std::function<void(const TriodeParameters&)> writeParameters;
    };

    AdjustFitting(DesignState& design, WindowServices& services, CanvasView& view,
                  WindowHooks hooks, QObject* parent = nullptr);

    // Small marks at the clicked points, drawn after every plotting pass.
    void drawMarks(DrawingSurface& surface) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void cmdFitToChart_Click();
    void cmdUndoFit_Click();
    void cmdFitPointsFile_Click();
    void Apply(const fit::FitRequest& request);
    void ClickOnChart(PointF at, bool add);
    // The clicked point nearest a place on the chart, or the count when none is near.
    std::size_t NearestClicked(PointF at) const;
    void ShowResult(const std::string& text);

    DesignState& m_design;
    WindowServices& m_services;
    CanvasView& m_view;
    WindowHooks m_hooks;
    QPushButton* cmdFitToChart;
    QPushButton* cmdUndoFit;
    QPushButton* cmdFitPointsFile;
    QLabel* lblFitResult;
    std::vector<TriodeParameters> m_beforeFits; // the values before each fit, latest last
    std::vector<fit::ChartPoint> m_clicked;
    std::string m_pointsFileName;
};

} // namespace valvix
