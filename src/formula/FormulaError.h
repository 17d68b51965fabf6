#pragma once
/// What is wrong with a formula, and where: the editor puts the cursor at `line`:`column`
/// and shows `message`; qelt-ta prints "FILE:LINE:COL: message".
#include <string>

namespace qelt {

struct FormulaError {
    /// Place in the text, both from 1; columns count characters (UTF-8 code points), not
    /// bytes. 0 and 0 when the error is about a parameter rather than the text.
    int line = 0;
    int column = 0;
    /// The parameter the error is about (its index in the list given to the compiler), or -1.
    int parameter = -1;
    /// One short Chinese sentence without a full stop: "未知的函数 MAA".
    std::string message;

    bool InText() const { return line > 0; }
    /// "3:12: 未知的函数 MAA" for an error in the text; the message alone for a parameter.
    std::string Describe() const;

    friend bool operator==(const FormulaError&, const FormulaError&) = default;
};

}  // namespace qelt
