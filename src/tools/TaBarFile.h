#pragma once
/// The bar files qelt-ta reads: one bar per line, the ten bar fields in bar-row order
/// separated by commas (no quoting); a first line that does not start with a digit is a
/// header. Blank lines are ignored; a "\r" before the line end is dropped. Text passes
/// through as bytes: due_date is copied, never converted. A minute bar file has an eleventh
/// field on every row, the bar's time HHMM (one to four digits, "0935" or "935").
#include <string>
#include <string_view>

#include "data/Bar.h"

namespace qelt::ta {

struct BarFile {
    bool hasHeader = false;
    bool minute = false;  ///< the rows have the time as an eleventh field
    std::string header;   ///< the header line as it stood, without its line end
    BarSeries bars;
};

/// Parses `text`. A row is malformed unless it has exactly ten fields (eleven, with a time,
/// on every row of a minute bar file: the first row decides), an eight-digit date and plain
/// decimal numbers (optional sign, digits, optional fraction) in fields 2 to 9; then `error`
/// reads "line N: ..." and the result is false.
bool ParseBarFile(std::string_view text, BarFile& file, std::string& error);

/// The ten fields of a bar joined by commas.
std::string FormatBarRow(const CBarRow& bar);
/// A row as the bar file holds it: FormatBarRow, and for a minute bar file ",HHMM".
std::string FormatBarFileRow(const CBarRow& bar, bool minute);

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
/// Optional sign, digits, optional "." and digits; at least one digit in all: a number field
/// of the tool's input files (no exponent, no spaces, no "inf").
bool IsPlainNumber(std::string_view text);

}  // namespace qelt::ta
