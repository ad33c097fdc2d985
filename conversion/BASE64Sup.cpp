#include "conversion/BASE64Sup.h"

#include "platform/Memory.h"

#include <cstdint>
#include <cstring>

// The vector encoder needs SSSE3, which is chosen at run time.
#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define VELMORA_BASE64_VECTOR 1
#include <immintrin.h>
#else
#define VELMORA_BASE64_VECTOR 0
#endif

namespace velmora {

namespace {

// Input bytes after which a CR LF follows. 65 = 21 * 3 + 2, so the breaks
// fall inside groups; the pattern repeats every 3 * 65 bytes.
constexpr std::size_t kBytesPerBreak = 65;
constexpr std::size_t kPeriodBytes = 3 * kBytesPerBreak; // 195 = 65 whole groups
constexpr std::size_t kPeriodChars = 4 * 65 + 3 * 2;     // 266, the three CR LFs included
constexpr std::size_t kGroupsBeforeFirstBreak = 21;      // bytes 1-63
constexpr std::size_t kGroupsBeforeSecondBreak = 22;     // bytes 64-129
constexpr std::size_t kGroupsBeforeThirdBreak = 22;      // bytes 130-195

// The shared state: the alphabet and the pending group.
char gAlphabet[64];
std::int16_t gPending = 0;
std::uint32_t gAccumulator = 0;

// Two characters for every 12-bit value, filled from the alphabet by
// Base64Init: one lookup gives half a group.
char gPairs[4096][2];
bool gFilled = false;

std::uint32_t LoadGroup(const unsigned char* in) {
    return static_cast<std::uint32_t>(in[0]) << 16 | static_cast<std::uint32_t>(in[1]) << 8 |
           static_cast<std::uint32_t>(in[2]);
}

// Reads eight bytes, uses the first six. The compiler turns this into one
// load and a byte swap.
std::uint64_t LoadBigEndian64(const unsigned char* in) {
    std::uint64_t x = 0;
    for (int i = 0; i < 8; ++i)
        x = x << 8 | in[i];
    return x;
}

void PutPair(char* out, std::uint32_t twelveBits) {
    std::memcpy(out, gPairs[twelveBits], 2);
}

// One group of three bytes: four characters.
void EncodeGroup(const unsigned char* in, char* out) {
    const std::uint32_t v = LoadGroup(in);
    PutPair(out, v >> 12);
    PutPair(out + 2, v & 0xfff);
}

// Two groups: eight characters. Reads two bytes past the six it encodes.
void EncodeTwoGroups(const unsigned char* in, char* out) {
    const std::uint64_t x = LoadBigEndian64(in);
    const auto a = static_cast<std::uint32_t>(x >> 52);
    const auto b = static_cast<std::uint32_t>(x >> 40) & 0xfff;
    const auto c = static_cast<std::uint32_t>(x >> 28) & 0xfff;
    const auto d = static_cast<std::uint32_t>(x >> 16) & 0xfff;
    PutPair(out, a);
    PutPair(out + 2, b);
    PutPair(out + 4, c);
    PutPair(out + 6, d);
}

// The groups left on a line, one by one, then the line's CR LF.
inline void EncodeGroupsThenBreak(const unsigned char*& in, char*& out, std::size_t groups) {
    for (std::size_t i = 0; i < groups; ++i) {
        EncodeGroup(in, out);
        in += 3;
        out += 4;
    }
    out[0] = '\r';
    out[1] = '\n';
    out += 2;
}

// Whole groups followed by CR LF. With overRead the last two-group step may
// read two bytes past the groups; without it, it never reads past them.
template <std::size_t Groups, bool OverRead> void EncodeLine(const unsigned char*& in, char*& out) {
    constexpr std::size_t safePairs = OverRead ? Groups / 2 : (Groups - 1) / 2;
    for (std::size_t i = 0; i < safePairs; ++i) {
        EncodeTwoGroups(in, out);
        in += 6;
        out += 8;
    }
    EncodeGroupsThenBreak(in, out, Groups - 2 * safePairs);
}

// Full periods of 195 bytes: 21 groups, CR LF, 22 groups, CR LF, 22 groups,
// CR LF. The last line of a period is encoded without reading past it.
void EncodePeriodsPortable(const unsigned char* in, std::size_t periods, char* out) {
    for (std::size_t p = 0; p < periods; ++p) {
        EncodeLine<kGroupsBeforeFirstBreak, true>(in, out);
        EncodeLine<kGroupsBeforeSecondBreak, true>(in, out);
        EncodeLine<kGroupsBeforeThirdBreak, false>(in, out);
    }
}

#if VELMORA_BASE64_VECTOR

// Twelve bytes to sixteen characters in SSSE3 registers: each group's three
// bytes are spread over one 32-bit lane, cut into four 6-bit values, and each
// value is turned into its character by adding the offset of its range of the
// alphabet. Loads sixteen bytes, so it reads four past the twelve it encodes.
__attribute__((target("ssse3"))) __m128i EncodeTwelve(const unsigned char* in) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    v = _mm_shuffle_epi8(v, _mm_set_epi8(10, 11, 9, 10, 7, 8, 6, 7, 4, 5, 3, 4, 1, 2, 0, 1));
    // In every lane: bits 23..18 and 11..6 of the group moved down by
    // multiply-high, bits 17..12 and 5..0 moved up by multiply-low.
    const __m128i high =
        _mm_mulhi_epu16(_mm_and_si128(v, _mm_set1_epi32(0x0fc0fc00)), _mm_set1_epi32(0x04000040));
    const __m128i low =
        _mm_mullo_epi16(_mm_and_si128(v, _mm_set1_epi32(0x003f03f0)), _mm_set1_epi32(0x01000010));
    const __m128i values = _mm_or_si128(high, low);
    // Range of each value: 0-25 -> 13, 26-51 -> 0, 52-61 -> 1..10, 62 -> 11,
    // 63 -> 12; the table gives the offset that turns the value into its letter.
    __m128i range = _mm_subs_epu8(values, _mm_set1_epi8(51));
    const __m128i upper = _mm_cmpgt_epi8(_mm_set1_epi8(26), values);
    range = _mm_or_si128(range, _mm_and_si128(upper, _mm_set1_epi8(13)));
    const __m128i offsets =
        _mm_setr_epi8('a' - 26, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52,
                      '0' - 52, '0' - 52, '0' - 52, '0' - 52, '+' - 62, '/' - 63, 'A', 0, 0);
    return _mm_add_epi8(values, _mm_shuffle_epi8(offsets, range));
}

// A line of 21 or 22 groups: five twelve-byte steps (reading at most 64
// bytes from the line's start, which stays inside the period), then the
// remaining groups one by one, then CR LF.
template <std::size_t Groups>
__attribute__((target("ssse3"))) void EncodeLineVector(const unsigned char*& in, char*& out) {
    static_assert(Groups >= 21);
    for (int step = 0; step < 5; ++step) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), EncodeTwelve(in));
        in += 12;
        out += 16;
    }
    EncodeGroupsThenBreak(in, out, Groups - 20);
}

__attribute__((target("ssse3"))) void EncodePeriodsVector(const unsigned char* in,
                                                          std::size_t periods, char* out) {
    for (std::size_t p = 0; p < periods; ++p) {
        EncodeLineVector<kGroupsBeforeFirstBreak>(in, out);
        EncodeLineVector<kGroupsBeforeSecondBreak>(in, out);
        EncodeLineVector<kGroupsBeforeThirdBreak>(in, out);
    }
}

bool VectorAvailable() {
    static const bool available = __builtin_cpu_supports("ssse3") != 0;
    return available;
}

#else

bool VectorAvailable() {
    return false;
}

#endif

// The byte-at-a-time rule over input bytes counted from position + 1 on:
// the pending group is flushed when full and a CR LF follows every 65th byte.
void AppendBytewise(std::string_view input, std::size_t position, std::string& output) {
    for (const char c : input) {
        ++position;
        if (Base64AddByte(static_cast<unsigned char>(c)))
            output += Base64Flush();
        if (position % kBytesPerBreak == 0)
            output += "\r\n";
    }
    output += Base64Flush();
}

} // namespace

void Base64Init() {
    int value = 0;
    for (char c = 'A'; c <= 'Z'; ++c)
        gAlphabet[value++] = c;
    for (char c = 'a'; c <= 'z'; ++c)
        gAlphabet[value++] = c;
    for (char c = '0'; c <= '9'; ++c)
        gAlphabet[value++] = c;
    gAlphabet[value++] = '+';
    gAlphabet[value] = '/';
    for (std::size_t v = 0; v < 4096; ++v) {
        gPairs[v][0] = gAlphabet[v >> 6];
        gPairs[v][1] = gAlphabet[v & 63];
    }
    gFilled = true;
    Base64Reset();
}

void Base64Reset() {
    gPending = 0;
    gAccumulator = 0;
}

bool Base64AddByte(unsigned char byte) {
    if (gPending == 3)
        return true;
    gAccumulator = gAccumulator << 8 | byte;
    ++gPending;
    return gPending == 3;
}

std::string Base64Flush() {
    if (gPending == 0)
        return {};
    std::uint32_t bits = gAccumulator << ((3 - gPending) * 8);
    std::string chars(4, '\0');
    for (int i = 3; i >= 0; --i) {
        chars[static_cast<std::size_t>(i)] = gAlphabet[bits & 63];
        bits >>= 6;
    }
    for (std::size_t i = static_cast<std::size_t>(gPending) + 1; i < 4; ++i)
        chars[i] = '=';
    Base64Reset();
    return chars;
}

std::size_t Base64EncodedLength(std::size_t inputLength) {
    return 4 * (inputLength / 3 + (inputLength % 3 != 0 ? 1 : 0)) +
           2 * (inputLength / kBytesPerBreak);
}

std::string Base64EncodeBytewise(std::string_view input) {
    Base64Reset();
    std::string output;
    AppendBytewise(input, 0, output);
    return output;
}

std::string Base64Encode(std::string_view input) {
    return detail::Base64EncodeBlockwise(input, VectorAvailable());
}

namespace detail {

bool Base64VectorAvailable() {
    return VectorAvailable();
}

std::string Base64EncodeBlockwise(std::string_view input, bool vector) {
    // The system runs Base64Init first; a caller who did not still gets the
    // alphabet rather than NUL characters.
    if (!gFilled)
        Base64Init();
    Base64Reset();
    const std::size_t periods = input.size() / kPeriodBytes;
    const std::size_t periodBytes = periods * kPeriodBytes;
    std::string output;
    ReserveLargeBuffer(output, Base64EncodedLength(input.size()));
    output.resize(periods * kPeriodChars);
    const auto* in = reinterpret_cast<const unsigned char*>(input.data());
#if VELMORA_BASE64_VECTOR
    if (vector && VectorAvailable())
        EncodePeriodsVector(in, periods, output.data());
    else
        EncodePeriodsPortable(in, periods, output.data());
#else
    (void)vector;
    EncodePeriodsPortable(in, periods, output.data());
#endif
    // Fewer than 195 bytes remain: they begin a new period, so the
    // byte-at-a-time rule carries on exactly where the periods stopped.
    AppendBytewise(input.substr(periodBytes), periodBytes, output);
    return output;
}

} // namespace detail

} // namespace velmora
