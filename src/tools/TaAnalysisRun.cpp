#include "tools/TaAnalysisRun.h"

#include <optional>

#include "analysis/Optimisation.h"
#include "analysis/Screening.h"
#include "analysis/TradingSystem.h"
#include "common/Files.h"
#include "common/Numbers.h"
#include "formula/FormulaText.h"
#include "tools/TaBarFile.h"
#include "tools/TaFormulaText.h"

namespace qelt::ta {
namespace {

constexpr std::size_t kMaxBarFileBytes = std::size_t{1} << 30;

/// "%.10g", never "-0".
std::string Number(double value) { return FormatGeneral(value == 0.0 ? 0.0 : value, 10); }
std::string Number(const std::optional<double>& value) { return value ? Number(*value) : std::string(); }

/// The formula's parameters: each --param in its order, then each --optimize parameter that
/// no --param names, with its FROM (constant arguments are checked at these values).
std::vector<FormulaParameter> TaParameters(const TaArguments& arguments) {
    std::vector<FormulaParameter> parameters;
    for (const auto& [name, value] : arguments.parameters) parameters.push_back({name, value, value, value});
    for (const TaOptimize& optimize : arguments.analysis.optimize) {
        bool named = false;
        for (const FormulaParameter& parameter : parameters)
            named = named || formula::SameName(parameter.name, optimize.name);
        if (!named) parameters.push_back({optimize.name, optimize.from, optimize.from, optimize.from});
    }
    return parameters;
}

/// The formula of --formula compiled with TaParameters; nothing with `error` set.
std::optional<CompiledFormula> CompileTaFormula(const TaArguments& arguments, std::string& error) {
    const std::optional<std::string> text = ReadFormulaText(arguments.formulaFile);
    if (!text) {
        error = "qelt-ta: cannot read " + arguments.formulaFile;
        return std::nullopt;
    }
    const std::vector<FormulaParameter> parameters = TaParameters(arguments);
    FormulaCompileResult compiled = CompileFormula(*text, parameters);
    if (compiled.formula) return std::move(compiled.formula);
    const FormulaError& e = compiled.error;
    const bool fromParam = static_cast<std::size_t>(e.parameter) < arguments.parameters.size();
    error = e.InText() ? arguments.formulaFile + ":" + e.Describe()
                       : "qelt-ta: " + std::string(fromParam ? "--param " : "--optimize ") +
                             parameters[static_cast<std::size_t>(e.parameter)].name + ": " + e.message;
    return std::nullopt;
}

bool ReadBars(const std::string& path, BarSeries& bars, std::string& error) {
    const std::optional<std::string> text = ReadWholeFile(path, kMaxBarFileBytes);
    if (!text) {
        error = "qelt-ta: cannot read " + path;
        return false;
    }
    BarFile file;
    std::string problem;
    if (!ParseBarFile(*text, file, problem)) {
        error = "qelt-ta: " + path + ": " + problem;
        return false;
    }
    bars = std::move(file.bars);
    return true;
}

KLinePeriod PeriodOf(const TaArguments& arguments) {
    return arguments.period == 2 ? kPeriodWeek : arguments.period == 3 ? kPeriodMonth : kPeriodDay;
}

void PrintTrades(std::string& out, const SystemResult& result) {
    out += "entry_bar,entry_date,side,entry_price,exit_bar,exit_date,exit_price,profit\n";
    for (const SystemTrade& trade : result.trades) {
        out += FormatInt(trade.entryBar) + ',' + FormatInt(trade.entryDate) + ',' +
               (trade.side == TradeSide::Long ? "long" : "short") + ',' + Number(trade.entryPrice) + ',';
        if (!trade.IsOpen())
            out += FormatInt(trade.exitBar) + ',' + FormatInt(trade.exitDate) + ',' + Number(trade.exitPrice);
        else
            out += ",,";
        out += ',' + Number(trade.profit) + '\n';
    }
}

void PrintSummary(std::string& out, const SystemReport& report) {
    for (const SystemReportLine& line : SystemReportLines(report)) {
        out += line.key;
        out += ',';
        out += line.value ? Number(*line.value) : std::string(line.text);
        out += '\n';
    }
}

SystemCosts CostsOf(const TaAnalysisArguments& analysis) {
    return {analysis.capital, analysis.lots, analysis.multiplier, analysis.commission, analysis.slippage};
}

std::string RangeMessage(RangeFault fault, const TaOptimize& optimize) {
    switch (fault) {
        case RangeFault::StepNotPositive:
            return "--optimize " + optimize.name + ": STEP must be above 0";
        case RangeFault::EmptyRange:
            return "--optimize " + optimize.name + ": FROM is above TO";
        case RangeFault::NotANumber:
            return "--optimize " + optimize.name + ": the numbers must be finite";
        default:
            return "--optimize: more than " + FormatInt(kMaxCombinations) + " combinations";
    }
}

bool RunOptimize(const TaArguments& arguments, const TradingSystem& system, const BarSeries& bars,
                 std::string& out, std::string& error) {
    const std::vector<FormulaParameter>& parameters = system.Formula().Parameters();
    OptimisationRequest request{system, {}, {}, CostsOf(arguments.analysis)};
    for (const TaOptimize& optimize : arguments.analysis.optimize) {
        ParameterRange range{0, optimize.from, optimize.to, optimize.step};
        while (range.parameter < static_cast<int>(parameters.size()) &&
               !formula::SameName(parameters[static_cast<std::size_t>(range.parameter)].name, optimize.name))
            ++range.parameter;
        if (const RangeFault fault = CheckRanges({range}, static_cast<int>(parameters.size()));
            fault != RangeFault::None) {
            error = "qelt-ta: " + RangeMessage(fault, optimize);
            return false;
        }
        request.ranges.push_back(range);
    }
    if (CheckRanges(request.ranges, static_cast<int>(parameters.size())) != RangeFault::None) {
        error = "qelt-ta: " + RangeMessage(RangeFault::TooManyCombinations, {});
        return false;
    }
    const WorkPool pool;
    const std::optional<std::vector<OptimisationRow>> rows = RunOptimisation(request, bars, pool);
    for (const TaOptimize& optimize : arguments.analysis.optimize) out += optimize.name + ',';
    out += "net_profit,max_drawdown,trades,win_rate\n";
    for (const OptimisationRow& row : *rows) {
        for (double value : row.values) out += Number(value) + ',';
        if (row.fault) {
            out += ",,,\n";
            continue;
        }
        out += Number(row.report.netProfit) + ',' + Number(row.report.maxDrawdown) + ',' +
               FormatInt(row.report.trades) + ',' + Number(row.report.winRate) + '\n';
    }
    return true;
}

}  // namespace

int RunScreenMode(const TaArguments& arguments, std::string& out, std::string& error) {
    const std::optional<CompiledFormula> formula = CompileTaFormula(arguments, error);
    if (!formula) return 2;
    const std::vector<std::string>& files = arguments.analysis.screenFiles;
    std::vector<BarSeries> days(files.size());
    for (std::size_t i = 0; i < files.size(); ++i)
        if (!ReadBars(files[i], days[i], error)) return 2;
    const ScreeningRequest request{*formula, {}, PeriodOf(arguments), arguments.analysis.at};
    const WorkPool pool;
    const std::optional<ScreeningResult> result = RunScreening(request, days, pool);
    if (result->fault) {
        error = arguments.formulaFile + ":" + result->fault->Describe();
        return 2;
    }
    out += "file,date";
    for (const FormulaOutput& output : formula->Outputs()) out += ',' + output.name;
    out += '\n';
    for (const ScreeningRow& row : result->rows) {
        out += files[static_cast<std::size_t>(row.goods)] + ',' + row.date;
        for (double value : row.values) out += ',' + (HasFormulaValue(value) ? Number(value) : std::string());
        out += '\n';
    }
    return 0;
}

bool RunSystemMode(const TaArguments& arguments, const BarSeries& bars, std::string& out,
                   std::string& error) {
    const std::optional<CompiledFormula> formula = CompileTaFormula(arguments, error);
    if (!formula) return false;
    const std::optional<TradingSystem> system = TradingSystem::Of(*formula);
    if (!system) {
        error =
            "qelt-ta: " + arguments.formulaFile +
            " is not a trading system: it has none of the outputs ENTERLONG, EXITLONG, ENTERSHORT, EXITSHORT";
        return false;
    }
    if (!arguments.analysis.optimize.empty()) return RunOptimize(arguments, *system, bars, out, error);
    const SystemTest test = TestSystem(*system, bars, {}, CostsOf(arguments.analysis));
    if (test.fault) {
        error = arguments.formulaFile + ":" + test.fault->Describe();
        return false;
    }
    if (arguments.analysis.summary)
        PrintSummary(out, test.result.report);
    else
        PrintTrades(out, test.result);
    return true;
}

}  // namespace qelt::ta
