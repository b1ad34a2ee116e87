#include "app/frmOpening.h"

#include "app/Version.h"
#include "platform/CanvasView.h"
#include "platform/WindowServices.h"
#include "windows/EnterKey.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

// The start window's pictures are compiled into the program.
static void InitImages() {
    Q_INIT_RESOURCE(images);
}

namespace valvix {

namespace {

// Font sizes for the reference screen, 9000 twips high.
constexpr double kScreenTwips = 9000;

QLabel* MakeLabel(const char* name, const QString& text, const char* style) {
    auto* label = new QLabel(text);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setStyleSheet(style);
    label->setAutoFillBackground(true);
    return label;
}

QLabel* MakePicture(const char* name, const QString& resource) {
    auto* picture = new QLabel;
    picture->setObjectName(name);
    picture->setPixmap(QPixmap(resource));
    picture->setScaledContents(true);
    return picture;
}

} // namespace

frmOpening::frmOpening(WindowServices& services, QWidget* parent)
    : QWidget(parent), m_services(services), m_view(new CanvasView(QColor(128, 128, 128), this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    Form_Load();
}

void frmOpening::Form_Load() {
    InitImages();
    setWindowTitle("Valvix");
    PaintRamp();
    m_view->place(MakeLabel("Label1", "Valvix", "color: white; background-color: rgb(96,96,96);"),
                  {120, 120, 11800, 1000}, kScreenTwips * 0.0027, false, "Times New Roman");
    // Pictures keep their natural pixel size on the reference screen (15 units a pixel).
    m_startPicture = m_view->place(MakePicture("Image1", ":/images/photograph.png"),
                                   {4620 - 200 * 15, 1500, 200 * 15, 329 * 15}, 9);
    m_view->place(MakePicture("Image2", ":/images/drawing.png"), {4680, 1500, 412 * 15, 255 * 15},
                  9);
    auto* cmdStart =
        m_view->place(new QPushButton("Start"), {4680, 5600, 1500, 360}, kScreenTwips * 0.001);
    cmdStart->setObjectName("cmdStart");
    auto* cmdExit =
        m_view->place(new QPushButton("Exit"), {4680, 6100, 1500, 360}, kScreenTwips * 0.001);
    cmdExit->setObjectName("cmdExit");
    const char* grey = "color: black; background-color: rgb(192,192,192);";
    m_view->place(MakeLabel("Label2", QString("Version ") + kVersion, grey),
                  {120, 7250, 11800, 720}, kScreenTwips * 0.0015, false, "Arial");
    m_view->place(MakeLabel("Label3", "Copyright (C) 2026 the Valvix developers", grey),
                  {120, 7800, 11800, 540}, kScreenTwips * 0.001, false, "Arial");

    m_startPicture->installEventFilter(this);
    connect(cmdStart, &QPushButton::clicked, this, &frmOpening::startRequested);
    connect(cmdExit, &QPushButton::clicked, this, &frmOpening::exitRequested);
    PressButtonsOnEnter(*this);
}

void frmOpening::PaintRamp() {
    // A vertical ramp from near black at the top to white at about 85 % of the height.
    Canvas& canvas = m_view->canvas();
    canvas.setPenWidth(1);
    for (int y = 1; y <= kScreenTwips; ++y) {
        const double level = std::clamp(y / kScreenTwips * 300 + 1, 1.0, 255.0);
        const auto grey = static_cast<std::uint8_t>(std::nearbyint(level)); // halves to even
        canvas.line({0, static_cast<float>(y)},
                    {static_cast<float>(kLayoutWidth), static_cast<float>(y)}, {grey, grey, grey});
    }
}

bool frmOpening::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_startPicture && event->type() == QEvent::MouseButtonPress) {
        m_services.beep();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace valvix
