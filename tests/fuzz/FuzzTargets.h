#pragma once

// The fuzz targets of the core readers and writers. Each takes arbitrary bytes and
// checks a property that must hold for every input. The same functions serve libFuzzer
// (one program per target, see VALVIX_FUZZ_ENTRY) and the corpus replay test.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>

namespace valvix::fuzz {

int EngineeringParse(const std::uint8_t* data, std::size_t size);
int PlainNumber(const std::uint8_t* data, std::size_t size);
int DesignText(const std::uint8_t* data, std::size_t size);
int DesignRoundTrip(const std::uint8_t* data, std::size_t size);
int NumberFormat(const std::uint8_t* data, std::size_t size);
int EngineeringFormat(const std::uint8_t* data, std::size_t size);
int SweepTable(const std::uint8_t* data, std::size_t size);

// Thrown for a broken property outside libFuzzer, so that the replay test can name
// the input and carry on.
struct PropertyBroken : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Reports a broken property; under libFuzzer it aborts, which keeps the input.
[[noreturn]] void FuzzFailure(const std::string& message);

// Exact text of a number (17 digits and the hexadecimal form).
std::string Exact(double value);

// The input bytes as printable text.
std::string Printable(const std::uint8_t* data, std::size_t size);

inline bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

template <typename T> bool SameBits(T a, T b) {
    using Bits = std::conditional_t<sizeof(T) == 8, std::uint64_t, std::uint32_t>;
    return std::bit_cast<Bits>(a) == std::bit_cast<Bits>(b);
}

// Takes the next T from the input, zero-filled once the input is used up.
template <typename T> T Take(std::string_view& input) {
    unsigned char bytes[sizeof(T)] = {};
    const std::size_t taken = std::min(input.size(), sizeof(T));
    std::memcpy(bytes, input.data(), taken);
    input.remove_prefix(taken);
    return std::bit_cast<T>(bytes);
}

} // namespace valvix::fuzz

// Checks a property; the message is only built when the property is broken.
#define VALVIX_FUZZ_CHECK(holds, message)                                                          \
    do {                                                                                           \
        if (!(holds)) {                                                                            \
            ::valvix::fuzz::FuzzFailure(message);                                                  \
        }                                                                                          \
    } while (false)

#if defined(VALVIX_LIBFUZZER)
#define VALVIX_FUZZ_ENTRY(function)                                                                \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {            \
        return function(data, size);                                                               \
    }
#else
#define VALVIX_FUZZ_ENTRY(function)
#endif
