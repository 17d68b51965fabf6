#include "formula/FormulaFunctionList.h"

#include <algorithm>
#include <iterator>

#include "common/Text.h"
#include "formula/FormulaText.h"

namespace qelt::formula {
namespace {

// Short names for the table's kind column, unique in the library (unity builds).
constexpr FunctionEntryKind kListedFunction = FunctionEntryKind::Function;
constexpr FunctionEntryKind kListedDrawing = FunctionEntryKind::Drawing;
constexpr FunctionEntryKind kListedData = FunctionEntryKind::Data;

constexpr FunctionEntry kFunctionListEntries[] = {
    {"MA", "X,N", "X 的 N 周期简单移动平均", kListedFunction},
    {"EMA", "X,N", "X 的 N 周期指数移动平均", kListedFunction},
    {"SMA", "X,N,M", "X 的 N 周期移动平均，新值权重 M/N", kListedFunction},
    {"DMA", "X,A", "X 的动态移动平均，新值权重 A（0 < A ≤ 1）", kListedFunction},
    {"REF", "X,N", "N 根K线之前的 X", kListedFunction},
    {"HHV", "X,N", "N 周期内 X 的最高值（N 为 0 时从第一根起）", kListedFunction},
    {"LLV", "X,N", "N 周期内 X 的最低值（N 为 0 时从第一根起）", kListedFunction},
    {"SUM", "X,N", "N 周期内 X 的和（N 为 0 时从第一根起累加）", kListedFunction},
    {"COUNT", "X,N", "N 周期内 X 为真的次数", kListedFunction},
    {"STD", "X,N", "N 周期内 X 的样本标准差", kListedFunction},
    {"STDP", "X,N", "N 周期内 X 的总体标准差", kListedFunction},
    {"AVEDEV", "X,N", "N 周期内 X 的平均绝对偏差", kListedFunction},
    {"ABS", "X", "X 的绝对值", kListedFunction},
    {"SQRT", "X", "X 的平方根（负数无值）", kListedFunction},
    {"LN", "X", "X 的自然对数（X ≤ 0 无值）", kListedFunction},
    {"MAX", "A,B", "A、B 中较大者", kListedFunction},
    {"MIN", "A,B", "A、B 中较小者", kListedFunction},
    {"IF", "X,A,B", "X 为真取 A，否则取 B", kListedFunction},
    {"CROSS", "A,B", "A 从下向上穿过 B 的那根K线为 1，否则为 0", kListedFunction},
    {"BARSLAST", "X", "距上一次 X 为真的K线根数", kListedFunction},
    {"WMA", "X,N", "X 的 N 周期加权移动平均，越新的K线权重越大", kListedFunction},
    {"SLOPE", "X,N", "N 周期内 X 的线性回归斜率", kListedFunction},
    {"FORCAST", "X,N", "N 周期内 X 的线性回归在当根K线的值", kListedFunction},
    {"VALUEWHEN", "C,X", "最近一次 C 为真时 X 的值", kListedFunction},
    {"FILTER", "X,N", "X 为真时为 1，其后 N 根K线内的信号滤去", kListedFunction},
    {"EXIST", "X,N", "N 周期内 X 曾经为真时为 1，否则为 0", kListedFunction},
    {"EVERY", "X,N", "N 周期内 X 一直为真时为 1，否则为 0", kListedFunction},
    {"BARSCOUNT", "X", "从 X 第一个有值的K线起到当根的根数", kListedFunction},
    {"BARSSINCE", "X", "距 X 第一次为真的K线根数", kListedFunction},
    {"BARSLASTCOUNT", "X", "到当根为止 X 连续为真的K线根数", kListedFunction},
    {"HHVBARS", "X,N", "距 N 周期内 X 最高值的K线根数", kListedFunction},
    {"LLVBARS", "X,N", "距 N 周期内 X 最低值的K线根数", kListedFunction},
    {"POW", "A,B", "A 的 B 次方", kListedFunction},
    {"EXP", "X", "e 的 X 次方", kListedFunction},
    {"LOG", "X", "X 的常用对数（以 10 为底）", kListedFunction},
    {"SIGN", "X", "X 的符号：1、0 或 -1", kListedFunction},

    {"STICKLINE", "COND,P1,P2,W,E", "条件成立时画 P1 到 P2 的柱线，W 为宽度，E 非 0 为空心", kListedDrawing},
    {"DRAWTEXT", "COND,P,'TEXT'", "条件成立时在 P 处写出文字", kListedDrawing},
    {"DRAWNUMBER", "COND,P,X", "条件成立时在 P 处写出 X 的数值", kListedDrawing},
    {"DRAWICON", "COND,P,K", "条件成立时在 P 处画图标：1 上箭头，2 下箭头，3 圆点，4 叉", kListedDrawing},
    {"POLYLINE", "COND,P", "把条件成立的各根K线上的点 P 连成折线", kListedDrawing},

    {"OPEN", "", "开盘价", kListedData},
    {"O", "", "开盘价（OPEN 的简写）", kListedData},
    {"HIGH", "", "最高价", kListedData},
    {"H", "", "最高价（HIGH 的简写）", kListedData},
    {"LOW", "", "最低价", kListedData},
    {"L", "", "最低价（LOW 的简写）", kListedData},
    {"CLOSE", "", "收盘价", kListedData},
    {"C", "", "收盘价（CLOSE 的简写）", kListedData},
    {"VOL", "", "成交量", kListedData},
    {"V", "", "成交量（VOL 的简写）", kListedData},
    {"AVGPRICE", "", "均价", kListedData},
    {"OPI", "", "净持仓量", kListedData},
    {"DATE", "", "日期，写作数字 YYYYMMDD", kListedData},
    {"TIME", "", "分钟线的时刻，写作数字 HHMM；日、周、月线上为 0", kListedData},
};

}  // namespace

std::span<const FunctionEntry> FunctionEntries() { return kFunctionListEntries; }

const FunctionEntry* FindFunctionEntry(std::string_view upperName) {
    for (const FunctionEntry& entry : kFunctionListEntries)
        if (entry.name == upperName) return &entry;
    return nullptr;
}

std::string CallForm(const FunctionEntry& entry) {
    if (entry.kind == FunctionEntryKind::Data) return std::string(entry.name);
    return std::string(entry.name) + "(" + std::string(entry.arguments) + ")";
}

FunctionInsertion InsertionOf(const FunctionEntry& entry) {
    FunctionInsertion insertion{CallForm(entry), 0, 0};
    if (entry.kind == FunctionEntryKind::Data) {
        insertion.selectFrom = static_cast<int>(insertion.text.size());  // the cursor after the name
        return insertion;
    }
    insertion.selectFrom = static_cast<int>(entry.name.size()) + 1;
    insertion.selectLength = static_cast<int>(entry.arguments.size());
    return insertion;
}

std::vector<std::size_t> FilterFunctionEntries(std::string_view typed) {
    const std::string wanted = UpperAscii(Trim(typed));
    std::vector<std::size_t> groups[3];
    for (std::size_t i = 0; i < std::size(kFunctionListEntries); ++i) {
        const FunctionEntry& entry = kFunctionListEntries[i];
        if (entry.name.starts_with(wanted)) {
            groups[0].push_back(i);
        } else if (entry.name.find(wanted) != std::string_view::npos) {
            groups[1].push_back(i);
        } else if (UpperAscii(entry.description).find(wanted) != std::string::npos) {
            groups[2].push_back(i);
        }
    }
    std::vector<std::size_t> found = std::move(groups[0]);
    for (int g = 1; g < 3; ++g) found.insert(found.end(), groups[g].begin(), groups[g].end());
    return found;
}

}  // namespace qelt::formula
