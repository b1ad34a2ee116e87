#pragma once

// The fuzz targets of the core readers and writers. Each takes arbitrary bytes, runs
// the code under test and checks a property that must hold for every input; a broken
// property ends in FuzzFailure. The same functions serve libFuzzer (one program per
// target, see VALVIX_FUZZ_ENTRY) and the corpus replay test of the ordinary test run.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace valvix::fuzz {

int EngineeringParse(const std::uint8_t* data, std::size_t size);
int PlainNumber(const std::uint8_t* data, std::size_t size);
int DesignText(const std::uint8_t* data, std::size_t size);
int DesignRoundTrip(const std::uint8_t* data, std::size_t size);
int NumberFormat(const std::uint8_t* data, std::size_t size);
int EngineeringFormat(const std::uint8_t* data, std::size_t size);

// Thrown for a broken property outside libFuzzer, so that the replay test can name
// the input and carry on with the next one.
struct PropertyBroken : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Reports a broken property. Under libFuzzer the abort makes it keep the input as a
// crash case.
[[noreturn]] void FuzzFailure(const std::string& message);

} // namespace valvix::fuzz

// Checks a property; the message (a std::string expression) is only built when the
// property is broken, which keeps the fuzzing fast.
#define VALVIX_FUZZ_CHECK(holds, message)                                                          \
    do {                                                                                           \
        if (!(holds)) {                                                                            \
            ::valvix::fuzz::FuzzFailure(message);                                                  \
        }                                                                                          \
    } while (false)

namespace valvix::fuzz {

// Exact text of a number for failure messages (17 digits and the hexadecimal form).
std::string Exact(double value);

// The input bytes as printable text for failure messages.
std::string Printable(const std::uint8_t* data, std::size_t size);

} // namespace valvix::fuzz

#if defined(VALVIX_LIBFUZZER)
#define VALVIX_FUZZ_ENTRY(function)                                                                \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {            \
        return function(data, size);                                                               \
    }
#else
#define VALVIX_FUZZ_ENTRY(function)
#endif
