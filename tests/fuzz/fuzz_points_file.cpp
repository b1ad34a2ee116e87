// ReadPointsText takes any bytes. Read points are finite and within their columns'
// ranges, between 5 and 20000 of them; a refusal says why. Written back out with every digit and CR
// LF line ends, the points read back the same.

#include "FuzzTargets.h"

#include "fit/PointsFile.h"

#include <cmath>
#include <cstdio>

namespace valvix::fuzz {

int PointsFile(const std::uint8_t* data, std::size_t size) {
    const auto input = [&] { return " reading " + Printable(data, size); };
    const fit::PointsFile file = fit::ReadPointsText({reinterpret_cast<const char*>(data), size});
    VALVIX_FUZZ_CHECK(file.ok == file.message.empty(), "message " + file.message + input());
    const std::size_t n = file.points.size();
    VALVIX_FUZZ_CHECK(!file.ok || (n >= 5 && n <= 20000), std::to_string(n) + " points" + input());
    std::string again = "Vp,Vg,Ip (A)\n";
    for (const fit::ChartPoint& p : file.ok ? file.points : std::vector<fit::ChartPoint>{}) {
        VALVIX_FUZZ_CHECK(
            p.vp >= 0 && p.vp <= 1e6 && std::abs(p.vg) <= 1000 && p.ip >= 0 && p.ip <= 1e4,
            "read " + Exact(p.vp) + ", " + Exact(p.vg) + ", " + Exact(p.ip) + input());
        char row[100];
        std::snprintf(row, sizeof row, "%.17g,%.17g,%.17g\r\n", p.vp, p.vg, p.ip);
        again += row;
    }
    const fit::PointsFile read = fit::ReadPointsText(again);
    VALVIX_FUZZ_CHECK(!file.ok || read.points.size() == n,
                      "written back: " + read.message + input());
    for (std::size_t i = 0; file.ok && i < n; ++i) {
        const fit::ChartPoint& a = file.points[i];
        const fit::ChartPoint& b = read.points[i];
        VALVIX_FUZZ_CHECK(SameBits(a.vp, b.vp) && SameBits(a.vg, b.vg) && SameBits(a.ip, b.ip),
                          "point " + std::to_string(i) + " reads back differently" + input());
    }
    return 0;
}

} // namespace valvix::fuzz

VALVIX_FUZZ_ENTRY(valvix::fuzz::PointsFile)
