#include "platform/Canvas.h"
#include "platform/QtPicture.h"

#include <QtTest>

using namespace valvix;

namespace {

int CountPixels(const QImage& image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixel(x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

} // namespace

class tst_Canvas final : public QObject {
    Q_OBJECT
private slots:
    void layoutScalesUniformly() {
        const Canvas canvas(QSize(800, 600), Qt::white);
        QCOMPARE(canvas.scale(), 800 / 12000.0);
        // A wider window keeps the proportions: the height decides.
        QCOMPARE(Canvas(QSize(1600, 600), Qt::white).scale(), 600 / 9000.0);
    }

    void dotIsPenWidthPixelsAcross_data() {
        QTest::addColumn<int>("pen");
        QTest::newRow("2 pixels") << 2;
        QTest::newRow("3 pixels") << 3;
    }
    void dotIsPenWidthPixelsAcross() {
        QFETCH(int, pen);
        Canvas canvas(QSize(800, 600), Qt::white);
        canvas.setPenWidth(pen);
        canvas.dot({6000, 4500}, kBlue);
        QCOMPARE(CountPixels(canvas.image(), qRgb(0, 0, 255)), pen * pen);
        // The batched form gives exactly the same pixels.
        Canvas batched(QSize(800, 600), Qt::white);
        batched.setPenWidth(pen);
        const PointF at{6000, 4500};
        batched.dots(&at, 1, kBlue);
        QCOMPARE(batched.image(), canvas.image());
    }

    void dotsOffTheImageAreSkipped() {
        Canvas canvas(QSize(80, 60), Qt::white);
        canvas.setPenWidth(3);
        const PointF points[] = {{-100, 50}, {1e30f, 50}, {50, std::nanf("")}, {12000, 9000}};
        canvas.dots(points, 4, kRed);
        QVERIFY(CountPixels(canvas.image(), qRgb(255, 0, 0)) <= 4); // only the corner's part
    }

    void pictureIsStretchedIntoItsRectangle() {
        Canvas canvas(QSize(800, 600), Qt::white);
        QImage small(4, 3, QImage::Format_RGB32);
        small.fill(Qt::red);
        const QtPicture picture(small);
        QVERIFY(canvas.picture(&picture, {360, 30}, 5700, 3800));
        QCOMPARE(canvas.image().pixel(24 + 190, 2 + 126), qRgb(255, 0, 0));
        QCOMPARE(canvas.image().pixel(24 + 385, 2 + 126), qRgb(255, 255, 255));
        QVERIFY(!canvas.picture(nullptr, {360, 30}, 5700, 3800));
    }

    void drawingSurvivesResizing() {
        Canvas canvas(QSize(400, 300), Qt::white);
        canvas.filledRectangle({0, 0}, {6000, 9000}, kBlack);
        canvas.resize(QSize(800, 600));
        QCOMPARE(canvas.image().pixel(100, 300), qRgb(0, 0, 0));
        QCOMPARE(canvas.image().pixel(700, 300), qRgb(255, 255, 255));
    }
};

QTEST_MAIN(tst_Canvas)
#include "tst_Canvas.moc"
