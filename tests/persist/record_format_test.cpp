#include "persist/record_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace orbits::persist {
namespace {

TEST(RecordFormat, EveryKindOfFieldReadsBackExactly) {
  RecordWriter out;
  const double third = 1.0 / 3, tiny = 5e-324, big = -1.7976931348623157e308;
  out.number(third).number(tiny).number(big).whole(-32768).str("say \"hi\", then\r\nleave").str("");
  out.date(text::Date::fromYmd(1940, 1, 24));
  out.end();
  out.number(0).end();
  EXPECT_EQ(out.text().substr(out.text().size() - 3), "0\r\n");

  auto recs = splitRecords(out.text(), "f.txt");
  ASSERT_EQ(recs.size(), 2u);
  EXPECT_EQ(recs[0].line, 1);
  EXPECT_EQ(recs[1].line, 3);  // the string's own line break counts
  FieldReader f(recs[0], "f.txt", 7);
  EXPECT_EQ(f.number(), third);
  EXPECT_EQ(f.number(), tiny);
  EXPECT_EQ(f.number(), big);
  EXPECT_EQ(f.int16(), -32768);
  EXPECT_EQ(f.str(), "say \"hi\", then\r\nleave");
  EXPECT_EQ(f.str(), "");
  EXPECT_EQ(f.date(), text::Date::fromYmd(1940, 1, 24));
}

std::string errorOf(const std::string& content, size_t fields, void (*read)(FieldReader&)) {
  try {
    auto recs = splitRecords(content, "f.txt");
    FieldReader f(recs.at(0), "f.txt", fields);
    read(f);
  } catch (const FormatError& e) {
    return e.what();
  }
  return "";
}

TEST(RecordFormat, DamageIsReportedWithFileLineAndField) {
  EXPECT_EQ(errorOf("1,2x\r\n", 2, [](FieldReader& f) { f.number(), f.number(); }),
            "f.txt, line 1, field 2: \"2x\" is not a number");
  EXPECT_EQ(errorOf("1,2\r\n", 3, [](FieldReader&) {}), "f.txt, line 1: 2 fields instead of 3");
  EXPECT_EQ(errorOf("\"open\r\n", 1, [](FieldReader&) {}), "f.txt, line 1: a string is not closed");
  EXPECT_EQ(errorOf("#1940-01-24\r\n", 1, [](FieldReader&) {}),
            "f.txt, line 1: a date is not closed");
  EXPECT_EQ(errorOf("\"a\"b\r\n", 1, [](FieldReader&) {}),
            "f.txt, line 1: unexpected text after a closing quote");
  EXPECT_EQ(errorOf("40000\r\n", 1, [](FieldReader& f) { f.int16(); }),
            "f.txt, line 1, field 1: 40000 is not a whole number from -32768 to 32767");
  EXPECT_EQ(errorOf("1.5\r\n", 1, [](FieldReader& f) { f.int32(); }).substr(0, 25),
            "f.txt, line 1, field 1: 1");
  EXPECT_NE(errorOf("1\r\n", 1, [](FieldReader& f) { (void)f.str(); }), "");
  EXPECT_NE(errorOf("\"x\"\r\n", 1, [](FieldReader& f) { (void)f.number(); }), "");
  EXPECT_NE(errorOf("#1940-02-30#\r\n", 1, [](FieldReader& f) { (void)f.date(); }), "");
  EXPECT_NE(errorOf("1e999\r\n", 1, [](FieldReader& f) { (void)f.number(); }), "");
}

}  // namespace
}  // namespace orbits::persist
