#include "windows/HelpWindows.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace valvix;

namespace {

struct Help {
    std::function<std::unique_ptr<QDialog>()> make;
    const char* caption;
    QSize size;
    QRect text;
    const char* exit;
    QRect exitAt;
    const char* words;
};
template <class Window> std::unique_ptr<QDialog> Make() {
    return std::make_unique<Window>();
}
// clang-format off
const Help kHelps[] = {
    {Make<frmHelpKvb>, "Valvix - Help: Kvb", {505, 279}, {32, 32, 441, 177}, "cmdExit", {392, 224, 81, 25},
     "Entering (into the textbox) or adjusting (using the Down or Up buttons) the value for \"Kvb\" allows changing that "
     "parameter.  This affects the shape of the family of curves in the low plate voltage region."},
    {Make<frmHelpExponent>, "Valvix - Help: Exponent", {505, 277}, {32, 40, 441, 153}, "Command1", {392, 224, 81, 25},
     "Exponent sets the \"curvature\" of each of the grid-voltage plots, as might be surmized. A greater value will result "
     "in a more sharply  increased value of plate current as the grid voltage increases. In most textbooks this value is "
     "assumed to be about 1.5 (3/2, hence \"three-halves power\").  "},
    {Make<frmHelpMu>, "Form1", {505, 279}, {40, 32, 433, 177}, "Command1", {392, 224, 81, 25},
     "Entering into the textbox a value for Mu (or adjusting it by using the up/down buttons) will reset that value.  It "
     "shows up on the plot as an x-axis separation between the individual grid-voltage plots.  Note that the various "
     "adjustments are quite interactive."},
    {Make<frmHelpKg1>, "Form1", {497, 279}, {40, 32, 425, 177}, "Command1", {384, 224, 81, 25},
     "Entering into the textbox or adjusting that value using the Up or Down buttons adjusts the \"vertical gain\" of the "
     "plot. Think of this as adjusting the vertical gain or sensitivity of an oscilloscope."},
    {Make<frmHelpKp>, "Form1", {513, 245}, {32, 24, 433, 153}, "Command1", {384, 192, 81, 25},
     "Entering into the textbox or then adjusting the value for \"Kp\" will adjust the shape of the family of curves at "
     "high plate voltages and low plate current. "},
    {Make<frmHelpGraphic>, "Valvix - Help: Graphic", {505, 279}, {32, 32, 441, 177}, "cmdExit", {392, 224, 81, 25},
     "This button is used to check that the computer-generated plot matches the size of the imported graphic. To get such "
     "a graphic click on the \"Get old graphic\" button. The size of that graphic should be about 400 pixels wide by about "
     "300 pixels tall. The program does not resize that graphic.  Acceptable formats are .JPG,  .GIF  and  .BMP.  To make "
     "the computer-generated plot agree with the imported graphic, use the X and Y buttons.  Each button press changes the "
     "affililated line by one pixel.  When a design is saved, this process will not have to be repeated."}};
// clang-format on

} // namespace

class tst_HelpWindows final : public QObject {
    Q_OBJECT
private slots:
    // Each window twice (nothing carries over): caption, size, the bold text in its place,
    // and "Exit" closing it.
    void helpWindows() {
        for (const Help& help : kHelps) {
            for (int opening = 0; opening < 2; ++opening) {
                const std::unique_ptr<QDialog> window = help.make();
                window->show();
                QVERIFY(QTest::qWaitForWindowExposed(window.get()));
                const auto* text = window->findChild<QLabel*>("Label1");
                QVERIFY(window->windowTitle() == help.caption && window->size() == help.size);
                QVERIFY(text->text() == help.words && text->geometry() == help.text &&
                        text->wordWrap());
                QVERIFY(QFontInfo(text->font()).bold() &&
                        QFontInfo(text->font()).pointSizeF() == 9.75);
                auto* exit = window->findChild<QPushButton*>(help.exit);
                QVERIFY(exit->text() == "Exit" && exit->geometry() == help.exitAt &&
                        QFontInfo(exit->font()).bold());
                QTest::mouseClick(exit, Qt::LeftButton);
                QVERIFY(!window->isVisible());
            }
        }
    }
};

QTEST_MAIN(tst_HelpWindows)
#include "tst_HelpWindows.moc"
