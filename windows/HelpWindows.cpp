#include "windows/HelpWindows.h"

#include <QLabel>
#include <QPushButton>

#include <array>

namespace valvix {

namespace {

// What a help window shows. Sizes are pixels; the object names of the windows' "Exit"
// buttons differ as they always have.
struct HelpContent {
    const char* caption;
    QSize clientSize;
    const char* text;
    QRect textRect;
    const char* exitName;
    QRect exitRect;
};

struct HelpPage {
    HelpTopic topic;
    const char* windowName;
    HelpContent content;
};

const std::array<HelpPage, 6> kHelpPages{{
    {HelpTopic::Kvb,
     "frmHelpKvb",
     {"Valvix - Help: Kvb",
      {505, 279},
      "Entering (into the textbox) or adjusting (using the Down or Up buttons) the "
      "value for \"Kvb\" allows changing that parameter.  This affects the shape of "
      "the family of curves in the low plate voltage region.",
      {32, 32, 441, 177},
      "cmdExit",
      {392, 224, 81, 25}}},
    {HelpTopic::Exponent,
     "frmHelpExponent",
     {"Valvix - Help: Exponent",
      {505, 277},
      "Exponent sets the \"curvature\" of each of the grid-voltage plots, as might "
      "be surmized. A greater value will result in a more sharply  increased value "
      "of plate current as the grid voltage increases. In most textbooks this value "
      "is assumed to be about 1.5 (3/2, hence \"three-halves power\").  ",
      {32, 40, 441, 153},
      "Command1",
      {392, 224, 81, 25}}},
    {HelpTopic::Mu,
     "frmHelpMu",
     {"Form1",
      {505, 279},
      "Entering into the textbox a value for Mu (or adjusting it by using the "
      "up/down buttons) will reset that value.  It shows up on the plot as an x-axis "
      "separation between the individual grid-voltage plots.  Note that the various "
      "adjustments are quite interactive.",
      {40, 32, 433, 177},
      "Command1",
      {392, 224, 81, 25}}},
    {HelpTopic::Kg1,
     "frmHelpKg1",
     {"Form1",
      {497, 279},
      "Entering into the textbox or adjusting that value using the Up or Down "
      "buttons adjusts the \"vertical gain\" of the plot. Think of this as adjusting "
      "the vertical gain or sensitivity of an oscilloscope.",
      {40, 32, 425, 177},
      "Command1",
      {384, 224, 81, 25}}},
    {HelpTopic::Kp,
     "frmHelpKp",
     {"Form1",
      {513, 245},
      "Entering into the textbox or then adjusting the value for \"Kp\" will adjust "
      "the shape of the family of curves at high plate voltages and low plate "
      "current. ",
      {32, 24, 433, 153},
      "Command1",
      {384, 192, 81, 25}}},
    {HelpTopic::Graphic,
     "frmHelpGraphic",
     {"Valvix - Help: Graphic",
      {505, 279},
      "This button is used to check that the computer-generated plot matches the size of "
      "the imported graphic. To get such a graphic click on the \"Get old graphic\" button. "
      "The size of that graphic should be about 400 pixels wide by about 300 pixels tall. "
      "The program does not resize that graphic.  Acceptable formats are .JPG,  .GIF  and  "
      ".BMP.  To make the computer-generated plot agree with the imported graphic, use the "
      "X and Y buttons.  Each button press changes the affililated line by one pixel.  When "
      "a design is saved, this process will not have to be repeated.",
      {32, 32, 441, 177},
      "cmdExit",
      {392, 224, 81, 25}}},
}};

const HelpPage& PageOf(HelpTopic topic) {
    for (const HelpPage& page : kHelpPages) {
        if (page.topic == topic) {
            return page;
        }
    }
    return kHelpPages.back();
}

} // namespace

HelpWindow::HelpWindow(HelpTopic topic, QWidget* parent) : QDialog(parent) {
    const HelpContent& content = PageOf(topic).content;
    setObjectName(PageOf(topic).windowName);
    setWindowTitle(content.caption);
    setFixedSize(content.clientSize);
    setStyleSheet("background-color: #E0E0E0;");
    QFont font("MS Sans Serif");
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(9.75);
    font.setBold(true);
    setFont(font);

    auto* label = new QLabel(QString::fromUtf8(content.text), this);
    label->setObjectName("Label1");
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(content.textRect);
    label->setFont(font); // the style sheet would otherwise give it the plain default font

    auto* exit = new QPushButton("Exit", this);
    exit->setObjectName(content.exitName);
    exit->setGeometry(content.exitRect);
    exit->setFont(font);
    connect(exit, &QPushButton::clicked, this, &QDialog::close);
}
} // namespace valvix
