#include "windows/frmInitialize.h"

#include "platform/CanvasView.h"
#include "platform/StraightenedGraphic.h"
#include "platform/WaitCursor.h"
#include "platform/WindowServices.h"
#include "read/TextReader.h"
#include "state/DesignFile.h"
#include "windows/ChangeCommand.h"
#include "windows/EnterKey.h"
#include "windows/FrameAlignment.h"

#include <QFileInfo>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

namespace valvix {

namespace {

// Buttons are sized for the reference screen, 9000 twips high: 9000 x 0.001 points.
constexpr double kButtonPoints = 9.0;
constexpr float kNudgeStep = 15;

const char* const kPictureFailure = "We did not retrieve a tube-curve graphic.\r\n"
                                    "Please select correctly-sized graphic file.\r\n"
                                    "See the instruction manual, Appendix B, page 127,\r\n"
                                    "'Graphics requirements' (400 px wide by 300 tall).";

const char* const kNoTextReader =
    "The text reader (Tesseract with its English data) could not be started, so nothing was "
    "read from the picture: line the frame up and type the values by hand.";

} // namespace

frmInitialize::frmInitialize(Design& design, ChartGraphic& graphic, WindowServices& services,
                             QWidget* parent)
    : QWidget(parent), m_design(design), m_graphic(graphic), m_services(services),
      m_view(new CanvasView(Qt::white, this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    Form_Load();
}

frmInitialize::~frmInitialize() = default;

QPushButton* frmInitialize::AddButton(const char* name, const QString& caption, QRectF layout) {
    auto* button = m_view->place(new QPushButton(caption), layout, kButtonPoints);
    button->setObjectName(name);
    return button;
}

void frmInitialize::Form_Load() {
    setWindowTitle("Valvix - Initialize");
    PlaceButtons();
    m_cmdAlignPlot->hide();
    for (QPushButton* button : m_edgeNudgeButtons) {
        button->setEnabled(false);
    }
    m_cmdGetGraphic->setEnabled(false);
    m_cmdContinue->setEnabled(false);
    ConnectButtons();
    m_alignment = new FrameAlignment(
        m_design, m_graphic, *m_view, [this] { return RedrawPictureAndFrame(); }, *this);
    PressButtonsOnEnter(*this);
}

void frmInitialize::PlaceButtons() {
    m_cmdAlignPlot = AddButton("cmdAlignPlot", "Align plot and refresh", {7030, 890, 2485, 360});
    m_edgeNudgeButtons[1] = AddButton("Command2", "YT", {8000, 1400, 500, 390});
    m_edgeNudgeButtons[2] = AddButton("Command3", "YT", {8000, 1780, 500, 390});
    m_edgeNudgeButtons[0] = AddButton("Command1", "XL", {7030, 2160, 500, 390});
    m_edgeNudgeButtons[3] = AddButton("Command4", "XL", {7515, 2160, 500, 390});
    m_edgeNudgeButtons[6] = AddButton("Command7", "XR", {8484, 2160, 500, 390});
    m_edgeNudgeButtons[7] = AddButton("Command8", "XR", {8970, 2160, 500, 390});
    m_edgeNudgeButtons[4] = AddButton("Command5", "YB", {8000, 2544, 500, 390});
    m_edgeNudgeButtons[5] = AddButton("Command6", "YB", {8000, 2926, 500, 390});
    m_cmdHelpGraphic = AddButton("cmdHelpGraphic", "?", {9000, 2926, 470, 390});
    m_cmdHelpGraphic->setToolTip("How to line the frame up with the chart");
    m_cmdNewDesignFromPicture =
        AddButton("cmdNewDesignFromPicture", "New design from picture", {1300, 5500, 2600, 390});
    m_cmdGetOldDesign = AddButton("cmdGetOldDesign", "Get old design", {4000, 5500, 2100, 390});
    m_cmdGetGraphic = AddButton("cmdGetGraphic", "Get graphic", {4000, 6000, 2100, 390});
    m_cmdContinue = AddButton("cmdContinue", "Continue", {7030, 6500, 2100, 390});
    m_cmdExit = AddButton("cmdExit", "Exit", {7030, 7000, 2100, 390});
    m_lblReading = m_view->place(new QLabel, {360, 6500, 6500, 2000}, kButtonPoints);
    m_lblReading->setObjectName("lblReading");
    m_lblReading->setWordWrap(true);
    m_lblReading->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void frmInitialize::ConnectButtons() {
    connect(m_cmdGetOldDesign, &QPushButton::clicked, this, &frmInitialize::cmdGetOldDesign_Click);
    connect(m_cmdGetGraphic, &QPushButton::clicked, this, &frmInitialize::cmdGetGraphic_Click);
    connect(m_cmdAlignPlot, &QPushButton::clicked, this, &frmInitialize::cmdAlignPlot_Click);
    connect(m_cmdNewDesignFromPicture, &QPushButton::clicked, this,
            &frmInitialize::cmdNewDesignFromPicture_Click);
    connect(m_cmdContinue, &QPushButton::clicked, this, &frmInitialize::cmdContinue_Click);
    connect(m_cmdExit, &QPushButton::clicked, this, &frmInitialize::exitRequested);
    connect(m_cmdHelpGraphic, &QPushButton::clicked, this, &frmInitialize::graphicHelpRequested);

    // Of each pair the first button moves its edge left or up.
    const std::array<std::pair<float FrameEdges::*, float>, 8> nudges{{
        {&FrameEdges::left, -kNudgeStep},
        {&FrameEdges::top, -kNudgeStep},
        {&FrameEdges::top, kNudgeStep},
        {&FrameEdges::left, kNudgeStep},
        {&FrameEdges::bottom, -kNudgeStep},
        {&FrameEdges::bottom, kNudgeStep},
        {&FrameEdges::right, -kNudgeStep},
        {&FrameEdges::right, kNudgeStep},
    }};
    for (std::size_t i = 0; i < m_edgeNudgeButtons.size(); ++i) {
        const auto edge = nudges[i].first;
        const float change = nudges[i].second;
        connect(m_edgeNudgeButtons[i], &QPushButton::clicked, this,
                [this, edge, change] { Nudge(edge, change); });
    }
}

void frmInitialize::cmdGetOldDesign_Click() {
    if (auto chosen = m_services.openFileDialog(
            {"Get Valvix file", "Valvix files (*.VXF)|*.VXF", m_designDialogName})) {
        m_designDialogName = *chosen;
    }
    ReadChosenDesign();
}

// A design given when the program starts: read as if chosen with "Get old design", and
// the picture dialog opens in its folder until a picture has been chosen.
void frmInitialize::openDesign(const std::string& path) {
    m_designDialogName = path;
    if (ReadChosenDesign() && !m_design.DesignFileName.empty()) {
        const QFileInfo file(QString::fromStdString(m_design.DesignFileName));
        m_designFolder = file.absolutePath().toStdString() + '/';
    }
}

bool frmInitialize::ReadChosenDesign() {
    m_design.DesignFileName = m_designDialogName;
    const FileResult read = ReadDesignFile(m_design.DesignFileName, m_design);
    m_alignment->startFreshHistory();
    m_reading.reset();
    m_lblReading->clear();
    if (!read.ok) {
        m_services.failure(read.message);
        return false;
    }
    setWindowTitle(QString::fromStdString("Initialize - " + m_design.DesignFileName));
    if (!m_design.DesignFileName.empty()) {
        m_cmdGetGraphic->setEnabled(true);
    }
    return true;
}

void frmInitialize::cmdGetGraphic_Click() {
    if (auto chosen = m_services.openFileDialog(GraphicDialog())) {
        m_graphicDialogName = *chosen;
    }
    TakePicture();
    cmdAlignPlot_Click();
}

// The picture last chosen becomes the design's chart; once there is one, "Align plot and
// refresh" shows.
void frmInitialize::TakePicture() {
    m_design.GraphicFileName = m_graphicDialogName;
    if (!m_design.GraphicFileName.empty()) {
        m_cmdAlignPlot->show();
    }
}

FileDialogRequest frmInitialize::GraphicDialog() const {
    return {"Import curve graphic", "Tube curve graphic (*.JPG,*.GIF,*.BMP) | *.JPG;*.GIF;*.BMP",
            m_graphicDialogName.empty() ? m_designFolder : m_graphicDialogName};
}

// "New design from picture": the chosen picture is shown as "Get graphic" shows it, then
// read. The model's curves are not drawn: a new design has none.
void frmInitialize::cmdNewDesignFromPicture_Click() {
    const auto chosen = m_services.openFileDialog(GraphicDialog());
    if (!chosen) {
        return;
    }
    m_graphicDialogName = *chosen;
    TakePicture();
    m_lblReading->clear();
    if (ShowPictureWithFrame()) {
        ReadPicture();
    }
}

// Reads the picture as loaded, before any turning, and puts what was read into the frame,
// the design and the picture's tilt as one step of the history.
void frmInitialize::ReadPicture() {
    if (m_textReader == nullptr) {
        m_textReader = std::make_unique<read::TextReader>();
    }
    if (!m_textReader->ready()) {
        m_lblReading->setText(kNoTextReader);
        return;
    }
    const WaitCursor reading;
    const std::shared_ptr<const Picture> loaded = m_services.loadPicture(m_design.GraphicFileName);
    if (loaded == nullptr) {
        return; // shown a moment ago: it cannot be gone unless the file went
    }
    m_reading = PictureReading{read::ReadChart(loaded->grey(), *m_textReader),
                               m_design.GraphicFileName, loaded->width(), loaded->height()};
    m_lblReading->setText(QString::fromStdString(DescribeReading(m_reading->reading)));
    if (m_reading->reading.box) {
        ApplyReading(ValuesFromReading(m_reading->reading, m_design, m_graphic, m_reading->width,
                                       m_reading->height));
    }
}

void frmInitialize::ApplyReading(const ReadValues& values) {
    m_alignment->history().push(new ChangeCommand<ReadValues>(
        CurrentValues(m_design, m_graphic), values,
        [this](const ReadValues& next) {
            PutValues(next, m_design, m_graphic);
            m_readingApplied = next.fromReading;
            RedrawPictureAndFrame();
        },
        "New design from picture"));
}

bool frmInitialize::ReadingInForce() const {
    return m_reading && m_readingApplied && m_reading->fileName == m_design.GraphicFileName;
}

void frmInitialize::cmdContinue_Click() {
    emit continueRequested(ReadingInForce() && m_reading->reading.missing.empty());
}

void frmInitialize::cmdAlignPlot_Click() {
    if (ShowPictureWithFrame()) {
        PlotInitialCurves();
    }
}

void frmInitialize::Nudge(float FrameEdges::*edge, float change) {
    FrameEdges next = FrameOf(m_design);
    next.*edge += change;
    m_alignment->changeFrame(next, "Nudge");
}

bool frmInitialize::RedrawPictureAndFrame() {
    if (!ShowCurveGraphic()) {
        PictureFailure();
        return false;
    }
    DrawPlotFrame(m_view->canvas(), m_design);
    if (ReadingInForce()) {
        DrawReading(m_view->canvas(), *m_reading);
        m_view->update(); // the marks' texts may stand beyond the chart area
        return true;
    }
    m_view->updateArea({std::min(m_design.Xleft, kChartAreaTopLeft.x),
                        std::min(m_design.Ytop, kChartAreaTopLeft.y)},
                       {std::max(m_design.Xright, kChartAreaTopLeft.x + kChartAreaWidth),
                        std::max(m_design.Ybottom, kChartAreaTopLeft.y + kChartAreaHeight)});
    return true;
}

void frmInitialize::EnableAlignment() {
    m_cmdContinue->setEnabled(true);
    for (QPushButton* button : m_edgeNudgeButtons) {
        button->setEnabled(true);
    }
    m_alignment->pictureShown();
}

// Shows the picture with the frame over it and lets the frame be lined up; says so where
// the picture cannot be shown.
bool frmInitialize::ShowPictureWithFrame() {
    if (!ShowCurveGraphic()) {
        PictureFailure();
        return false;
    }
    DrawPlotFrame(m_view->canvas(), m_design);
    EnableAlignment();
    return true;
}

bool frmInitialize::ShowCurveGraphic() {
    m_graphic.CurveGraphic.reset(); // the old picture goes before a changed file is decoded
    m_graphic.CurveGraphic = StraightenedGraphic(m_graphic, m_design.GraphicFileName,
                                                 m_services.loadPicture(m_design.GraphicFileName));
    const bool painted = PaintChartArea(m_view->canvas(), m_graphic.CurveGraphic.get());
    m_view->updateArea(kChartAreaTopLeft, {kChartAreaTopLeft.x + kChartAreaWidth,
                                           kChartAreaTopLeft.y + kChartAreaHeight});
    return painted;
}

void frmInitialize::PlotInitialCurves() {
    // A design file is drawn without validation; values that cannot give a meaningful
    // plot are named once, and whatever can be drawn still is.
    const std::string problem = DescribePlotProblem(m_design);
    m_plot.draw(m_view->canvas(), m_design);
    m_view->update();
    if (!problem.empty()) {
        m_services.showMessage(problem);
    }
}

void frmInitialize::PictureFailure() {
    m_view->update();
    m_services.showMessage(kPictureFailure);
}

} // namespace valvix
