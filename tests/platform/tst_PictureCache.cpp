#include "platform/CanvasView.h"
#include "platform/DesktopServices.h"
#include "platform/PictureCache.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

using namespace valvix;

namespace {

// Paints into the chart area: (360, 30), 5700 x 3800 layout units; on an 800 x 600
// canvas 380 x 253 pixels from (24, 2), on a 1600 x 1200 one 760 x 507 from (48, 4).
bool Paint(Canvas& canvas, const Picture* picture) {
    return canvas.picture(picture, {360, 30}, 5700, 3800);
}

QImage Filled(QSize size, QColor colour, Qt::BrushStyle pattern = Qt::SolidPattern) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter(&image).fillRect(image.rect(), QBrush(colour, pattern));
    return image;
}

// A picture of one colour in a file, always dated the same.
void Write(const QString& file, QColor colour, QSize size) {
    QFile dated(file);
    QVERIFY(Filled(size, colour).save(file, "BMP") && dated.open(QIODevice::ReadWrite));
    QVERIFY(dated.setFileTime(QDate(2026, 6, 12).startOfDay(), QFileDevice::FileModificationTime));
}

} // namespace

// The chart picture on its way from the file to the window: decoded once and held while
// the file is unchanged, scaled once to the device pixels of the chart area.
class tst_PictureCache final : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

public:
    // The whole program runs on a screen of device pixel ratio 2.
    static void initMain() { qputenv("QT_SCALE_FACTOR", "2"); }

private slots:
    // What the desktop's second of two loads gives after the file changed between them.
    void secondLoadShowsTheFileAsItIsNow_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QColor>("shown"); // invalid: no picture
        QTest::newRow("unchanged: the same object") << "" << QColor(Qt::red);
        QTest::newRow("rewritten in place, other size") << "rewrite" << QColor(Qt::blue);
        QTest::newRow("another renamed over it") << "rename" << QColor(Qt::blue);
        QTest::newRow("removed") << "remove" << QColor();
        QTest::newRow("truncated") << "truncate" << QColor();
    }
    void secondLoadShowsTheFileAsItIsNow() {
        QFETCH(QString, change);
        QFETCH(QColor, shown);
        const QString file = dir.filePath(change + ".bmp");
        Write(file, Qt::red, {40, 30});
        DesktopServices desktop;
        const auto first = desktop.loadPicture(file.toStdString());
        if (change == "rewrite") {
            Write(file, Qt::blue, {41, 30});
        } else if (change == "rename") { // same size and time: only the status change differs
            QThread::msleep(30);         // the status-change time moves on by a clock tick or more
            Write(dir.filePath("other.bmp"), Qt::blue, {40, 30});
            QVERIFY(QFile::remove(file) && QFile::rename(dir.filePath("other.bmp"), file));
        } else if (change != "") {
            QVERIFY(change == "truncate" ? QFile::resize(file, 40) : QFile::remove(file));
        }
        const auto again = desktop.loadPicture(file.toStdString());
        QCOMPARE(again == first, change == "");
        const QRgb seen = again ? static_cast<const QtPicture&>(*again).image().pixel(39, 29) : 0;
        QCOMPARE(seen, shown.isValid() ? shown.rgb() : 0U); // 0: no picture
    }

    // Up to 100 million pixels are held; a larger picture, or a header that claims one,
    // is refused before it is decoded.
    void sizeLimit_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("10000 x 10000: held") << QSize(10000, 10000);
        QTest::newRow("10000 x 10001") << QSize(10000, 10001);
        QTest::newRow("65000 x 65000, a header alone") << QSize(65000, 65000);
    }
    void sizeLimit() {
        QFETCH(QSize, size);
        QFile file(dir.filePath("limit.pbm")); // one bit a pixel keeps the file small
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QString("P4 %1 %2\n").arg(size.width()).arg(size.height()).toLatin1());
        file.write(QByteArray(size.width() < 65000 ? size.width() / 8 * size.height() : 0, 0));
        file.close();
        QCOMPARE(DecodePicture(file.fileName()) != nullptr, size.height() == 10000);
    }

    void scaledOnceThenOnlyForAnotherPictureOrSize() {
        Canvas canvas(QSize(800, 600), Qt::white);
        std::optional<QtPicture> picture(Filled({1, 1}, Qt::red));
        QVERIFY(Paint(canvas, &*picture));
        const qint64 scaled = canvas.scaledPicture().cacheKey();
        QVERIFY(Paint(canvas, &*picture));
        QCOMPARE(canvas.scaledPicture().cacheKey(), scaled);
        picture.emplace(Filled({1, 1}, Qt::blue)); // another picture in the same place
        QVERIFY(Paint(canvas, &*picture));
        QCOMPARE(canvas.image().pixel(214, 128), qRgb(0, 0, 255));
        canvas.resize(QSize(1, 1));
        QVERIFY(Paint(canvas, &*picture)); // too small to show a pixel: no failure
        canvas.resize(QSize(1600, 1200));
        QVERIFY(Paint(canvas, &*picture));
        QCOMPARE(canvas.image().pixel(807, 510), qRgb(0, 0, 255)); // the area's last pixel
        QVERIFY(!Paint(canvas, nullptr));                          // no picture: the area shows no old one either
        QCOMPARE(canvas.image().pixel(428, 256), qRgb(255, 255, 255));
    }

    void thinLinesSurviveShrinking() {
        // A 1-pixel diagonal across a 3000 x 2000 scan, shrunk about 8 times: every column
        // of the chart area still shows it, on the diagonal (in one row or the next).
        QImage scan = Filled({3000, 2000}, Qt::white);
        QPainter(&scan).drawLine(0, 0, 2999, 1999);
        Canvas canvas(QSize(800, 600), Qt::white);
        QVERIFY(Paint(canvas, std::make_unique<QtPicture>(scan).get()));
        const auto grey = [&](int x, int y) { return qGray(canvas.image().pixel(x, y)); };
        for (int x = 24; x < 404; ++x) {
            const int y = 2 + (x - 24) * 253 / 380; // and paper 64 rows away stays white
            QVERIFY(std::min(grey(x, y), grey(x, y + 1)) < 245 && grey(x, y ^ 64) == 255);
        }
    }

    void fullResolutionAtRatioTwo() {
        CanvasView view(Qt::white);
        QCOMPARE(view.canvas().image().devicePixelRatio(), 2.0); // the screen's ratio
        QCOMPARE(view.canvas().image().deviceIndependentSize(), QSizeF(view.size()));
        Canvas& canvas = view.canvas();
        canvas.resize(QSize(800, 600));
        canvas.setPenWidth(2); // window pixels: 4 device pixels, from 798 to 801
        canvas.dot({6000, 4500}, kBlue);
        for (const int x : {797, 798, 801, 802}) {
            QCOMPARE(canvas.image().pixel(x, 600) == qRgb(0, 0, 255), x == 798 || x == 801);
        }
        // A checkerboard of single device pixels stays sharp: it is not blown up.
        const QtPicture board(Filled({760, 507}, Qt::black, Qt::Dense4Pattern));
        QVERIFY(Paint(canvas, &board));
        for (int x = 48; x < 58; ++x) {
            QCOMPARE(canvas.image().pixel(x, 300) ^ canvas.image().pixel(x + 1, 300), 0xFFFFFFU);
        }
    }
};

QTEST_MAIN(tst_PictureCache)
#include "tst_PictureCache.moc"
