#pragma once
/// The tree of a formula: its statements and their expressions, as the parser builds it and
/// the checker annotates it.
///
/// The nodes of all expressions live in one array in post order: a node's operands always
/// come before it, and the nodes of statement k are the run [firstNode, endNode) with its
/// root last. Every later pass walks that array forwards, never the tree recursively, so a
/// long chain "1+1+...+1" costs no stack however deep the tree it makes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "formula/FormulaDrawing.h"
#include "formula/FormulaNames.h"
#include "formula/FormulaOutput.h"

namespace qelt::formula {

enum class NodeKind : unsigned char { Number, Name, Call, Unary, Binary };

enum class Operator : unsigned char {
    Negate,
    Identity,  ///< unary "+"
    Not,
    Add,
    Subtract,
    Multiply,
    Divide,
    Greater,
    Less,
    GreaterEqual,
    LessEqual,
    Equal,
    NotEqual,
    And,
    Or,
};

/// What a Name node stands for, once checked.
enum class NameKind : unsigned char { Unresolved, Data, Parameter, Statement };

struct Node {
    double value = 0.0;        ///< Number: the literal; uniform nodes (checker): the value at the defaults
    int line = 1, column = 1;  ///< the node's own token: number, name, operator
    int startLine = 1, startColumn = 1;  ///< the first token of the node's text ("(" included)
    /// Unary: the operand; Binary: the left operand; Call: its first argument's slot in
    /// Tree::arguments.
    int first = -1;
    int second = -1;  ///< Binary: the right operand; Call: the number of arguments
    /// Name and Call: the name as written, bytes textAt .. textAt + textLength of the source.
    std::uint32_t textAt = 0, textLength = 0;
    NodeKind kind = NodeKind::Number;
    Operator op = Operator::Add;  ///< Unary and Binary

    // Filled by the checker.
    NameKind nameKind = NameKind::Unresolved;
    Function function = Function::Ma;  ///< Call
    bool uniform = false;   ///< the same value at every bar (numbers, parameters and what is made of them)
    bool constant = false;  ///< a constant argument may be this: numbers, parameters and their arithmetic
    int reference = -1;     ///< Data: the BarData; Parameter: its index; Statement: its index
};

struct AttributeToken {
    std::string_view text;
    int line = 1, column = 1;
};

/// Drawing: STICKLINE(...), DRAWTEXT(...), ...: a statement of its own, no output, no name.
enum class StatementKind : unsigned char { Output, Variable, Unnamed, Drawing };

struct Statement {
    StatementKind kind = StatementKind::Unnamed;
    std::string_view name;           ///< Output and Variable: as written
    int line = 1, column = 1;        ///< the statement's first token (its name, when it has one)
    int firstNode = 0, endNode = 0;  ///< its nodes; the root is endNode - 1
    std::vector<AttributeToken> attributes;
    /// Drawing: each argument's root node in order (their nodes are the statement's, one
    /// argument's after the other's), -1 for DRAWTEXT's text, which is `drawingText`.
    FormulaDrawingKind drawingKind = FormulaDrawingKind::Polyline;
    std::vector<int> drawingArguments;
    std::string_view drawingText;  ///< between the quotes

    // Filled by the checker.
    int output = -1;              ///< place among the outputs, -1 for a variable
    bool uniform = false;         ///< the root is uniform
    std::string displayName;      ///< Output: the name as written; Unnamed: "OUT1", "OUT2", ...
    FormulaOutputStyle style;     ///< outputs: what the attributes say
    int drawing = -1;             ///< Drawing: place among the drawing statements
    FormulaDrawing drawingStyle;  ///< Drawing: what its constants, text and colour say

    int Root() const { return endNode - 1; }
};

struct Tree {
    std::string_view source;  ///< the text the nodes' names lie in
    std::vector<Node> nodes;
    std::vector<int> arguments;  ///< a call's arguments: node indices, contiguous per call
    std::vector<Statement> statements;
    int endLine = 1, endColumn = 1;  ///< the place just after the text's last character

    std::string_view Text(const Node& node) const { return source.substr(node.textAt, node.textLength); }
    const Node& Argument(const Node& call, int k) const {
        return nodes[static_cast<std::size_t>(arguments[static_cast<std::size_t>(call.first + k)])];
    }
};

}  // namespace qelt::formula
