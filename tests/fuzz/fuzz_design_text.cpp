// ReadDesignText takes any bytes. It only ever assigns the 14 values it reads by
// position, in file order, and each one it assigns fits a Single; every other field of
// the design, Dissipation and the file names included, stays exactly as it was. The
// kind of line ends does not matter, since blank lines are skipped.

#include "FuzzTargets.h"

#include "state/DesignFile.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

namespace valvix::fuzz {

namespace {

constexpr std::array<float DesignState::*, 14> kReadFields{&DesignState::Xleft,
                                                           &DesignState::Xright,
                                                           &DesignState::Ytop,
                                                           &DesignState::Ybottom,
                                                           &DesignState::PlateVoltageFullscale,
                                                           &DesignState::PlateCurrentFullscale,
                                                           &DesignState::GridVoltageMostPos,
                                                           &DesignState::GridVoltageMostNeg,
                                                           &DesignState::GridVoltageStep,
                                                           &DesignState::Mu,
                                                           &DesignState::Ex,
                                                           &DesignState::Kg1,
                                                           &DesignState::Kp,
                                                           &DesignState::Kvb};

struct FloatField {
    const char* name;
    float DesignState::*field;
};
constexpr std::array<FloatField, 11> kOtherFloats{{
    {"Dissipation", &DesignState::Dissipation},
    {"PlotWidth", &DesignState::PlotWidth},
    {"PlotHeight", &DesignState::PlotHeight},
    {"LastPlateCurrent", &DesignState::LastPlateCurrent},
    {"ExamineVoltsFullscale", &DesignState::ExamineVoltsFullscale},
    {"ExamineVoltsStep", &DesignState::ExamineVoltsStep},
    {"ExamineAmpsFullscale", &DesignState::ExamineAmpsFullscale},
    {"ExamineAmpsStep", &DesignState::ExamineAmpsStep},
    {"ExamineGridMostPos", &DesignState::ExamineGridMostPos},
    {"ExamineGridMostNeg", &DesignState::ExamineGridMostNeg},
    {"ExamineGridStep", &DesignState::ExamineGridStep},
}};

struct TextField {
    const char* name;
    std::string DesignState::*field;
};
constexpr std::array<TextField, 11> kTexts{{
    {"DesignFileName", &DesignState::DesignFileName},
    {"SaveFileName", &DesignState::SaveFileName},
    {"GraphicFileName", &DesignState::GraphicFileName},
    {"TubeName", &DesignState::TubeName},
    {"CircuitFileName", &DesignState::CircuitFileName},
    {"SchematicFileName", &DesignState::SchematicFileName},
    {"MuText", &DesignState::MuText},
    {"ExText", &DesignState::ExText},
    {"Kg1Text", &DesignState::Kg1Text},
    {"KpText", &DesignState::KpText},
    {"KvbText", &DesignState::KvbText},
}};

using Describe = std::function<std::string()>;

class SentinelPicture final : public Picture {
public:
    int width() const override { return 17; }
    int height() const override { return 23; }
};

std::uint32_t Bits(float value) {
    return std::bit_cast<std::uint32_t>(value);
}

// A design whose 14 read fields are NaN, which no read can produce, and whose other
// fields all hold values of their own.
DesignState Sentinels(const std::shared_ptr<const Picture>& picture) {
    DesignState design;
    for (const auto field : kReadFields) {
        design.*field = std::numeric_limits<float>::quiet_NaN();
    }
    float marker = -1234.5f;
    for (const FloatField& entry : kOtherFloats) {
        design.*entry.field = marker;
        marker -= 1.25f;
    }
    for (const TextField& entry : kTexts) {
        design.*entry.field = std::string("kept ") + entry.name;
    }
    design.ExamineSettingsKept = 31;
    design.LabelGridVoltages = -5;
    design.CurveGraphic = picture;
    return design;
}

void CheckOthersKept(const DesignState& before, const DesignState& after, const Describe& input) {
    for (const FloatField& entry : kOtherFloats) {
        VALVIX_FUZZ_CHECK(Bits(before.*entry.field) == Bits(after.*entry.field),
                          std::string(entry.name) + " changed to " + Exact(after.*entry.field) +
                              " reading " + input());
    }
    for (const TextField& entry : kTexts) {
        VALVIX_FUZZ_CHECK(before.*entry.field == after.*entry.field,
                          std::string(entry.name) + " changed reading " + input());
    }
    VALVIX_FUZZ_CHECK(after.ExamineSettingsKept == before.ExamineSettingsKept,
                      "ExamineSettingsKept changed reading " + input());
    VALVIX_FUZZ_CHECK(after.LabelGridVoltages == before.LabelGridVoltages,
                      "LabelGridVoltages changed reading " + input());
    VALVIX_FUZZ_CHECK(after.CurveGraphic == before.CurveGraphic,
                      "CurveGraphic changed reading " + input());
}

// Number of read fields assigned; they must be the first ones in file order, each a
// finite Single.
std::size_t AssignedPrefix(const DesignState& design, const Describe& input) {
    std::size_t assigned = 0;
    while (assigned < kReadFields.size() && !std::isnan(design.*kReadFields[assigned])) {
        ++assigned;
    }
    for (std::size_t i = 0; i < kReadFields.size(); ++i) {
        const float value = design.*kReadFields[i];
        if (i < assigned) {
            VALVIX_FUZZ_CHECK(std::isfinite(value), "field " + std::to_string(i) + " became " +
                                                        Exact(value) + " reading " + input());
        } else {
            VALVIX_FUZZ_CHECK(std::isnan(value), "field " + std::to_string(i) +
                                                     " assigned out of order reading " + input());
        }
    }
    return assigned;
}

} // namespace

int DesignText(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto input = [&] { return Printable(data, size); };
    const auto picture = std::make_shared<const SentinelPicture>();

    const DesignState before = Sentinels(picture);
    DesignState after = before;
    const bool ok = ReadDesignText(text, after);
    CheckOthersKept(before, after, input);
    const std::size_t assigned = AssignedPrefix(after, input);
    VALVIX_FUZZ_CHECK(ok || assigned < kReadFields.size(),
                      "a failed read assigned all 14 fields reading " + input());

    // Every CR turned into LF: the same non-empty lines, some more blank ones.
    std::string unixText(text);
    std::replace(unixText.begin(), unixText.end(), '\r', '\n');
    DesignState unixDesign = before;
    const bool unixOk = ReadDesignText(unixText, unixDesign);
    VALVIX_FUZZ_CHECK(unixOk == ok, "the result depends on the line ends reading " + input());
    for (std::size_t i = 0; i < kReadFields.size(); ++i) {
        const float a = after.*kReadFields[i];
        const float b = unixDesign.*kReadFields[i];
        VALVIX_FUZZ_CHECK(Bits(a) == Bits(b), "field " + std::to_string(i) + " is " + Exact(a) +
                                                  " but " + Exact(b) +
                                                  " with LF line ends reading " + input());
    }
    return 0;
}

} // namespace valvix::fuzz

VALVIX_FUZZ_ENTRY(valvix::fuzz::DesignText)
