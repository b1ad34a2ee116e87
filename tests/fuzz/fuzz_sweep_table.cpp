// ReadSweepTable takes any bytes: either it reads finite points and no error, or it
// gives a short error and no points; appending a blank line changes nothing.

#include "FuzzTargets.h"

#include "export/SweepTable.h"

#include <cmath>

namespace valvix::fuzz {

int SweepTable(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const valvix::SweepTable table = ReadSweepTable(text);
    const std::string input = " reading " + Printable(data, size);
    VALVIX_FUZZ_CHECK(table.error.empty() != table.points.empty(), "points and error" + input);
    VALVIX_FUZZ_CHECK(table.error.size() < 80, "long error " + table.error + input);
    for (const SweepPoint& p : table.points) {
        VALVIX_FUZZ_CHECK(std::isfinite(p.plateVoltage + p.gridVoltage + p.plateCurrent),
                          "a point is not finite" + input);
    }
    VALVIX_FUZZ_CHECK(ReadSweepTable(text + "\n \n").points.size() == table.points.size(),
                      "a blank line changed the table" + input);
    return 0;
}

VALVIX_FUZZ_ENTRY(SweepTable)

} // namespace valvix::fuzz
