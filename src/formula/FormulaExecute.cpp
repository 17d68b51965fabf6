// One column instruction over the bars a run computes (FormulaRunState.h).
#include <algorithm>

#include "formula/FormulaArithmetic.h"
#include "formula/FormulaChecker.h"
#include "formula/FormulaKernels.h"
#include "formula/FormulaRunState.h"

namespace qelt {

using namespace formula;

namespace {

bool IsSeries(OpCode op) { return op >= OpCode::MovingAverage && op < OpCode::Fill; }

}  // namespace

const double* FormulaRun::State::ColumnOf(const Operand& operand) const {
    return operand.kind == Operand::Kind::Field ? fields[static_cast<std::size_t>(operand.index)].data()
                                                : slots[static_cast<std::size_t>(operand.index)].data();
}

int FormulaRun::State::Lookback(const Instruction& instruction) const {
    switch (instruction.op) {
        case OpCode::MovingAverage:
        case OpCode::Ref:
        case OpCode::Sum:
        case OpCode::Count:
        case OpCode::Std:
        case OpCode::Stdp:
        case OpCode::Avedev:
        case OpCode::Wma:
        case OpCode::Slope:
        case OpCode::Forcast:
        case OpCode::Exist:
        case OpCode::Every:
            return WholeWindow(Constant(instruction, 0));
        case OpCode::Cross:
            return 1;
        default:
            return 0;  // HHV, LLV and their BARS keep their bars in the queue; the others need none
    }
}

const double* FormulaRun::State::InputOf(const Instruction& instruction, int input, std::size_t k, int from,
                                         int n) {
    const Operand& operand = instruction.in[input];
    const double* column = ColumnOf(operand);
    if (from == 0 || HoldsEveryBar(operand, k)) return column;
    // The slot holds this value's bars from `from` on only (before, another value's): the
    // bars looked back on come from the kept tail, into a column of the scratch.
    const std::vector<double>& tail = tails[k][static_cast<std::size_t>(input)];
    std::vector<double>& joined = scratch.inputs[static_cast<std::size_t>(input)];
    joined.resize(static_cast<std::size_t>(n));
    std::copy(tail.begin(), tail.end(), joined.begin() + (from - static_cast<int>(tail.size())));
    std::copy(column + from, column + n, joined.begin() + from);
    return joined.data();
}

void FormulaRun::State::KeepTails(const Instruction& instruction, std::size_t k, int n,
                                  const double* const* inputs) {
    const int last = n - 1;
    const int back = std::min(Lookback(instruction), std::max(last, 0));
    for (int input = 0; input < instruction.inputs && input < 2; ++input) {
        const Operand& operand = instruction.in[input];
        std::vector<double>& tail = tails[k][static_cast<std::size_t>(input)];
        if (HoldsEveryBar(operand, k) || back == 0 || keptValues > kMaxKeptValues) {
            tail.clear();
            continue;
        }
        tail.assign(inputs[input] + (last - back), inputs[input] + last);
        keptValues += tail.size();
    }
    keptValues += running[k].queue.size();
}

void FormulaRun::State::RunSeries(const Instruction& instruction, std::size_t k, int n, int from,
                                  const double* const* inputs) {
    double* out = SlotOf(instruction.target);
    const double* x = inputs[0];
    SeriesState& state = running[k];
    const auto window = [&](int c) { return WholeWindow(Constant(instruction, c)); };
    switch (instruction.op) {
        case OpCode::MovingAverage:
            return MovingAverage(x, out, n, window(0), from, state);
        case OpCode::Ema: {
            const double span = window(0);
            return Recursive(x, out, n, Recursion{2.0 / (span + 1.0), (span - 1.0) / (span + 1.0)}, from,
                             state);
        }
        case OpCode::Sma: {
            const double span = window(0), weight = window(1);
            return Recursive(x, out, n, Recursion{weight / span, (span - weight) / span}, from, state);
        }
        case OpCode::Dma: {
            const double weight = Constant(instruction, 0);
            return Recursive(x, out, n, Recursion{weight, 1.0 - weight}, from, state);
        }
        case OpCode::Ref:
            return Reference(x, out, n, window(0), from);
        case OpCode::Hhv:
        case OpCode::Llv:
            return Extreme(x, out, n, window(0), instruction.op == OpCode::Hhv, from, state, scratch);
        case OpCode::Sum:
            return WindowSum(x, out, n, window(0), from, state);
        case OpCode::Count:
            return WindowCount(x, out, n, window(0), CountOutput::Count, from, state);
        case OpCode::Exist:
            return WindowCount(x, out, n, window(0), CountOutput::Exist, from, state);
        case OpCode::Every:
            return WindowCount(x, out, n, window(0), CountOutput::Every, from, state);
        case OpCode::Std:
        case OpCode::Stdp:
            return Deviation(x, out, n, window(0), instruction.op == OpCode::Std, from, state);
        case OpCode::Avedev:
            return MeanAbsoluteDeviation(x, out, n, window(0), from, scratch);
        case OpCode::Cross:
            return Cross(x, inputs[1], out, n, from);
        case OpCode::BarsLast:
            return BarsLast(x, out, n, from, state);
        case OpCode::Wma:
            return LeastSquares(x, out, n, window(0), LineOutput::Weighted, from, state);
        case OpCode::Slope:
            return LeastSquares(x, out, n, window(0), LineOutput::Slope, from, state);
        case OpCode::Forcast:
            return LeastSquares(x, out, n, window(0), LineOutput::Forecast, from, state);
        case OpCode::ValueWhen:
            return ValueWhen(x, inputs[1], out, n, from, state);
        case OpCode::Filter:
            return Filter(x, out, n, window(0), from, state);
        case OpCode::BarsCount:
        case OpCode::BarsSince:
            return BarsFromFirst(x, out, n, instruction.op == OpCode::BarsSince, from, state);
        case OpCode::BarsLastCount:
            return BarsLastCount(x, out, n, from, state);
        case OpCode::HhvBars:
        case OpCode::LlvBars:
            return ExtremeBars(x, out, n, window(0), instruction.op == OpCode::HhvBars, from, state, scratch);
        default:
            return;
    }
}

void FormulaRun::State::Execute(const Program& program, std::size_t k, int n, int from) {
    const Instruction& instruction = program.columnCode[k];
    if (IsSeries(instruction.op)) {
        const double* inputs[2] = {InputOf(instruction, 0, k, from, n),
                                   instruction.inputs > 1 ? InputOf(instruction, 1, k, from, n) : nullptr};
        RunSeries(instruction, k, n, from, inputs);
        KeepTails(instruction, k, n, inputs);
        return;
    }
    if (instruction.op == OpCode::Mark) return MakeMarks(instruction, n, from);
    double* out = SlotOf(instruction.target);
    switch (instruction.op) {
        case OpCode::Fill:
            std::fill(out + from, out + n, registers[static_cast<std::size_t>(instruction.in[0].index)]);
            return;
        case OpCode::Copy: {
            const double* x = ColumnOf(instruction.in[0]);
            std::copy(x + from, x + n, out + from);
            return;
        }
        default: {
            Source in[3];
            for (int input = 0; input < instruction.inputs; ++input) {
                if (instruction.in[input].IsColumn()) {
                    in[input].column = ColumnOf(instruction.in[input]) + from;
                } else {
                    in[input].scalar = registers[static_cast<std::size_t>(instruction.in[input].index)];
                }
            }
            return RunPerBar(instruction.op, in, out + from, n - from);
        }
    }
}

}  // namespace qelt
