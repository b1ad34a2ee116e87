#include "platform/CanvasView.h"
#include "platform/DesktopServices.h"
#include "platform/PageSurface.h"
#include "platform/QtPicture.h"

#include <QFileDialog>
#include <QtTest>

using namespace valvix;

namespace {

// The smallest rectangle holding the blue, red, black and green pixels of an image's rows
// from `top` on, as "x,y wxh" each.
QString Ink(const QImage& image, int top = 0) {
    QRect inked[4];
    const QRgb colours[] = {0xff0000ff, 0xffff0000, 0xff000000, 0xff00ff00};
    for (int y = top; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            for (int c = 0; c < 4; ++c)
                inked[c] |= image.pixel(x, y) == colours[c] ? QRect(x, y, 1, 1) : QRect();
    QStringList rects;
    for (const QRect& r : inked)
        rects << QString("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    return rects.join('|');
}
// Draws the same things on a surface: dots (blue pen 3, red pen 2, some off the image),
// black lines and a green box.
void Draw(DrawingSurface& s) {
    const PointF dots[] = {{1500, 1500}, {-100, 50}, {1e30f, 50}, {50, NAN}};
    s.setPenWidth(3);
    s.dot({6000, 4500}, kBlue);
    s.setPenWidth(2);
    s.dots(dots, 4, kRed);
    s.setPenWidth(1);
    s.line({1500, 3000}, {4500, 3000}, kBlack);
    s.rectangle({6000, 6000}, {7500, 7500}, kBlack);
    s.filledRectangle({7500, 1500}, {9000, 3000}, {0, 255, 0});
    s.setFont({"Arial", 8, true});
    s.text({1500, 7500}, "W", kBlue);
}
} // namespace

class tst_Platform final : public QObject {
    Q_OBJECT
    QTimer answerer;
    QString proposed, choice;
    // Answers the next file dialog: notes the folder it opens in and the name it proposes,
    // then chooses a file (or cancels when none is given).
    void answer(const QString& choose = {}) {
        choice = choose;
        answerer.start(0);
    }

private slots:
    void initTestCase() {
        answerer.setSingleShot(true);
        connect(&answerer, &QTimer::timeout, this, [this] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            proposed =
                dialog->directory().absolutePath() + " " + QFileInfo(dialog->selectedFiles().value(0)).fileName();
            dialog->selectFile(choice);
            QMetaObject::invokeMethod(dialog, choice.isEmpty() ? "reject" : "accept");
        });
    }
    // On 800 x 600 pixels a pixel is 15 layout units, wider images keep the proportions;
    // the text's top left corner is at its position. Pictures are stretched.
    void canvasDrawsWhereTheLayoutSays() {
        Canvas canvas(QSize(800, 600), Qt::white);
        QVERIFY(Canvas(QSize(1600, 600), Qt::white).scale() == 600 / 9000.0 && canvas.fontPixels(9) == 12);
        Draw(canvas);
        QCOMPARE(Ink(canvas.image()), "101,299 301x211|99,99 2x2|100,200 401x301|500,100 100x100");
        QVERIFY(Ink(canvas.image(), 400).startsWith("101,502 ")); // the text, its top left corner at (100, 500)
        canvas.clear();
        QImage small(4, 3, QImage::Format_RGB32);
        small.fill(Qt::black);
        const QtPicture picture(small), none{QImage()};
        QVERIFY(!canvas.picture(nullptr, {0, 0}, 10, 10) && !canvas.picture(&none, {0, 0}, 10, 10));
        QVERIFY(canvas.picture(&picture, {360, 30}, 5700, 3800) &&
                Ink(canvas.image()).section('|', 2, 2) == "24,2 380x253");
        canvas.resize(QSize(400, 300));
        QCOMPARE(Ink(canvas.image()).section('|', 2, 2), "12,1 190x126");
    }

    // Page points are twips from an origin 2500 right of and 2000 below the printable
    // area's corner: at 150 dots per inch (6000, 4500) lands on pixel (885, 677).
    // Grey levels by Qt's luma; ink levels the darkest channel where the lightest is 64 above it,
    // else the luma (neutral greys, paper yellowed with age).
    void picturesGiveGreyAndInkLevels() {
        const QRgb pixels[] = {qRgb(255, 255, 0),   qRgb(86, 180, 233),  qRgb(230, 159, 0),  qRgb(128, 128, 128),
                               qRgb(238, 226, 190), qRgb(200, 200, 136), qRgb(200, 200, 137)};
        QImage colours(7, 1, QImage::Format_RGB32);
        for (int x = 0; x < 7; ++x)
            colours.setPixel(x, 0, pixels[x]);
        const QtPicture picture(colours);
        QCOMPARE(picture.grey().levels, std::vector<std::uint8_t>({215, 155, 158, 128, 224, 190, 190}));
        QCOMPARE(picture.ink().levels, std::vector<std::uint8_t>({0, 86, 0, 128, 224, 136, 190}));
        QCOMPARE(picture.ink().width, 7);
        const QtPicture grey(colours.convertToFormat(QImage::Format_Grayscale8));
        QCOMPARE(grey.ink().levels, grey.grey().levels);
    }
    void pageIsMeasuredInTwips() {
        QImage printed;
        ImageJob job([&](const QImage& page) { printed = page; });
        PageSurface page(job, {2500, 2000});
        QVERIFY(!page.finish());
        Draw(page);
        QVERIFY(page.finish() && printed.size() == QSize(1275, 1650));
        QCOMPARE(Ink(printed), "418,676 469x329|249,213 169x153|416,520 626x470|1042,365 156x156");
        QVERIFY(Ink(printed, 900).startsWith("418,992 ")); // the text, at (417, 990)
    }

    // A dialog opens where a file of its kind was last chosen, in this run or an earlier.
    void dialogsOpenWhereTheLastFileOfTheirKindWasChosen() {
        QCOMPARE(QtNameFilter("Valvix files (*.VXF)|*.VXF"), "Valvix files (*.VXF *.vxf)");
        QCOMPARE(QtNameFilter("Tube curve graphic (*.JPG,*.GIF,*.BMP) | *.JPG;*.GIF;*.BMP"),
                 "Tube curve graphic (*.JPG *.GIF *.BMP *.jpg *.gif *.bmp)");
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("designs") && QDir(dir.path()).mkpath("models"));
        const QString design = dir.filePath("designs/a.VXF"), settings = dir.filePath("settings.ini");
        QFile(design).open(QIODevice::WriteOnly);
        const FileDialogRequest kDesign{"Get Valvix file", "Valvix files (*.VXF)|*.VXF", ""};
        const FileDialogRequest kCircuit{"Write CKT file", "CKT files (*.CKT)|*.CKT", "Default.CKT"};
        {
            DesktopServices services(std::make_unique<QSettings>(settings, QSettings::IniFormat));
            answer(design);
            QCOMPARE(services.openFileDialog(kDesign), std::optional(design.toStdString()));
            answer(dir.filePath("models/b.CKT"));
            QVERIFY(services.saveFileDialog(kCircuit) && proposed == QDir::currentPath() + " Default.CKT");
        }
        DesktopServices later(std::make_unique<QSettings>(settings, QSettings::IniFormat));
        answer();
        QVERIFY(!later.openFileDialog(kDesign) && proposed == dir.filePath("designs") + " ");
        answer();
        QVERIFY(!later.saveFileDialog(kCircuit) && proposed == dir.filePath("models") + " Default.CKT");
        answer();
        later.saveFileDialog({"Write .ASC file", "ASC files (*.ASC)|*.ASC", dir.filePath("T.ASC").toStdString()});
        QCOMPARE(proposed, dir.path() + " T.ASC");
    }
};

QTEST_MAIN(tst_Platform)
#include "tst_Platform.moc"
