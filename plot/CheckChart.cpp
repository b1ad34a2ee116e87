#include "plot/CheckChart.h"

#include "plot/ExamineChart.h"
#include "state/EngineeringText.h"
#include "state/NumberText.h"

#include <optional>

namespace valvix {

namespace {

constexpr float kWidth = kCheckChartRight - kCheckChartLeft;
constexpr float kHeight = kCheckChartBottom - kCheckChartTop;

// Where a plate voltage and current land, or nothing outside the full scales.
std::optional<PointF> Place(double vp, double ip, const CheckScales& scales) {
    if (!(vp >= 0 && vp <= scales.voltsFullscale && ip >= 0 && ip <= scales.ampsFullscale)) {
        return std::nullopt;
    }
    return PointF{kCheckChartLeft + static_cast<float>(vp / scales.voltsFullscale) * kWidth,
                  kCheckChartBottom - static_cast<float>(ip / scales.ampsFullscale) * kHeight};
}

void DrawAxes(DrawingSurface& surface, const CheckChart& chart) {
    surface.setPenWidth(1);
    surface.rectangle({kCheckChartLeft, kCheckChartTop}, {kCheckChartRight, kCheckChartBottom},
                      kBlack);
    surface.setFont(kExamineChartFont);
    const float below = kCheckChartBottom + 80;
    surface.text({kCheckChartLeft - 60, below}, "0", kBlack);
    surface.text({kCheckChartRight - 900, below},
                 FormatSingleGeneral(chart.scales.voltsFullscale) + " V", kBlack);
    surface.text({150, kCheckChartTop}, FormatEngineering(chart.scales.ampsFullscale) + "A",
                 kBlack);
    surface.text({150, kCheckChartBottom - 250}, "0", kBlack);
    surface.text({kCheckChartLeft, 200}, "computed", kBlue);
    float x = kCheckChartLeft + 2000;
    for (const CheckChartCurves& curves : chart.simulated) {
        surface.text({x, 200}, curves.caption, curves.colour);
        x += 3500;
    }
}

void DrawComputed(DrawingSurface& surface, const CheckChart& chart) {
    const CheckScales& s = chart.scales;
    std::vector<PointF> dots;
    float lastGood = 0;
    CurveFamilyWalk(CurveFamily{s.voltsFullscale, s.gridMostPos, s.gridMostNeg, s.gridStep},
                    chart.parameters, lastGood, [&](const FamilySample& sample) {
                        if (const auto at = Place(sample.Vp, sample.Ip, s)) {
                            dots.push_back(*at);
                        }
                    });
    surface.setPenWidth(2);
    surface.dots(dots.data(), dots.size(), kBlue);
}

void DrawSimulated(DrawingSurface& surface, const CheckChart& chart) {
    surface.setPenWidth(1);
    for (const CheckChartCurves& curves : chart.simulated) {
        const SweepPoint* previous = nullptr;
        for (const SweepPoint& point : *curves.points) {
            if (previous != nullptr && previous->gridVoltage == point.gridVoltage) {
                const auto from =
                    Place(previous->plateVoltage, previous->plateCurrent, chart.scales);
                const auto to = Place(point.plateVoltage, point.plateCurrent, chart.scales);
                if (from && to) {
                    surface.line(*from, *to, curves.colour);
                }
            }
            previous = &point;
        }
    }
}

} // namespace

void DrawCheckChart(DrawingSurface& surface, const CheckChart& chart) {
    DrawAxes(surface, chart);
    DrawComputed(surface, chart);
    DrawSimulated(surface, chart);
}

} // namespace valvix
