#pragma once
/// A trading-system test's outcome as the 交易评测 window shows, exports and marks it: the
/// report's lines with their captions (every key, "--" where a figure has no value), the
/// trade list, the equity curve, the CSV export and the marks for the K-line chart.
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "analysis/TradingSystem.h"
#include "common/GoodsKey.h"
#include "views/ExportFile.h"
#include "views/kline/TradeMarks.h"
#include "views/system/EquityCurvePainter.h"

namespace qelt {

/// What was tested, on what, and what came of it.
struct SystemTestResult {
    GoodsKey goods;
    std::string goodsName;
    int formulaId = 0;
    std::string formulaName;
    std::vector<std::string> parameterNames;
    std::vector<double> values;
    SystemCosts costs;
    int period = 1;
    std::vector<int> dates;  ///< each bar's date, YYYYMMDD
    SystemResult result;
};

/// "--": a figure without a value.
inline constexpr const char* kNoFigure = "--";

/// One line of the report: its caption ("净利润"), its key ("net_profit") and its value
/// ("1234.50", "--", "多头").
struct SystemReportRow {
    std::string caption;
    std::string key;
    std::string value;
};
/// Every key of the report in its order, counts as whole numbers, money and percentages
/// with two decimals, the open position as 多头, 空头 or 无.
std::vector<SystemReportRow> SystemReportRows(const SystemReport& report);

/// The trade list's columns: 序号, 方向, 开仓日期, 开仓价, 平仓日期, 平仓价, 盈亏.
inline constexpr std::array<const char*, 7> kSystemTradeColumns{"序号",     "方向",   "开仓日期", "开仓价",
                                                                "平仓日期", "平仓价", "盈亏"};
using SystemTradeRow = std::array<std::string, kSystemTradeColumns.size()>;
/// One row per trade in entry order; a position still open shows 持仓中 and "--" for its
/// exit, and its profit marked to the last close.
std::vector<SystemTradeRow> SystemTradeRows(const std::vector<SystemTrade>& trades);

/// The line a finished test leaves in the window: "评测完成：21 笔交易，净利润 -110.00，
/// 最大回撤 617.00", with the open position when there is one.
std::string SystemTestSummary(const SystemTestResult& test);

/// "均线交叉系统(5,20)  生丝-270225  日线".
std::string SystemTestTitle(const SystemTestResult& test);
EquityCurve EquityCurveOf(const SystemTestResult& test);

/// 导出: the inputs, the trades and the report as CSV (written as the other exports are).
ExportDocument SystemTestExport(const SystemTestResult& test);
/// 导出图片: "<formula>_<goods>.bmp".
SaveRequest SystemPictureRequest(const SystemTestResult& test);

/// 在图上显示: the trades for the K-line chart of the contract and period tested.
std::shared_ptr<const TradeMarks> TradeMarksOf(const SystemTestResult& test);

}  // namespace qelt
