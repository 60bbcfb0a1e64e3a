#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The fuzzer's bytes cut at NUL into the strings of an argument list, as a process receives them.
inline std::vector<std::string> argumentsFrom(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> arguments;
    if (size == 0)
        return arguments;
    arguments.emplace_back();
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            arguments.emplace_back();
        else
            arguments.back().push_back(static_cast<char>(data[i]));
    }
    return arguments;
}

// Stops the fuzzer with a finding when a property does not hold.
#define FUZZ_ASSERT(condition)                                                                               \
    do {                                                                                                     \
        if (!(condition))                                                                                    \
            __builtin_trap();                                                                                \
    } while (false)
