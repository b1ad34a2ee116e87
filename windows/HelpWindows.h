#pragma once

#include <QDialog>
#include <QRect>

namespace valvix {

// A fixed help window: a word-wrapped text and an "Exit" button that closes and
// discards the window. Sizes are pixels.
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    struct Content {
        const char* caption;
        QSize clientSize;
        const char* text;
        QRect textRect;
        const char* exitName;
        QRect exitRect;
    };

protected:
    HelpWindow(const Content& content, QWidget* parent);
};

class frmHelpKvb final : public HelpWindow {
    Q_OBJECT
public:
    explicit frmHelpKvb(QWidget* parent = nullptr);
};

class frmHelpExponent final : public HelpWindow {
    Q_OBJECT
public:
    explicit frmHelpExponent(QWidget* parent = nullptr);
};

class frmHelpMu final : public HelpWindow {
    Q_OBJECT
public:
    explicit frmHelpMu(QWidget* parent = nullptr);
};

class frmHelpKg1 final : public HelpWindow {
    Q_OBJECT
public:
    explicit frmHelpKg1(QWidget* parent = nullptr);
};

class frmHelpKp final : public HelpWindow {
    Q_OBJECT
public:
    explicit frmHelpKp(QWidget* parent = nullptr);
};

class frmHelpGraphic final : public HelpWindow {
    Q_OBJECT
public:
    explicit frmHelpGraphic(QWidget* parent = nullptr);
};

} // namespace valvix
