// Computing a compiled formula over a series: the scalar code, the checks of the constant
// arguments at the values in use, the bar fields, then one pass per column instruction.
#include <algorithm>
#include <array>

#include "common/Numbers.h"
#include "formula/Formula.h"
#include "formula/FormulaArithmetic.h"
#include "formula/FormulaChecker.h"
#include "formula/FormulaCompiled.h"
#include "formula/FormulaKernels.h"
#include "formula/FormulaMessages.h"
#include "formula/FormulaSeries.h"

namespace qelt {

using namespace formula;

namespace {

/// Where each bar datum is read from, and whether it is read as an integer (volume, net
/// position and date are whole numbers, as the built-in indicators read them).
struct FieldSource {
    BarField field;
    bool whole;
};

constexpr FieldSource kFieldSources[kBarDataCount] = {
    {kBarOpen, false}, {kBarHigh, false}, {kBarLow, false}, {kBarClose, false},
    {kBarNum, true},   {kBarAvg, false},  {kBarPure, true}, {kBarDate, true},
};

double ReadField(const CBarRow& bar, const FieldSource& source) {
    const std::string_view text = bar.Get(source.field);
    return Valued(source.whole ? static_cast<double>(LeadingInt64(text)) : LeadingDouble(text));
}

}  // namespace

struct FormulaRun::State {
    std::array<std::vector<double>, kBarDataCount> fields;
    std::array<int, kBarDataCount> fieldBars{};  ///< bars of each field read and still valid
    std::vector<std::vector<double>> slots;
    std::vector<double> registers;
    SeriesScratch scratch;

    /// The caller's promise holds for the bars of the previous run only: a datum that run did
    /// not read (another formula, or one stopped by its constants) is valid no further than
    /// the promise, whatever an earlier run left in its column.
    void KeepFieldsUpTo(int unchangedBars) {
        for (int& valid : fieldBars) valid = std::clamp(unchangedBars, 0, valid);
    }

    void ReadFields(const BarSeries& bars, std::uint32_t wanted) {
        const int n = static_cast<int>(bars.size());
        for (int f = 0; f < kBarDataCount; ++f) {
            if (!(wanted & BitOf(static_cast<BarData>(f)))) continue;
            std::vector<double>& column = fields[static_cast<std::size_t>(f)];
            column.resize(static_cast<std::size_t>(n));
            const int from = std::min(fieldBars[static_cast<std::size_t>(f)], n);
            for (int i = from; i < n; ++i)
                column[static_cast<std::size_t>(i)] =
                    ReadField(bars[static_cast<std::size_t>(i)], kFieldSources[f]);
            fieldBars[static_cast<std::size_t>(f)] = n;
        }
    }

    const double* ColumnOf(const Operand& operand) const {
        return operand.kind == Operand::Kind::Field ? fields[static_cast<std::size_t>(operand.index)].data()
                                                    : slots[static_cast<std::size_t>(operand.index)].data();
    }

    double Constant(const Instruction& instruction, int k) const {
        return registers[static_cast<std::size_t>(instruction.constants[k])];
    }

    void RunScalarCode(const Program& program) {
        for (const Instruction& instruction : program.scalarCode) {
            double in[3] = {0.0, 0.0, 0.0};
            for (int k = 0; k < instruction.inputs; ++k)
                in[k] = registers[static_cast<std::size_t>(instruction.in[k].index)];
            registers[static_cast<std::size_t>(instruction.target.index)] = ApplyScalar(instruction.op, in);
        }
    }

    std::optional<FormulaError> CheckConstants(const Program& program) const {
        for (const ConstantCheck& check : program.checks) {
            const double value = registers[static_cast<std::size_t>(check.reg)];
            std::optional<std::string> problem = ConstantProblem(check.rule, value);
            if (!problem && check.notAbove >= 0 &&
                std::trunc(value) > std::trunc(registers[static_cast<std::size_t>(check.notAbove)])) {
                problem = msg::MAboveN();
            }
            if (problem) return FormulaError{check.line, check.column, -1, std::move(*problem)};
        }
        return std::nullopt;
    }

    void Execute(const Instruction& instruction, int n);
};

void FormulaRun::State::Execute(const Instruction& instruction, int n) {
    double* out = slots[static_cast<std::size_t>(instruction.target.index)].data();
    const double* x =
        instruction.inputs > 0 && instruction.in[0].IsColumn() ? ColumnOf(instruction.in[0]) : nullptr;
    const auto window = [&](int k) { return WholeWindow(Constant(instruction, k)); };
    switch (instruction.op) {
        case OpCode::MovingAverage:
            return MovingAverage(x, out, n, window(0), scratch);
        case OpCode::Ema: {
            const double span = window(0);
            return Recursive(x, out, n, 2.0 / (span + 1.0), (span - 1.0) / (span + 1.0));
        }
        case OpCode::Sma: {
            const double span = window(0), weight = window(1);
            return Recursive(x, out, n, weight / span, (span - weight) / span);
        }
        case OpCode::Dma:
            return Recursive(x, out, n, Constant(instruction, 0), 1.0 - Constant(instruction, 0));
        case OpCode::Ref:
            return Reference(x, out, n, window(0));
        case OpCode::Hhv:
            return Extreme(x, out, n, window(0), true, scratch);
        case OpCode::Llv:
            return Extreme(x, out, n, window(0), false, scratch);
        case OpCode::Sum:
            return WindowSum(x, out, n, window(0), scratch);
        case OpCode::Count:
            return WindowCount(x, out, n, window(0));
        case OpCode::Std:
            return Deviation(x, out, n, window(0), true, scratch);
        case OpCode::Stdp:
            return Deviation(x, out, n, window(0), false, scratch);
        case OpCode::Avedev:
            return MeanAbsoluteDeviation(x, out, n, window(0), scratch);
        case OpCode::Cross:
            return Cross(x, ColumnOf(instruction.in[1]), out, n);
        case OpCode::BarsLast:
            return BarsLast(x, out, n);
        case OpCode::Fill:
            std::fill(out, out + n, registers[static_cast<std::size_t>(instruction.in[0].index)]);
            return;
        case OpCode::Copy:
            std::copy(x, x + n, out);
            return;
        default: {
            Source in[3];
            for (int k = 0; k < instruction.inputs; ++k) {
                if (instruction.in[k].IsColumn()) {
                    in[k].column = ColumnOf(instruction.in[k]);
                } else {
                    in[k].scalar = registers[static_cast<std::size_t>(instruction.in[k].index)];
                }
            }
            return RunPerBar(instruction.op, in, out, n);
        }
    }
}

FormulaRun::FormulaRun() : m_state(std::make_unique<State>()) {}
FormulaRun::~FormulaRun() = default;
FormulaRun::FormulaRun(FormulaRun&&) noexcept = default;
FormulaRun& FormulaRun::operator=(FormulaRun&&) noexcept = default;

bool FormulaRun::Run(const CompiledFormula& formula, const BarSeries& bars, const std::vector<double>& values,
                     int unchangedBars) {
    m_formula = formula.m_compiled;
    const Program& program = m_formula->program;
    State& state = *m_state;
    const int n = static_cast<int>(bars.size());
    m_bars = n;
    m_error.reset();

    state.KeepFieldsUpTo(unchangedBars);
    state.registers.assign(program.registers.begin(), program.registers.end());
    const std::vector<double> parameters = ParameterValues(m_formula->parameters, values);
    std::copy(parameters.begin(), parameters.end(), state.registers.begin());
    state.RunScalarCode(program);

    // Exactly the formula's slots: those of a longer formula run before are given back.
    state.slots.resize(static_cast<std::size_t>(program.slotCount));
    for (std::vector<double>& slot : state.slots) slot.resize(static_cast<std::size_t>(n));

    m_error = state.CheckConstants(program);
    if (m_error) {
        for (int slot : program.outputSlots)
            std::fill(state.slots[static_cast<std::size_t>(slot)].begin(),
                      state.slots[static_cast<std::size_t>(slot)].end(), kNoValue);
        return false;
    }
    state.ReadFields(bars, program.fields);
    for (const Instruction& instruction : program.columnCode) state.Execute(instruction, n);
    return true;
}

int FormulaRun::OutputCount() const {
    return m_formula ? static_cast<int>(m_formula->program.outputSlots.size()) : 0;
}

std::span<const double> FormulaRun::Column(int output) const {
    if (output < 0 || output >= OutputCount()) return {};
    const int slot = m_formula->program.outputSlots[static_cast<std::size_t>(output)];
    const std::vector<double>& column = m_state->slots[static_cast<std::size_t>(slot)];
    return std::span<const double>(column.data(), static_cast<std::size_t>(m_bars));
}

std::optional<double> FormulaRun::ValueAt(int output, int bar) const {
    const std::span<const double> column = Column(output);
    if (bar < 0 || static_cast<std::size_t>(bar) >= column.size()) return std::nullopt;
    const double value = column[static_cast<std::size_t>(bar)];
    if (!HasFormulaValue(value)) return std::nullopt;
    return value;
}

std::string FormulaRun::TitleItem(int output, int bar) const {
    if (output < 0 || output >= OutputCount()) return {};
    std::string item = m_formula->outputs[static_cast<std::size_t>(output)].name;
    if (auto value = ValueAt(output, bar)) item += ":" + FormatFixed2(*value);
    return item;
}

}  // namespace qelt
