#include "export/Subcircuit.h"

#include "state/NumberText.h"
#include "state/SafeFile.h"

namespace valvix {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Lines 3 to 6, before the common tail. The runs of blanks are part of the format.
constexpr std::array<std::string_view, 4> kSourceLines{
    "E1   7   0   Value=",
    "+{V(1,3)/Kp*Log(1+Exp(Kp*(1/Mu+V(2,3)/Sqrt(Kvb+V(1,3)*V(1,3)))))}",
    "Re1   7   0   1G",
    "G1   1   3   Value={(Pwr(V(7),Ex)+Pwrs(V(7),Ex))/Kg1}",
};
static_assert(2 + kSourceLines.size() + kSubcircuitTailLines.size() == kSubcircuitLineCount);

} // namespace

SubcircuitParameterTexts MakeSubcircuitParameterTexts(const Design& design) {
    return {FormatSingleGeneral(design.Mu), FormatSingleGeneral(design.Ex),
            FormatSingleGeneral(design.Kg1), FormatSingleGeneral(design.Kp),
            FormatSingleGeneral(design.Kvb)};
}

std::string OneLineName(std::string_view tubeName) {
    std::string name;
    for (const char c : tubeName) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            name += c;
        }
    }
    return name;
}

std::array<std::string, kSubcircuitLineCount> SubcircuitLines(const Design& design,
                                                              std::string_view tubeName) {
    const SubcircuitParameterTexts texts = MakeSubcircuitParameterTexts(design);
    std::array<std::string, kSubcircuitLineCount> lines;
    lines[0] = ".SUBCKT  " + OneLineName(tubeName) + "  1 2 3    ;P G K ";
    lines[1] = "+ PARAMS:  Mu=" + texts.Mu + "  Ex=" + texts.Ex + "  Kg1=" + texts.Kg1 +
               "  Kp=" + texts.Kp + "  Kvb=" + texts.Kvb;
    std::size_t next = 2;
    for (const std::string_view line : kSourceLines) {
        lines[next++] = line;
    }
    for (const std::string_view line : kSubcircuitTailLines) {
        lines[next++] = line;
    }
    return lines;
}

std::string SubcircuitText(const Design& design, std::string_view tubeName) {
    return JoinFileLines(SubcircuitLines(design, tubeName));
}

std::string JoinFileLines(std::span<const std::string> lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += kLineEnd;
    }
    return text;
}

FileResult WriteExportedFile(const std::string& path, const std::string& text,
                             std::string_view failure) {
    if (path.empty()) {
        return {};
    }
    if (!WriteFileReplacing(path, text)) {
        return {false, std::string(failure)};
    }
    return {};
}

FileResult WriteCircuitFile(const std::string& path, const Design& design,
                            std::string_view tubeName) {
    return WriteExportedFile(path, SubcircuitText(design, tubeName), kCircuitWriteFailure);
}

} // namespace valvix
