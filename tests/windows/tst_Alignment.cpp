#include "platform/CanvasView.h"
#include "platform/Loupe.h"
#include "platform/QtPicture.h"
#include "support/RecordingSurface.h"
#include "support/ScriptedServices.h"
#include "windows/frmInitialize.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace valvix;
using namespace valvix::test;

namespace {

const std::string kExample = VALVIX_EXAMPLES_DIR "/example-12AX7";
// The example chart's axes in its 400 x 300 picture's pixels, and one pixel in layout units.
constexpr double kLeft = 52.5, kRight = 362.5, kTop = 22.5, kBottom = 262.5;
constexpr double kPixelX = 14.25, kPixelY = 3800.0 / 300;

PointF Layout(QPointF pixels) {
    return {float(360 + pixels.x() * kPixelX), float(30 + pixels.y() * kPixelY)};
}
QPointF Pixels(float x, float y) {
    return {(x - 360) / kPixelX, (y - 30) / kPixelY};
}

// Where an eye finds the middle of a printed line across a strip of an image: the
// darkness profile across x (or y) and the centre of the places darker than a share of
// its peak (a high share leaves out a curve that merges into the line, a low one finds
// the middle of a line spread over two pixels). Blue is left out: the loupe's guides.
double InkMiddle(const QImage& image, QRect strip, bool acrossX, double share) {
    const int w = strip.width();
    std::vector<double> profile(acrossX ? w : strip.height());
    for (int i = 0; i < w * strip.height(); ++i) {
        const QRgb c = image.pixel(strip.left() + i % w, strip.top() + i / w);
        profile[acrossX ? i % w : i / w] += std::max(0, 170 - std::max(qRed(c), qGreen(c)));
    }
    const double cut = share * *std::max_element(profile.begin(), profile.end());
    double weight = 0, moment = 0;
    for (std::size_t i = 0; i < profile.size(); ++i) {
        const double ink = profile[i] >= cut ? profile[i] : 0;
        weight += ink;
        moment += ink * (double(i) + 0.5);
    }
    return (acrossX ? strip.left() : strip.top()) + moment / weight;
}

} // namespace

class tst_Alignment final : public QObject {
    Q_OBJECT

    Design design;

    ChartGraphic graphic;
    ScriptedServices services;
    std::unique_ptr<frmInitialize> window;
    RecordingSurface drawn;

    CanvasView& view() { return window->view(); }
    Loupe* loupe() { return window->findChild<Loupe*>("Loupe"); }
    QPushButton* button(const char* name) { return window->findChild<QPushButton*>(name); }
    void press(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    QString status() { return window->findChild<QLabel*>("lblAlignment")->text(); }
    QPoint pixel(PointF at) { // the screen pixel under a layout point
        const double s = view().canvas().scale();
        return {int(std::floor(at.x * s)), int(std::floor(at.y * s))};
    }
    void click(PointF at) { QTest::mouseClick(&view(), Qt::LeftButton, {}, pixel(at)); }
    void key(int k, Qt::KeyboardModifiers m = {}) { QTest::keyClick(&view(), Qt::Key(k), m); }
    FrameEdges frame() { return FrameOf(design); }

    // The example design with its frame 300 units off on every edge, over a picture.
    void open(const std::string& picture) {
        Design off;
        ReadDesignFile(kExample + ".VXF", off);
        off.Xleft -= 300, off.Xright += 300, off.Ytop += 300, off.Ybottom -= 300;
        services.fileAnswers = {services.writeDesign(off), picture};
        press("cmdGetOldDesign");
        press("cmdGetGraphic");
    }
    // Clicks at a corner of the chart, then in the loupe where the printed lines meet:
    // the upright one runs from there towards alongY, the level one towards alongX.
    void placeCorner(QPointF corner, int alongX, int alongY) {
        click(Layout(corner));
        const QImage shown = loupe()->grab().toImage();
        const int cx = shown.width() / 2, cy = shown.height() / 2, near = 10, far = 36;
        const double x = InkMiddle(shown, {cx - 18, alongY < 0 ? cy - far : cy + near, 36, 26}, true, 0.8);
        const double y = InkMiddle(shown, {alongX < 0 ? cx - far : cx + near, cy - 18, 26, 36}, false, 0.8);
        QTest::mouseClick(loupe(), Qt::LeftButton, {}, QPoint(int(x), int(y)));
    }

private slots:
    void init() {
        design = Design{};
        graphic = {};
        services.messages.clear(), services.fileAnswers.clear(), services.dialogs.clear();
        drawn = RecordingSurface{};
        window = std::make_unique<frmInitialize>(design, graphic, services);
        window->show();
        window->resize(800, 600); // the reference screen's layout: 15 units a pixel
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }

    void linesUpTheExampleWithFourClicks() {
        open(kExample + ".jpg");
        press("cmdClickAxes");
        QVERIFY(status().contains("origin corner (0 V, 0 A)"));
        placeCorner({kLeft, kBottom}, 1, -1);
        placeCorner({kRight, kTop}, -1, 1);
        const QPointF low = Pixels(design.Xleft, design.Ybottom) - QPointF(kLeft, kBottom);
        const QPointF high = Pixels(design.Xright, design.Ytop) - QPointF(kRight, kTop);
        for (const double off : {low.x(), low.y(), high.x(), high.y()}) {
            QVERIFY(std::abs(off) <= 0.5);
        }
    }

    void edgesDragAndStepByPicturePixels() {
        open(kExample + ".jpg");
        const FrameEdges start = frame();
        const QPoint onTop = pixel({3000, start.top});
        QTest::mouseMove(&view(), pixel({3000, 2000}));
        QCOMPARE(view().cursor().shape(), Qt::ArrowCursor);
        QTest::mouseMove(&view(), pixel({start.right, 2000}));
        QCOMPARE(view().cursor().shape(), Qt::SizeHorCursor);
        QTest::mouseMove(&view(), onTop);
        QCOMPARE(view().cursor().shape(), Qt::SizeVerCursor);
        view().canvas().setTap(&drawn);
        QTest::mousePress(&view(), Qt::LeftButton, {}, onTop);
        QTest::mouseMove(&view(), onTop + QPoint(0, 20));
        QVERIFY(loupe()->isVisible());
        QTest::mouseRelease(&view(), Qt::LeftButton, {}, onTop + QPoint(0, 30));
        const float dragged = start.top + float(30 / view().canvas().scale());
        QVERIFY(std::abs(design.Ytop - dragged) < 0.01f);
        QCOMPARE(drawn.of(RecordingSurface::Kind::Picture).size(),
                 2u); // picture and frame on each move
        key(Qt::Key_Z, Qt::ControlModifier);
        // An edge dragged past its opposite stops a picture pixel short of it.
        QTest::mousePress(&view(), Qt::LeftButton, {}, pixel({start.left, 2000}));
        QTest::mouseRelease(&view(), Qt::LeftButton, {}, pixel({start.right + 500, 2000}));
        QCOMPARE(design.Xleft, start.right - 14.25f);
        key(Qt::Key_Z, Qt::ControlModifier);

        // A click selects an edge without moving it; arrow keys step one picture pixel.
        const std::tuple<float FrameEdges::*, int, Qt::KeyboardModifiers, float> rows[] = {
            {&FrameEdges::left, Qt::Key_Right, {}, 14.25f},
            {&FrameEdges::left, Qt::Key_Left, Qt::ShiftModifier, -142.5f},
            {&FrameEdges::top, Qt::Key_Down, Qt::ShiftModifier, 126.66667f},
            {&FrameEdges::bottom, Qt::Key_Up, {}, -12.666667f}};
        for (const auto& [edge, arrow, shift, change] : rows) {
            const bool upright = edge == &FrameEdges::left || edge == &FrameEdges::right;
            click(upright ? PointF{start.*edge, 2000} : PointF{3000, start.*edge});
            QCOMPARE(frame(), start);
            drawn.items.clear();
            key(arrow, shift);
            FrameEdges moved = start;
            moved.*edge += change;
            QCOMPARE(frame(), moved);
            QCOMPARE(drawn.of(RecordingSurface::Kind::Picture).size(), 1u);
            press("cmdUndo");
        }
        // The nudge buttons are steps too; loading a design starts a fresh history.
        press("Command4");
        press("cmdUndo");
        QCOMPARE(frame(), start);
        press("cmdRedo");
        QCOMPARE(design.Xleft, start.left + 15);
        services.fileAnswers = {std::nullopt}; // the same file read again
        press("cmdGetOldDesign");
        QVERIFY(!button("cmdUndo")->isEnabled() && !button("cmdRedo")->isEnabled());
    }

    void badInputLeavesFrameAndPicture() {
        const std::tuple<const char*, PointF, PointF, QString> rows[] = {
            {"cmdClickAxes", {200, 2000}, {200, 2000}, "outside the picture"},
            {"cmdClickAxes", {1500, 3000}, {1500, 3000}, "same spot"},
            {"cmdStraighten", {1000, 1000}, {1500, 3000}, "more than 45 degrees"}};
        for (const auto& [mode, first, second, word] : rows) {
            open(kExample + ".jpg");
            const FrameEdges start = frame();
            press(mode);
            click(first);
            click(second);
            QVERIFY2(status().contains(word), qPrintable(status()));
            QCOMPARE(frame(), start);
            QCOMPARE(graphic.CurveGraphicTilt.degrees, 0.0f);
            QVERIFY(!button("cmdUndo")->isEnabled());
        }
    }

    void straightensATiltedScanThenLinesItUp() {
        const QTransform turn = QTransform().translate(200, 150).rotate(2).translate(-200, -150);
        QImage tilted(400, 300, QImage::Format_RGB32);
        tilted.fill(Qt::white);
        QPainter painter(&tilted);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setTransform(turn);
        painter.drawImage(0, 0, QImage(QString::fromStdString(kExample + ".jpg")));
        painter.end();
        tilted.save(QString::fromStdString(services.path("tilted.png")));
        open(services.path("tilted.png"));

        press("cmdStraighten"); // two points on the x axis, each placed again in the loupe
        for (const double x : {75.0, 188.0}) {
            click(Layout(turn.map(QPointF(x, kBottom))));
            const QImage shown = loupe()->grab().toImage();
            const int mid = shown.width() / 2;
            const double y = InkMiddle(shown, {mid - 6, shown.height() / 2 - 16, 12, 32}, false, 0.5);
            QTest::mouseClick(loupe(), Qt::LeftButton, {}, QPoint(mid, int(y)));
        }
        const double tilt = graphic.CurveGraphicTilt.degrees;
        QVERIFY(std::abs(tilt - 2) < 0.2);

        press("cmdClickAxes");
        placeCorner({kLeft, kBottom}, 1, -1);
        placeCorner({kRight, kTop}, -1, 1);
        // Where the chart's corners are shown now, against the frame's corners.
        const QTransform shown = QTransform().translate(200, 150).rotate(2 - tilt).translate(-200, -150);
        double worst = 0;
        for (const double x : {kLeft, kRight}) {
            for (const double y : {kTop, kBottom}) {
                const QPointF off =
                    Pixels(x == kLeft ? design.Xleft : design.Xright, y == kTop ? design.Ytop : design.Ybottom) -
                    shown.map(QPointF(x, y));
                worst = std::max({worst, std::abs(off.x()), std::abs(off.y())});
            }
        }
        qInfo("tilt found %.4f degrees; corners off by %.3f picture pixels at most", tilt, worst);
        QVERIFY(worst <= 1);
        // Straightening is a step of the history too; with no tilt the picture is untouched.
        while (button("cmdUndo")->isEnabled()) {
            press("cmdUndo");
        }
        QCOMPARE(graphic.CurveGraphicTilt.degrees, 0.0f);
        QCOMPARE(dynamic_cast<const QtPicture&>(*graphic.CurveGraphic).image(), tilted);
    }
};

QTEST_MAIN(tst_Alignment)
#include "tst_Alignment.moc"
