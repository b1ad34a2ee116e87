#include "fit/PointsFile.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <optional>

namespace valvix::fit {

namespace {

enum Column { PlateVoltageColumn, GridVoltageColumn, PlateCurrentColumn };

struct ColumnRule {
    std::array<std::string_view, 6> names;
    std::string_view what; // in messages
    double largest;        // magnitude accepted, volts or amperes
    bool negativeAllowed;
};

const std::array<ColumnRule, 3> kRules{{
    {{"vp", "va", "ea", "eb", "plate voltage", "anode voltage"}, "plate voltage", 1e6, false},
    {{"vg", "vg1", "eg", "ec", "grid voltage", ""}, "grid voltage", 1000, true},
    {{"ip", "ia", "ib", "plate current", "anode current", ""}, "plate current", 1e4, false},
}};

std::string Line(std::size_t number) {
    return "Line " + std::to_string(number) + " of the points file: ";
}

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '"' || c == '\r'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::vector<std::string_view> Split(std::string_view line, char separator) {
    std::vector<std::string_view> fields;
    for (std::size_t from = 0;;) {
        const std::size_t end = line.find(separator, from);
        fields.push_back(Trim(line.substr(from, end - from)));
        if (end == std::string_view::npos) {
            return fields;
        }
        from = end + 1;
    }
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// Where each of the three columns stands and what the current's unit multiplies by.
struct Header {
    std::array<std::optional<std::size_t>, 3> at;
    double ampsPerUnit = 1;
    char separator = ',';
};

// Reads one header field into the header; a message when it is refused.
std::string ReadHeaderField(std::string_view field, std::size_t index, Header& header) {
    std::string_view unit;
    const std::size_t open = field.find_first_of("([");
    if (open != std::string_view::npos && (field.back() == ')' || field.back() == ']')) {
        unit = Trim(field.substr(open + 1, field.size() - open - 2));
        field = Trim(field.substr(0, open));
    }
    const std::string name = Lower(field);
    for (std::size_t c = 0; c < kRules.size(); ++c) {
        const ColumnRule& rule = kRules[c];
        if (name.empty() ||
            std::find(rule.names.begin(), rule.names.end(), name) == rule.names.end()) {
            continue;
        }
        if (header.at[c]) {
            return "it names the " + std::string(rule.what) + " twice.";
        }
        header.at[c] = index;
        if (c == PlateCurrentColumn) {
            if (unit != "A" && unit != "mA") {
                return "the plate current's unit must be A or mA, as in Ip (mA).";
            }
            header.ampsPerUnit = unit == "mA" ? 0.001 : 1.0;
        } else if (!unit.empty() && unit != "V") {
            return "the " + std::string(rule.what) + " must be in volts (V).";
        }
    }
    return {};
}

std::string ReadHeader(std::string_view line, Header& header) {
    const std::size_t first = line.find_first_of(",;\t");
    if (first == std::string_view::npos) {
        return "the header must name the plate voltage, grid voltage and plate current "
               "columns, separated by commas.";
    }
    header.separator = line[first];
    const std::vector<std::string_view> fields = Split(line, header.separator);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (std::string problem = ReadHeaderField(fields[i], i, header); !problem.empty()) {
            return problem;
        }
    }
    for (std::size_t c = 0; c < kRules.size(); ++c) {
        if (!header.at[c]) {
            return "the header names no " + std::string(kRules[c].what) +
                   " column (for example Vp, Vg, Ip (mA)).";
        }
    }
    return {};
}

// One field as a number in its column's range; a message when it is not.
std::string ReadValue(std::string_view field, const ColumnRule& rule, double factor,
                      double& value) {
    const char* end = field.data() + field.size();
    const auto [stop, error] = std::from_chars(field.data(), end, value);
    std::string quoted(1, '"');
    quoted.append(field.substr(0, 20)).push_back('"');
    if (field.empty() || error != std::errc() || stop != end || !std::isfinite(value)) {
        return "the " + std::string(rule.what) + " " + quoted + " is not a number.";
    }
    value *= factor;
    if (std::abs(value) > rule.largest || (!rule.negativeAllowed && value < 0)) {
        return "the " + std::string(rule.what) + " " + quoted + " is out of range.";
    }
    return {};
}

std::string ReadRow(std::string_view line, const Header& header, ChartPoint& point) {
    const std::vector<std::string_view> fields = Split(line, header.separator);
    std::array<double, 3> values{};
    for (std::size_t c = 0; c < kRules.size(); ++c) {
        const std::size_t at = *header.at[c];
        if (at >= fields.size()) {
            return "it has no " + std::string(kRules[c].what) + ".";
        }
        const double factor = c == PlateCurrentColumn ? header.ampsPerUnit : 1.0;
        if (std::string problem = ReadValue(fields[at], kRules[c], factor, values[c]);
            !problem.empty()) {
            return problem;
        }
    }
    point = {values[PlateVoltageColumn], values[GridVoltageColumn], values[PlateCurrentColumn]};
    return {};
}

PointsFile Refused(std::string message) {
    PointsFile file;
    file.message = std::move(message);
    return file;
}

} // namespace

PointsFile ReadPointsText(std::string_view text) {
    PointsFile file;
    std::optional<Header> header;
    std::size_t number = 0;
    for (std::size_t from = 0; from <= text.size();) {
        const std::size_t end = std::min(text.find('\n', from), text.size());
        const std::string_view line = Trim(text.substr(from, end - from));
        from = end + 1;
        ++number;
        if (line.empty() || line.front() == '#') {
            continue;
        }
        std::string problem;
        if (!header) {
            header.emplace();
            problem = ReadHeader(line, *header);
        } else if (file.points.size() >= kMostPoints) {
            return Refused("The points file holds more than " + std::to_string(kMostPoints) +
                           " points.");
        } else {
            problem = ReadRow(line, *header, file.points.emplace_back());
        }
        if (!problem.empty()) {
            return Refused(Line(number) + problem);
        }
    }
    if (!header) {
        return Refused("The points file is empty.");
    }
    if (file.points.size() < kLeastPoints) {
        return Refused("The points file holds " + std::to_string(file.points.size()) +
                       " points; at least 5 are needed.");
    }
    file.ok = true;
    return file;
}

std::string PointsText(const std::vector<ChartPoint>& points) {
    std::string text = "Vp,Vg,Ip (mA)\n";
    char line[96];
    for (const ChartPoint& point : points) {
        std::snprintf(line, sizeof line, "%.6g,%.6g,%.6g\n", point.vp, point.vg, 1000 * point.ip);
        text += line;
    }
    return text;
}

PointsFile ReadPointsFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return Refused("The points file (" + path + ") could not be opened.");
    }
    std::string text(kMostPointsFileBytes + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (text.size() > kMostPointsFileBytes) {
        return Refused("The points file is larger than 4 MB.");
    }
    return ReadPointsText(text);
}

} // namespace valvix::fit
