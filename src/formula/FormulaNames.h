#pragma once
/// The names the language knows: the bar data, the functions with their arguments, the
/// line attributes and the logical keywords. Every lookup takes a name in upper case
/// (UpperAscii): names are compared without case in their ASCII letters.
#include <cstdint>
#include <optional>
#include <string_view>

#include "gfx/GfxTypes.h"

namespace qelt::formula {

/// The bar fields a formula can read, in the order of the bits of a field mask.
enum class BarData : unsigned char { Open, High, Low, Close, Volume, AveragePrice, Position, Date, Time };
inline constexpr int kBarDataCount = 9;
inline constexpr std::uint32_t BitOf(BarData data) { return 1u << static_cast<unsigned>(data); }

/// OPEN/O, HIGH/H, LOW/L, CLOSE/C, VOL/V, AVGPRICE, OPI, DATE, TIME.
std::optional<BarData> FindBarData(std::string_view upperName);

enum class Function : unsigned char {
    Ma,
    Ema,
    Sma,
    Dma,
    Ref,
    Hhv,
    Llv,
    Sum,
    Count,
    Std,
    Stdp,
    Avedev,
    Abs,
    Sqrt,
    Ln,
    Max,
    Min,
    If,
    Cross,
    BarsLast,
    Wma,
    Slope,
    Forcast,
    ValueWhen,
    Filter,
    Exist,
    Every,
    BarsCount,
    BarsSince,
    BarsLastCount,
    HhvBars,
    LlvBars,
    Pow,
    Exp,
    Log,
    Sign,
};

/// The last function of the table (for walks over every function).
inline constexpr Function kLastFunction = Function::Sign;

/// What a constant argument (N, M or A) may be. N and M are taken toward zero to whole
/// numbers first; A is taken as it is.
struct ConstantRule {
    char letter = 'N';
    int minimum = 1;      ///< N, M: the smallest whole number allowed
    bool weight = false;  ///< A: 0 < A <= 1 instead of minimum..kMaxWindow
};

/// The largest window N or M a formula may ask for.
inline constexpr int kMaxWindow = 1000000;

struct FunctionInfo {
    std::string_view name;  ///< as the user sees it in messages: "MA"
    Function function;
    int arity;
    /// Arguments from this index on are constants with the rules below (arity: none are).
    int firstConstant;
    ConstantRule rules[2];
};

const FunctionInfo* FindFunction(std::string_view upperName);
const FunctionInfo& InfoOf(Function function);

/// AND, OR, NOT.
bool IsKeyword(std::string_view upperName);

/// How an output line is drawn, as its attributes say.
enum class AttributeKind : unsigned char {
    Colour,
    Thickness,
    Dotted,
    Stick,
    ColourStick,
    VolumeStick,
    NoDraw
};

struct AttributeInfo {
    AttributeKind kind;
    Colour colour = 0;  ///< Colour: 0x00BBGGRR
    int thickness = 1;  ///< Thickness: 1 to 4
};

/// COLORRED ... COLORGRAY, COLOR + six hex digits RRGGBB, LINETHICK1 to LINETHICK4, DOTLINE,
/// STICK, COLORSTICK, VOLSTICK, NODRAW.
std::optional<AttributeInfo> FindAttribute(std::string_view upperName);

}  // namespace qelt::formula
