#include "formula/FormulaNames.h"

#include <array>

namespace qelt::formula {
namespace {

struct NamedData {
    std::string_view name;
    BarData data;
};

constexpr NamedData kBarData[] = {
    {"OPEN", BarData::Open},
    {"O", BarData::Open},
    {"HIGH", BarData::High},
    {"H", BarData::High},
    {"LOW", BarData::Low},
    {"L", BarData::Low},
    {"CLOSE", BarData::Close},
    {"C", BarData::Close},
    {"VOL", BarData::Volume},
    {"V", BarData::Volume},
    {"AVGPRICE", BarData::AveragePrice},
    {"OPI", BarData::Position},
    {"DATE", BarData::Date},
    {"TIME", BarData::Time},
};

constexpr ConstantRule kWindow{'N', 1, false};       // N >= 1
constexpr ConstantRule kWindowOrAll{'N', 0, false};  // N >= 0 (0: every bar so far)
constexpr ConstantRule kTwoOrMore{'N', 2, false};    // STD's, SLOPE's and FORCAST's N >= 2
constexpr ConstantRule kWeightM{'M', 1, false};      // SMA's M >= 1 (and at most N)
constexpr ConstantRule kWeightA{'A', 0, true};       // DMA's 0 < A <= 1

constexpr FunctionInfo kFunctions[] = {
    {"MA", Function::Ma, 2, 1, {kWindow}},
    {"EMA", Function::Ema, 2, 1, {kWindow}},
    {"SMA", Function::Sma, 3, 1, {kWindow, kWeightM}},
    {"DMA", Function::Dma, 2, 1, {kWeightA}},
    {"REF", Function::Ref, 2, 1, {kWindowOrAll}},
    {"HHV", Function::Hhv, 2, 1, {kWindowOrAll}},
    {"LLV", Function::Llv, 2, 1, {kWindowOrAll}},
    {"SUM", Function::Sum, 2, 1, {kWindowOrAll}},
    {"COUNT", Function::Count, 2, 1, {kWindowOrAll}},
    {"STD", Function::Std, 2, 1, {kTwoOrMore}},
    {"STDP", Function::Stdp, 2, 1, {kWindow}},
    {"AVEDEV", Function::Avedev, 2, 1, {kWindow}},
    {"ABS", Function::Abs, 1, 1, {}},
    {"SQRT", Function::Sqrt, 1, 1, {}},
    {"LN", Function::Ln, 1, 1, {}},
    {"MAX", Function::Max, 2, 2, {}},
    {"MIN", Function::Min, 2, 2, {}},
    {"IF", Function::If, 3, 3, {}},
    {"CROSS", Function::Cross, 2, 2, {}},
    {"BARSLAST", Function::BarsLast, 1, 1, {}},
    {"WMA", Function::Wma, 2, 1, {kWindow}},
    {"SLOPE", Function::Slope, 2, 1, {kTwoOrMore}},
    {"FORCAST", Function::Forcast, 2, 1, {kTwoOrMore}},
    {"VALUEWHEN", Function::ValueWhen, 2, 2, {}},
    {"FILTER", Function::Filter, 2, 1, {kWindow}},
    {"EXIST", Function::Exist, 2, 1, {kWindowOrAll}},
    {"EVERY", Function::Every, 2, 1, {kWindowOrAll}},
    {"BARSCOUNT", Function::BarsCount, 1, 1, {}},
    {"BARSSINCE", Function::BarsSince, 1, 1, {}},
    {"BARSLASTCOUNT", Function::BarsLastCount, 1, 1, {}},
    {"HHVBARS", Function::HhvBars, 2, 1, {kWindowOrAll}},
    {"LLVBARS", Function::LlvBars, 2, 1, {kWindowOrAll}},
    {"POW", Function::Pow, 2, 2, {}},
    {"EXP", Function::Exp, 1, 1, {}},
    {"LOG", Function::Log, 1, 1, {}},
    {"SIGN", Function::Sign, 1, 1, {}},
};

struct NamedColour {
    std::string_view name;
    Colour colour;
};

constexpr NamedColour kColours[] = {
    {"COLORRED", Rgb(255, 0, 0)},      {"COLORGREEN", Rgb(0, 255, 0)},     {"COLORBLUE", Rgb(0, 0, 255)},
    {"COLORYELLOW", Rgb(255, 255, 0)}, {"COLORWHITE", Rgb(255, 255, 255)}, {"COLORMAGENTA", Rgb(255, 0, 255)},
    {"COLORCYAN", Rgb(0, 255, 255)},   {"COLORGRAY", Rgb(128, 128, 128)},
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

/// "COLOR" and six hex digits RRGGBB (upper case already).
std::optional<Colour> HexColour(std::string_view name) {
    if (name.size() != 11 || name.substr(0, 5) != "COLOR") return std::nullopt;
    unsigned value = 0;
    for (char c : name.substr(5)) {
        const int digit = HexDigit(c);
        if (digit < 0) return std::nullopt;
        value = value * 16 + static_cast<unsigned>(digit);
    }
    return Rgb(value >> 16, value >> 8, value);
}

}  // namespace

std::optional<BarData> FindBarData(std::string_view upperName) {
    for (const NamedData& d : kBarData)
        if (d.name == upperName) return d.data;
    return std::nullopt;
}

const FunctionInfo* FindFunction(std::string_view upperName) {
    for (const FunctionInfo& f : kFunctions)
        if (f.name == upperName) return &f;
    return nullptr;
}

const FunctionInfo& InfoOf(Function function) {
    for (const FunctionInfo& f : kFunctions)
        if (f.function == function) return f;
    return kFunctions[0];
}

bool IsKeyword(std::string_view upperName) {
    return upperName == "AND" || upperName == "OR" || upperName == "NOT";
}

std::optional<AttributeInfo> FindAttribute(std::string_view upperName) {
    for (const NamedColour& c : kColours)
        if (c.name == upperName) return AttributeInfo{AttributeKind::Colour, c.colour, 1};
    if (auto colour = HexColour(upperName)) return AttributeInfo{AttributeKind::Colour, *colour, 1};
    if (upperName.size() == 10 && upperName.substr(0, 9) == "LINETHICK" && upperName[9] >= '1' &&
        upperName[9] <= '4') {
        return AttributeInfo{AttributeKind::Thickness, 0, upperName[9] - '0'};
    }
    if (upperName == "DOTLINE") return AttributeInfo{AttributeKind::Dotted};
    if (upperName == "STICK") return AttributeInfo{AttributeKind::Stick};
    if (upperName == "COLORSTICK") return AttributeInfo{AttributeKind::ColourStick};
    if (upperName == "VOLSTICK") return AttributeInfo{AttributeKind::VolumeStick};
    if (upperName == "NODRAW") return AttributeInfo{AttributeKind::NoDraw};
    return std::nullopt;
}

}  // namespace qelt::formula
