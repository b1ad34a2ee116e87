#pragma once

#include "platform/ChartGraphic.h"
#include "plot/AlignmentGeometry.h"
#include "plot/OverlayPlot.h"
#include "state/Design.h"
#include "windows/PictureReading.h"

#include <QPushButton>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>
#include <string>

class QLabel;

namespace valvix {

class CanvasView;
class FrameAlignment;
class WindowServices;
struct FileDialogRequest;

namespace read {
class TextReader;
}

// The Initialize window: load a design, import the chart picture, line the plot frame
// up with the chart's axes, see the model's curves over it, and go on. A new design can
// start from the picture alone: its frame, full scales and grid voltages read from it.
class frmInitialize final : public QWidget {
    Q_OBJECT
public:
    frmInitialize(Design& design, ChartGraphic& graphic, WindowServices& services,
                  QWidget* parent = nullptr);
    ~frmInitialize() override;

    CanvasView& view() { return *m_view; }
    FrameAlignment& alignment() { return *m_alignment; }

    // Reads the design at path as if it had been chosen with "Get old design": the
    // design dialog proposes it from now on. How the program opens a design given to it
    // at start.
    void openDesign(const std::string& path);

signals:
    // fitAtOnce: every value the fit needs was read from the picture, and is still in
    // force, so the model is fitted to the chart at once, from no start.
    void continueRequested(bool fitAtOnce);
    void exitRequested();
    void graphicHelpRequested();

private:
    void Form_Load();
    void PlaceButtons();
    void ConnectButtons();
    void cmdGetOldDesign_Click();
    bool ReadChosenDesign();
    void cmdGetGraphic_Click();
    void TakePicture();
    FileDialogRequest GraphicDialog() const;
    void cmdNewDesignFromPicture_Click();
    void ReadPicture();
    void ApplyReading(const ReadValues& values);
    bool ReadingInForce() const;
    void cmdContinue_Click();
    void cmdAlignPlot_Click();
    void Nudge(float FrameEdges::*edge, float change);
    bool RedrawPictureAndFrame();
    void EnableAlignment();
    bool ShowPictureWithFrame();
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
    std::unique_ptr<read::TextReader> m_textReader; // started at the first reading, once
    std::optional<PictureReading> m_reading;        // the latest reading of a picture
    bool m_readingApplied = false;                  // its values are in force (not undone)

    QPushButton* m_cmdAlignPlot = nullptr;
    // Command1 to Command8: each moves a frame edge by one pixel.
    std::array<QPushButton*, 8> m_edgeNudgeButtons{};
    QPushButton* m_cmdGetOldDesign = nullptr;
    QPushButton* m_cmdGetGraphic = nullptr;
    QPushButton* m_cmdNewDesignFromPicture = nullptr;
    QLabel* m_lblReading = nullptr;
    QPushButton* m_cmdContinue = nullptr;
    QPushButton* m_cmdExit = nullptr;
    QPushButton* m_cmdHelpGraphic = nullptr;
};

} // namespace valvix
