#include "tools/TaRun.h"

#include <algorithm>
#include <climits>

#include "chart/OXChart.h"
#include "chart/Series.h"
#include "common/Files.h"
#include "common/Numbers.h"
#include "common/Text.h"
#include "formula/Formula.h"
#include "indicators/Averages.h"
#include "indicators/BarColumns.h"
#include "indicators/IndicatorTable.h"
#include "tools/TaAnalysisRun.h"
#include "tools/TaArguments.h"
#include "tools/TaBarFile.h"
#include "tools/TaFormulaText.h"
#include "tools/TaTrades.h"

namespace qelt::ta {
namespace {

constexpr std::size_t kMaxFileBytes = std::size_t{1} << 30;

/// "bar,NAME1,..." then one row per bar that has at least one finite value.
void PrintLines(std::string& out, const std::vector<std::string>& names,
                const std::vector<IndicatorLine>& lines) {
    out += "bar";
    for (const std::string& name : names) out += "," + name;
    out += '\n';
    int first = INT_MAX, last = INT_MIN;
    for (const IndicatorLine& line : lines) {
        if (line.Empty()) continue;
        first = std::min(first, line.first);
        last = std::max(last, line.Last());
    }
    std::string row;
    for (int bar = first; bar <= last && first <= last; ++bar) {
        row = FormatInt(bar);
        bool any = false;
        for (const IndicatorLine& line : lines) {
            row += ',';
            if (auto value = line.At(bar)) {
                row += FormatGeneral(*value, 6);
                any = true;
            }
        }
        if (any) out += row + '\n';
    }
}

void PrintOX(std::string& out, const OXSeries& ox) {
    out += "column,open_price,close_price,highest_price,lowest_price,num,count\n";
    for (std::size_t i = 0; i < ox.columns.size(); ++i) {
        const CBarRow& column = ox.columns[i];
        out += FormatInt(static_cast<std::int64_t>(i));
        for (BarField field : {kBarOpen, kBarClose, kBarHigh, kBarLow, kBarNum}) {
            out += ',';
            out += column.Get(field);
        }
        out += "," + FormatInt(ox.boxes[i]) + '\n';
    }
}

/// The outputs of a formula: "bar," and the output names, then every bar where an output
/// has a value, each value "%.10g", an empty field where it has none.
void PrintFormula(std::string& out, const CompiledFormula& formula, const FormulaRun& run) {
    out += "bar";
    for (const FormulaOutput& output : formula.Outputs()) out += "," + output.name;
    out += '\n';
    std::string row;
    for (int bar = 0; bar < run.BarCount(); ++bar) {
        row = FormatInt(bar);
        bool any = false;
        for (int k = 0; k < run.OutputCount(); ++k) {
            row += ',';
            if (auto value = run.ValueAt(k, bar)) {
                row += FormatGeneral(*value, 10);
                any = true;
            }
        }
        if (any) out += row + '\n';
    }
}

const char* MarkKindName(FormulaDrawingKind kind) {
    switch (kind) {
        case FormulaDrawingKind::StickLine:
            return "stickline";
        case FormulaDrawingKind::Text:
            return "drawtext";
        case FormulaDrawingKind::Number:
            return "drawnumber";
        case FormulaDrawingKind::Icon:
            return "drawicon";
        case FormulaDrawingKind::Polyline:
            break;
    }
    return "polyline";
}

/// The marks of the drawing statements: "bar,kind,p1,p2,text", one row per mark in bar
/// order (in a bar, statement order); p2 is STICKLINE's only, text what the mark shows (a
/// DRAWTEXT's text quoted as RFC 4180 has it where it holds a comma or a double quote).
void PrintMarks(std::string& out, const CompiledFormula& formula, const FormulaRun& run) {
    out += "bar,kind,p1,p2,text\n";
    for (const FormulaMark& mark : run.Marks()) {
        const FormulaDrawing& drawing = formula.Drawings()[static_cast<std::size_t>(mark.drawing)];
        out +=
            FormatInt(mark.bar) + "," + MarkKindName(drawing.kind) + "," + FormatGeneral(mark.p1, 10) + ",";
        switch (drawing.kind) {
            case FormulaDrawingKind::StickLine:
                out += FormatGeneral(mark.p2, 10) + ",";
                break;
            case FormulaDrawingKind::Text:
            case FormulaDrawingKind::Number:
                out += "," + CsvField(FormulaMarkText(drawing, mark));
                break;
            case FormulaDrawingKind::Icon:
                out += "," + FormatInt(static_cast<int>(drawing.icon));
                break;
            case FormulaDrawingKind::Polyline:
                out += ",";
                break;
        }
        out += '\n';
    }
}

/// Compiles and computes the formula of --formula; false with `error` set.
bool RunFormula(const TaArguments& arguments, const BarSeries& bars, std::string& out, std::string& error) {
    const std::optional<std::string> text = ReadFormulaText(arguments.formulaFile);
    if (!text) {
        error = "qelt-ta: cannot read " + arguments.formulaFile;
        return false;
    }
    std::vector<FormulaParameter> parameters;
    for (const auto& [name, value] : arguments.parameters) parameters.push_back({name, value, value, value});
    const FormulaCompileResult compiled = CompileFormula(*text, parameters);
    if (!compiled.formula) {
        const FormulaError& e = compiled.error;
        error = e.InText() ? arguments.formulaFile + ":" + e.Describe()
                           : "qelt-ta: --param " + parameters[static_cast<std::size_t>(e.parameter)].name +
                                 ": " + e.message;
        return false;
    }
    FormulaRun run;
    if (!run.Run(*compiled.formula, bars)) {
        error = arguments.formulaFile + ":" + run.Error()->Describe();
        return false;
    }
    if (arguments.drawings) {
        PrintMarks(out, *compiled.formula, run);
    } else {
        PrintFormula(out, *compiled.formula, run);
    }
    return true;
}

}  // namespace

int RunQeltTa(const std::vector<std::string>& args, std::string& out, std::string& error) {
    auto fail = [&](const std::string& message) {
        error = "qelt-ta: " + message;
        return 2;
    };
    if (AsksForTrades(args)) return RunTrades(args, out, error);
    std::string problem;
    auto arguments = ParseTaArguments(args, problem);
    if (!arguments) return fail(problem);
    if (arguments->help) {
        out = std::string(TaUsage()) + TaAnalysisUsage();
        return 0;
    }
    if (arguments->version) {
        out = std::string(TaVersion()) + "\n";
        return 0;
    }
    if (arguments->analysis.kind == TaAnalysis::Screen) return RunScreenMode(*arguments, out, error);
    auto text = ReadWholeFile(arguments->barsFile, kMaxFileBytes);
    if (!text) return fail("cannot read " + arguments->barsFile);
    BarFile file;
    if (!ParseBarFile(*text, file, problem)) return fail(arguments->barsFile + ": " + problem);
    // Week and month bars are made of day bars.
    if (file.minute && arguments->period != 1) return fail("--period week and month take a file of day bars");
    if (file.minute && arguments->mode == TaMode::OX) return fail("--ox takes day, week or month bars");

    IndicatorParameters table;
    if (!arguments->home.empty()) {
        std::string home = arguments->home;
        if (home.back() != '/') home += '/';
        table.Load(home);
    }
    CQeltGoods goods;
    goods.goods_no = arguments->goodsNo;
    goods.series = std::move(file.bars);
    const BarSeries* series = &goods.series;
    if (arguments->period == 2) {
        BuildWeekly(goods);
        series = &goods.weekSeries;
    } else if (arguments->period == 3) {
        BuildMonthly(goods);
        series = &goods.monthSeries;
    }
    const int n = static_cast<int>(series->size());
    // The view's window rules: a last bar beyond the series is the newest, more visible
    // bars than the series holds show the whole series.
    const IndicatorWindow window =
        MakeIndicatorWindow(arguments->last, std::min(arguments->visible, std::max(n, 1)), n);

    switch (arguments->mode) {
        case TaMode::Bars:
            if (file.hasHeader) out += file.header + '\n';
            for (const CBarRow& bar : *series) out += FormatBarFileRow(bar, file.minute) + '\n';
            break;
        case TaMode::Indicator: {
            const IndicatorResult result = ComputeIndicator(arguments->code, *series, window, table);
            std::vector<std::string> names;
            for (std::string_view name : FindIndicatorDefinition(arguments->code)->lines)
                names.emplace_back(name);
            PrintLines(out, names, result.lines);
            break;
        }
        case TaMode::MovingAverages: {
            BarColumns columns(*series);
            const float* close = columns.Close(0, n);
            std::vector<std::string> names;
            std::vector<IndicatorLine> lines;
            for (int position = param::kMa1; position <= param::kMa5; ++position) {
                names.push_back("MA" + FormatInt(table[position]));
                lines.push_back(BarFieldMovingAverage(close, n, table[position]));
            }
            PrintLines(out, names, lines);
            break;
        }
        case TaMode::Formula:
            if (arguments->analysis.kind == TaAnalysis::System
                    ? !RunSystemMode(*arguments, *series, out, error)
                    : !RunFormula(*arguments, *series, out, error)) {
                out.clear();
                return 2;
            }
            break;
        case TaMode::OX: {
            const float box = OXBoxSize(goods.goods_no, table[param::kOxIndexBox], table[param::kOxSilkBox],
                                        table[param::kOxCocoonBox], HighestClose(goods), LowestClose(goods));
            PrintOX(out, BuildOX(*series, box, table[param::kOxReversal]));
            break;
        }
    }
    return 0;
}

}  // namespace qelt::ta
