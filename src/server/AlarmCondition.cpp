#include "server/AlarmCondition.h"

#include "common/Numbers.h"

namespace qelt::server {
namespace {

constexpr size_t kMaxText = 2048;
constexpr size_t kMaxTokens = 256;
constexpr int kMaxDepth = 16;
constexpr size_t kMaxQuoted = 64;

enum class Tok { Name, Quoted, Number, LParen, RParen, AtLeast, AtMost, Equals };
struct Token {
    Tok kind;
    std::string_view text;
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsNameChar(char c) { return (c >= 'a' && c <= 'z') || c == '_'; }

bool Tokenize(std::string_view s, std::vector<Token>& out) {
    size_t i = 0;
    while (i < s.size()) {
        char c = s[i];
        if (IsBlank(c)) {
            ++i;
            continue;
        }
        if (out.size() >= kMaxTokens) return false;
        size_t start = i;
        if (c == '(' || c == ')') {
            out.push_back({c == '(' ? Tok::LParen : Tok::RParen, s.substr(i, 1)});
            ++i;
        } else if ((c == '>' || c == '<') && i + 1 < s.size() && s[i + 1] == '=') {
            out.push_back({c == '>' ? Tok::AtLeast : Tok::AtMost, s.substr(i, 2)});
            i += 2;
        } else if (c == '=') {
            out.push_back({Tok::Equals, s.substr(i, 1)});
            ++i;
        } else if (c == '\'') {
            size_t close = s.find('\'', i + 1);
            if (close == std::string_view::npos || close - i - 1 > kMaxQuoted) return false;
            std::string_view inner = s.substr(i + 1, close - i - 1);
            if (inner.find_first_of("\r\n") != std::string_view::npos) return false;
            out.push_back({Tok::Quoted, inner});
            i = close + 1;
        } else if (IsDigit(c)) {
            while (i < s.size() && IsDigit(s[i])) ++i;
            if (i < s.size() && s[i] == '.') {
                ++i;
                if (i >= s.size() || !IsDigit(s[i])) return false;
                while (i < s.size() && IsDigit(s[i])) ++i;
            }
            if (i - start > 24) return false;
            out.push_back({Tok::Number, s.substr(start, i - start)});
        } else if (IsNameChar(c)) {
            while (i < s.size() && IsNameChar(s[i])) ++i;
            out.push_back({Tok::Name, s.substr(start, i - start)});
        } else {
            return false;
        }
    }
    return true;
}

AlarmCondition::Field FieldOf(std::string_view name) {
    using F = AlarmCondition::Field;
    if (name == "goods_no") return F::GoodsNo;
    if (name == "due_date") return F::DueDate;
    if (name == "price") return F::Price;
    if (name == "all_num") return F::AllNum;
    if (name == "pure_num") return F::PureNum;
    return F::None;
}

}  // namespace

/// Recursive descent over the token list; every rule either consumes what it expects or
/// fails the whole parse.
class AlarmParser {
  public:
    AlarmParser(const std::vector<Token>& tokens, AlarmCondition& out) : m_t(tokens), m_out(out) {}

    bool Run() {
        int root = Condition(0);
        if (root < 0 || m_pos != m_t.size()) return false;
        m_out.m_root = root;
        return true;
    }

  private:
    using Node = AlarmCondition::Node;
    using Op = AlarmCondition::Op;

    bool PeekName(std::string_view word) const {
        return m_pos < m_t.size() && m_t[m_pos].kind == Tok::Name && m_t[m_pos].text == word;
    }
    int Add(Node n) {
        m_out.m_nodes.push_back(std::move(n));
        return static_cast<int>(m_out.m_nodes.size()) - 1;
    }
    int Join(Op op, int left, int right) {
        Node n;
        n.op = op;
        n.left = left;
        n.right = right;
        return Add(std::move(n));
    }
    int Condition(int depth) {
        if (depth > kMaxDepth) return -1;
        int left = Disjunct(depth);
        while (left >= 0 && PeekName("or")) {
            ++m_pos;
            int right = Disjunct(depth);
            if (right < 0) return -1;
            left = Join(Op::Or, left, right);
        }
        return left;
    }
    int Disjunct(int depth) {
        int left = Term(depth);
        while (left >= 0 && PeekName("and")) {
            ++m_pos;
            int right = Term(depth);
            if (right < 0) return -1;
            left = Join(Op::And, left, right);
        }
        return left;
    }
    int Term(int depth) {
        if (m_pos >= m_t.size()) return -1;
        if (m_t[m_pos].kind == Tok::LParen) {
            ++m_pos;
            int inner = Condition(depth + 1);
            if (inner < 0 || m_pos >= m_t.size() || m_t[m_pos].kind != Tok::RParen) return -1;
            ++m_pos;
            return inner;
        }
        return Comparison();
    }
    int Comparison() {
        if (m_pos + 3 > m_t.size() || m_t[m_pos].kind != Tok::Name) return -1;
        Node n;
        n.field = FieldOf(m_t[m_pos].text);
        const Token& op = m_t[m_pos + 1];
        const Token& value = m_t[m_pos + 2];
        bool textField =
            n.field == AlarmCondition::Field::GoodsNo || n.field == AlarmCondition::Field::DueDate;
        if (n.field == AlarmCondition::Field::None) return -1;
        if (textField) {
            if (op.kind != Tok::Equals || value.kind != Tok::Quoted) return -1;
            n.op = Op::TextEquals;
            n.text = std::string(value.text);
        } else {
            if ((op.kind != Tok::AtLeast && op.kind != Tok::AtMost) || value.kind != Tok::Number) return -1;
            n.op = op.kind == Tok::AtLeast ? Op::AtLeast : Op::AtMost;
            n.number = LeadingDouble(value.text);
        }
        m_pos += 3;
        return Add(std::move(n));
    }

    const std::vector<Token>& m_t;
    AlarmCondition& m_out;
    size_t m_pos = 0;
};

std::optional<AlarmCondition> AlarmCondition::Parse(std::string_view text) {
    if (text.size() > kMaxText) return std::nullopt;
    std::vector<Token> tokens;
    if (!Tokenize(text, tokens) || tokens.empty()) return std::nullopt;
    AlarmCondition c;
    AlarmParser parser(tokens, c);
    if (!parser.Run()) return std::nullopt;
    return c;
}

bool AlarmCondition::Eval(int i, const AlarmSubject& s) const {
    const Node& n = m_nodes[static_cast<size_t>(i)];
    switch (n.op) {
        case Op::Or:
            return Eval(n.left, s) || Eval(n.right, s);
        case Op::And:
            return Eval(n.left, s) && Eval(n.right, s);
        case Op::TextEquals:
            return (n.field == Field::GoodsNo ? s.goodsNo : s.dueDate) == n.text;
        case Op::AtLeast:
        case Op::AtMost: {
            double v = n.field == Field::Price ? s.price : n.field == Field::AllNum ? s.allNum : s.pureNum;
            return n.op == Op::AtLeast ? v >= n.number : v <= n.number;
        }
    }
    return false;
}

bool AlarmCondition::Matches(const AlarmSubject& subject) const {
    return m_root >= 0 && Eval(m_root, subject);
}

std::string AlarmCondition::Pinned(int i, Field field) const {
    if (i < 0) return {};
    const Node& n = m_nodes[static_cast<size_t>(i)];
    if (n.op == Op::TextEquals) return n.field == field ? n.text : std::string();
    if (n.op != Op::And) return {};
    std::string left = Pinned(n.left, field);
    return left.empty() ? Pinned(n.right, field) : left;
}

std::string AlarmCondition::PinnedGoodsNo() const { return Pinned(m_root, Field::GoodsNo); }
std::string AlarmCondition::PinnedDueDate() const { return Pinned(m_root, Field::DueDate); }

}  // namespace qelt::server
