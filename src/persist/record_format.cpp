#include "persist/record_format.h"

#include <cmath>

#include "text/number_text.h"

namespace orbits::persist {

void RecordWriter::separate() {
  if (fieldWritten_) out_ += ',';
  fieldWritten_ = true;
}

RecordWriter& RecordWriter::number(double v) {
  separate();
  out_ += text::shortest(v);
  return *this;
}

RecordWriter& RecordWriter::numberOrEmpty(double v) {
  separate();
  if (std::isfinite(v)) out_ += text::shortest(v);
  return *this;
}

RecordWriter& RecordWriter::whole(int64_t v) {
  separate();
  out_ += std::to_string(v);
  return *this;
}

RecordWriter& RecordWriter::str(std::string_view s) {
  separate();
  out_ += '"';
  for (char c : s) {
    if (c == '"') out_ += '"';
    out_ += c;
  }
  out_ += '"';
  return *this;
}

RecordWriter& RecordWriter::date(text::Date d) {
  separate();
  out_ += text::saveDateText(d);
  return *this;
}

void RecordWriter::end() {
  out_ += "\r\n";
  fieldWritten_ = false;
}

std::vector<Record> splitRecords(std::string_view in, const std::string& file) {
  std::vector<Record> records;
  Record rec;
  Field field;
  int line = 1;
  bool anything = false;  // the current record has some content
  auto error = [&](const std::string& what) {
    throw FormatError(file + ", line " + std::to_string(line) + ": " + what);
  };
  auto endField = [&] {
    rec.fields.push_back(std::move(field));
    field = Field{};
  };
  auto endRecord = [&] {
    if (anything) {
      endField();
      records.push_back(std::move(rec));
    }
    rec = Record{};
    anything = false;
  };
  size_t i = 0;
  while (i < in.size()) {
    const char c = in[i];
    if (!anything) rec.line = line;
    if (c == '\r' || c == '\n') {
      endRecord();
      if (c == '\r' && i + 1 < in.size() && in[i + 1] == '\n') ++i;
      ++line;
      ++i;
      continue;
    }
    anything = true;
    if (c == ',') {
      endField();
      ++i;
      continue;
    }
    if ((c == '"' || c == '#') && field.text.empty() && field.kind == FieldKind::Bare) {
      const int startLine = line;
      field.kind = c == '"' ? FieldKind::Quoted : FieldKind::Dated;
      ++i;
      for (;;) {
        if (i >= in.size()) {
          line = startLine;
          error(c == '"' ? "a string is not closed" : "a date is not closed");
        }
        if (in[i] == c) {
          if (c == '"' && i + 1 < in.size() && in[i + 1] == '"') {
            field.text += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        if (in[i] == '\n') ++line;
        field.text += in[i++];
      }
      // Only a separator or the end of the line may follow.
      if (i < in.size() && in[i] != ',' && in[i] != '\r' && in[i] != '\n')
        error("unexpected text after a closing " + std::string(c == '"' ? "quote" : "number sign"));
      continue;
    }
    if (field.kind != FieldKind::Bare) error("unexpected text after a closing quote");
    field.text += c;
    ++i;
  }
  endRecord();
  return records;
}

FieldReader::FieldReader(const Record& r, const std::string& file, size_t expected)
    : r_(r), file_(file) {
  if (r.fields.size() != expected)
    throw FormatError(file + ", line " + std::to_string(r.line) + ": " +
                      std::to_string(r.fields.size()) + " fields instead of " +
                      std::to_string(expected));
}

void FieldReader::fail(const std::string& what) const {
  throw FormatError(file_ + ", line " + std::to_string(r_.line) + ", field " +
                    std::to_string(next_) + ": " + what);
}

const Field& FieldReader::take() {
  if (next_ >= r_.fields.size()) {
    ++next_;
    fail("missing");
  }
  return r_.fields[next_++];
}

double FieldReader::number() {
  const Field& f = take();
  if (f.kind != FieldKind::Bare) fail("not a number");
  auto v = text::readNumber(f.text);
  if (!v) fail("\"" + f.text + "\" is not a number");
  return *v;
}

double FieldReader::numberOrNaN() {
  if (next_ < r_.fields.size() && r_.fields[next_].kind == FieldKind::Bare &&
      r_.fields[next_].text.empty()) {
    ++next_;
    return NAN;
  }
  return number();
}

int64_t FieldReader::whole(int64_t lo, int64_t hi) {
  const double v = number();
  if (v != std::floor(v) || v < double(lo) || v > double(hi))
    fail(text::plain(v) + " is not a whole number from " + std::to_string(lo) + " to " +
         std::to_string(hi));
  return int64_t(v);
}

float FieldReader::single() {
  const double v = number();
  if (std::fabs(v) > 3.4e38) fail(text::plain(v) + " is too large");
  return float(v);
}

std::string FieldReader::str() {
  const Field& f = take();
  if (f.kind != FieldKind::Quoted) fail("not a string");
  return f.text;
}

bool FieldReader::isDate() const {
  return next_ < r_.fields.size() && r_.fields[next_].kind == FieldKind::Dated;
}

text::Date FieldReader::date() {
  const Field& f = take();
  auto d = f.kind == FieldKind::Dated ? text::parseSaveDate("#" + f.text + "#") : std::nullopt;
  if (!d) fail("not a date");
  return *d;
}

}  // namespace orbits::persist
