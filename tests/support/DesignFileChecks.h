#pragma once

// Checks shared by the design-file tests and fuzz targets: a design whose every field
// holds a value of its own, and reports of what a read changed.

#include "state/DesignState.h"
#include "state/Picture.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <memory>
#include <string>

namespace valvix::checks {

using D = DesignState;

// The fields a design file brings back, in file order.
using Values = std::array<float, 14>;
inline constexpr std::array<float D::*, 14> kReadFields{
    {&D::Xleft, &D::Xright, &D::Ytop, &D::Ybottom, &D::PlateVoltageFullscale,
     &D::PlateCurrentFullscale, &D::GridVoltageMostPos, &D::GridVoltageMostNeg, &D::GridVoltageStep,
     &D::Mu, &D::Ex, &D::Kg1, &D::Kp, &D::Kvb}};

// The fields no read may change, apart from the Examine counts and the picture.
inline constexpr std::array<float D::*, 11> kOtherFloats{
    {&D::Dissipation, &D::PlotWidth, &D::PlotHeight, &D::LastPlateCurrent,
     &D::ExamineVoltsFullscale, &D::ExamineVoltsStep, &D::ExamineAmpsFullscale, &D::ExamineAmpsStep,
     &D::ExamineGridMostPos, &D::ExamineGridMostNeg, &D::ExamineGridStep}};
inline constexpr std::array<std::string D::*, 11> kTexts{
    {&D::DesignFileName, &D::SaveFileName, &D::GraphicFileName, &D::TubeName, &D::CircuitFileName,
     &D::SchematicFileName, &D::MuText, &D::ExText, &D::Kg1Text, &D::KpText, &D::KvbText}};

inline constexpr float kOld = -7; // a read field's value before a read

class MarkerPicture final : public Picture {
public:
    int width() const override { return 17; }
    int height() const override { return 23; }
};
inline const std::shared_ptr<const Picture> kMarkerPicture = std::make_shared<MarkerPicture>();

// A design whose read fields hold readValue and whose other fields hold markers.
inline DesignState Sentinel(float readValue = kOld) {
    DesignState design;
    for (const auto field : kReadFields) {
        design.*field = readValue;
    }
    for (std::size_t i = 0; i < kOtherFloats.size(); ++i) {
        design.*kOtherFloats[i] = -1234.5f - 1.25f * float(i);
    }
    for (std::size_t i = 0; i < kTexts.size(); ++i) {
        design.*kTexts[i] = "kept text " + std::to_string(i);
    }
    design.ExamineSettingsKept = 31;
    design.LabelGridVoltages = -5;
    design.CurveGraphic = kMarkerPicture;
    return design;
}

// Names every field outside the read ones that no longer holds its marker.
inline std::string OthersChanged(const DesignState& design) {
    const DesignState kept = Sentinel();
    std::string report;
    for (std::size_t i = 0; i < kOtherFloats.size(); ++i) {
        if (std::bit_cast<std::uint32_t>(design.*kOtherFloats[i]) !=
            std::bit_cast<std::uint32_t>(kept.*kOtherFloats[i])) {
            report += "float field " + std::to_string(i) + " changed; ";
        }
    }
    for (std::size_t i = 0; i < kTexts.size(); ++i) {
        if (design.*kTexts[i] != kept.*kTexts[i]) {
            report += "text field " + std::to_string(i) + " is \"" + design.*kTexts[i] + "\"; ";
        }
    }
    if (design.ExamineSettingsKept != kept.ExamineSettingsKept ||
        design.LabelGridVoltages != kept.LabelGridVoltages ||
        design.CurveGraphic != kept.CurveGraphic) {
        report += "Examine settings, labels or picture changed; ";
    }
    return report;
}

// A sentinel design with the read fields set to values.
inline DesignState With(const Values& values, float dissipation) {
    DesignState design = Sentinel();
    for (std::size_t i = 0; i < kReadFields.size(); ++i) {
        design.*kReadFields[i] = values[i];
    }
    design.Dissipation = dissipation;
    return design;
}

// The first values in order; the rest keep their old value.
inline Values Expect(std::initializer_list<float> first) {
    Values values;
    values.fill(kOld);
    std::copy(first.begin(), first.end(), values.begin());
    return values;
}

// Names every read field that differs from expected beyond the relative tolerance,
// and every other field that changed; empty when all match.
inline std::string Mismatches(const DesignState& design, const Values& expected,
                              float tolerance = 0) {
    std::string report;
    for (std::size_t i = 0; i < kReadFields.size(); ++i) {
        const float got = design.*kReadFields[i];
        if (!(std::fabs(got - expected[i]) <= tolerance * std::fabs(expected[i]))) {
            char line[96];
            std::snprintf(line, sizeof line, "line %zu: %.9g not %.9g; ", i + 3, double(got),
                          double(expected[i]));
            report += line;
        }
    }
    return report + OthersChanged(design);
}

} // namespace valvix::checks

#if defined(QT_TESTLIB_LIB)
#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

namespace valvix::checks {

// Lines 1 to 17 of a file whose values are 1 to 15.
inline QList<QByteArray> NumberedLines() {
    QList<QByteArray> lines{"Filename: C:\\T\\A.VXF", "1/2/2024 3:04:05 PM"};
    for (const char* label :
         {"Xleft", "Xright", "Ytop", "Ybottom", "Plot volts fullscale", "Plot amps fullscale",
          "Grid voltage most positive", "Grid voltage most negative", "Grid voltage step", "Mu",
          "Ex", "Kg1", "Kp", "Kvb", "Plate dissipation"}) {
        lines << label + QByteArray(": ") + QByteArray::number(lines.size() - 1);
    }
    return lines;
}
inline const Values kNumbered = Expect({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14});

// kNumbered with the value at index set.
inline Values NumberedWith(std::size_t index, float value) {
    Values values = kNumbered;
    values[index] = value;
    return values;
}

inline QByteArray Join(const QList<QByteArray>& lines, const QByteArray& end = "\r\n") {
    return lines.join(end) + end;
}
// The numbered lines, with line index replaced, joined by CR LF.
inline QByteArray NumberedText(qsizetype index = -1, const QByteArray& line = {}) {
    QList<QByteArray> lines = NumberedLines();
    if (index >= 0) {
        lines[index] = line;
    }
    return Join(lines);
}

inline QString QMismatches(const DesignState& design, const Values& expected, float tolerance = 0) {
    return QString::fromStdString(Mismatches(design, expected, tolerance));
}

inline QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}
inline bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace valvix::checks
#endif
