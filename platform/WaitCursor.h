#pragma once

#include <QGuiApplication>

namespace valvix {

// Shows the wait cursor over the whole program while it lives: for work done on the
// interface thread that takes a second or so (reading a chart, fitting it).
class WaitCursor final {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace valvix
