#pragma once

#include <QWidget>

namespace valvix {

class CanvasView;
class WindowServices;

// The start window: the program's name over a grey ramp, two pictures, "Start" and
// "Exit".
class frmOpening final : public QWidget {
    Q_OBJECT
public:
    explicit frmOpening(WindowServices& services, QWidget* parent = nullptr);

signals:
    void startRequested();
    void exitRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void PaintRamp();

    WindowServices& m_services;
    CanvasView* m_view;
    QWidget* m_startPicture = nullptr; // Image1
};

} // namespace valvix
