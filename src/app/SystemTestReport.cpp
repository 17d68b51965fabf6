#include "app/SystemTestReport.h"

#include <map>

#include "app/SystemTestModel.h"
#include "common/Numbers.h"
#include "common/Text.h"
#include "formula/FormulaNumbers.h"

namespace qelt {
namespace {

using formula::FormatShortest;

const std::map<std::string_view, const char*>& Captions() {
    static const std::map<std::string_view, const char*> captions{
        {"trades", "交易次数"},          {"wins", "盈利次数"},
        {"win_rate", "胜率(%)"},         {"net_profit", "净利润"},
        {"gross_profit", "总盈利"},      {"gross_loss", "总亏损"},
        {"profit_factor", "盈利因子"},   {"average_trade", "平均每笔盈亏"},
        {"largest_win", "最大单笔盈利"}, {"largest_loss", "最大单笔亏损"},
        {"max_drawdown", "最大回撤"},    {"max_drawdown_pct", "最大回撤(%)"},
        {"return_pct", "收益率(%)"},     {"exposure_pct", "持仓时间比例(%)"},
        {"open_position", "期末持仓"},
    };
    return captions;
}

std::string PositionText(std::string_view name) {
    if (name == "long") return "多头";
    if (name == "short") return "空头";
    return "无";
}

std::string Figure(const SystemReportLine& line) {
    if (line.key == "open_position") return PositionText(line.text);
    if (!line.value) return kNoFigure;
    if (line.key == "trades" || line.key == "wins") return FormatInt(static_cast<std::int64_t>(*line.value));
    return FormatFixed2(*line.value);
}

std::string FileNameOf(const SystemTestResult& test) {
    return ReplaceAll(test.formulaName + "_" + test.goodsName, "/", "_");
}

std::string ParametersText(const SystemTestResult& test, std::string_view separator) {
    std::string text;
    for (std::size_t i = 0; i < test.parameterNames.size() && i < test.values.size(); ++i) {
        if (i > 0) text += separator;
        text += test.parameterNames[i] + "=" + FormatShortest(test.values[i]);
    }
    return text;
}

void CsvLine(std::string& out, std::initializer_list<std::string> fields) {
    AppendCsvLine(out, std::span<const std::string>(fields.begin(), fields.size()));
}

}  // namespace

std::vector<SystemReportRow> SystemReportRows(const SystemReport& report) {
    std::vector<SystemReportRow> rows;
    for (const SystemReportLine& line : SystemReportLines(report)) {
        const auto caption = Captions().find(line.key);
        rows.push_back({caption != Captions().end() ? caption->second : std::string(line.key),
                        std::string(line.key), Figure(line)});
    }
    return rows;
}

std::vector<SystemTradeRow> SystemTradeRows(const std::vector<SystemTrade>& trades) {
    std::vector<SystemTradeRow> rows;
    rows.reserve(trades.size());
    for (std::size_t i = 0; i < trades.size(); ++i) {
        const SystemTrade& t = trades[i];
        const bool open = t.IsOpen();
        rows.push_back({FormatInt(static_cast<std::int64_t>(i + 1)), t.side == TradeSide::Long ? "多" : "空",
                        DateText(t.entryDate), FormatFixed2(t.entryPrice),
                        open ? "持仓中" : DateText(t.exitDate), open ? kNoFigure : FormatFixed2(t.exitPrice),
                        FormatFixed2(t.profit)});
    }
    return rows;
}

std::string SystemTestSummary(const SystemTestResult& test) {
    const SystemReport& report = test.result.report;
    std::string text = "评测完成：" + FormatInt(report.trades) + " 笔交易";
    if (report.openPosition != OpenPosition::None)
        text += "，期末持有" + PositionText(OpenPositionName(report.openPosition)) + "仓位";
    return text + "，净利润 " + FormatFixed2(report.netProfit) + "，最大回撤 " +
           FormatFixed2(report.maxDrawdown);
}

std::string SystemTestTitle(const SystemTestResult& test) {
    std::string title = test.formulaName;
    if (!test.values.empty()) {
        title += "(";
        for (std::size_t i = 0; i < test.values.size(); ++i)
            title += (i ? "," : "") + FormatShortest(test.values[i]);
        title += ")";
    }
    return title + "  " + test.goodsName + "  " + std::string(SystemPeriodName(test.period));
}

EquityCurve EquityCurveOf(const SystemTestResult& test) {
    return EquityCurve{SystemTestTitle(test), test.costs.capital, test.result.equity, test.result.drawdown,
                       test.dates};
}

ExportDocument SystemTestExport(const SystemTestResult& test) {
    ExportDocument document;
    document.request = {"CSV", FileNameOf(test), "文本文档(*.CSV)|*.CSV"};
    std::string& out = document.content;
    CsvLine(out, {"项目", "数值"});
    CsvLine(out, {"商品", test.goodsName});
    CsvLine(out, {"公式", test.formulaName});
    CsvLine(out, {"参数", ParametersText(test, " ")});
    CsvLine(out, {"周期", std::string(SystemPeriodName(test.period))});
    CsvLine(out, {"初始资金", FormatGeneral(test.costs.capital, 10)});
    CsvLine(out, {"手数", FormatGeneral(test.costs.lots, 10)});
    CsvLine(out, {"合约乘数", FormatGeneral(test.costs.multiplier, 10)});
    CsvLine(out, {"手续费率", FormatGeneral(test.costs.commissionRate, 10)});
    CsvLine(out, {"滑点", FormatGeneral(test.costs.slippage, 10)});
    out += "\r\n";
    for (std::size_t c = 0; c < kSystemTradeColumns.size(); ++c)
        out += (c ? "," : "") + std::string(kSystemTradeColumns[c]);
    out += "\r\n";
    for (const SystemTradeRow& row : SystemTradeRows(test.result.trades)) AppendCsvLine(out, row);
    out += "\r\n";
    CsvLine(out, {"项目", "键", "数值"});
    for (const SystemReportRow& row : SystemReportRows(test.result.report))
        CsvLine(out, {row.caption, row.key, row.value});
    return document;
}

SaveRequest SystemPictureRequest(const SystemTestResult& test) {
    return {"BMP", FileNameOf(test) + ".bmp", "位图文件(*.bmp)|*.bmp"};
}

std::shared_ptr<const TradeMarks> TradeMarksOf(const SystemTestResult& test) {
    auto marks = std::make_shared<TradeMarks>();
    marks->goods = test.goods;
    marks->period = test.period;
    marks->trades = test.result.trades;
    return marks;
}

}  // namespace qelt
