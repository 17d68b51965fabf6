#include "formula/FormulaMessages.h"

#include "common/Numbers.h"
#include "formula/FormulaNumbers.h"
#include "formula/FormulaText.h"

namespace qelt::formula::msg {
namespace {

std::string S(std::string_view text) { return std::string(text); }

/// Characters that show as nothing or as a blank: controls, the spaces and joiners of
/// Unicode, format characters, fillers and tags.
bool IsInvisible(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0xA0) || c == 0xAD || c == 0x034F || c == 0x061C || c == 0x115F ||
           c == 0x1160 || c == 0x1680 || c == 0x180E || (c >= 0x2000 && c <= 0x200F) ||
           (c >= 0x2028 && c <= 0x202F) || (c >= 0x205F && c <= 0x206F) || c == 0x3000 || c == 0x3164 ||
           (c >= 0xFE00 && c <= 0xFE0F) || c == 0xFEFF || c == 0xFFA0 || (c >= 0xFFF0 && c <= 0xFFFB) ||
           (c >= 0xE0000 && c <= 0xE0FFF);
}

/// "U+00A0": at least four hexadecimal digits.
std::string CodePoint(char32_t c) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string digits;
    for (char32_t v = c; v != 0 || digits.size() < 4; v >>= 4) digits.insert(digits.begin(), kHex[v & 0xF]);
    return "U+" + digits;
}

/// A word of the user's text as a message shows it: at most 32 characters, the rest given
/// as "…" (a name may be 64 KB long), an invisible character or a byte that is not UTF-8
/// by its code point.
constexpr std::size_t kShownCharacters = 32;

std::string Shown(std::string_view text) {
    std::string shown;
    std::size_t at = 0;
    for (std::size_t characters = 0; at < text.size() && characters < kShownCharacters; ++characters) {
        char32_t c;
        std::size_t length;
        if (!DecodeUtf8(text, at, c, length)) c = 0xFFFD, length = 1;
        shown += IsInvisible(c) || c == 0xFFFD ? CodePoint(c) : std::string(text.substr(at, length));
        at += length;
    }
    return at < text.size() ? shown + "…" : shown;
}

std::string I(long long value) { return FormatInt(value); }
std::string D(double value) { return FormatShortest(value); }

}  // namespace

std::string TextTooLong(std::size_t maxBytes) {
    return "公式文本超过 " + I(static_cast<long long>(maxBytes)) + " 字节";
}
std::string NotUtf8() { return "文本不是有效的 UTF-8"; }
std::string UnknownCharacter(std::string_view character) {
    char32_t c = 0xFFFD;
    std::size_t length = 0;
    const bool one = !character.empty() && DecodeUtf8(character, 0, c, length) && length == character.size();
    return "未知的字符 " + (one && !IsInvisible(c) ? S(character) : CodePoint(one ? c : 0xFFFD));
}
std::string UnclosedComment() { return "注释没有结束"; }
std::string BadNumber(std::string_view text) { return "数字 " + Shown(text) + " 写法不对"; }
std::string NumberOutOfRange(std::string_view text) { return "数字 " + Shown(text) + " 超出范围"; }

std::string MissingOperand() { return "缺少运算数"; }
std::string Missing(std::string_view symbol) { return "缺少 " + S(symbol); }
std::string Unexpected(std::string_view symbol) { return "多余的 " + S(symbol); }
std::string MissingAttribute() { return "逗号后面缺少属性"; }
std::string MissingArgumentList(std::string_view function) { return Shown(function) + " 后面缺少 ("; }
std::string TooDeep(int maxDepth) { return "嵌套超过 " + I(maxDepth) + " 层"; }
std::string TooManyStatements(int maxStatements) { return "语句超过 " + I(maxStatements) + " 条"; }

std::string UnknownFunction(std::string_view name) { return "未知的函数 " + Shown(name); }
std::string UnknownName(std::string_view name) { return "未知的名称 " + Shown(name); }
std::string NotAFunction(std::string_view name) { return Shown(name) + " 不是函数"; }
std::string DefinedLater(std::string_view name) { return "名称 " + Shown(name) + " 在后面才定义"; }
std::string SelfReference(std::string_view name) { return "名称 " + Shown(name) + " 不能引用自身"; }
std::string DefinedTwice(std::string_view name) { return "名称 " + Shown(name) + " 重复定义"; }
std::string NameIsData(std::string_view name) { return "名称 " + Shown(name) + " 是数据名"; }
std::string NameIsFunction(std::string_view name) { return "名称 " + Shown(name) + " 是函数名"; }
std::string NameIsAttribute(std::string_view name) { return "名称 " + Shown(name) + " 是属性名"; }
std::string NameIsOperator(std::string_view name) { return "名称 " + Shown(name) + " 是运算符"; }
std::string NameIsParameter(std::string_view name) { return "名称 " + Shown(name) + " 与参数重名"; }
std::string NameIsUnnamedOutput(std::string_view name) { return "名称 " + Shown(name) + " 与无名输出线重名"; }

std::string ArgumentCount(std::string_view function, int count) {
    return Shown(function) + " 需要 " + I(count) + " 个参数";
}
std::string MustBeConstant(char letter) { return std::string(1, letter) + " 必须是常数"; }
std::string OutOfRange(char letter, int minimum, int maximum) {
    return std::string(1, letter) + " 必须在 " + I(minimum) + " 到 " + I(maximum) + " 之间";
}
std::string MAboveN() { return "M 不能大于 N"; }
std::string WeightOutOfRange() { return "A 必须大于 0 且不大于 1"; }

std::string TooCostly() { return "公式计算量过大，已停止"; }
std::string Cancelled() { return "计算已取消"; }

std::string NoOutput() { return "公式没有输出线"; }
std::string TooManyOutputs(int maxOutputs) { return "输出线超过 " + I(maxOutputs) + " 条"; }
std::string UnknownAttribute(std::string_view name) { return "未知的属性 " + Shown(name); }
std::string AttributeOnVariable() { return "变量不能带属性"; }
std::string AttributeTwice(std::string_view name) { return "属性 " + Shown(name) + " 重复"; }
std::string AttributesClash(std::string_view name, std::string_view earlier) {
    return "属性 " + Shown(name) + " 与 " + Shown(earlier) + " 冲突";
}

std::string UnclosedText() { return "文字缺少结尾的单引号"; }
std::string TextLiteralTooLong(int maxCharacters) { return "文字超过 " + I(maxCharacters) + " 个字符"; }
std::string TextMisplaced() { return "文字只能作 DRAWTEXT 的第 3 个参数"; }
std::string TextNeeded() { return "DRAWTEXT 的第 3 个参数须是单引号中的文字"; }
std::string DrawingNotAlone(std::string_view name) { return Shown(name) + " 只能单独成句"; }
std::string DrawingNamed(std::string_view name) { return "绘图语句 " + Shown(name) + " 不能命名"; }
std::string DrawingAttribute(std::string_view name) { return "绘图语句不能带属性 " + Shown(name); }
std::string MustBeNumber(char letter) { return std::string(1, letter) + " 必须是数字"; }
std::string TooManyDrawings(int maxDrawings) { return "绘图语句超过 " + I(maxDrawings) + " 条"; }
std::string TooManyMarks() { return "绘图标记过多，已停止"; }

std::string TooManyParameters(int maxParameters) { return "参数超过 " + I(maxParameters) + " 个"; }
std::string ParameterNameEmpty() { return "参数名不能为空"; }
std::string ParameterNameInvalid(std::string_view name) {
    return "参数名 " + Shown(name) + " 不是合法的名称";
}
std::string ParameterIsData(std::string_view name) { return "参数名 " + Shown(name) + " 是数据名"; }
std::string ParameterIsFunction(std::string_view name) { return "参数名 " + Shown(name) + " 是函数名"; }
std::string ParameterIsAttribute(std::string_view name) { return "参数名 " + Shown(name) + " 是属性名"; }
std::string ParameterIsOperator(std::string_view name) { return "参数名 " + Shown(name) + " 是运算符"; }
std::string ParameterTwice(std::string_view name) { return "参数 " + Shown(name) + " 重复定义"; }
std::string ParameterNotFinite(std::string_view name) { return "参数 " + Shown(name) + " 的数值无效"; }
std::string ParameterRangeReversed(std::string_view name) {
    return "参数 " + Shown(name) + " 的最小值大于最大值";
}
std::string ParameterDefaultOutside(std::string_view name, double minimum, double maximum) {
    return "参数 " + Shown(name) + " 的缺省值不在 " + D(minimum) + " 到 " + D(maximum) + " 之间";
}
std::string ParameterValueOutside(std::string_view name, double minimum, double maximum) {
    return Shown(name) + " 的值必须在 " + D(minimum) + " 到 " + D(maximum) + " 之间";
}

std::string FormulaNameEmpty() { return "公式名称不能为空"; }
std::string FormulaNameInvalid(std::string_view name) { return "公式名称 " + Shown(name) + " 不合规则"; }
std::string FormulaNameTaken(std::string_view name) { return "已有名为 " + Shown(name) + " 的公式"; }
std::string DescriptionTooLong(std::size_t maxBytes) {
    return "公式说明超过 " + I(static_cast<long long>(maxBytes)) + " 字节";
}
std::string NoSuchFormula() { return "没有这个公式"; }
std::string FileUnreadable(std::string_view path) { return "无法读取 " + S(path); }
std::string FileTooLarge(std::string_view path, std::size_t maxBytes) {
    return S(path) + " 超过 " + I(static_cast<long long>(maxBytes)) + " 字节，无法读取";
}
std::string FileNotSaved(std::string_view path) { return "无法写入 " + S(path) + "，修改只保留到程序退出"; }
std::string FileKeptReadOnly(std::string_view path) {
    return S(path) + " 读取失败，本次运行不会改写它，修改只保留到程序退出";
}
std::string FileWouldBeTooLarge(std::size_t maxBytes) {
    return "公式文件将超过 " + I(static_cast<long long>(maxBytes)) + " 字节，未作修改";
}
std::string EntryDamaged(int fileLine, std::string_view what) {
    return "第 " + I(fileLine) + " 行的公式已损坏，未载入: " + S(what);
}
std::string EntryTextHasError(std::string_view name, std::string_view error) {
    return "公式 " + Shown(name) + " 有错误: " + S(error);
}
std::string ImportNeedsOneFormula(std::size_t found) {
    return "导入文件应含 1 个公式，实有 " + I(static_cast<long long>(found)) + " 个";
}
std::string ExportFailed(std::string_view path) { return "无法写入 " + S(path); }

std::string BadEntryId(std::string_view text) { return "编号 " + Shown(text) + " 无效"; }
std::string EntryIdTwice(int id) { return "编号 " + I(id) + " 重复"; }
std::string LineOutsideEntry() { return "行不属于任何公式"; }
std::string UnknownKey(std::string_view key) { return "未知的项 " + Shown(key); }
std::string KeyTwice(std::string_view key) { return "项 " + Shown(key) + " 重复"; }
std::string MissingKey(std::string_view key) { return "缺少项 " + Shown(key); }
std::string BadParameterLine(std::string_view text) { return "参数 " + Shown(text) + " 写法不对"; }
std::string BadNextId(std::string_view text) { return "next_id " + Shown(text) + " 无效"; }
std::string BadPlace(std::string_view text) { return "place=" + Shown(text) + " 无效，应为 main 或 sub"; }

}  // namespace qelt::formula::msg
