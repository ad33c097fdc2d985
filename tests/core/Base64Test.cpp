#include "conversion/BASE64Sup.h"

#include <gtest/gtest.h>

#include <ostream>
#include <random>
#include <string>
#include <vector>

using namespace velmora;

namespace {

std::string RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(generator() & 0xff);
    return bytes;
}

// Base64 as RFC 4648 defines it, with no line breaks: an oracle written
// independently of the encoder.
std::string PlainBase64(std::string_view input) {
    static const char* const kAlphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    std::size_t i = 0;
    for (; i + 3 <= input.size(); i += 3) {
        const unsigned v = static_cast<unsigned char>(input[i]) << 16 |
                           static_cast<unsigned char>(input[i + 1]) << 8 |
                           static_cast<unsigned char>(input[i + 2]);
        for (int shift = 18; shift >= 0; shift -= 6)
            out += kAlphabet[(v >> shift) & 63];
    }
    if (i < input.size()) {
        unsigned v = static_cast<unsigned char>(input[i]) << 16;
        if (i + 1 < input.size())
            v |= static_cast<unsigned char>(input[i + 1]) << 8;
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += i + 1 < input.size() ? kAlphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::string WithoutLineBreaks(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        else
            out += text[i];
    }
    return out;
}

struct TLayout {
    std::vector<std::size_t> LineLengths; // the text split at CR LF
    bool EndsWithBreak = false;
};

TLayout LayoutOf(const std::string& text) {
    TLayout layout;
    std::size_t start = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos;
         at = text.find("\r\n", start)) {
        layout.LineLengths.push_back(at - start);
        start = at + 2;
    }
    if (start < text.size())
        layout.LineLengths.push_back(text.size() - start);
    layout.EndsWithBreak = !text.empty() && start == text.size();
    return layout;
}

std::string Encode(std::string_view input) {
    Base64Init();
    return Base64Encode(input);
}

struct TVector {
    const char* Name;
    std::string Input;
    std::string Output;
};

void PrintTo(const TVector& c, std::ostream* os) {
    *os << c.Name;
}

class Base64Vectors : public ::testing::TestWithParam<TVector> {};

TEST_P(Base64Vectors, EncodeGivesTheText) {
    EXPECT_EQ(Encode(GetParam().Input), GetParam().Output);
    EXPECT_EQ(Base64EncodeBytewise(GetParam().Input), GetParam().Output);
}

std::string Times(const std::string& text, int n) {
    std::string out;
    for (int i = 0; i < n; ++i)
        out += text;
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, Base64Vectors,
    ::testing::Values(TVector{"Empty", "", ""}, TVector{"OneByte", "a", "YQ=="},
                      TVector{"TwoBytes", "ab", "YWI="}, TVector{"ThreeBytes", "abc", "YWJj"},
                      TVector{"FourBytes", "abcd", "YWJjZA=="},
                      TVector{"SixtyFiveBytes", std::string(65, 'a'),
                              Times("YWFh", 21) + "\r\nYWE="},
                      TVector{"NulAndFF", std::string("\0\xff\0", 3), "AP8A"},
                      TVector{"AllZero", std::string(3, '\0'), "AAAA"},
                      TVector{"AllFF", std::string(3, '\xff'), "////"},
                      TVector{"NulDoesNotEndTheInput", std::string("\0\0\0\0a", 5), "AAAAAGE="},
                      TVector{"PlusAndSlash", "\xfb\xff\xbf", "+/+/"}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TLayoutCase {
    std::size_t Size;
    std::vector<std::size_t> LineLengths;
    bool EndsWithBreak;
    const char* LastChars; // the end of the text before any final CR LF
};

void PrintTo(const TLayoutCase& c, std::ostream* os) {
    *os << c.Size << " bytes";
}

class Base64Layout : public ::testing::TestWithParam<TLayoutCase> {};

TEST_P(Base64Layout, BreaksFollowEverySixtyFifthInputByte) {
    const TLayoutCase& c = GetParam();
    const std::string input = RandomBytes(c.Size, static_cast<unsigned>(c.Size));
    const std::string text = Encode(input);
    const TLayout layout = LayoutOf(text);
    EXPECT_EQ(layout.LineLengths, c.LineLengths);
    EXPECT_EQ(layout.EndsWithBreak, c.EndsWithBreak);
    EXPECT_EQ(text.size(), Base64EncodedLength(c.Size));
    const std::string body = WithoutLineBreaks(text);
    const std::string last = c.LastChars;
    EXPECT_EQ(body.substr(body.size() - last.size()), last) << text;
    EXPECT_EQ(body, PlainBase64(input));
}

INSTANTIATE_TEST_SUITE_P(Sizes, Base64Layout,
                         ::testing::Values(TLayoutCase{64, {88}, false, "="},
                                           TLayoutCase{65, {84, 4}, false, "="},
                                           TLayoutCase{130, {84, 88, 4}, false, "=="},
                                           TLayoutCase{195, {84, 88, 88}, true, ""},
                                           TLayoutCase{196, {84, 88, 88, 4}, false, "=="},
                                           TLayoutCase{260, {84, 88, 88, 84, 4}, false, "="},
                                           TLayoutCase{390, {84, 88, 88, 84, 88, 88}, true, ""}),
                         [](const auto& info) { return std::to_string(info.param.Size); });

TEST(Base64, LengthFollowsTheFormula) {
    const std::vector<std::pair<std::size_t, std::size_t>> cases = {
        {0, 0}, {1, 4}, {3, 4}, {4, 8}, {64, 88}, {65, 90}, {130, 180}, {195, 266}, {196, 270}};
    for (const auto& [n, length] : cases)
        EXPECT_EQ(Base64EncodedLength(n), length) << n;
    for (std::size_t n = 0; n <= 400; ++n)
        EXPECT_EQ(Base64EncodedLength(n), 4 * ((n + 2) / 3) + 2 * (n / 65)) << n;
}

// The block-wise encoder, with and without its vector path, against the
// byte-at-a-time definition: every length up to two periods and a bit, then
// large inputs ending at different places of a period.
TEST(Base64, BlockwiseEncoderMatchesTheByteAtATimeRule) {
    Base64Init();
    for (std::size_t n = 0; n <= 400; ++n) {
        const std::string input = RandomBytes(n, 1000 + static_cast<unsigned>(n));
        const std::string reference = Base64EncodeBytewise(input);
        ASSERT_EQ(reference.size(), Base64EncodedLength(n)) << n;
        ASSERT_EQ(WithoutLineBreaks(reference), PlainBase64(input)) << n;
        ASSERT_EQ(Base64Encode(input), reference) << n;
        ASSERT_EQ(detail::Base64EncodeBlockwise(input, false), reference) << n;
        ASSERT_EQ(detail::Base64EncodeBlockwise(input, true), reference) << n;
    }
    for (const std::size_t n : {std::size_t{1} << 20, std::size_t{3'000'001},
                                std::size_t{195 * 9999}, std::size_t{195 * 7777 + 130}}) {
        const std::string input = RandomBytes(n, static_cast<unsigned>(n));
        const std::string reference = Base64EncodeBytewise(input);
        EXPECT_EQ(Base64Encode(input), reference) << n;
        EXPECT_EQ(detail::Base64EncodeBlockwise(input, false), reference) << n;
        EXPECT_EQ(detail::Base64EncodeBlockwise(input, true), reference) << n;
    }
}

TEST(Base64, SeveralMegabytesKeepThePatternToTheEnd) {
    const std::size_t n = 4 * 1024 * 1024 + 1;
    const std::string input = RandomBytes(n, 42);
    const std::string text = Encode(input);
    ASSERT_EQ(text.size(), Base64EncodedLength(n));
    const TLayout layout = LayoutOf(text);
    ASSERT_EQ(layout.LineLengths.size(), n / 65 + 1);
    for (std::size_t i = 0; i + 1 < layout.LineLengths.size(); ++i)
        ASSERT_EQ(layout.LineLengths[i], i % 3 == 0 ? 84u : 88u) << "line " << i;
    EXPECT_EQ(WithoutLineBreaks(text), PlainBase64(input));
}

TEST(Base64, EveryByteValueIsEncoded) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(WithoutLineBreaks(Encode(all)), PlainBase64(all));
}

TEST(Base64, PendingGroupFillsFlushesAndEmpties) {
    Base64Init();
    EXPECT_EQ(Base64Flush(), "");
    EXPECT_FALSE(Base64AddByte('a'));
    EXPECT_EQ(Base64Flush(), "YQ==");
    EXPECT_EQ(Base64Flush(), "");
    EXPECT_FALSE(Base64AddByte('a'));
    EXPECT_FALSE(Base64AddByte('b'));
    EXPECT_EQ(Base64Flush(), "YWI=");
    EXPECT_FALSE(Base64AddByte('a'));
    EXPECT_FALSE(Base64AddByte('b'));
    EXPECT_TRUE(Base64AddByte('c'));
    // A full group takes nothing more.
    EXPECT_TRUE(Base64AddByte('z'));
    EXPECT_EQ(Base64Flush(), "YWJj");
    EXPECT_FALSE(Base64AddByte(0xff));
    Base64Reset();
    EXPECT_EQ(Base64Flush(), "");
}

TEST(Base64, NothingCarriesOverFromOneEncodingToTheNext) {
    Base64Init();
    const std::string input = RandomBytes(1000, 7);
    const std::string first = Base64Encode(input);
    EXPECT_EQ(Base64Encode(input), first);
    // A group left pending by hand is dropped by the next encoding.
    Base64AddByte('x');
    Base64AddByte('y');
    EXPECT_EQ(Base64Encode("a"), "YQ==");
    EXPECT_EQ(Base64Flush(), "");
    Base64Init();
    EXPECT_EQ(Base64Encode(input), first);
}

} // namespace
