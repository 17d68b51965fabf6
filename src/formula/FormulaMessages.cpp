#include "formula/FormulaMessages.h"

#include "common/Numbers.h"
#include "formula/FormulaNumbers.h"

namespace qelt::formula::msg {
namespace {

std::string S(std::string_view text) { return std::string(text); }
std::string I(long long value) { return FormatInt(value); }
std::string D(double value) { return FormatShortest(value); }

}  // namespace

std::string TextTooLong(std::size_t maxBytes) {
    return "公式文本超过 " + I(static_cast<long long>(maxBytes)) + " 字节";
}
std::string NotUtf8() { return "文本不是有效的 UTF-8"; }
std::string UnknownCharacter(std::string_view character) { return "未知的字符 " + S(character); }
std::string UnclosedComment() { return "注释没有结束"; }
std::string BadNumber(std::string_view text) { return "数字 " + S(text) + " 写法不对"; }
std::string NumberOutOfRange(std::string_view text) { return "数字 " + S(text) + " 超出范围"; }

std::string MissingOperand() { return "缺少运算数"; }
std::string Missing(std::string_view symbol) { return "缺少 " + S(symbol); }
std::string Unexpected(std::string_view symbol) { return "多余的 " + S(symbol); }
std::string MissingAttribute() { return "逗号后面缺少属性"; }
std::string MissingArgumentList(std::string_view function) { return S(function) + " 后面缺少 ("; }
std::string TooDeep(int maxDepth) { return "嵌套超过 " + I(maxDepth) + " 层"; }
std::string TooManyStatements(int maxStatements) { return "语句超过 " + I(maxStatements) + " 条"; }

std::string UnknownFunction(std::string_view name) { return "未知的函数 " + S(name); }
std::string UnknownName(std::string_view name) { return "未知的名称 " + S(name); }
std::string NotAFunction(std::string_view name) { return S(name) + " 不是函数"; }
std::string DefinedLater(std::string_view name) { return "名称 " + S(name) + " 在后面才定义"; }
std::string SelfReference(std::string_view name) { return "名称 " + S(name) + " 不能引用自身"; }
std::string DefinedTwice(std::string_view name) { return "名称 " + S(name) + " 重复定义"; }
std::string NameIsData(std::string_view name) { return "名称 " + S(name) + " 是数据名"; }
std::string NameIsFunction(std::string_view name) { return "名称 " + S(name) + " 是函数名"; }
std::string NameIsAttribute(std::string_view name) { return "名称 " + S(name) + " 是属性名"; }
std::string NameIsOperator(std::string_view name) { return "名称 " + S(name) + " 是运算符"; }
std::string NameIsParameter(std::string_view name) { return "名称 " + S(name) + " 与参数重名"; }
std::string NameIsUnnamedOutput(std::string_view name) { return "名称 " + S(name) + " 与无名输出线重名"; }

std::string ArgumentCount(std::string_view function, int count) {
    return S(function) + " 需要 " + I(count) + " 个参数";
}
std::string MustBeConstant(char letter) { return std::string(1, letter) + " 必须是常数"; }
std::string OutOfRange(char letter, int minimum, int maximum) {
    return std::string(1, letter) + " 必须在 " + I(minimum) + " 到 " + I(maximum) + " 之间";
}
std::string MAboveN() { return "M 不能大于 N"; }
std::string WeightOutOfRange() { return "A 必须大于 0 且不大于 1"; }

std::string NoOutput() { return "公式没有输出线"; }
std::string TooManyOutputs(int maxOutputs) { return "输出线超过 " + I(maxOutputs) + " 条"; }
std::string UnknownAttribute(std::string_view name) { return "未知的属性 " + S(name); }
std::string AttributeOnVariable() { return "变量不能带属性"; }
std::string AttributeTwice(std::string_view name) { return "属性 " + S(name) + " 重复"; }
std::string AttributesClash(std::string_view name, std::string_view earlier) {
    return "属性 " + S(name) + " 与 " + S(earlier) + " 冲突";
}

std::string TooManyParameters(int maxParameters) { return "参数超过 " + I(maxParameters) + " 个"; }
std::string ParameterNameEmpty() { return "参数名不能为空"; }
std::string ParameterNameInvalid(std::string_view name) { return "参数名 " + S(name) + " 不是合法的名称"; }
std::string ParameterIsData(std::string_view name) { return "参数名 " + S(name) + " 是数据名"; }
std::string ParameterIsFunction(std::string_view name) { return "参数名 " + S(name) + " 是函数名"; }
std::string ParameterIsAttribute(std::string_view name) { return "参数名 " + S(name) + " 是属性名"; }
std::string ParameterIsOperator(std::string_view name) { return "参数名 " + S(name) + " 是运算符"; }
std::string ParameterTwice(std::string_view name) { return "参数 " + S(name) + " 重复定义"; }
std::string ParameterNotFinite(std::string_view name) { return "参数 " + S(name) + " 的数值无效"; }
std::string ParameterRangeReversed(std::string_view name) {
    return "参数 " + S(name) + " 的最小值大于最大值";
}
std::string ParameterDefaultOutside(std::string_view name, double minimum, double maximum) {
    return "参数 " + S(name) + " 的缺省值不在 " + D(minimum) + " 到 " + D(maximum) + " 之间";
}
std::string ParameterValueOutside(std::string_view name, double minimum, double maximum) {
    return S(name) + " 的值必须在 " + D(minimum) + " 到 " + D(maximum) + " 之间";
}

std::string FormulaNameEmpty() { return "公式名称不能为空"; }
std::string FormulaNameInvalid(std::string_view name) { return "公式名称 " + S(name) + " 不合规则"; }
std::string FormulaNameTaken(std::string_view name) { return "已有名为 " + S(name) + " 的公式"; }
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
    return "公式 " + S(name) + " 有错误: " + S(error);
}
std::string ImportNeedsOneFormula(std::size_t found) {
    return "导入文件应含 1 个公式，实有 " + I(static_cast<long long>(found)) + " 个";
}
std::string ExportFailed(std::string_view path) { return "无法写入 " + S(path); }

std::string BadEntryId(std::string_view text) { return "编号 " + S(text) + " 无效"; }
std::string EntryIdTwice(int id) { return "编号 " + I(id) + " 重复"; }
std::string LineOutsideEntry() { return "行不属于任何公式"; }
std::string UnknownKey(std::string_view key) { return "未知的项 " + S(key); }
std::string KeyTwice(std::string_view key) { return "项 " + S(key) + " 重复"; }
std::string MissingKey(std::string_view key) { return "缺少项 " + S(key); }
std::string BadParameterLine(std::string_view text) { return "参数 " + S(text) + " 写法不对"; }
std::string BadNextId(std::string_view text) { return "next_id " + S(text) + " 无效"; }

}  // namespace qelt::formula::msg
