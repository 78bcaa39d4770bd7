#pragma once
// A small reader of comma-separated text as a spreadsheet reads it: quoted fields may hold
// commas, quotes (doubled) and line breaks; an empty line is a row without fields. The tests
// read the program's exports back with it, and split them into sections at the empty rows.

#include <charconv>
#include <string>
#include <string_view>
#include <vector>

namespace pulmora::testing_support {

using CsvRow = std::vector<std::string>;
using CsvTable = std::vector<CsvRow>;

// Every line of `text` as a row; a trailing line break ends the last row. `ok` turns false
// on a quote that does not close or a stray quote inside an unquoted field.
inline CsvTable readCsv(std::string_view text, bool* ok = nullptr) {
    CsvTable rows;
    CsvRow row;
    std::string field;
    bool quoted = false, fieldStarted = false, good = true;
    auto endField = [&] {
        row.push_back(field);
        field.clear();
        fieldStarted = false;
    };
    auto endRow = [&] {
        if (fieldStarted || !row.empty()) endField();
        rows.push_back(row);
        row.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c != '"') {
                field += c;
            } else if (i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == '"') {
            if (!field.empty()) good = false;
            quoted = fieldStarted = true;
        } else if (c == ',') {
            endField();
            fieldStarted = true; // the next field exists, even when it stays empty
        } else if (c == '\n') {
            endRow();
        } else if (c != '\r') {
            field += c;
            fieldStarted = true;
        }
    }
    if (quoted) good = false;
    if (fieldStarted || !row.empty()) endRow();
    if (ok) *ok = good;
    return rows;
}

// The runs of rows between empty rows; each section's first row is its header.
inline std::vector<CsvTable> csvSections(const CsvTable& rows) {
    std::vector<CsvTable> sections(1);
    for (const CsvRow& r : rows) {
        if (r.empty()) {
            sections.emplace_back();
        } else {
            sections.back().push_back(r);
        }
    }
    return sections;
}

// A field as a spreadsheet takes a number: the whole field must be one. `ok` tells whether it
// was; from_chars rounds the digits to the nearest float and, unlike strtof, ignores the locale.
inline float csvFloat(const std::string& field, bool* ok) {
    float value = 0;
    const char* end = field.data() + field.size();
    const auto [stop, error] = std::from_chars(field.data(), end, value);
    *ok = !field.empty() && error == std::errc() && stop == end;
    return value;
}

} // namespace pulmora::testing_support
