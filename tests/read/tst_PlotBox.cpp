// The plot box and the lean of charts made other ways than by the box finder: the corpus
// (heavy grids, stamps, 1-bit and yellowed scans, skews of -0.2 to 0.5 degrees) and the
// shipped examples, one also drawn with its two axes only; three dense grids drawn small.

#include "ChartRender.h"
#include "CorpusCharts.h"

#include "platform/QtPicture.h"
#include "read/PlotBox.h"

#include <QPainter>
#include <QTransform>
#include <QtTest>

using namespace valvix;

class tst_PlotBox final : public QObject {
    Q_OBJECT
private slots:
    // Each edge within 0.5 % of the box's size of the true one, the lean within 0.03 degree (or half a pixel
    // across a small box).
    // A long rule below the numbers and one above the title are no edges of the box, nor is one across the
    // page through the top edge.
    void findsTheBox_data() {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<QRectF>("box"); // as the chart stood before it was turned
        QTest::addColumn<double>("tilt");
        const auto addCorpusRow = [](const corpus::CorpusChart& c, const std::string& name) {
            QTransform back; // the turn undone, about the picture's centre
            const QPointF centre(c.picture.width() / 2.0, c.picture.height() / 2.0);
            back.translate(centre.x(), centre.y()).rotate(-c.skewDegrees).translate(-centre.x(), -centre.y());
            const QPointF origin = back.map(QPointF(c.left, c.bottom)), corner = back.map(QPointF(c.right, c.top));
            QTest::addRow("%s", name.c_str()) << c.picture << QRectF(origin, corner).normalized() << c.skewDegrees;
        };
        for (const corpus::CorpusChart& c : corpus::Corpus())
            addCorpusRow(c, c.name);
        // Drawn small, the dense grids' lines stand a few pixels apart: bridging the dashes along one way must
        // not close the lines across into solid ink.
        for (const std::size_t index : {0, 4, 7})
            addCorpusRow(corpus::CorpusChartAt(index, 700, 490), "small, corpus chart " + std::to_string(index));
        for (const auto& sheet : {example::Example12AX7(), example::Example6SN7()}) {
            const QRectF box(QPointF(sheet.axisLeft, sheet.axisTop), QPointF(sheet.axisRight, sheet.axisBottom));
            QImage ruled = example::RenderChart(sheet);
            QTest::addRow("%s", qPrintable(sheet.title)) << ruled << box << 0.0;
            QPainter rules(&ruled);
            rules.setPen(QPen(Qt::black, 2));
            for (const double y : {3.0, ruled.height() - 4.0})
                rules.drawLine(QPointF(0.05 * ruled.width(), y), QPointF(0.95 * ruled.width(), y));
            rules.end();
            QTest::addRow("%s, ruled above and below", qPrintable(sheet.title)) << ruled << box << 0.0;
            // A rule across the page through the top edge: a line that does not start at the left edge says
            // nothing of how far the box reaches.
            QImage ruledThrough = example::RenderChart(sheet);
            QPainter through(&ruledThrough);
            through.setPen(QPen(Qt::black, 2));
            through.drawLine(QPointF(0.02 * ruledThrough.width(), box.top()),
                             QPointF(ruledThrough.width() - 2.0, box.top()));
            through.end();
            QTest::addRow("%s, ruled through its top", qPrintable(sheet.title)) << ruledThrough << box << 0.0;
            // Drawn with its two axes only, as some plotting programs draw: the box ends where they do. The
            // small 12AX7 sheet's axes overrun their corner into its numbers: it is refused (a null box).
            QImage open = example::RenderChart(sheet);
            QPainter paper(&open);
            paper.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::FlatCap));
            paper.drawLine(box.topLeft() + QPointF(3, 0), box.topRight() + QPointF(3, 0));
            paper.drawLine(box.topRight() + QPointF(0, -3), box.bottomRight() + QPointF(0, -3));
            paper.end();
            QTest::addRow("%s, open", qPrintable(sheet.title))
                << open << (sheet.title.startsWith("12AX7") ? QRectF() : box) << 0.0;
        }
    }
    void findsTheBox() {
        QFETCH(QImage, picture);
        QFETCH(QRectF, box);
        QFETCH(double, tilt);
        const read::PlotBoxResult found = read::FindPlotBox(QtPicture(picture).grey());
        if (box.isNull()) {
            QVERIFY(!found.box);
            return;
        }
        QVERIFY2(found.box, found.problem.c_str());
        const read::PlotBox& b = *found.box;
        qInfo("box %.2f %.2f %.2f %.2f, tilt %.3f; true %.2f %.2f %.2f %.2f, %.3f", b.left, b.right, b.top, b.bottom,
              b.tilt, box.left(), box.right(), box.top(), box.bottom(), tilt);
        const double dx = 0.005 * box.width(), dy = 0.005 * box.height();
        QVERIFY(std::abs(b.left - box.left()) <= dx && std::abs(b.right - box.right()) <= dx);
        QVERIFY(std::abs(b.top - box.top()) <= dy && std::abs(b.bottom - box.bottom()) <= dy);
        QVERIFY(std::abs(b.tilt - tilt) <= std::max(0.03, qRadiansToDegrees(std::atan(0.5 / box.width()))));
    }
};

QTEST_MAIN(tst_PlotBox)
#include "tst_PlotBox.moc"
