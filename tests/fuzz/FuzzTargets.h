#pragma once

// Fuzz targets of the core readers and writers: each takes any bytes and checks
// properties that must hold for every input. libFuzzer builds one program per target
// (VALVIX_FUZZ_TARGET names it); tst_FuzzCorpora replays the kept inputs of all.

#include <cstddef>
#include <cstdint>
#include <stdexcept>

namespace valvix::fuzz {

int NumberText(const std::uint8_t* data, std::size_t size);
int NumberFormat(const std::uint8_t* data, std::size_t size);
int DesignFile(const std::uint8_t* data, std::size_t size);
int PointsFile(const std::uint8_t* data, std::size_t size);
int SweepTable(const std::uint8_t* data, std::size_t size);
int Digitizer(const std::uint8_t* data, std::size_t size);
int LabelText(const std::uint8_t* data, std::size_t size);
int PlotBox(const std::uint8_t* data, std::size_t size);
int ChartReading(const std::uint8_t* data, std::size_t size);

// A broken property.
struct PropertyBroken : std::runtime_error {
    using std::runtime_error::runtime_error;
};

} // namespace valvix::fuzz
