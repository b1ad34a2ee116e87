#include "export/NgspiceModel.h"

#include "export/Subcircuit.h"

namespace valvix {

namespace {

// The model's exponent a = Kp * (1/Mu + Vg / sqrt(Kvb + Vp^2)) with Vp = V(1,3) and
// Vg = V(2,3).
constexpr std::string_view kExponent = "Kp*(1/Mu+V(2,3)/sqrt(Kvb+V(1,3)*V(1,3)))";

std::string Intermediate() {
    const std::string a(kExponent);
    return "BE1   7   0   V={V(1,3)/Kp*(uramp(" + a + ")+ln(1+exp(-abs(" + a + "))))}";
}

} // namespace

std::string NgspiceModelName(std::string_view tubeName) {
    std::string name = OneLineName(tubeName);
    for (char& c : name) {
        if (c == ' ' || c == ';' || c == '$') {
            c = '_';
        }
    }
    return name.empty() ? "TUBE" : name;
}

std::vector<std::string> NgspiceModelLines(const Design& design, std::string_view tubeName) {
    const SubcircuitParameterTexts texts = MakeSubcircuitParameterTexts(design);
    std::vector<std::string> lines{
        "* Triode model for ngspice, written by Valvix; no compatibility setting needed",
        ".SUBCKT  " + NgspiceModelName(tubeName) + "  1 2 3    ;P G K ",
        "+ PARAMS:  Mu=" + texts.Mu + "  Ex=" + texts.Ex + "  Kg1=" + texts.Kg1 +
            "  Kp=" + texts.Kp + "  Kvb=" + texts.Kvb,
        "* E1 = Vp/Kp * ln(1 + e^a), with ln(1 + e^a) = uramp(a) + ln(1 + e^-|a|)",
        Intermediate(),
        "Re1   7   0   1G",
        "BG1   1   3   I={2*pwr(uramp(V(7)),Ex)/Kg1}",
    };
    lines.insert(lines.end(), kSubcircuitTailLines.begin(), kSubcircuitTailLines.end());
    return lines;
}

std::string NgspiceModelText(const Design& design, std::string_view tubeName) {
    return JoinFileLines(NgspiceModelLines(design, tubeName));
}

FileResult WriteNgspiceModelFile(const std::string& path, const Design& design,
                                 std::string_view tubeName) {
    return WriteExportedFile(path, NgspiceModelText(design, tubeName), kNgspiceModelWriteFailure);
}

} // namespace valvix
