#pragma once
/// The bar files qelt-ta reads: one bar per line, the ten bar fields in bar-row order
/// separated by commas (no quoting); a first line that does not start with a digit is a
/// header. Blank lines are ignored; a "\r" before the line end is dropped. Text passes
/// through as bytes: due_date is copied, never converted.
#include <string>
#include <string_view>

#include "data/Bar.h"

namespace qelt::ta {

struct BarFile {
    bool hasHeader = false;
    std::string header;  ///< the header line as it stood, without its line end
    BarSeries bars;
};

/// Parses `text`. A row is malformed unless it has exactly ten fields, an eight-digit date
/// and plain decimal numbers (optional sign, digits, optional fraction) in fields 2 to 9;
/// then `error` reads "line N: ..." and the result is false.
bool ParseBarFile(std::string_view text, BarFile& file, std::string& error);

/// The ten fields of a bar joined by commas.
std::string FormatBarRow(const CBarRow& bar);

}  // namespace qelt::ta
