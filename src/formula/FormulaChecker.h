#pragma once
/// The third step: the tree checked against the language's rules and annotated for the
/// compiler. Names are resolved (bar data, parameters, earlier statements), calls checked
/// against their functions (argument count, constant arguments and their ranges), statement
/// names against what they may not be, attributes read into each output's style, outputs
/// counted and named.
///
/// The statements are checked in order and each one's nodes in post order, so the error
/// reported is the first one met in that walk: nearly always the first one in the text.
#include <optional>
#include <string>
#include <vector>

#include "formula/FormulaError.h"
#include "formula/FormulaNames.h"
#include "formula/FormulaParameters.h"
#include "formula/FormulaTree.h"

namespace qelt::formula {

inline constexpr int kMaxOutputs = 16;

/// Checks and annotates `tree`; `parameters` must have passed CheckParameters. Constant
/// arguments are checked at the parameters' defaults. False with `error` at the first fault.
bool Check(Tree& tree, const std::vector<FormulaParameter>& parameters, FormulaError& error);

/// The problem with `value` as a constant argument under `rule`, or nothing: N and M are
/// taken toward zero and must lie within rule.minimum..kMaxWindow; A must be > 0 and <= 1.
/// A constant without a value (a division by zero) is out of range.
std::optional<std::string> ConstantProblem(const ConstantRule& rule, double value);

/// N or M as the whole number a windowed function uses (ConstantProblem found none).
inline int WholeWindow(double value) { return static_cast<int>(value); }

/// True for the functions computed bar by bar from their arguments' values at the bar (ABS,
/// SQRT, LN, MAX, MIN, IF, POW, EXP, LOG, SIGN): uniform on uniform arguments, one pass that
/// may write over an argument's column. The others go over the series.
bool IsPerBarFunction(Function f);

/// The value of an operator or of a per-bar function on uniform operands.
double ApplyOperator(Operator op, double a, double b);
double ApplyFunction(Function function, const double* arguments);

}  // namespace qelt::formula
