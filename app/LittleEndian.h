// Little-endian numbers appended to a byte string, as the Windows bitmap and icon formats store them.
#pragma once

#include <cstdint>
#include <string>

namespace plumwick {

inline void PutWord(std::string& out, std::uint16_t value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

inline void PutLong(std::string& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xFF);
}

}  // namespace plumwick
