// Computing a compiled formula over a series: the scalar code, the checks of the constant
// arguments at the values in use, the bar fields, then one pass per column instruction.
#include <algorithm>
#include <array>
#include <cstring>

#include "common/Numbers.h"
#include "formula/Formula.h"
#include "formula/FormulaArithmetic.h"
#include "formula/FormulaChecker.h"
#include "formula/FormulaCompiled.h"
#include "formula/FormulaKernels.h"
#include "formula/FormulaMessages.h"
#include "formula/FormulaRunState.h"

namespace qelt {

using namespace formula;

namespace {

/// Where each bar datum is read from, and whether it is read as an integer (volume, net
/// position and date are whole numbers, as the built-in indicators read them). TIME is no
/// text of the bar: a minute bar's HHMM, 0 on day, week and month bars.
struct FieldSource {
    BarField field;
    bool whole;
    bool time = false;
};

constexpr FieldSource kFieldSources[kBarDataCount] = {
    {kBarOpen, false}, {kBarHigh, false}, {kBarLow, false}, {kBarClose, false},     {kBarNum, true},
    {kBarAvg, false},  {kBarPure, true},  {kBarDate, true}, {kBarDate, true, true},
};

double ReadField(const CBarRow& bar, const FieldSource& source) {
    if (source.time) return Valued(static_cast<double>(bar.Time()));
    return Valued(source.whole ? static_cast<double>(bar.Whole(source.field)) : bar.Price(source.field));
}

}  // namespace

void FormulaRun::State::KeepFieldsUpTo(int unchangedBars) {
    for (int& valid : fieldBars) valid = std::clamp(unchangedBars, 0, valid);
}

void FormulaRun::State::ReadFields(const BarSeries& bars, std::uint32_t wanted) {
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

void FormulaRun::State::SetRegisters(const CompiledFormula::Compiled& formula,
                                     const std::vector<double>& values, std::vector<double>& into) const {
    into.assign(formula.program.registers.begin(), formula.program.registers.end());
    const std::vector<double> parameters = ParameterValues(formula.parameters, values);
    std::copy(parameters.begin(), parameters.end(), into.begin());
    for (const Instruction& instruction : formula.program.scalarCode) {
        double in[3] = {0.0, 0.0, 0.0};
        for (int k = 0; k < instruction.inputs; ++k)
            in[k] = into[static_cast<std::size_t>(instruction.in[k].index)];
        into[static_cast<std::size_t>(instruction.target.index)] = ApplyScalar(instruction.op, in);
    }
}

std::optional<FormulaError> FormulaRun::State::CheckConstants(const Program& program) const {
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

int FormulaRun::State::ResumeBar(const CompiledFormula::Compiled& formula,
                                 const std::vector<double>& withRegisters, int n, int unchangedBars) const {
    if (resumeBar <= 0 || ranFormula.get() != &formula || unchangedBars < resumeBar || n <= resumeBar)
        return 0;
    // The same values bit for bit (a constant without a value is a NaN).
    // (memcmp may not be handed the null data of two empty vectors.)
    if (withRegisters.size() != ranRegisters.size() ||
        (!withRegisters.empty() &&
         std::memcmp(withRegisters.data(), ranRegisters.data(), withRegisters.size() * sizeof(double)) != 0))
        return 0;
    return resumeBar;
}

void FormulaRun::State::StartAfresh(const std::shared_ptr<const CompiledFormula::Compiled>& formula) {
    const Program& program = formula->program;
    ranFormula = formula;
    resumeBar = -1;
    keptValues = 0;
    running.resize(program.columnCode.size());
    tails.resize(program.columnCode.size());
    std::vector<bool> output(static_cast<std::size_t>(program.slotCount), false);
    for (int slot : program.outputSlots) output[static_cast<std::size_t>(slot)] = true;
    finalFrom.assign(static_cast<std::size_t>(program.slotCount), SIZE_MAX);
    for (std::size_t k = 0; k < program.columnCode.size(); ++k) {
        if (program.columnCode[k].op == OpCode::Mark) continue;  // writes no slot
        const std::size_t slot = static_cast<std::size_t>(program.columnCode[k].target.index);
        if (output[slot]) finalFrom[slot] = k;
    }
}

namespace {

/// What an instruction costs per bar against a plain operator, about as their times compare:
/// the recursions divide nothing but wait on the bar before, the windows keep compensated
/// sums or a queue (WMA, SLOPE and FORCAST two pairs of them), a short AVEDEV goes over its
/// window, a long one walks a tree; EXP, LOG and POW are library calls.
double Weight(const Instruction& instruction, const std::vector<double>& registers) {
    switch (instruction.op) {
        case OpCode::Avedev: {
            // Compared as a double: the window may still be out of range (CostOf checks nothing).
            const double window = registers[static_cast<std::size_t>(instruction.constants[0])];
            return window <= kDirectWindow ? 8.0 + std::max(window, 0.0) : 700.0;
        }
        case OpCode::Pow:
        case OpCode::Wma:
        case OpCode::Slope:
        case OpCode::Forcast:
            return 40.0;
        case OpCode::Hhv:
        case OpCode::Llv:
        case OpCode::HhvBars:
        case OpCode::LlvBars:
        case OpCode::Std:
        case OpCode::Stdp:
        case OpCode::Exp:
        case OpCode::Log:
            return 20.0;
        case OpCode::MovingAverage:
        case OpCode::Sum:
        case OpCode::BarsLast:
        case OpCode::BarsCount:
        case OpCode::BarsSince:
        case OpCode::BarsLastCount:
        case OpCode::Filter:
        case OpCode::ValueWhen:
            return 12.0;
        case OpCode::Ema:
        case OpCode::Sma:
        case OpCode::Dma:
        case OpCode::Count:
        case OpCode::Exist:
        case OpCode::Every:
            return 4.0;
        case OpCode::Mark:
            return 8.0;  // a pass over its inputs and, at a mark, writing it and putting it in order
        default:
            return 1.0;
    }
}

double CostPerBar(const Program& program, const std::vector<double>& registers) {
    double cost = 0.0;
    for (const Instruction& instruction : program.columnCode) cost += Weight(instruction, registers);
    return cost;
}

}  // namespace

FormulaRun::FormulaRun() : m_state(std::make_unique<State>()) {}
FormulaRun::~FormulaRun() = default;
FormulaRun::FormulaRun(FormulaRun&&) noexcept = default;
FormulaRun& FormulaRun::operator=(FormulaRun&&) noexcept = default;

bool FormulaRun::Run(const CompiledFormula& formula, const BarSeries& bars, const std::vector<double>& values,
                     int unchangedBars, const FormulaRunControl& control) {
    m_formula = formula.m_compiled;
    const Program& program = m_formula->program;
    State& state = *m_state;
    const int n = static_cast<int>(bars.size());
    m_bars = n;
    m_error.reset();

    state.KeepFieldsUpTo(unchangedBars);
    state.SetRegisters(*m_formula, values, state.registers);

    int from = state.ResumeBar(*m_formula, state.registers, n, unchangedBars);
    m_error = state.CheckConstants(program);
    if (!m_error && control.maxCost > 0 &&
        CostPerBar(program, state.registers) * (n - from) > control.maxCost)
        m_error = FormulaError{0, 0, -1, msg::TooCostly()};
    if (m_error) return Stop();
    if (from == 0) state.StartAfresh(m_formula);
    // Exactly the formula's slots: those of a longer formula run before are given back.
    state.slots.resize(static_cast<std::size_t>(program.slotCount));
    for (std::vector<double>& slot : state.slots) slot.resize(static_cast<std::size_t>(n));
    state.ReadFields(bars, program.fields);
    state.keptValues = 0;
    state.StartMarks(from, control.maxMarks);
    for (std::size_t k = 0; k < program.columnCode.size(); ++k) {
        if (control.cancel && control.cancel->load(std::memory_order_relaxed)) {
            m_error = FormulaError{0, 0, -1, msg::Cancelled()};
            return Stop();
        }
        state.Execute(program, k, n, from);
        if (state.tooManyMarks) {
            m_error = FormulaError{0, 0, -1, msg::TooManyMarks()};
            return Stop();
        }
    }
    state.FinishMarks(n, from);
    state.resumeBar = n > 0 && state.keptValues <= State::kMaxKeptValues ? n - 1 : -1;
    state.ranRegisters = state.registers;
    return true;
}

bool FormulaRun::Stop() {
    State& state = *m_state;
    const Program& program = m_formula->program;
    state.resumeBar = -1;
    state.marks.clear();
    state.newMarkCount = 0;
    state.slots.resize(static_cast<std::size_t>(program.slotCount));
    for (int slot : program.outputSlots) {
        std::vector<double>& column = state.slots[static_cast<std::size_t>(slot)];
        column.assign(static_cast<std::size_t>(m_bars), kNoValue);
    }
    return false;
}

double FormulaRun::CostOf(const CompiledFormula& formula, int bars, const std::vector<double>& values,
                          int unchangedBars) const {
    std::vector<double> registers;
    m_state->SetRegisters(*formula.m_compiled, values, registers);
    const int from = m_state->ResumeBar(*formula.m_compiled, registers, bars, unchangedBars);
    return CostPerBar(formula.m_compiled->program, registers) * (bars - from);
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

std::span<const FormulaMark> FormulaRun::Marks() const {
    if (!m_state) return {};
    return m_state->marks;
}

std::string FormulaRun::TitleItem(int output, int bar) const {
    if (output < 0 || output >= OutputCount()) return {};
    std::string item = m_formula->outputs[static_cast<std::size_t>(output)].name;
    if (auto value = ValueAt(output, bar)) item += ":" + FormatFixed2(*value);
    return item;
}

}  // namespace qelt
