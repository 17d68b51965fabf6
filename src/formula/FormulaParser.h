#pragma once
/// The second step: tokens to the tree of statements and expressions, checking the syntax
/// only (names are resolved by the checker).
///
///   formula   = { [statement] ";" } [statement]
///   statement = NAME ":" expr { "," NAME } | NAME ":=" expr { "," NAME } | expr { "," NAME }
///   expr      = or;  or = and { (OR | "||") and };  and = cmp { (AND | "&&") cmp }
///   cmp       = sum { (">" | "<" | ">=" | "<=" | "=" | "<>" | "!=") sum }
///   sum       = term { ("+" | "-") term };  term = unary { ("*" | "/") unary }
///   unary     = ("-" | "+" | NOT) unary | NUMBER | NAME | NAME "(" [expr { "," expr }] ")" | "(" expr ")"
///
/// Brackets, calls and unary operators nest; the parser refuses more than kMaxDepth levels
/// of them, so its own recursion stays bounded whatever the text. Binary operators of one
/// level are read in a loop and group from the left.
#include <vector>

#include "formula/FormulaError.h"
#include "formula/FormulaLexer.h"
#include "formula/FormulaTree.h"

namespace qelt::formula {

inline constexpr int kMaxDepth = 200;
inline constexpr int kMaxStatements = 1000;

/// Builds `tree` from `tokens` (ending with End). False with `error` at the first token that
/// does not fit, or where the text goes beyond kMaxDepth or kMaxStatements.
bool Parse(const std::vector<Token>& tokens, Tree& tree, FormulaError& error);

}  // namespace qelt::formula
