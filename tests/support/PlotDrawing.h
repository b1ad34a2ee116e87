#pragma once

// What the plot tests share: numbers as one text, and the sample design drawn by the
// overlay, as the Examine chart or as the printed page, with settings changed.

#include "plot/ExamineChart.h"
#include "plot/OverlayPlot.h"
#include "support/RecordingSurface.h"
#include "support/SampleDesign.h"

#include <QStringList>

#include <algorithm>

namespace valvix::test {

using Kind = RecordingSurface::Kind;
using Item = RecordingSurface::Item;

template <class... T> inline QString Numbers(T... values) {
    return QStringList{QString::number(double(values))...}.join(' ');
}

// The sample drawn by the overlay, or as the Examine chart (page: printed) with 0.5 W
// and the given settings changed.
inline RecordingSurface Draw(std::initializer_list<std::pair<float ExaminedDesign::*, float>> changes, int how = 1) {
    ExaminedDesign d = how ? ExaminedSample() : ExaminedDesign{SampleDesign(), {}};
    d.Dissipation = 0.5f;
    for (const auto& [field, value] : changes)
        d.*field = value;
    RecordingSurface s;
    if (how == 0)
        OverlayPlot().draw(s, d);
    else if (how == 1)
        DrawExamineChart(s, {d, d});
    else if (!DrawPrintedPage(s, {d, d}, "Triode 6J5", "footer"))
        s.items.push_back({Kind::Text, {}, {}, {}, 0, "not printed", {}});
    return s;
}

} // namespace valvix::test
