#include "conversion/LineList.h"
#include "conversion/MessageDate.h"
#include "conversion/OutputName.h"

#include <gtest/gtest.h>

using namespace velmora;

TEST(OutputName, JoinsClockMillisecondsAndRandomNumber) {
    EXPECT_EQ(OutputFileName({2005, 3, 7, 9, 4, 5, 7}, 42), "200503070904050742.eml");
    EXPECT_EQ(OutputFileName({2005, 3, 7, 9, 4, 5, 123}, 5), "200503070904051235.eml");
    EXPECT_EQ(OutputFileName({2005, 12, 31, 23, 59, 59, 0}, 0), "2005123123595900"
                                                                "0.eml");
    EXPECT_EQ(OutputFileName({2005, 1, 1, 0, 0, 0, 999}, 999), "20050101000000999999.eml");
}

struct TDateCase {
    const char* Text;
    std::optional<std::time_t> Expected;
};

class MessageDateParse : public ::testing::TestWithParam<TDateCase> {};

TEST_P(MessageDateParse, GivesUtcSecondsOrNothing) {
    EXPECT_EQ(ParseMessageDate(GetParam().Text), GetParam().Expected) << GetParam().Text;
}

INSTANTIATE_TEST_SUITE_P(
    Dates, MessageDateParse,
    ::testing::Values(TDateCase{"Mon, 7 Mar 2005 09:04:05 +0100", 1110182645},
                      TDateCase{" 7 Mar 2005 09:04:05 +0100", 1110182645},
                      TDateCase{"Mon, 07 Mar 2005 03:04:05 -0500 (EST)", 1110182645},
                      TDateCase{"Mon, 7 Mar 2005 08:04:05 GMT", 1110182645},
                      TDateCase{"Mon, 7 Mar 2005 00:04:05 PST", 1110182645},
                      TDateCase{"Mon, 7 Mar 05 08:04 +0000", 1110182640},
                      TDateCase{"Mon,7 march 2005 08:04:05 UT", 1110182645},
                      TDateCase{"Thu, 1 Jan 1970 00:00:00 +0000", 0},
                      TDateCase{"Tue, 29 Feb 2000 12:00:00 +0000", 951825600},
                      TDateCase{"Sat, 1 Jan 99 00:00:00 +0000", 915148800},
                      TDateCase{"Mon, 7 Mar 2005 08:04:05", 1110182645},
                      TDateCase{"", std::nullopt}, TDateCase{"yesterday", std::nullopt},
                      TDateCase{"Mon, 30 Feb 2005 08:04:05 +0000", std::nullopt},
                      TDateCase{"Mon, 7 Foo 2005 08:04:05 +0000", std::nullopt},
                      TDateCase{"Mon, 7 Mar 2005 25:04:05 +0000", std::nullopt},
                      TDateCase{"Mon, 7 Mar 2005 08:04:05 +01", std::nullopt},
                      TDateCase{"2005-03-07T08:04:05Z", std::nullopt}));

TEST(MessageDate, TakesTheFirstDateHeaderOfTheHeaderSection) {
    TLineList lines;
    lines.SetText("Subject: x\r\nDATE: Mon, 7 Mar 2005\r\n 08:04:05 +0000\r\n"
                  "Date: Tue, 8 Mar 2005 08:04:05 +0000\r\n\r\nbody\r\n");
    EXPECT_EQ(FindMessageDate(lines), std::optional<std::time_t>(1110182645));
    lines.SetText("Subject: x\r\n\r\nDate: Mon, 7 Mar 2005 08:04:05 +0000\r\n");
    EXPECT_EQ(FindMessageDate(lines), std::nullopt);
    lines.SetText("X-Date: Mon, 7 Mar 2005 08:04:05 +0000\r\n");
    EXPECT_EQ(FindMessageDate(lines), std::nullopt);
}
