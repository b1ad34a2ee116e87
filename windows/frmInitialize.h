#pragma once

#include "platform/ChartGraphic.h"
#include "plot/AlignmentGeometry.h"
#include "plot/OverlayPlot.h"
#include "state/Design.h"

#include <QPushButton>
#include <QWidget>

#include <array>
#include <string>

namespace valvix {

class CanvasView;
class FrameAlignment;
class WindowServices;

// The Initialize window: load a design, import the chart picture, line the plot frame
// up with the chart's axes, see the model's curves over it, and go on.
class frmInitialize final : public QWidget {
    Q_OBJECT
public:
    frmInitialize(Design& design, ChartGraphic& graphic, WindowServices& services,
                  QWidget* parent = nullptr);

    CanvasView& view() { return *m_view; }
    FrameAlignment& alignment() { return *m_alignment; }

    // Reads the design at path as if it had been chosen with "Get old design": the
    // design dialog proposes it from now on. How the program opens a design given to it
    // at start.
    void openDesign(const std::string& path);

signals:
    void continueRequested();
    void exitRequested();
    void graphicHelpRequested();

private:
    void Form_Load();
    void PlaceButtons();
    void ConnectButtons();
    void cmdGetOldDesign_Click();
    bool ReadChosenDesign();
    void cmdGetGraphic_Click();
    void cmdAlignPlot_Click();
    void Nudge(float FrameEdges::*edge, float change);
    bool RedrawPictureAndFrame();
    void EnableAlignment();
    bool ShowCurveGraphic();
    void PlotInitialCurves();
    void PictureFailure();

    QPushButton* AddButton(const char* name, const QString& caption, QRectF layout);

    Design& m_design;

    ChartGraphic& m_graphic;
    WindowServices& m_services;
    CanvasView* m_view;
    OverlayPlot m_plot;
    FrameAlignment* m_alignment = nullptr;
    std::string m_designDialogName;
    std::string m_graphicDialogName;
    std::string m_designFolder; // where the picture dialog opens until a picture is chosen

    QPushButton* m_cmdAlignPlot = nullptr;
    // Command1 to Command8: each moves a frame edge by one pixel.
    std::array<QPushButton*, 8> m_edgeNudgeButtons{};
    QPushButton* m_cmdGetOldDesign = nullptr;
    QPushButton* m_cmdGetGraphic = nullptr;
    QPushButton* m_cmdContinue = nullptr;
    QPushButton* m_cmdExit = nullptr;
    QPushButton* m_cmdHelpGraphic = nullptr;
};

} // namespace valvix
