#pragma once
/// qelt-ta's analysis modes: screening bar files with a formula as a condition, testing a
/// formula as a trading system, and optimising its parameters (TaAnalysisArguments.h).
#include <string>

#include "data/Bar.h"
#include "tools/TaArguments.h"

namespace qelt::ta {

/// --screen: reads its files, screens them and prints the selected ones. 0, or 2 with
/// `error` set to one line.
int RunScreenMode(const TaArguments& arguments, std::string& out, std::string& error);

/// --system (with --summary or --optimize) over `bars`, the series of the period. False
/// with `error` set to one line.
bool RunSystemMode(const TaArguments& arguments, const BarSeries& bars, std::string& out, std::string& error);

}  // namespace qelt::ta
