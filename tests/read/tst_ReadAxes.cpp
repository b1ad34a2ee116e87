// Charts made other ways than by the reader, read from the picture alone: the full scales
// and the grid voltages come out exactly, or (one current axis of them all; the grid voltages where
// a label is lost or cut) not at all with the reason.

#include "ChartRender.h"
#include "CorpusCharts.h"

#include "platform/QtPicture.h"
#include "plot/ChartGeometry.h"
#include "read/ChartReader.h"
#include "read/TextReader.h"

#include <opencv2/imgproc.hpp>

#include <QPainter>
#include <QPainterPath>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <tuple>

using namespace valvix;

namespace {

const QRectF kRuledBox(100, 60, 800, 540);

// The data's rectangle in a box with a plotting program's margin of `margin` of its size left and
// below, and `far` right and above (less than 0: beyond the box).
QRectF DataIn(const QRectF& box, double margin, double far) {
    return box.adjusted(margin * box.width(), far * box.height(), -far * box.width(), -margin * box.height());
}

// The picture as a soft scan gives it: blurred by a Gaussian `sigma` pixels wide.
QImage Soft(const QImage& picture, double sigma) {
    QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    cv::Mat1b view(grey.height(), grey.width(), grey.bits(), std::size_t(grey.bytesPerLine()));
    cv::GaussianBlur(view, view, {0, 0}, sigma);
    return grey;
}

// A ruled chart 1000 x 700 of box kRuledBox, numbered evenly below and left with the texts given,
// its curves and their labels drawn by `curves` in the box's rectangle. With a margin, as a plotting
// program draws: the data's rectangle inside the box by `margin` of its size each side, numbered and
// ticked outside the box, not ruled.
QImage RuledChart(const QStringList& below, const QStringList& left,
                  const std::function<void(QPainter&, const QRectF&)>& curves, double margin = 0, double far = 0,
                  double gap = 8) {
    QImage chart(1000, 700, QImage::Format_RGB32);
    chart.fill(Qt::white);
    QPainter p(&chart);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = kRuledBox, data = DataIn(box, margin, far);
    p.setPen(QPen(Qt::black, 0.8));
    for (int i = 1; i < 20 && margin == 0; ++i)
        p.drawLine(QPointF(box.left() + i * 40, box.top()), QPointF(box.left() + i * 40, box.bottom()));
    for (int i = 1; i < 18 && margin == 0; ++i)
        p.drawLine(QPointF(box.left(), box.top() + i * 30), QPointF(box.right(), box.top() + i * 30));
    p.setPen(QPen(Qt::black, 2.5));
    p.drawRect(box);
    p.setFont(QFont("DejaVu Sans", 13));
    const double tick = margin > 0 ? 7 : 0;
    for (qsizetype i = 0; i < below.size(); ++i) {
        const double x = data.left() + data.width() * double(i) / double(below.size() - 1);
        p.drawLine(QPointF(x, box.bottom()), QPointF(x, box.bottom() + tick));
        p.drawText(QRectF(x - 40, box.bottom() + gap + tick, 80, 24), Qt::AlignHCenter | Qt::AlignTop, below[i]);
    }
    for (qsizetype i = 0; i < left.size(); ++i) {
        const double y = data.bottom() - data.height() * double(i) / double(left.size() - 1);
        p.drawLine(QPointF(box.left() - tick, y), QPointF(box.left(), y));
        p.drawText(QRectF(box.left() - 90 - tick, y - 12, 80, 24), Qt::AlignRight | Qt::AlignVCenter, left[i]);
    }
    p.setPen(QPen(Qt::black, 2));
    curves(p, data);
    return chart;
}

// Nine curves in the colours of a plotting program, 0 V to -16 V, listed in a legend in the box's
// top left corner, from 0 V down or (`rising`) from -16 V down; the entries from `changed` on printed
// as `instead` lists; `rows` entries to a column of the legend, each as `entryText` prints it; where
// `beside`, the entries' texts alone (no frame, no samples) right of the box.
QImage LegendChart(bool rising, int changed = -1, const QStringList& instead = {}, int rows = 9,
                   const QString& entryText = "Vg = %1 V", double margin = 0, double far = 0, double gap = 8,
                   bool beside = false) {
    const auto curves = [&](QPainter& p, const QRectF& box) {
        const QColor colours[] = {Qt::blue,
                                  QColor(255, 127, 14),
                                  QColor(44, 160, 44),
                                  Qt::red,
                                  QColor(148, 103, 189),
                                  QColor(140, 86, 75),
                                  QColor(227, 119, 194),
                                  Qt::gray,
                                  QColor(188, 189, 34)};
        for (int curve = 0; curve < 9; ++curve) {
            p.setPen(QPen(colours[curve], 2));
            QPainterPath path(box.bottomLeft() + QPointF(75 * curve, 0));
            path.quadTo(box.bottomLeft() + QPointF(75 * curve + 150, 0), box.topLeft() + QPointF(190 + 75 * curve, 20));
            p.drawPath(path);
        }
        const int columns = (8 + rows) / rows;
        const QRectF legend(beside ? kRuledBox.right() - 36 : box.left() + 20, box.top() + 20, 130 * columns,
                            rows * 21 + 10);
        p.setPen(QPen(Qt::lightGray, 1));
        p.setBrush(Qt::white);
        if (!beside)
            p.drawRoundedRect(legend, 4, 4);
        p.setFont(QFont("DejaVu Sans", 11));
        for (int entry = 0; entry < 9; ++entry) {
            const int curve = rising ? 8 - entry : entry;
            const int column = entry / rows, row = entry % rows;
            const double x = legend.left() + 130 * column, y = legend.top() + 16 + 21 * row;
            p.setPen(QPen(colours[curve], 2));
            if (!beside)
                p.drawLine(QPointF(x + 8, y), QPointF(x + 38, y));
            p.setPen(Qt::black);
            const bool isChanged = entry >= changed && entry < changed + instead.size();
            p.drawText(QPointF(x + 46, y + 5), isChanged ? instead[entry - changed] : entryText.arg(-2 * curve));
        }
    };
    return RuledChart({"0", "100", "200", "300", "400", "500"}, {"0", "5", "10", "15", "20"}, curves, margin, far, gap);
}

// Nine curves that end on the box's right edge one above another, 30 px apart, each labelled
// beside its end: a column of texts right of the box with no samples beside them.
QImage RightEndLabelsChart() {
    const auto curves = [](QPainter& p, const QRectF& box) {
        p.setFont(QFont("DejaVu Sans", 11));
        for (int curve = 0; curve < 9; ++curve) {
            const QPointF end(box.right(), box.top() + 120 + 30 * curve);
            QPainterPath path(box.bottomLeft() + QPointF(60 + 60 * curve, 0));
            path.quadTo(QPointF(box.right() - 200, box.bottom()), end);
            p.setPen(QPen(Qt::black, 2));
            p.drawPath(path);
            p.drawText(end + QPointF(8, 5), QString("%1 V").arg(-2 * curve));
        }
    };
    return RuledChart({"0", "100", "200", "300", "400", "500"}, {"0", "5", "10", "15", "20"}, curves);
}

} // namespace

class tst_ReadAxes final : public QObject {
    Q_OBJECT
    read::TextReader m_reader;

private slots:
    void readsTheFullScales_data() {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<double>("volts");
        QTest::addColumn<double>("amps");
        // The grid voltages (most positive, most negative, step) where the curve labels are
        // read: labels at the top edge and beyond the right one, one label's number lost where
        // a curve runs through it, the most positive curve's label lost on a speckled 1-bit
        // scan (its curve counted among those the digitizer found), labels turned along the
        // curves with the last curve's left out (counted too), labels in boxes on a heavy JPEG and
        // on a dashed grid with thick curves (two minus signs lost on grid lines), italic labels at the
        // curves' ends on a dotted grid (the more positive curves end higher and further right; the dots
        // join a label's characters).
        // "-": they must be left to the user; "~" before them: read or left, never read wrongly.
        QTest::addColumn<QString>("grids");
        const std::map<std::string, QString> kGridsRead{{"12AX7-like", "0 -4 0.5"},
                                                        {"6SN7-like", "0 -20 2"},
                                                        {"300B-like", "0 -100 10"},
                                                        {"6J5-like", "0 -18 2"},
                                                        {"6AV6-like", "0 -3 0.5"}};
        for (const corpus::CorpusChart& c : corpus::Corpus()) {
            const auto read = kGridsRead.find(c.name.substr(0, c.name.find(',')));
            QTest::addRow("%s", c.name.c_str())
                << c.picture << double(c.voltsFullscale) << double(c.ampsFullscale)
                << (read != kGridsRead.end()
                        ? read->second
                        : QString("~%1 %2 %3").arg(c.gridMostPos).arg(c.gridMostNeg).arg(c.gridStep));
        }
        // Scanned at about 300 dpi, its text read at an ordinary chart's size.
        const corpus::CorpusChart scanned = corpus::CorpusChartAt(0, 3000, 2100);
        QTest::addRow("12AX7-like at 3000 x 2100")
            << scanned.picture << double(scanned.voltsFullscale) << double(scanned.ampsFullscale) << "0 -4 0.5";
        // Drawn smaller: the boxed labels' neighbours are stretches of thick curve, the 1-bit scan's curves
        // broken at the grid lines and its labels' characters taken for stretches of curve (at 950 px, 9 px high,
        // their points and minus signs lost unless read as small print), italic labels 9 px high turned along
        // the curves' ends. Drawn larger, the dotted grid's dots run through the italic labels' characters, and
        // a stray dot turns a level label; a boxed label is read whole as printed and in part with the curves
        // taken out, and counted once; small labels turned along the curves keep their minus signs only when
        // turned at three times their size. The 6SN7-like chart at 950 px reads "Ec=O V", and "=-2V" with its
        // grid's name lost, and a load line crosses just before the last label's curve. The 6J5-like chart at 850 px
        // reads a dot of a grid line after a label's unit; at 1200 px two labels in a row are lost or misread, and
        // a stroke of curve reads "4". At 700 px the 6SN7-like chart's numbers stand 7 px high. The 45-like chart at
        // 850 px reads strokes of its thick curves as lone digits; at 1000 px its "-40", square, beside a curve
        // crossed by a grid line, reads "9" as its ink lies and "40" turned as its curve runs. At 1300 px a speck below
        // the 12AX7-like chart's
        // "-0.5" joins it. At 750 px the 2A3-like chart's ticks touch its 1-bit numbers.
        for (const auto& [index, width, grids] :
             {std::tuple(2, 850, "0 -100 10"), std::tuple(0, 800, "0 -4 0.5"), std::tuple(0, 950, "0 -4 0.5"),
              std::tuple(3, 700, "0 -18 2"), std::tuple(0, 1600, "0 -4 0.5"), std::tuple(3, 2000, "0 -18 2"),
              std::tuple(5, 1300, "0 -3 0.5"), std::tuple(1, 1300, "0 -20 2"), std::tuple(1, 950, "0 -20 2"),
              std::tuple(3, 850, "0 -18 2"), std::tuple(3, 1200, "0 -18 2"), std::tuple(1, 700, "~0 -20 2"),
              std::tuple(6, 850, "0 -70 10"), std::tuple(6, 1000, "0 -70 10"), std::tuple(0, 1300, "0 -4 0.5"),
              std::tuple(4, 750, "~0 -90 10")}) {
            const corpus::CorpusChart drawn = corpus::CorpusChartAt(std::size_t(index), width, width * 7 / 10);
            QTest::addRow("%s at %d", drawn.name.substr(0, drawn.name.find(',')).c_str(), width)
                << drawn.picture << double(drawn.voltsFullscale) << double(drawn.ampsFullscale) << grids;
        }
        // Soft scans: ticks joined to the numbers by the blur, and the box's edge blurred out into the
        // numbers' areas.
        for (const auto& [index, grids] : {std::tuple(2, "~0 -100 10"), std::tuple(3, "~0 -18 2")}) {
            const corpus::CorpusChart drawn = corpus::CorpusChartAt(std::size_t(index), 1200, 840);
            QTest::addRow("%s at 1200, soft", drawn.name.substr(0, drawn.name.find(',')).c_str())
                << Soft(drawn.picture, 1.2) << double(drawn.voltsFullscale) << double(drawn.ampsFullscale) << grids;
        }
        example::ChartSpec larger = example::Example12AX7();
        example::FitFrame(larger, 1000, 750);
        // Its last label crowded down across the box's bottom edge, read whole below it.
        QTest::addRow("12AX7 at 1000 x 750") << example::RenderChart(larger) << double(larger.voltsFullscale)
                                             << double(larger.ampsFullscale) << "0 -4 0.5";
        // ...and smudged there past reading, only its top above the box's bottom edge: the family's end is
        // left to the user ("-"), not taken from the label above it.
        QImage smudged = example::RenderChart(larger);
        QPainter smudge(&smudged);
        smudge.fillRect(QRectF(larger.axisRight + 6, larger.axisBottom - 14, 40, 22), Qt::white);
        smudge.setFont(QFont("DejaVu Sans", 14));
        smudge.drawText(QPointF(larger.axisRight + 14, larger.axisBottom + 10), "&");
        smudge.end();
        QTest::addRow("12AX7 at 1000 x 750, last label smudged")
            << smudged << double(larger.voltsFullscale) << double(larger.ampsFullscale) << "-";
        // Plotting programs' charts: the grid voltages listed in a legend, either way up; an entry smudged
        // between two read is mended by their step. The first or last entry smudged, two in a row, an entry
        // out of line or off the step, or a legend in two columns leaves them to the user.
        QTest::addRow("legend") << LegendChart(false) << 500.0 << 0.02 << "0 -16 2";
        QTest::addRow("legend from -16 V, as European sheets name the grid")
            << LegendChart(true, -1, {}, 9, "Ug1 = %1 V") << 500.0 << 0.02 << "0 -16 2";
        QTest::addRow("legend, its last entry smudged") << LegendChart(false, 8, {"&%?"}) << 500.0 << 0.02 << "-";
        QTest::addRow("legend, its first entry smudged") << LegendChart(false, 0, {"&%?"}) << 500.0 << 0.02 << "-";
        QTest::addRow("legend, two entries smudged") << LegendChart(false, 3, {"&%?", "&%?"}) << 500.0 << 0.02 << "-";
        QTest::addRow("legend, an entry smudged, mended")
            << LegendChart(false, 3, {"&%?"}) << 500.0 << 0.02 << "0 -16 2";
        QTest::addRow("legend, an entry smudged before a gap in the step")
            << LegendChart(false, 3, {"&%?", "Vg = -10 V", "Vg = -12 V", "Vg = -14 V", "Vg = -16 V", "Vg = -18 V"})
            << 500.0 << 0.02 << "-";
        QTest::addRow("legend, an entry off the step") << LegendChart(false, 4, {"Vg = -9 V"}) << 500.0 << 0.02 << "-";
        QTest::addRow("legend, its last entry out of line")
            << LegendChart(false, 8, {"      Vg = -16 V"}) << 500.0 << 0.02 << "-";
        // Texts one below another right of the box, with no samples of the curves' lines, are no legend but
        // the curves' end labels: read where the curves end, or not at all.
        QTest::addRow("a legend's column right of the box, without samples")
            << LegendChart(false, -1, {}, 9, "Vg = %1 V", 0, 0, 8, true) << 500.0 << 0.02 << "-";
        QTest::addRow("end labels right of the box, one below another")
            << RightEndLabelsChart() << 500.0 << 0.02 << "0 -16 2";
        QTest::addRow("legend in two columns") << LegendChart(false, -1, {}, 5) << 500.0 << 0.02 << "-";
        // Numbers printed against the box's edge: the 1 of 100 is no tick mark.
        QTest::addRow("numbers against the box")
            << LegendChart(false, -1, {}, 9, "Vg = %1 V", 0, 0, 0) << 500.0 << 0.02 << "0 -16 2";
        const example::ChartSpec sheets[] = {example::Example12AX7(), example::Example6SN7()};
        for (const auto& sheet : sheets)
            QTest::addRow("%s", qPrintable(sheet.title))
                << example::RenderChart(sheet) << double(sheet.voltsFullscale) << double(sheet.ampsFullscale)
                << (&sheet == &sheets[1] ? "0 -20 2" : "0 -4 0.5");
    }
    void readsTheFullScales() {
        QFETCH(QImage, picture);
        QFETCH(double, volts);
        QFETCH(double, amps);
        QFETCH(QString, grids);
        QVERIFY(m_reader.ready());
        const QtPicture chart(picture);
        const read::ChartReading reading = read::ReadChart(chart.grey(), m_reader);
        QVERIFY(reading.box);
        const read::PlotBox& box = *reading.box;
        const read::AxisNumbers& numbers = reading.numbers;
        QStringList below, left, labels;
        for (const auto& n : numbers.below)
            below << QString::fromStdString(n.text);
        for (const auto& n : numbers.left)
            left << QString::fromStdString(n.text);
        for (const auto& l : reading.curveLabels.labels)
            labels << QString::fromStdString(l.text);
        qInfo("below: %s; left: %s; labels: %s (%zu set aside); %s %s %s", qPrintable(below.join('|')),
              qPrintable(left.join('|')), qPrintable(labels.join('|')), reading.curveLabels.setAside,
              numbers.volts.problem.c_str(), numbers.amps.problem.c_str(), reading.curveLabels.grids.problem.c_str());
        const auto& read = reading.curveLabels.grids.grids;
        if (read)
            qInfo("GRIDS %g %g %g", read->mostPositive, read->mostNegative, read->step);
        const QString shown =
            read ? QString("%1 %2 %3").arg(read->mostPositive).arg(read->mostNegative).arg(read->step) : "-";
        if (grids.startsWith('~'))
            QVERIFY2(!read || shown == grids.mid(1), qPrintable(shown));
        else
            QCOMPARE(shown, grids);
        // What was read stands where it was printed, in the picture's own pixels.
        const double width = box.right - box.left;
        for (const auto& n : numbers.below)
            QVERIFY(n.at.y > box.bottom && n.at.x > box.left - 0.05 * width && n.at.br().x < box.right + 0.05 * width);
        for (const auto& n : numbers.left)
            QVERIFY(n.at.br().x < box.left && n.at.y > box.top - 0.05 * width &&
                    n.at.br().y < box.bottom + 0.05 * width);
        for (const auto& l : reading.curveLabels.labels)
            QVERIFY(l.at.center.x > box.left && l.at.center.x < box.right + 0.2 * width &&
                    l.at.center.y < box.bottom + 0.05 * width &&
                    std::min(l.at.size.width, l.at.size.height) < 0.1 * width);
        // Each number its axis's scale used lies on the scale where it stands.
        for (const auto& [side, axis, across] :
             {std::tuple(&numbers.below, &numbers.volts, true), std::tuple(&numbers.left, &numbers.amps, false)}) {
            if (!axis->scale)
                continue;
            std::size_t onScale = 0;
            for (const auto& n : *side) {
                const double at = across ? (n.at.x + n.at.br().x) / 2 : (n.at.y + n.at.br().y) / 2;
                const read::AxisScale& scale = *axis->scale; // a lambda may not capture a binding
                onScale += std::ranges::any_of(
                    n.values, [&](double v) { return std::abs(v - scale.valueAt(at)) < 0.1 * scale.step; });
            }
            QCOMPARE(onScale, axis->scale->used);
        }
        // Grid voltages left unread are said to be.
        QVERIFY(read || reading.missing.back().starts_with("The grid voltages could not be read"));
        QVERIFY(numbers.volts.scale);
        QCOMPARE(read::SnappedValue(*numbers.volts.scale, box.right), volts);
        QVERIFY(std::abs(numbers.volts.scale->valueAt(box.left)) < 0.01 * volts);
        // Small 1-bit digits are read too: every current axis is read, and right.
        QVERIFY2(numbers.amps.scale, numbers.amps.problem.c_str());
        const read::PlateCurrent full = read::PlateCurrentOf(read::SnappedValue(*numbers.amps.scale, box.top));
        QCOMPARE(float(full.amps), float(amps));
        QVERIFY(full.inMilliamps == (amps < 0.5));
    }
    // A plotting program's chart, its data a margin inside the box: the frame goes from the axes' 0
    // to their last numbers, within 0.5 % of the box's size, where the margin is a tenth of the box or
    // less; a wider one is no margin, and the full scales are left to the user.
    void framesThePlottingMargin_data() {
        QTest::addColumn<double>("margin");
        QTest::addColumn<double>("far");
        QTest::addColumn<bool>("framed");
        QTest::newRow("none") << 0.0 << 0.0 << true;
        QTest::newRow("5 %") << 0.05 << 0.05 << true;
        QTest::newRow("9 %") << 0.09 << 0.09 << true;
        QTest::newRow("12 %") << 0.12 << 0.12 << false;
        // The last numbers' ticks a pixel or two past the box's far edges: taken as on them.
        QTest::newRow("5 %, none far") << 0.05 << -0.002 << true;
    }
    void framesThePlottingMargin() {
        QFETCH(double, margin);
        QFETCH(double, far);
        QFETCH(bool, framed);
        const QtPicture chart(LegendChart(false, -1, {}, 9, "Vg = %1 V", margin, far));
        const read::ChartReading reading = read::ReadChart(chart.grey(), m_reader);
        QVERIFY(reading.box && reading.curveLabels.grids.grids);
        QCOMPARE(bool(reading.voltsFullscale), framed);
        QCOMPARE(bool(reading.ampsFullscale), framed);
        // The frame inside the box is said to be.
        QCOMPARE(reading.remarks.size(), std::size_t(framed && margin > 0 ? 1 : 0));
        if (!framed)
            return;
        QCOMPARE(*reading.voltsFullscale, 500.0);
        QCOMPARE(float(*reading.ampsFullscale), 0.02f);
        // The frame goes into the design there, in layout units.
        Design typed;
        read::ApplyReading(reading, chart.width(), chart.height(), typed);
        const QRectF data = DataIn(kRuledBox, margin, far);
        const auto layout = [&](double x, double y) {
            return FromPicturePixels({float(x), float(y)}, chart.width(), chart.height());
        };
        const PointF boxTopLeft = layout(kRuledBox.left(), kRuledBox.top());
        const PointF boxBottomRight = layout(kRuledBox.right(), kRuledBox.bottom());
        const PointF size{boxBottomRight.x - boxTopLeft.x, boxBottomRight.y - boxTopLeft.y};
        const PointF topLeft = layout(data.left(), data.top()), bottomRight = layout(data.right(), data.bottom());
        for (const auto& [read, drawn, across] :
             {std::tuple(typed.Xleft, topLeft.x, size.x), std::tuple(typed.Xright, bottomRight.x, size.x),
              std::tuple(typed.Ytop, topLeft.y, size.y), std::tuple(typed.Ybottom, bottomRight.y, size.y)})
            QVERIFY2(std::abs(read - drawn) < 0.005 * across, qPrintable(QString("%1 %2").arg(read).arg(drawn)));
    }

    // A scan three times the size reads the same texts, each where it was printed and as large: its
    // text is read shrunk, and set back in the scan's pixels. (A label may group a little
    // differently, with a stroke more or less.)
    void readsABigScanWhereItWasPrinted() {
        const QtPicture small(corpus::CorpusChartAt(0, 1000, 700).picture);
        const QtPicture big(corpus::CorpusChartAt(0, 3000, 2100).picture);
        const read::ChartReading once = read::ReadChart(small.grey(), m_reader);
        const read::ChartReading thrice = read::ReadChart(big.grey(), m_reader);
        QVERIFY(once.box && thrice.box);
        const double near = 0.01 * (thrice.box->right - thrice.box->left);
        const auto sameTexts = [&](const auto& smaller, const auto& bigger, const auto& bounds) {
            QVERIFY(bigger.size() >= 3);
            for (const auto& text : bigger) {
                QVERIFY(std::ranges::any_of(smaller, [&](const auto& other) {
                    const cv::Rect2d a = bounds(text), b = bounds(other);
                    const double wider = a.width / (3 * b.width), taller = a.height / (3 * b.height);
                    return cv::norm((a.tl() + a.br()) - 3 * (b.tl() + b.br())) < 2 * near && wider > 0.5 && wider < 4 &&
                           taller > 0.5 && taller < 4;
                }));
            }
        };
        const auto numberBounds = [](const read::ReadNumber& n) { return n.at; };
        const auto labelBounds = [](const read::FoundCurveLabel& l) { return cv::Rect2d(l.at.boundingRect2f()); };
        sameTexts(once.numbers.below, thrice.numbers.below, numberBounds);
        sameTexts(once.numbers.left, thrice.numbers.left, numberBounds);
        sameTexts(once.curveLabels.labels, thrice.curveLabels.labels, labelBounds);
    }

    // What is no chart of plate curves, or cannot be read as one, says so, with nothing set
    // that was not read: a photo, a chart without numbers, numbers that do not step evenly, a log
    // current axis, and curves of plate current against grid voltage ("Vp" the read axes' values).
    void refusesWhatIsNotReadable_data() {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<QString>("read");
        QImage photo(1000, 700, QImage::Format_RGB32);
        QPainter shot(&photo);
        QLinearGradient sky(0, 0, 0, 0);
        sky.setColorAt(0, QColor(90, 140, 210));
        sky.setColorAt(1, QColor(230, 200, 150));
        shot.fillRect(photo.rect(), sky);
        std::mt19937 seed(7);
        for (int i = 0; i < 120; ++i) {
            shot.setBrush(QColor::fromHsv(int(seed() % 360), 120, int(seed() % 200) + 40));
            shot.drawEllipse(QPointF(seed() % 1000, seed() % 700), 10 + seed() % 90, 10 + seed() % 60);
        }
        shot.end();
        QTest::addRow("photo") << photo << "";
        const auto plateCurves = [](QPainter& p, const QRectF& box) {
            for (int curve = 0; curve < 5; ++curve) {
                QPainterPath path(box.bottomLeft() + QPointF(90 * curve, 0));
                path.quadTo(box.bottomLeft() + QPointF(90 * curve + 300, -40),
                            box.topLeft() + QPointF(380 + 90 * curve, 0));
                p.drawPath(path);
            }
        };
        const QStringList volts{"0", "100", "200", "300", "400", "500"}, amps{"0", "5", "10", "15", "20"};
        QTest::addRow("no numbers") << RuledChart({}, {}, plateCurves) << "";
        QTest::addRow("uneven numbers") << RuledChart({"0", "50", "100", "200", "400", "800"}, amps, plateCurves)
                                        << "A";
        QTest::addRow("log current axis") << RuledChart(volts, {"0.1", "1", "10", "100"}, plateCurves) << "V";
        const auto transferCurves = [](QPainter& p, const QRectF& box) {
            for (int curve = 0; curve < 4; ++curve) {
                QPainterPath path(box.bottomLeft() + QPointF(120 + 120 * curve, 0));
                path.quadTo(box.bottomRight() + QPointF(-120, 0), box.topRight() - QPointF(240 - 60 * curve, 0));
                p.drawPath(path);
                p.drawText(box.topRight() - QPointF(280 - 60 * curve, -20 - 40 * curve),
                           QString("%1V").arg(250 - 50 * curve));
            }
        };
        QTest::addRow("transfer curves") << RuledChart({"-10", "-8", "-6", "-4", "-2", "0"}, amps, transferCurves)
                                         << "A";
    }
    void refusesWhatIsNotReadable() {
        QFETCH(QImage, picture);
        QFETCH(QString, read);
        const QtPicture chart(picture);
        const read::ChartReading reading = read::ReadChart(chart.grey(), m_reader);
        for (const auto& line : reading.missing)
            qInfo("%s", line.c_str());
        QCOMPARE(bool(reading.voltsFullscale), read.contains('V'));
        QCOMPARE(bool(reading.ampsFullscale), read.contains('A'));
        QVERIFY(!reading.curveLabels.grids.grids && !reading.missing.empty());
    }
};

QTEST_MAIN(tst_ReadAxes)
#include "tst_ReadAxes.moc"
