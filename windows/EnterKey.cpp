#include "windows/EnterKey.h"

#include <QKeyEvent>
#include <QPushButton>

namespace valvix {

namespace {

// Owned by the window; watches every push button the window holds when it is made.
class EnterPressesButton final : public QObject {
public:
    explicit EnterPressesButton(QWidget& window) : QObject(&window) {
        for (QPushButton* button : window.findChildren<QPushButton*>()) {
            button->installEventFilter(this);
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* button = qobject_cast<QPushButton*>(watched);
        if (button != nullptr && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                button->click();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void PressButtonsOnEnter(QWidget& window) {
    new EnterPressesButton(window); // the window deletes it
}

} // namespace valvix
