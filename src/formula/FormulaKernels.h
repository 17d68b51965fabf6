#pragma once
/// The per-bar operations of the column code: one pass over the series per instruction,
/// each operand either a column or one value for every bar.
#include "formula/FormulaProgram.h"

namespace qelt::formula {

/// One operand as the kernels read it: a column when `column` is set, else `scalar`.
struct Source {
    const double* column = nullptr;
    double scalar = 0.0;
};

/// `op` (Negate .. If) over bars 0..n-1 into `out`, which may be one of the input columns.
/// At least one input is a column.
void RunPerBar(OpCode op, const Source* in, double* out, int n);

/// `op` (Constant .. If) on single values: the scalar code.
double ApplyScalar(OpCode op, const double* in);

}  // namespace qelt::formula
