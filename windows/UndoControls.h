#pragma once

#include <QRectF>
#include <QString>

class QUndoStack;
class QWidget;

namespace valvix {

class CanvasView;

// "Undo" and "Redo" buttons (cmdUndo, cmdRedo) placed in layout units, and Ctrl+Z /
// Ctrl+Shift+Z (or Ctrl+Y) anywhere in the window; all follow the history.
void AddUndoControls(QWidget& window, CanvasView& view, QUndoStack& history, QRectF undoAt,
                     QRectF redoAt, double points, bool bold = false, const QString& family = {});

} // namespace valvix
