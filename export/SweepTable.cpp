#include "export/SweepTable.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <optional>

namespace valvix {

namespace {

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t start = line.find_first_not_of(" \t\r", at);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t end = std::min(line.find_first_of(" \t\r", start), line.size());
        fields.push_back(line.substr(start, end - start));
        at = end;
    }
    return fields;
}

bool SameName(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

std::optional<double> Number(std::string_view field) {
    if (!field.empty() && field.front() == '+') {
        field.remove_prefix(1);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (error != std::errc() || end != field.data() + field.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

} // namespace

SweepTable ReadSweepTable(std::string_view text) {
    SweepTable table;
    const std::size_t headerEnd = std::min(text.find('\n'), text.size());
    const std::vector<std::string_view> names = Fields(text.substr(0, headerEnd));
    constexpr std::array wanted{kPlateVoltageColumn, kGridVoltageColumn, kPlateCurrentColumn};
    std::array<std::size_t, 3> column{};
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        const auto found =
            std::ranges::find_if(names, [&](std::string_view n) { return SameName(n, wanted[i]); });
        if (found == names.end()) {
            table.error = "the results have no column " + std::string(wanted[i]);
            return table;
        }
        column[i] = static_cast<std::size_t>(found - names.begin());
    }
    const std::size_t needed = *std::ranges::max_element(column) + 1;
    std::size_t at = headerEnd;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find('\n', at + 1), text.size());
        const std::vector<std::string_view> fields = Fields(text.substr(at + 1, end - at - 1));
        at = end;
        if (fields.empty()) {
            continue;
        }
        std::array<std::optional<double>, 3> values;
        for (std::size_t i = 0; i < values.size() && fields.size() >= needed; ++i) {
            values[i] = Number(fields[column[i]]);
        }
        if (!values[0] || !values[1] || !values[2]) {
            table.error = "unreadable result row: " + std::string(fields.front().substr(0, 40));
            table.points.clear();
            return table;
        }
        table.points.push_back({*values[0], *values[1], *values[2]});
    }
    if (table.points.empty()) {
        table.error = "the results hold no points";
    }
    return table;
}

} // namespace valvix
