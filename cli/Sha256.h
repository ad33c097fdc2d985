// SHA-256 (FIPS 180-4), so a report can prove what each file holds.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::cli {

class TSha256 {
public:
    TSha256();
    void Update(std::string_view bytes);
    // The digest as 64 lower-case hex digits; the object is spent afterwards.
    std::string HexDigest();

private:
    void Block(const unsigned char* block);
    std::array<std::uint32_t, 8> FState;
    std::array<unsigned char, 64> FBuffer{};
    std::size_t FBuffered = 0;
    std::uint64_t FTotal = 0;
};

} // namespace velmora::cli
