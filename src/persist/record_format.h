#pragma once
// The field encoding of the save files: records of comma-separated fields, one record per
// line ended by "\r\n"; numbers as their shortest exact text, strings in double quotes (a
// quote inside doubled), dates between number signs.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "text/date.h"

namespace orbits::persist {

// Builds the records of a file.
class RecordWriter {
 public:
  RecordWriter& number(double v);
  // A number that may not exist: NaN (or any non-finite value) is an empty field.
  RecordWriter& numberOrEmpty(double v);
  RecordWriter& whole(int64_t v);
  RecordWriter& str(std::string_view s);
  RecordWriter& date(text::Date d);
  // Ends the record with "\r\n".
  void end();
  const std::string& text() const { return out_; }

 private:
  void separate();
  std::string out_;
  bool fieldWritten_ = false;
};

// What is wrong with a file: the message names the file, the line and the field.
struct FormatError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

enum class FieldKind { Bare, Quoted, Dated };

struct Field {
  std::string text;
  FieldKind kind = FieldKind::Bare;
};

struct Record {
  std::vector<Field> fields;
  int line = 0;  // 1-based line where the record starts
};

// Splits a file's content into records. Throws FormatError (naming `file`) for a string or a
// date that is never closed, or for text after a closing quote.
std::vector<Record> splitRecords(std::string_view content, const std::string& file);

// Reads the fields of one record in order, each into the type it is meant for. Every read
// throws FormatError naming file, line and field when the field is missing or not of its type.
class FieldReader {
 public:
  FieldReader(const Record& r, const std::string& file, size_t expectedFields);
  double number();
  // A number or an empty field (NaN).
  double numberOrNaN();
  // A whole number within [lo, hi].
  int64_t whole(int64_t lo, int64_t hi);
  int16_t int16() { return int16_t(whole(INT16_MIN, INT16_MAX)); }
  int32_t int32() { return int32_t(whole(INT32_MIN, INT32_MAX)); }
  float single();
  std::string str();
  text::Date date();
  bool isDate() const;
  // A field written as a constant: read and discarded, but it must be a number.
  void skip() { (void)number(); }
  [[noreturn]] void fail(const std::string& what) const;
  int fieldNumber() const { return int(next_); }

 private:
  const Field& take();
  const Record& r_;
  const std::string& file_;
  size_t next_ = 0;
};

}  // namespace orbits::persist
