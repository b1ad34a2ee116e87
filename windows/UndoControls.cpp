#include "windows/UndoControls.h"

#include "platform/CanvasView.h"

#include <QAction>
#include <QPushButton>
#include <QUndoStack>

namespace valvix {

void AddUndoControls(QWidget& window, CanvasView& view, QUndoStack& history, QRectF undoAt,
                     QRectF redoAt, double points, bool bold, const QString& family) {
    auto* undo = view.place(new QPushButton("Undo"), undoAt, points, bold, family);
    auto* redo = view.place(new QPushButton("Redo"), redoAt, points, bold, family);
    undo->setObjectName("cmdUndo");
    redo->setObjectName("cmdRedo");
    undo->setEnabled(history.canUndo());
    redo->setEnabled(history.canRedo());
    QObject::connect(&history, &QUndoStack::canUndoChanged, undo, &QPushButton::setEnabled);
    QObject::connect(&history, &QUndoStack::canRedoChanged, redo, &QPushButton::setEnabled);
    QObject::connect(undo, &QPushButton::clicked, &history, &QUndoStack::undo);
    QObject::connect(redo, &QPushButton::clicked, &history, &QUndoStack::redo);

    QAction* undoKeys = history.createUndoAction(&window);
    undoKeys->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z)});
    QAction* redoKeys = history.createRedoAction(&window);
    redoKeys->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    for (QAction* action : {undoKeys, redoKeys}) {
        action->setShortcutContext(Qt::WindowShortcut);
        window.addAction(action);
    }
}

} // namespace valvix
