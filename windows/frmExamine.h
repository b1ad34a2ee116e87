#pragma once

#include "plot/ExamineChart.h"
#include "plot/Readouts.h"
#include "state/Design.h"

#include <QDialog>

#include <array>
#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace valvix {

class CanvasView;
class WindowServices;

// The Examine window: a clean chart of the model with its own scales and grid, point
// readouts from mouse presses, and the printed page.
class frmExamine final : public QDialog {
    Q_OBJECT
public:
    // dissipationText gives the Adjust window's plate-dissipation entry, which the
    // printed page reads afresh.
    frmExamine(Design& design, ExamineSettings& settings, WindowServices& services,
               std::function<std::string()> dissipationText, QWidget* parent = nullptr);

    CanvasView& view() { return *m_view; }

private:
    // One settings box and the chart setting it edits.
    struct Setting {
        float ExamineSettings::*value;
        QLineEdit* box = nullptr;
    };

    void Form_Load();
    void PlaceSettings();
    void PlaceButtons();
    void FillBoxes();
    void BoxChanged(const Setting& setting);
    void DrawExamineChart();
    void cmdExit_Click();
    void cmdPrint_Click();
    void Form_MouseDown(int button, float x, float y);

    Design& m_design; // the page takes the plate dissipation into it
    ExamineSettings& m_examine;
    WindowServices& m_services;
    std::function<std::string()> m_dissipationText;
    CanvasView* m_view;
    PointReadouts m_readouts;
    // What the last drawing mapped through, for the readouts.
    ChartDrawing m_drawn{FrameMapping(0, 0, 0, 0), 0};

    // In the order Text1, Text2, Text3, Text4, Text6, Text7, Text8.
    std::array<Setting, 7> m_settings;
    QLineEdit* m_pageTitleBox = nullptr;      // Text5
    std::array<QLabel*, 4> m_readoutLabels{}; // Label9 to Label12
    QPushButton* m_cmdPreview = nullptr;
    QPushButton* m_cmdExit = nullptr;
    QPushButton* m_cmdPrint = nullptr;
    QRadioButton* m_optGridVoltageYes = nullptr;
    QRadioButton* m_optGridVoltageNo = nullptr;
};

} // namespace valvix
