#pragma once

// Reading little-endian fields out of a written file's bytes, for the image file layout tests.

#include <cstddef>
#include <cstdint>
#include <string>

namespace plumwick::test {

inline int Byte(const std::string& bytes, std::size_t at)
{
    return static_cast<std::uint8_t>(bytes[at]);
}

inline std::uint16_t Word(const std::string& bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(Byte(bytes, at) | Byte(bytes, at + 1) << 8);
}

inline std::uint32_t Long(const std::string& bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(Word(bytes, at)) | static_cast<std::uint32_t>(Word(bytes, at + 2)) << 16;
}

}  // namespace plumwick::test
