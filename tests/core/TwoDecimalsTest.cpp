// SPDX-License-Identifier: MIT
#include "TwoDecimals.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Qt::StringLiterals;

TEST(TwoDecimals, AHalfRoundsAwayFromZeroOnTheDigitsASingleShows)
{
    const struct
    {
        float value;
        QString text;
    } cases[] = {
        {0, u"0.00"_s},
        {1.005f, u"1.01"_s},
        {0.125f, u"0.13"_s},
        {2.675f, u"2.68"_s},
        {1234.565f, u"1234.57"_s},
        {1234.564f, u"1234.56"_s},
        {-0.005f, u"-0.01"_s},
        {-0.004f, u"0.00"_s},
        {-1, u"-1.00"_s},
        {0.0049f, u"0.00"_s},
        {99999.99f, u"99999.99"_s},
        {737.454321f, u"737.45"_s},
        {12345678, u"12345678.00"_s},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TwoDecimals::text(c.value), c.text) << c.value;
        EXPECT_EQ(TwoDecimals::figure(c.value), float(c.text.toDouble())) << c.value;
    }
}

TEST(TwoDecimals, ASumIsTheSameSingleWhicheverWayItWasAddedUp)
{
    // Singles from 2^22 to 2^23 lie half a unit apart, so a sum of .25 falls between two of them.
    for (const double exact : {4194304.25, 4194304.75, 8388609.5, 21302.23, 0.01}) {
        const double above = std::nextafter(exact, 1e300);
        const double below = std::nextafter(exact, -1e300);
        EXPECT_EQ(TwoDecimals::sum(above), TwoDecimals::sum(below)) << exact;
        EXPECT_EQ(TwoDecimals::sum(above), float(exact)) << exact;
    }
    EXPECT_NE(float(std::nextafter(4194304.25, 1e300)), float(std::nextafter(4194304.25, -1e300)));
}
