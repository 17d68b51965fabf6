#pragma once
/// The second step: tokens to the tree of statements and expressions, checking the syntax
/// only (names are resolved by the checker).
///
///   formula   = { [statement] ";" } [statement]
///   statement = NAME ":" expr { "," NAME } | NAME ":=" expr { "," NAME } | expr { "," NAME }
///             | DRAWING "(" [arg { "," arg }] ")" { "," NAME }
///   arg       = expr | TEXT   (TEXT, a literal in single quotes: DRAWTEXT's third argument only)
///   expr      = or;  or = and { (OR | "||") and };  and = cmp { (AND | "&&") cmp }
///   cmp       = sum { (">" | "<" | ">=" | "<=" | "=" | "<>" | "!=") sum }
///   sum       = term { ("+" | "-") term };  term = unary { ("*" | "/") unary }
///   unary     = ("-" | "+" | NOT) unary | NUMBER | NAME | NAME "(" [expr { "," expr }] ")" | "(" expr ")"
///
/// Brackets, calls and unary operators nest; the parser refuses more than kMaxDepth levels
/// of them, so its own recursion stays bounded whatever the text. Binary operators of one
/// level are read in a loop and group from the left.
#include <string_view>

#include "formula/FormulaError.h"
#include "formula/FormulaLexer.h"
#include "formula/FormulaTree.h"

namespace qelt::formula {

inline constexpr int kMaxDepth = 200;
inline constexpr int kMaxStatements = 1000;

/// Builds `tree` from the tokens of `text`. False with `error` at the first token that does
/// not fit, the first character that starts no token, or where the text goes beyond
/// kMaxDepth or kMaxStatements, whichever comes first in the text.
bool Parse(std::string_view text, Tree& tree, FormulaError& error);

}  // namespace qelt::formula
