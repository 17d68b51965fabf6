#include "formula/FormulaParser.h"

#include "formula/FormulaDrawingNames.h"
#include "formula/FormulaMessages.h"
#include "formula/FormulaText.h"

namespace qelt::formula {
namespace {

/// The binary operator `token` is at precedence `level` (0 OR, 1 AND, 2 comparisons, 3 sums,
/// 4 products), if it is one.
bool BinaryAt(int level, const Token& token, Operator& op) {
    switch (level) {
        case 0:
            if (token.kind == TokenKind::OrOr ||
                (token.kind == TokenKind::Name && SameName(token.text, "OR"))) {
                op = Operator::Or;
                return true;
            }
            return false;
        case 1:
            if (token.kind == TokenKind::AndAnd ||
                (token.kind == TokenKind::Name && SameName(token.text, "AND"))) {
                op = Operator::And;
                return true;
            }
            return false;
        case 2:
            switch (token.kind) {
                case TokenKind::Greater:
                    op = Operator::Greater;
                    return true;
                case TokenKind::Less:
                    op = Operator::Less;
                    return true;
                case TokenKind::GreaterEqual:
                    op = Operator::GreaterEqual;
                    return true;
                case TokenKind::LessEqual:
                    op = Operator::LessEqual;
                    return true;
                case TokenKind::Equal:
                    op = Operator::Equal;
                    return true;
                case TokenKind::NotEqual:
                    op = Operator::NotEqual;
                    return true;
                default:
                    return false;
            }
        case 3:
            if (token.kind == TokenKind::Plus) return op = Operator::Add, true;
            if (token.kind == TokenKind::Minus) return op = Operator::Subtract, true;
            return false;
        default:
            if (token.kind == TokenKind::Star) return op = Operator::Multiply, true;
            if (token.kind == TokenKind::Slash) return op = Operator::Divide, true;
            return false;
    }
}

constexpr int kUnaryLevel = 5;

class Parser {
  public:
    Parser(std::string_view text, Tree& tree, FormulaError& error)
        : m_source(text), m_lexer(text), m_tree(tree), m_error(error) {}

    bool Run() {
        m_tree = Tree{};
        m_tree.source = m_source;
        // One node per token at most, and a token takes a byte at least: reserved once, the
        // array never moves, and the pages it does not use are never touched.
        m_tree.nodes.reserve(m_source.size() + 1);
        while (Peek().kind != TokenKind::End) {
            if (Peek().kind == TokenKind::Semicolon) {
                Next();
                continue;
            }
            if (m_tree.statements.size() >= static_cast<std::size_t>(kMaxStatements)) {
                return Fail(Peek(), msg::TooManyStatements(kMaxStatements));
            }
            if (!ParseStatement()) return false;
            if (Peek().kind == TokenKind::Semicolon) {
                Next();
            } else if (Peek().kind != TokenKind::End) {
                return Fail(Peek(),
                            Peek().kind == TokenKind::RightParen ? msg::Unexpected(")") : msg::Missing(";"));
            }
        }
        if (m_lexerFailed) return Fail(Peek(), {});
        m_tree.endLine = Peek().line;
        m_tree.endColumn = Peek().column;
        return true;
    }

  private:
    /// The token `ahead` places on (0 or 1), read from the lexer when first asked for. After
    /// a fault of the lexer every token is an End at the fault's place.
    const Token& Peek(int ahead = 0) {
        while (m_ahead <= ahead) {
            if (!m_lexer.Next(m_tokens[m_ahead])) m_lexerFailed = true;
            ++m_ahead;
        }
        return m_tokens[ahead];
    }
    /// The current token (a copy: the lookahead moves on), then the next one.
    Token Next() {
        const Token token = Peek();
        m_tokens[0] = m_tokens[1];
        --m_ahead;
        return token;
    }

    /// At the End a fault of the lexer leaves, that fault is the one to report: it lies
    /// before anything the parser could find there.
    bool Fail(const Token& at, std::string message) {
        const bool lexerFault = m_lexerFailed && at.kind == TokenKind::End;
        m_error = lexerFault ? m_lexer.Error() : FormulaError{at.line, at.column, -1, std::move(message)};
        return false;
    }

    /// One more level of brackets, calls or unary operators, opened at `at`.
    bool Enter(const Token& at) {
        if (++m_depth > kMaxDepth) return Fail(at, msg::TooDeep(kMaxDepth));
        return true;
    }
    void Leave() { --m_depth; }

    /// A token's text as its place in the source.
    void SetText(Node& node, std::string_view text) const {
        node.textAt = static_cast<std::uint32_t>(text.data() - m_source.data());
        node.textLength = static_cast<std::uint32_t>(text.size());
    }

    int AddNode(Node node) {
        m_tree.nodes.push_back(node);
        return static_cast<int>(m_tree.nodes.size()) - 1;
    }
    Node& At(int node) { return m_tree.nodes[static_cast<std::size_t>(node)]; }

    /// The drawing function the current token and the next one call, if they do.
    const DrawingFunctionInfo* DrawingAhead() {
        if (Peek().kind != TokenKind::Name || Peek(1).kind != TokenKind::LeftParen) return nullptr;
        return FindDrawingFunction(UpperAscii(Peek().text));
    }

    bool ParseStatement() {
        Statement statement;
        statement.line = Peek().line;
        statement.column = Peek().column;
        statement.firstNode = static_cast<int>(m_tree.nodes.size());
        if (const DrawingFunctionInfo* drawing = DrawingAhead()) {
            if (!ParseDrawing(*drawing, statement)) return false;
        } else {
            if (Peek().kind == TokenKind::Name &&
                (Peek(1).kind == TokenKind::Colon || Peek(1).kind == TokenKind::Assign)) {
                const Token name = Peek();
                statement.name = name.text;
                statement.kind =
                    Peek(1).kind == TokenKind::Colon ? StatementKind::Output : StatementKind::Variable;
                Next();
                Next();
                if (const DrawingFunctionInfo* drawing = DrawingAhead())
                    return Fail(name, msg::DrawingNamed(drawing->name));
            }
            int root;
            if (!ParseLevel(0, root)) return false;
        }
        while (Peek().kind == TokenKind::Comma) {
            Next();
            if (Peek().kind != TokenKind::Name) return Fail(Peek(), msg::MissingAttribute());
            const Token attribute = Next();
            statement.attributes.push_back({attribute.text, attribute.line, attribute.column});
        }
        statement.endNode = static_cast<int>(m_tree.nodes.size());
        m_tree.statements.push_back(std::move(statement));
        return true;
    }

    /// STICKLINE(...) and the others: each argument an expression but DRAWTEXT's third, a
    /// text literal. Nothing but attributes may follow the closing bracket.
    bool ParseDrawing(const DrawingFunctionInfo& info, Statement& statement) {
        const Token name = Next();
        Next();  // "("
        if (!Enter(name)) return false;
        statement.kind = StatementKind::Drawing;
        statement.drawingKind = info.kind;
        if (Peek().kind != TokenKind::RightParen) {
            for (;;) {
                const bool text =
                    info.kind == FormulaDrawingKind::Text && statement.drawingArguments.size() == 2;
                if (text) {
                    if (Peek().kind != TokenKind::Text) return Fail(Peek(), msg::TextNeeded());
                    const Token literal = Next();
                    statement.drawingText = literal.text.substr(1, literal.text.size() - 2);
                    statement.drawingArguments.push_back(-1);
                } else {
                    int argument;
                    if (!ParseLevel(0, argument)) return false;
                    statement.drawingArguments.push_back(argument);
                }
                if (Peek().kind != TokenKind::Comma) break;
                Next();
            }
        }
        if (Peek().kind != TokenKind::RightParen) return Fail(Peek(), msg::Missing(")"));
        Next();
        Leave();
        if (static_cast<int>(statement.drawingArguments.size()) != info.arity)
            return Fail(name, msg::ArgumentCount(info.name, info.arity));
        Operator op;
        for (int level = 0; level < kUnaryLevel; ++level)
            if (BinaryAt(level, Peek(), op)) return Fail(name, msg::DrawingNotAlone(info.name));
        return true;
    }

    bool ParseLevel(int level, int& node) {
        if (level == kUnaryLevel) return ParseUnary(node);
        if (!ParseLevel(level + 1, node)) return false;
        Operator op;
        while (BinaryAt(level, Peek(), op)) {
            const Token token = Next();
            int right;
            if (!ParseLevel(level + 1, right)) return false;
            Node binary;
            binary.kind = NodeKind::Binary;
            binary.op = op;
            binary.line = token.line, binary.column = token.column;
            binary.startLine = At(node).startLine, binary.startColumn = At(node).startColumn;
            binary.first = node;
            binary.second = right;
            node = AddNode(binary);
        }
        return true;
    }

    bool ParseUnary(int& node) {
        const Token token = Peek();
        Operator op;
        if (token.kind == TokenKind::Minus) {
            op = Operator::Negate;
        } else if (token.kind == TokenKind::Plus) {
            op = Operator::Identity;
        } else if (token.kind == TokenKind::Name && SameName(token.text, "NOT")) {
            op = Operator::Not;
        } else {
            return ParsePrimary(node);
        }
        Next();
        if (!Enter(token)) return false;
        int operand;
        if (!ParseUnary(operand)) return false;
        Leave();
        Node unary;
        unary.kind = NodeKind::Unary;
        unary.op = op;
        unary.line = unary.startLine = token.line;
        unary.column = unary.startColumn = token.column;
        unary.first = operand;
        node = AddNode(unary);
        return true;
    }

    bool ParsePrimary(int& node) {
        const Token token = Peek();
        if (token.kind == TokenKind::Number) {
            Next();
            Node number;
            number.kind = NodeKind::Number;
            number.line = number.startLine = token.line;
            number.column = number.startColumn = token.column;
            number.value = token.number;
            node = AddNode(number);
            return true;
        }
        if (token.kind == TokenKind::LeftParen) return ParseBracket(node);
        if (token.kind == TokenKind::Text) return Fail(token, msg::TextMisplaced());
        if (token.kind != TokenKind::Name || SameName(token.text, "AND") || SameName(token.text, "OR")) {
            return Fail(token, msg::MissingOperand());
        }
        Next();
        if (Peek().kind == TokenKind::LeftParen) {
            if (const DrawingFunctionInfo* drawing = FindDrawingFunction(UpperAscii(token.text)))
                return Fail(token, msg::DrawingNotAlone(drawing->name));
            return ParseCall(token, node);
        }
        Node name;
        name.kind = NodeKind::Name;
        name.line = name.startLine = token.line;
        name.column = name.startColumn = token.column;
        SetText(name, token.text);
        node = AddNode(name);
        return true;
    }

    bool ParseBracket(int& node) {
        const Token open = Next();
        if (!Enter(open)) return false;
        if (!ParseLevel(0, node)) return false;
        if (Peek().kind != TokenKind::RightParen) return Fail(Peek(), msg::Missing(")"));
        Next();
        Leave();
        At(node).startLine = open.line;
        At(node).startColumn = open.column;
        return true;
    }

    bool ParseCall(const Token& name, int& node) {
        Next();  // "("
        if (!Enter(name)) return false;
        std::vector<int> arguments;
        if (Peek().kind != TokenKind::RightParen) {
            for (;;) {
                int argument;
                if (!ParseLevel(0, argument)) return false;
                arguments.push_back(argument);
                if (Peek().kind != TokenKind::Comma) break;
                Next();
            }
        }
        if (Peek().kind != TokenKind::RightParen) return Fail(Peek(), msg::Missing(")"));
        Next();
        Leave();
        Node call;
        call.kind = NodeKind::Call;
        call.line = call.startLine = name.line;
        call.column = call.startColumn = name.column;
        SetText(call, name.text);
        call.first = static_cast<int>(m_tree.arguments.size());
        call.second = static_cast<int>(arguments.size());
        m_tree.arguments.insert(m_tree.arguments.end(), arguments.begin(), arguments.end());
        node = AddNode(call);
        return true;
    }

    std::string_view m_source;
    Lexer m_lexer;
    Token m_tokens[2];
    int m_ahead = 0;  ///< tokens read ahead into m_tokens
    bool m_lexerFailed = false;
    Tree& m_tree;
    FormulaError& m_error;
    int m_depth = 0;
};

}  // namespace

bool Parse(std::string_view text, Tree& tree, FormulaError& error) { return Parser(text, tree, error).Run(); }

}  // namespace qelt::formula
