#pragma once

#include "state/ValueRules.h"

#include <QDialog>

namespace valvix {

// A fixed help window: a word-wrapped text and an "Exit" button that closes and
// discards the window, with the caption, sizes and text of its topic.
class HelpWindow final : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(HelpTopic topic, QWidget* parent = nullptr);
};

} // namespace valvix
