#pragma once
/// Every message of the formula language and of the formula file, in one place: what the
/// compiler, the evaluation, the parameter checks and the formula library say to the user.
/// Each is one short Chinese sentence without a full stop; the place (line:column) is
/// carried beside it in a FormulaError.
#include <string>
#include <string_view>

namespace qelt::formula::msg {

// Text and tokens.
std::string TextTooLong(std::size_t maxBytes);  ///< "公式文本超过 65536 字节"
std::string NotUtf8();                          ///< "文本不是有效的 UTF-8"
std::string UnknownCharacter(std::string_view character);
std::string UnclosedComment();
std::string BadNumber(std::string_view text);
std::string NumberOutOfRange(std::string_view text);

// Syntax.
std::string MissingOperand();
std::string Missing(std::string_view symbol);  ///< "缺少 )", "缺少 ;"
std::string Unexpected(std::string_view symbol);
std::string MissingAttribute();
std::string MissingArgumentList(std::string_view function);
std::string TooDeep(int maxDepth);
std::string TooManyStatements(int maxStatements);

// Names.
std::string UnknownFunction(std::string_view name);
std::string UnknownName(std::string_view name);
std::string NotAFunction(std::string_view name);
std::string DefinedLater(std::string_view name);
std::string SelfReference(std::string_view name);
std::string DefinedTwice(std::string_view name);
std::string NameIsData(std::string_view name);
std::string NameIsFunction(std::string_view name);
std::string NameIsAttribute(std::string_view name);
std::string NameIsOperator(std::string_view name);
std::string NameIsParameter(std::string_view name);
std::string NameIsUnnamedOutput(std::string_view name);

// Functions and their arguments.
std::string ArgumentCount(std::string_view function, int count);  ///< "MA 需要 2 个参数"
std::string MustBeConstant(char letter);                          ///< "N 必须是常数"
std::string OutOfRange(char letter, int minimum, int maximum);    ///< "N 必须在 1 到 1000000 之间"
std::string MAboveN();
std::string WeightOutOfRange();

// Computing.
std::string TooCostly();  ///< "公式计算量过大，已停止"
std::string Cancelled();

// Outputs and attributes.
std::string NoOutput();
std::string TooManyOutputs(int maxOutputs);
std::string UnknownAttribute(std::string_view name);
std::string AttributeOnVariable();
std::string AttributeTwice(std::string_view name);
std::string AttributesClash(std::string_view name, std::string_view earlier);

// Drawing statements and their text literals.
std::string UnclosedText();                         ///< "文字缺少结尾的单引号"
std::string TextLiteralTooLong(int maxCharacters);  ///< "文字超过 32 个字符"
std::string TextMisplaced();
std::string TextNeeded();
std::string DrawingNotAlone(std::string_view name);  ///< "STICKLINE 只能单独成句"
std::string DrawingNamed(std::string_view name);
std::string DrawingAttribute(std::string_view name);
std::string MustBeNumber(char letter);  ///< "W 必须是数字"
std::string TooManyDrawings(int maxDrawings);
std::string TooManyMarks();  ///< "绘图标记过多，已停止"

// Parameters.
std::string TooManyParameters(int maxParameters);
std::string ParameterNameEmpty();
std::string ParameterNameInvalid(std::string_view name);
std::string ParameterIsData(std::string_view name);
std::string ParameterIsFunction(std::string_view name);
std::string ParameterIsAttribute(std::string_view name);
std::string ParameterIsOperator(std::string_view name);
std::string ParameterTwice(std::string_view name);
std::string ParameterNotFinite(std::string_view name);
std::string ParameterRangeReversed(std::string_view name);
std::string ParameterDefaultOutside(std::string_view name, double minimum, double maximum);
std::string ParameterValueOutside(std::string_view name, double minimum, double maximum);

// The formula file and its entries.
std::string FormulaNameEmpty();
std::string FormulaNameInvalid(std::string_view name);
std::string FormulaNameTaken(std::string_view name);
std::string DescriptionTooLong(std::size_t maxBytes);
std::string NoSuchFormula();
std::string FileUnreadable(std::string_view path);
std::string FileTooLarge(std::string_view path, std::size_t maxBytes);
std::string FileNotSaved(std::string_view path);
std::string FileKeptReadOnly(std::string_view path);
std::string FileWouldBeTooLarge(std::size_t maxBytes);
std::string EntryDamaged(int fileLine, std::string_view what);
std::string EntryTextHasError(std::string_view name, std::string_view error);
std::string ImportNeedsOneFormula(std::size_t found);
std::string ExportFailed(std::string_view path);

// Descriptions of a damaged entry (the `what` of EntryDamaged).
std::string BadEntryId(std::string_view text);
std::string EntryIdTwice(int id);
std::string LineOutsideEntry();
std::string UnknownKey(std::string_view key);
std::string KeyTwice(std::string_view key);
std::string MissingKey(std::string_view key);
std::string BadParameterLine(std::string_view text);
std::string BadNextId(std::string_view text);
std::string BadPlace(std::string_view text);

}  // namespace qelt::formula::msg
