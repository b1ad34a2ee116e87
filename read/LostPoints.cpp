#include "read/LostPoints.h"

#include "read/LabelText.h"

#include <string>

namespace valvix::read {

PrintedPoints PointsOf(const std::vector<FoundCurveLabel>& labels) {
    PrintedPoints points;
    for (const FoundCurveLabel& label : labels) {
        const std::optional<int> shown = DecimalsShown(label.text);
        points.allShown = points.allShown && shown.has_value();
        if (!shown || *shown == 0) {
            continue; // "-80." lost the digits after its point, not its value
        }
        if (points.showing > 0 && *shown != points.decimals) {
            return {}; // they disagree: no one format
        }
        points.decimals = *shown;
        ++points.showing;
        points.fixed = points.fixed || label.label.volts == 0;
    }
    return points;
}

std::vector<FoundCurveLabel> PointsPutBack(std::vector<FoundCurveLabel> labels, int decimals) {
    for (FoundCurveLabel& label : labels) {
        if (DecimalsShown(label.text)) {
            continue;
        }
        const std::optional<std::string> text = WithPointPutBack(label.text, decimals);
        const std::optional<CurveLabel> value = text ? CurveLabelValue(*text) : std::nullopt;
        if (!value) {
            continue;
        }
        label.text = *text;
        label.label = *value;
    }
    return labels;
}

} // namespace valvix::read
