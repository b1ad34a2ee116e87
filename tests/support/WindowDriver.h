#pragma once

#include "platform/ChartGraphic.h"
#include "support/RecordingSurface.h"
#include "support/SampleDesign.h"
#include "support/ScriptedServices.h"

#include <type_traits>

namespace valvix::test {

// Drives one window as a user would: clicks at the pixels of its controls, typed keys,
// with what it draws recorded. Each window's test program derives from it.
class WindowDriver {
protected:
    Design design;
    ChartGraphic graphic;
    ExamineSettings examine;
    SubcircuitNames subcircuitNames;
    std::unique_ptr<ScriptedServices> services;
    std::unique_ptr<QWidget> window;
    CanvasView* view = nullptr;
    RecordingSurface drawn;

    // A fresh design with a chart picture, and fresh services.
    void reset() {
        window.reset();
        services = std::make_unique<ScriptedServices>();
        design = SampleDesign();
        graphic = {};
        examine = {};
        subcircuitNames = {};
        design.GraphicFileName = services->writePicture();
    }
    // Opens a window of the kind on the design, shown at 800 x 600, what it draws recorded.
    template <class Window, class... Extra> void open(Extra... extra) {
        if constexpr (std::is_constructible_v<Window, Design&, ChartGraphic&, ScriptedServices&, Extra...>)
            window = std::make_unique<Window>(design, graphic, *services, extra...);
        else if constexpr (std::is_constructible_v<Window, Design&, ExamineSettings&, ScriptedServices&, Extra...>)
            window = std::make_unique<Window>(design, examine, *services, extra...);
        else
            window = std::make_unique<Window>(design, examine, subcircuitNames, *services, extra...);
        view = window->findChild<CanvasView*>();
        if (view != nullptr)
            view->canvas().setTap(&(drawn = {}));
        Show(*window);
        drawn.items.clear();
    }
    void press(const char* name, Qt::MouseButton button = Qt::LeftButton) {
        if (view != nullptr)
            Press(*view, name, button);
        else
            QTest::mouseClick(window->findChild<QPushButton*>(name), button);
    }
    void type(const char* name, const QString& text) { Type(*window, name, text); }
    QLineEdit* box(const QString& name) { return window->findChild<QLineEdit*>(name); }
    // Each named control's text, or for a button 1 enabled, 0 disabled, h hidden; by "|".
    QString shown(std::initializer_list<const char*> names) {
        QStringList texts;
        for (const char* name : names) {
            const auto* c = window->findChild<QWidget*>(name);
            const QString state = c->isHidden() ? "h" : QString::number(c->isEnabled());
            texts << (c->inherits("QPushButton") ? state : c->property("text").toString());
        }
        return texts.join('|');
    }
};

} // namespace valvix::test
