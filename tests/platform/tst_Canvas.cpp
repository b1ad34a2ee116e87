#include "platform/CanvasView.h"
#include "platform/PageSurface.h"
#include "platform/QtPicture.h"

#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

using namespace valvix;

namespace {

// The smallest rectangle holding every pixel of a colour.
QRect Inked(const QImage& image, QRgb colour) {
    QRect inked;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            inked |= image.pixel(x, y) == colour ? QRect(x, y, 1, 1) : QRect();
    }
    return inked;
}
constexpr QRgb kBluePixel = 0xff0000ff;

} // namespace

class tst_Canvas final : public QObject {
    Q_OBJECT
private slots:
    // On 800 x 600 pixels a pixel is 15 layout units; wider images keep the proportions.
    void drawsWhereTheLayoutSays() {
        Canvas canvas(QSize(800, 600), Qt::white);
        QCOMPARE(Canvas(QSize(1600, 600), Qt::white).scale(), 600 / 9000.0);
        QCOMPARE(canvas.fontPixels(9), 12.0);
        QCOMPARE(canvas.toLayout({440, 170}).x, 6600.0f);
        canvas.setPenWidth(3);
        canvas.dot({6000, 4500}, kBlue);
        QCOMPARE(Inked(canvas.image(), kBluePixel), QRect(399, 299, 3, 3));
        const PointF many[] = {{1500, 1500}, {-100, 50}, {1e30f, 50}, {50, NAN}};
        canvas.setPenWidth(2);
        canvas.dots(many, 4, kRed);
        QCOMPARE(Inked(canvas.image(), 0xffff0000), QRect(99, 99, 2, 2));
        canvas.setPenWidth(1);
        canvas.line({1500, 3000}, {4500, 3000}, kBlack);
        canvas.rectangle({6000, 6000}, {7500, 7500}, kBlack);
        QCOMPARE(Inked(canvas.image(), 0xff000000), QRect(100, 200, 401, 301));
        canvas.filledRectangle({7500, 1500}, {9000, 3000}, {0, 255, 0});
        QCOMPARE(Inked(canvas.image(), 0xff00ff00), QRect(500, 100, 100, 100));
        canvas.clear();
        canvas.setFont({"Arial", 9, true});
        canvas.text({1500, 1500}, "Wg", kBlue);
        const QRect text = Inked(canvas.image(), kBluePixel);
        QVERIFY(text.left() >= 100 && text.left() < 103 && text.top() >= 100 &&
                text.bottom() < 116);
    }

    void picturesAreStretched() {
        Canvas canvas(QSize(800, 600), Qt::white);
        QImage small(4, 3, QImage::Format_RGB32);
        small.fill(Qt::blue);
        const QtPicture picture(small);
        QVERIFY(canvas.picture(&picture, {360, 30}, 5700, 3800));
        QCOMPARE(Inked(canvas.image(), kBluePixel), QRect(24, 2, 380, 253));
        QVERIFY(!canvas.picture(nullptr, {0, 0}, 10, 10));
        canvas.resize(QSize(400, 300));
        QCOMPARE(Inked(canvas.image(), kBluePixel), QRect(12, 1, 190, 126));
    }

    // Controls sit at their layout rectangles; presses on the surface report the button
    // and the layout point.
    void viewPlacesControlsAndReportsPresses() {
        CanvasView view(Qt::white);
        view.resize(800, 600);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        auto* label = view.place(new QLabel("x"), {1500, 1500, 3000, 600}, 9, true, "Arial");
        auto* field = view.place(new QLabel("y"), {1500, 3000, 3000, 0}, 9);
        QCOMPARE(label->geometry(), QRect(100, 100, 200, 40));
        QCOMPARE(label->font().pixelSize(), 12);
        QVERIFY(label->font().bold());
        QCOMPARE(field->height(), field->sizeHint().height());
        view.resize(400, 300);
        QCOMPARE(label->geometry(), QRect(50, 50, 100, 20));
        view.resize(800, 600);
        QSignalSpy pressed(&view, &CanvasView::mousePressed);
        for (const auto button :
             {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton, Qt::BackButton}) {
            QTest::mousePress(&view, button, {}, QPoint(440, 170));
        }
        QCOMPARE(pressed.size(), 3);
        QCOMPARE(pressed.at(1), (QVariantList{2, 6600.0f, 2550.0f}));
        QCOMPARE(pressed.at(0).at(0).toInt() + pressed.at(2).at(0).toInt(), 5);
    }

    // Page points are twips from an origin 2500 right of and 2000 below the printable
    // area's corner: at 150 dots per inch (0, 0) lands on pixel (260, 208).
    void pageIsMeasuredInTwips() {
        QImage printed;
        ImageJob job([&](const QImage& page) { printed = page; });
        PageSurface page(job, {2500, 2000});
        QVERIFY(!page.finish());
        page.setPenWidth(3);
        page.dot({0, 0}, kBlue);
        page.setPenWidth(1);
        page.line({1440, 0}, {2880, 0}, kRed);
        page.rectangle({0, 1440}, {1440, 2880}, kBlack);
        page.filledRectangle({2880, 1440}, {4320, 2880}, {0, 255, 0});
        page.setFont({"", 8, false});
        page.text({0, 4320}, "W", kBlue);
        QVERIFY(page.finish());
        QCOMPARE(printed.size(), QSize(1275, 1650));
        QCOMPARE(Inked(printed.copy(0, 0, 1275, 300), kBluePixel), QRect(259, 207, 3, 3));
        QCOMPARE(Inked(printed, 0xffff0000), QRect(410, 208, 151, 1));
        QCOMPARE(Inked(printed, 0xff000000), QRect(260, 358, 151, 151));
        QCOMPARE(Inked(printed, 0xff00ff00), QRect(560, 358, 150, 150));
        const QRect text = Inked(printed.copy(0, 600, 1275, 300), kBluePixel).translated(0, 600);
        QVERIFY(text.left() >= 260 && text.left() < 264 && text.top() >= 658 && text.height() < 17);
    }
};

QTEST_MAIN(tst_Canvas)
#include "tst_Canvas.moc"
