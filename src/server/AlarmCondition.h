#pragma once
/// The alarm condition the client builds, read by a strict parser of exactly its grammar:
///
///   condition  := disjunct { "or" disjunct }
///   disjunct   := term { "and" term }
///   term       := "(" condition ")" | comparison
///   comparison := ("goods_no" | "due_date") "=" quoted
///               | ("price" | "all_num" | "pure_num") (">=" | "<=") number
///   quoted     := "'" any characters but "'" and line ends, at most 64 "'"
///   number     := digits [ "." digits ]
///
/// White space separates tokens freely. Anything else (other names or operators, a missing
/// parenthesis, trailing text, nesting deeper than 16, more than 256 tokens or 2048 bytes)
/// is refused as a whole, so it fires nothing. The text is never handed to an interpreter.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qelt::server {

/// The quote values a condition can name.
struct AlarmSubject {
    std::string_view goodsNo;
    std::string_view dueDate;
    double price = 0;
    double allNum = 0;
    double pureNum = 0;
};

class AlarmCondition {
  public:
    enum class Op { Or, And, TextEquals, AtLeast, AtMost };
    enum class Field { None, GoodsNo, DueDate, Price, AllNum, PureNum };
    struct Node {
        Op op = Op::Or;
        Field field = Field::None;
        std::string text;
        double number = 0;
        int left = -1, right = -1;  ///< child nodes of Or / And
    };

    /// Nothing when the text is outside the grammar.
    static std::optional<AlarmCondition> Parse(std::string_view text);
    bool Matches(const AlarmSubject& subject) const;

    /// The goods number and delivery month the condition requires with a top-level "and"
    /// (the client always puts them there); empty when it does not pin them.
    std::string PinnedGoodsNo() const;
    std::string PinnedDueDate() const;

  private:
    bool Eval(int node, const AlarmSubject& s) const;
    std::string Pinned(int node, Field field) const;
    std::vector<Node> m_nodes;
    int m_root = -1;
    friend class AlarmParser;
};

}  // namespace qelt::server
