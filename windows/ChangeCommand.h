#pragma once

#include "model/Triode.h"
#include "plot/AlignmentGeometry.h"

#include <QUndoCommand>

#include <functional>
#include <utility>

namespace valvix {

// One step of a window's undo history: a value (the plot frame, the picture's tilt, the
// five model parameters) before and after. Undo applies the value before, redo the
// value after; applying also shows it (writes fields, redraws).
template <class Value> class ChangeCommand final : public QUndoCommand {
public:
    using Apply = std::function<void(const Value&)>;

    // alreadyShown: the window shows `after` already, so pushing the step applies nothing.
    // kind tells steps of one history apart (a fit from a typed change, say); -1 for none.
    ChangeCommand(Value before, Value after, Apply apply, const QString& text,
                  bool alreadyShown = false, int kind = -1)
        : QUndoCommand(text), m_before(std::move(before)), m_after(std::move(after)),
          m_apply(std::move(apply)), m_skipRedo(alreadyShown), m_kind(kind) {}

    // Steps are never merged: Qt merges only steps whose own mergeWith says so.
    int id() const override { return m_kind; }
    void undo() override { m_apply(m_before); }
    void redo() override {
        if (m_skipRedo) {
            m_skipRedo = false;
            return;
        }
        m_apply(m_after);
    }

private:
    Value m_before;
    Value m_after;
    Apply m_apply;
    bool m_skipRedo;
    int m_kind;
};

using FrameCommand = ChangeCommand<FrameEdges>;
// The tilt of a chart picture: its file name and degrees.
using TiltCommand = ChangeCommand<std::pair<std::string, float>>;
// Sets the five model parameters of the Adjust window: Up, Down, typed values and fits.
using ModelParametersCommand = ChangeCommand<TriodeParameters>;
// The kind of the step a fit makes, which "Undo fit" takes back.
inline constexpr int kFitStep = 1;

} // namespace valvix
