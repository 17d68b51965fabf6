#pragma once
/// qelt-ta as a function: arguments in, standard output text, one error line and the exit
/// status out (0 success, 2 any error). main() only moves the texts to the streams.
#include <string>
#include <vector>

namespace qelt::ta {

/// Runs qelt-ta with `args` (without the program name). On success `out` holds what goes
/// to standard output; on failure `error` holds one line without a line end and the status
/// is 2: "qelt-ta: " and the problem, or for a fault in a formula's text
/// "TEXTFILE:LINE:COL: message".
int RunQeltTa(const std::vector<std::string>& args, std::string& out, std::string& error);

}  // namespace qelt::ta
