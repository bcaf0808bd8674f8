#include "text/number_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace orbits::text {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kMax = std::numeric_limits<double>::max();

TEST(PlainText, GeneralFormWithFifteenDigits) {
  EXPECT_EQ(plain(0), "0");
  EXPECT_EQ(plain(-0.0), "0");
  EXPECT_EQ(plain(0.5), "0.5");
  EXPECT_EQ(plain(-0.5), "-0.5");
  EXPECT_EQ(plain(100000), "100000");
  EXPECT_EQ(plain(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(plain(2.0 / 3), "0.666666666666667");
  EXPECT_EQ(plain(0.1 + 0.2), "0.3");
  EXPECT_EQ(plain(999999999999999.0), "999999999999999");
  EXPECT_EQ(plain(-778547200.123), "-778547200.123");
}

TEST(PlainText, ExponentFormBelowOneTenThousandthAndFromTenToTheFifteen) {
  EXPECT_EQ(plain(0.0001), "0.0001");
  EXPECT_EQ(plain(0.00012345), "0.00012345");
  EXPECT_EQ(plain(0.00001), "1E-05");
  EXPECT_EQ(plain(-1.5e-300), "-1.5E-300");
  EXPECT_EQ(plain(1e15), "1E+15");
  EXPECT_EQ(plain(1.5e15), "1.5E+15");
  EXPECT_EQ(plain(1e100), "1E+100");
  EXPECT_EQ(plain(123456789012345678.0), "1.23456789012346E+17");
  // Rounding to 15 digits can carry into the next power of ten, and so into exponent form.
  EXPECT_EQ(plain(999999999999999.9), "1E+15");
}

TEST(PlainText, NonFiniteValuesAreNamed) {
  EXPECT_EQ(plain(kInf), "Infinity");
  EXPECT_EQ(plain(-kInf), "-Infinity");
  EXPECT_EQ(plain(std::nan("")), "NaN");
  EXPECT_EQ(signedText(kInf), " Infinity");
  EXPECT_EQ(signedText(-kInf), "-Infinity");
}

TEST(SignedText, LeadingSpaceAndNoZeroBeforeThePoint) {
  EXPECT_EQ(signedText(0), " 0");
  EXPECT_EQ(signedText(-0.0), " 0");
  EXPECT_EQ(signedText(0.5), " .5");
  EXPECT_EQ(signedText(-0.5), "-.5");
  EXPECT_EQ(signedText(-0.00012), "-.00012");
  EXPECT_EQ(signedText(4), " 4");
  EXPECT_EQ(signedText(12.25), " 12.25");
  EXPECT_EQ(signedText(1.5e15), " 1.5E+15");
  EXPECT_EQ(signedText(-2e-7), "-2E-07");
}

TEST(PatternedText, DigitPlacesAndCopiedCharacters) {
  EXPECT_EQ(patterned(1.0 / 3, "0.000000000"), "0.333333333");
  EXPECT_EQ(patterned(7, "0000"), "0007");
  EXPECT_EQ(patterned(12345, "0000"), "12345");
  EXPECT_EQ(patterned(7, "00h"), "07h");
  EXPECT_EQ(patterned(12, "00000"), "00012");
  EXPECT_EQ(patterned(0, "00.0000"), "00.0000");
  EXPECT_EQ(patterned(1e-10, "00.0000"), "00.0000");
  EXPECT_EQ(patterned(3.04032586558e-06, "0.00000000000000"), "0.00000304032587");
  EXPECT_EQ(patterned(1.5, ".00"), "1.50");
  EXPECT_EQ(patterned(1e20, "0.00"), "100000000000000000000.00");
  // Digits beyond the fifteenth significant one are zeros, as in the plain text.
  EXPECT_EQ(patterned(123456789012345678.0, "0"), "123456789012346000");
  EXPECT_EQ(patterned(kInf, "0.00"), "Infinity");
}

TEST(PatternedText, FixedWidthKilometreAndDriftTexts) {
  // Two spaces, nine zeros, five digits, the point, three decimals, eleven zeros.
  EXPECT_EQ(patterned(12345.678, "  00000000000000.00000000000000"),
            "  00000000012345.67800000000000");
  EXPECT_EQ(patterned(0, "00000000000000.00000000000000"), "00000000000000.00000000000000");
  // The sign stands first, before any filler; a value that rounds to zero has none.
  EXPECT_EQ(patterned(-1.5, "00000000000000.00000000000000"), "-00000000000001.50000000000000");
  EXPECT_EQ(patterned(-1.5, "  000.0"), "-  001.5");
  EXPECT_EQ(patterned(-0.0004, "0.000"), "0.000");
  EXPECT_EQ(patterned(-0.0005, "0.000"), "0.000");  // a half, down to the even 0
  EXPECT_EQ(patterned(-0.0006, "0.000"), "-0.001");
}

TEST(PatternedText, RoundsHalvesToEvenAndCarries) {
  EXPECT_EQ(patterned(2.5, "0"), "2");
  EXPECT_EQ(patterned(3.5, "0"), "4");
  EXPECT_EQ(patterned(-2.5, "0"), "-2");
  EXPECT_EQ(patterned(0.5, "0"), "0");
  EXPECT_EQ(patterned(0.125, "0.00"), "0.12");
  EXPECT_EQ(patterned(0.375, "0.00"), "0.38");
  EXPECT_EQ(patterned(0.12500001, "0.00"), "0.13");
  // The digits the plain text shows are what is rounded: 2.675 is a half there.
  EXPECT_EQ(patterned(2.675, "0.00"), "2.68");
  EXPECT_EQ(patterned(9.9996, "0.000"), "10.000");
  EXPECT_EQ(patterned(999.5, "000"), "1000");
  EXPECT_EQ(patterned(0.96, "0.0"), "1.0");
}

TEST(PatternedText, StaysWithinHalfAUnitOfTheLastPlace) {
  std::mt19937_64 rng(1940);
  std::uniform_real_distribution<double> dist(-2e6, 2e6);
  for (int i = 0; i < 20000; ++i) {
    const double v = dist(rng) / double(1 << (i % 20));
    const std::string t = patterned(v, "  0000.000");
    ASSERT_LE(std::abs(val(t) - v), 0.0005 + 1e-9) << v << " -> " << t;
    ASSERT_EQ(t.substr(t[0] == '-' ? 1 : 0, 2), "  ") << t;
    ASSERT_EQ(t.size() - t.find('.'), 4u) << t;
  }
}

TEST(Val, ReadsTheLeadingNumber) {
  EXPECT_EQ(val("  12.5abc"), 12.5);
  EXPECT_EQ(val("-3"), -3);
  EXPECT_EQ(val("+4"), 4);
  EXPECT_EQ(val("\t7"), 7);
  EXPECT_EQ(val("00012"), 12);
  EXPECT_EQ(val(".5"), 0.5);
  EXPECT_EQ(val(" .5"), 0.5);
  EXPECT_EQ(val("-.5"), -0.5);
  EXPECT_EQ(val("5."), 5);
  EXPECT_EQ(val("1.2.3"), 1.2);
  EXPECT_EQ(val("1 000 000"), 1000000);
  EXPECT_EQ(val("-  001.5"), -1.5);  // the sign of a patterned text stands before its filler
  EXPECT_EQ(val("1.5 E +3"), 1500);
  EXPECT_EQ(val("1.5E+15"), 1.5e15);
  EXPECT_EQ(val("1E-05"), 1e-5);
  EXPECT_EQ(val("1e3 km"), 1000);
  EXPECT_EQ(val("2E"), 2);
  EXPECT_EQ(val("2E+"), 2);
  EXPECT_EQ(val("2Ex"), 2);
  EXPECT_EQ(val("12345678901234567890123"), 12345678901234567890123.0);
}

TEST(Val, NoNumberGivesZero) {
  for (const char* s :
       {"", " ", "abc", "-", "+", ".", "-.", "--5", "inf", "nan", "NaN", "Infinity", "x12", "E5"})
    EXPECT_EQ(val(s), 0.0) << '"' << s << '"';
  EXPECT_FALSE(std::signbit(val("-0")));
}

TEST(Val, AlwaysFinite) {
  EXPECT_EQ(val("1E999"), kMax);
  EXPECT_EQ(val("-1E999"), -kMax);
  EXPECT_EQ(val("1E99999999999999999999"), kMax);
  EXPECT_EQ(val("1E-999"), 0.0);
  EXPECT_EQ(val("0.0000001E-400"), 0.0);
  EXPECT_EQ(val("1000E-310"), 1e-307);
}

TEST(Val, ReadsBackTheNumberTexts) {
  for (double v : {0.0, 0.5, -0.5, 1.0 / 3, 123456.789, -1.5e15, 2e-7, 100000.0}) {
    EXPECT_EQ(val(plain(v)), val(signedText(v))) << v;
    EXPECT_EQ(plain(val(plain(v))), plain(v)) << v;
  }
}

TEST(Rounding, IntFloorAndHalvesToEven) {
  EXPECT_EQ(intFloor(2.9), 2);
  EXPECT_EQ(intFloor(-0.5), -1);
  EXPECT_EQ(intFloor(-2), -2);
  const std::pair<double, double> cases[] = {
      {2.5, 2},
      {3.5, 4},
      {-2.5, -2},
      {-3.5, -4},
      {0.5, 0},
      {1.5, 2},
      {-0.4, 0},
      {2.6, 3},
      {2.4999999999999996, 2},
      {4503599627370497.0, 4503599627370497.0}};  // 2^52 + 1 is already whole
  for (auto [in, out] : cases) EXPECT_EQ(roundHalfEven(in), out) << in;
  EXPECT_EQ(toWhole(2.5), 2);
  EXPECT_EQ(toWhole(-7.5), -8);
  EXPECT_EQ(toWhole(std::nan("")), 0);
  EXPECT_EQ(toWhole(1e300), std::numeric_limits<int64_t>::max());
  EXPECT_EQ(toWhole(-kInf), std::numeric_limits<int64_t>::min());
  EXPECT_EQ(toWhole(9223372036854775808.0), std::numeric_limits<int64_t>::max());
  EXPECT_EQ(toWhole(-9223372036854775808.0), std::numeric_limits<int64_t>::min());
}

TEST(Shortest, LayoutOfThePlainText) {
  EXPECT_EQ(shortest(0), "0");
  EXPECT_EQ(shortest(0.1), "0.1");
  EXPECT_EQ(shortest(0.1 + 0.2), "0.30000000000000004");
  EXPECT_EQ(shortest(-0.00507628112136223), "-0.00507628112136223");
  EXPECT_EQ(shortest(1e15), "1E+15");
  EXPECT_EQ(shortest(1e-5), "1E-05");
  EXPECT_EQ(shortest(3.27677375978542e-06), "3.27677375978542E-06");
  EXPECT_EQ(shortest(999999999999999.9), "999999999999999.9");
}

TEST(Shortest, ReadsBackToTheSameDouble) {
  std::vector<double> values = {0.0,
                                -0.0,
                                kMax,
                                -kMax,
                                std::numeric_limits<double>::min(),
                                std::numeric_limits<double>::denorm_min(),
                                1.0 / 3,
                                -4461866447.73686,
                                1.98855 * 225};
  std::mt19937_64 rng(20240124);
  while (values.size() < 200000) {
    const double v = std::bit_cast<double>(rng());
    if (std::isfinite(v)) values.push_back(v);
  }
  for (double v : values) {
    const auto back = readNumber(shortest(v));
    ASSERT_TRUE(back.has_value()) << shortest(v);
    ASSERT_EQ(std::bit_cast<uint64_t>(*back), std::bit_cast<uint64_t>(v == 0 ? 0.0 : v))
        << shortest(v);
  }
}

TEST(ReadNumber, WholeTextMustBeOneFiniteNumber) {
  EXPECT_EQ(readNumber("1.5E+15"), 1.5e15);
  EXPECT_EQ(readNumber("-0.25"), -0.25);
  EXPECT_EQ(readNumber("12"), 12);
  for (const char* s : {"", " 1", "1 ", "+1", "1,5", "abc", "1x", "inf", "-inf", "nan", "Infinity",
                        "1E999", "0x10", "-", "."})
    EXPECT_FALSE(readNumber(s).has_value()) << '"' << s << '"';
}

}  // namespace
}  // namespace orbits::text
