// The axis numbers of charts made other ways than by the reader, read from the picture
// alone: the full scales come out exactly, or (one current axis of the ten) not at all
// with the reason.

#include "ChartRender.h"
#include "CorpusCharts.h"

#include "platform/QtPicture.h"
#include "read/AxisNumbers.h"
#include "read/TextReader.h"

#include <QtTest>

using namespace valvix;

class tst_ReadAxes final : public QObject {
    Q_OBJECT
    read::TextReader m_reader;
    int m_ampsUnread = 0; // of the ten charts, one 1-bit scan's current axis is not read

private slots:
    void readsTheFullScales_data() {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<double>("volts");
        QTest::addColumn<double>("amps");
        for (const corpus::CorpusChart& c : corpus::Corpus())
            QTest::addRow("%s", c.name.c_str()) << c.picture << double(c.voltsFullscale) << double(c.ampsFullscale);
        for (const auto& sheet : {example::Example12AX7(), example::Example6SN7()})
            QTest::addRow("%s", qPrintable(sheet.title))
                << example::RenderChart(sheet) << double(sheet.voltsFullscale) << double(sheet.ampsFullscale);
    }
    void readsTheFullScales() {
        QFETCH(QImage, picture);
        QFETCH(double, volts);
        QFETCH(double, amps);
        QVERIFY(m_reader.ready());
        const QtPicture chart(picture);
        const read::PlotBoxResult box = read::FindPlotBox(chart.grey());
        QVERIFY2(box.box, box.problem.c_str());
        const cv::Mat1b level = read::LevelledGrey(chart.grey(), box.box->tilt);
        const read::AxisNumbers numbers = read::ReadAxisNumbers(level, *box.box, m_reader);
        QStringList below, left;
        for (const auto& n : numbers.below)
            below << QString::fromStdString(n.text);
        for (const auto& n : numbers.left)
            left << QString::fromStdString(n.text);
        qInfo("below: %s; left: %s; %s %s", qPrintable(below.join('|')), qPrintable(left.join('|')),
              numbers.volts.problem.c_str(), numbers.amps.problem.c_str());
        QVERIFY(numbers.volts.scale);
        QCOMPARE(read::SnappedValue(*numbers.volts.scale, box.box->right), volts);
        QVERIFY(std::abs(numbers.volts.scale->valueAt(box.box->left)) < 0.01 * volts);
        // A current axis that cannot be read says why; one that is read is right.
        if (!numbers.amps.scale) {
            QVERIFY(!numbers.amps.problem.empty() && ++m_ampsUnread <= 1);
            return;
        }
        const read::PlateCurrent full = read::PlateCurrentOf(read::SnappedValue(*numbers.amps.scale, box.box->top));
        QCOMPARE(float(full.amps), float(amps));
        QVERIFY(full.inMilliamps == (amps < 0.5));
    }
};

QTEST_MAIN(tst_ReadAxes)
#include "tst_ReadAxes.moc"
