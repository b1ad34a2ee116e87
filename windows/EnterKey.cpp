#include "windows/EnterKey.h"

#include <QKeyEvent>
#include <QPushButton>

namespace valvix {

namespace {

class EnterPressesButton final : public QObject {
public:
    using QObject::QObject;

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
    auto* filter = new EnterPressesButton(&window);
    for (QPushButton* button : window.findChildren<QPushButton*>()) {
        button->installEventFilter(filter);
    }
}

} // namespace valvix
