// The fourth step: a checked tree to straight-line code over columns (FormulaProgram.h).
#include <algorithm>
#include <climits>
#include <span>

#include "formula/FormulaChecker.h"
#include "formula/FormulaDrawingNames.h"
#include "formula/FormulaProgram.h"

namespace qelt::formula {
namespace {

OpCode OperatorCode(Operator op) {
    switch (op) {
        case Operator::Negate:
            return OpCode::Negate;
        case Operator::Not:
            return OpCode::Not;
        case Operator::Add:
            return OpCode::Add;
        case Operator::Subtract:
            return OpCode::Subtract;
        case Operator::Multiply:
            return OpCode::Multiply;
        case Operator::Divide:
            return OpCode::Divide;
        case Operator::Greater:
            return OpCode::Greater;
        case Operator::Less:
            return OpCode::Less;
        case Operator::GreaterEqual:
            return OpCode::GreaterEqual;
        case Operator::LessEqual:
            return OpCode::LessEqual;
        case Operator::Equal:
            return OpCode::Equal;
        case Operator::NotEqual:
            return OpCode::NotEqual;
        case Operator::And:
            return OpCode::And;
        case Operator::Or:
            return OpCode::Or;
        case Operator::Identity:
            break;  // never compiled: the operand stands for itself
    }
    return OpCode::Copy;
}

OpCode FunctionCode(Function f) {
    switch (f) {
        case Function::Ma:
            return OpCode::MovingAverage;
        case Function::Ema:
            return OpCode::Ema;
        case Function::Sma:
            return OpCode::Sma;
        case Function::Dma:
            return OpCode::Dma;
        case Function::Ref:
            return OpCode::Ref;
        case Function::Hhv:
            return OpCode::Hhv;
        case Function::Llv:
            return OpCode::Llv;
        case Function::Sum:
            return OpCode::Sum;
        case Function::Count:
            return OpCode::Count;
        case Function::Std:
            return OpCode::Std;
        case Function::Stdp:
            return OpCode::Stdp;
        case Function::Avedev:
            return OpCode::Avedev;
        case Function::Abs:
            return OpCode::Abs;
        case Function::Sqrt:
            return OpCode::Sqrt;
        case Function::Ln:
            return OpCode::Ln;
        case Function::Max:
            return OpCode::Max;
        case Function::Min:
            return OpCode::Min;
        case Function::If:
            return OpCode::If;
        case Function::Cross:
            return OpCode::Cross;
        case Function::BarsLast:
            return OpCode::BarsLast;
        case Function::Wma:
            return OpCode::Wma;
        case Function::Slope:
            return OpCode::Slope;
        case Function::Forcast:
            return OpCode::Forcast;
        case Function::ValueWhen:
            return OpCode::ValueWhen;
        case Function::Filter:
            return OpCode::Filter;
        case Function::Exist:
            return OpCode::Exist;
        case Function::Every:
            return OpCode::Every;
        case Function::BarsCount:
            return OpCode::BarsCount;
        case Function::BarsSince:
            return OpCode::BarsSince;
        case Function::BarsLastCount:
            return OpCode::BarsLastCount;
        case Function::HhvBars:
            return OpCode::HhvBars;
        case Function::LlvBars:
            return OpCode::LlvBars;
        case Function::Pow:
            return OpCode::Pow;
        case Function::Exp:
            return OpCode::Exp;
        case Function::Log:
            return OpCode::Log;
        case Function::Sign:
            return OpCode::Sign;
    }
    return OpCode::Copy;
}

/// Functions that work on whole columns (windows, recursions, the bar before): their inputs
/// must be columns and their result cannot share a slot with an input.
bool OverSeries(Function f) { return !IsPerBarFunction(f); }

/// Readers of a slot that never frees it: an output's column.
constexpr int kForever = INT_MAX;

class Compiler {
  public:
    Compiler(const Tree& tree, int parameterCount) : m_tree(tree) {
        m_program.parameterCount = parameterCount;
        m_program.registers.assign(static_cast<std::size_t>(parameterCount), 0.0);
        m_value.resize(tree.nodes.size());
        // At most one instruction per node (and a Fill or Copy per statement): no growing.
        m_program.columnCode.reserve(tree.nodes.size() + tree.statements.size());
        m_program.scalarCode.reserve(tree.nodes.size());
        m_program.registers.reserve(tree.nodes.size() + static_cast<std::size_t>(parameterCount));
        m_owned.assign(tree.nodes.size(), false);
        m_variableRead.assign(tree.nodes.size(), false);
        m_statementValue.resize(tree.statements.size());
        m_compiled.assign(tree.statements.size(), false);
        m_uses.assign(tree.statements.size(), 0);
    }

    Program Run() {
        CountUses();
        // The outputs in their order; a variable is compiled where it is first read, so its
        // column lives from there to its last reader only, not from its statement on.
        for (std::size_t s = 0; s < m_tree.statements.size(); ++s)
            if (m_tree.statements[s].kind != StatementKind::Variable) CompileFrom(static_cast<int>(s));
        return std::move(m_program);
    }

  private:
    const Node& NodeAt(int n) const { return m_tree.nodes[static_cast<std::size_t>(n)]; }
    const Statement& StatementAt(int s) const { return m_tree.statements[static_cast<std::size_t>(s)]; }

    /// How many names in the computed statements (the outputs and what they read) read each
    /// statement. A statement no output depends on is read by none and never compiled.
    void CountUses() {
        std::vector<bool> live(m_tree.statements.size(), false);
        for (std::size_t s = m_tree.statements.size(); s-- > 0;) {
            const Statement& statement = m_tree.statements[s];
            if (statement.kind != StatementKind::Variable) live[s] = true;
            if (!live[s]) continue;
            for (int n = statement.firstNode; n < statement.endNode; ++n) {
                const Node& node = NodeAt(n);
                if (node.kind != NodeKind::Name || node.nameKind != NameKind::Statement) continue;
                live[static_cast<std::size_t>(node.reference)] = true;
                ++m_uses[static_cast<std::size_t>(node.reference)];
            }
        }
    }

    /// Compiles statement `s`, and each statement it reads that is not compiled yet just
    /// before the name that reads it first. The stack is as deep as a chain of statements
    /// (at most 1,000 frames of the heap), never the C++ stack.
    void CompileFrom(int s) {
        struct Frame {
            int statement;
            int node;  ///< the next node to compile
        };
        std::vector<Frame> stack{{s, StatementAt(s).firstNode}};
        m_compiled[static_cast<std::size_t>(s)] = true;
        while (!stack.empty()) {
            const Frame frame = stack.back();
            if (frame.node == StatementAt(frame.statement).endNode) {
                FinishStatement(frame.statement);
                stack.pop_back();
                continue;
            }
            const Node& node = NodeAt(frame.node);
            if (node.kind == NodeKind::Name && node.nameKind == NameKind::Statement &&
                !m_compiled[static_cast<std::size_t>(node.reference)]) {
                m_compiled[static_cast<std::size_t>(node.reference)] = true;
                stack.push_back({node.reference, StatementAt(node.reference).firstNode});
                continue;
            }
            CompileNode(frame.node);
            ++stack.back().node;
        }
    }

    int NewRegister(double value = 0.0) {
        m_program.registers.push_back(value);
        return static_cast<int>(m_program.registers.size()) - 1;
    }

    int NewSlot() {
        if (!m_freeSlots.empty()) {
            const int slot = m_freeSlots.back();
            m_freeSlots.pop_back();
            return slot;
        }
        m_readers.push_back(0);
        m_pendingReads.push_back(0);
        return m_program.slotCount++;
    }

    /// A consumer takes its operand `node`. A read of a variable whose readers are all
    /// compiled gives its consumer the column once no other read of it waits for its operator
    /// (in X+ABS(X), ABS may not write over X: the "+" still reads it).
    void Consume(int node) {
        const std::size_t at = static_cast<std::size_t>(node);
        if (!m_variableRead[at]) return;
        m_variableRead[at] = false;
        const std::size_t slot = static_cast<std::size_t>(m_value[at].index);
        if (--m_pendingReads[slot] == 0 && m_readers[slot] == 0) m_owned[at] = true;
    }

    void ReleaseIfOwned(int node) {
        if (!m_owned[static_cast<std::size_t>(node)]) return;
        m_freeSlots.push_back(m_value[static_cast<std::size_t>(node)].index);
        m_owned[static_cast<std::size_t>(node)] = false;
    }

    Operand Register(int reg) const { return Operand{Operand::Kind::Register, reg}; }
    Operand Slot(int slot) const { return Operand{Operand::Kind::Slot, slot}; }

    /// The statement's value goes to the names that read it: an output's column stays for
    /// the caller; a variable's column waits for its readers (the last one frees it).
    void FinishStatement(int s) {
        const Statement& statement = StatementAt(s);
        if (statement.kind == StatementKind::Drawing) return FinishDrawing(statement);
        const std::size_t root = static_cast<std::size_t>(statement.Root());
        Consume(statement.Root());
        Operand value = m_value[root];
        const bool owned = m_owned[root];
        m_owned[root] = false;
        if (statement.kind != StatementKind::Variable) {
            Operand column = value;
            if (!owned) {
                Instruction copy;
                copy.op = value.IsColumn() ? OpCode::Copy : OpCode::Fill;
                copy.target = Slot(NewSlot());
                copy.in[0] = value;
                copy.inputs = 1;
                m_program.columnCode.push_back(copy);
                column = copy.target;
            }
            m_program.outputSlots.push_back(column.index);
            m_readers[static_cast<std::size_t>(column.index)] = kForever;
            // A uniform output stays a register for the statements that read it: their
            // scalar code runs before any column exists.
            if (value.kind != Operand::Kind::Register) value = column;
        } else if (value.kind == Operand::Kind::Slot) {
            int& readers = m_readers[static_cast<std::size_t>(value.index)];
            // A column of its own, or another statement's under a second name (B := A):
            // then it lives until the readers of both are done.
            if (owned) {
                readers = m_uses[static_cast<std::size_t>(s)];
            } else if (readers != kForever) {
                readers += m_uses[static_cast<std::size_t>(s)];
            }
        }
        m_statementValue[static_cast<std::size_t>(s)] = value;
    }

    /// A drawing makes its marks as soon as its columns are computed, then gives them back:
    /// 500 drawings hold no more columns than one.
    void FinishDrawing(const Statement& statement) {
        const int columns = InfoOf(statement.drawingKind).columns;
        Instruction mark;
        mark.op = OpCode::Mark;
        mark.drawing = statement.drawing;
        for (int k = 0; k < columns; ++k) {
            const int argument = statement.drawingArguments[static_cast<std::size_t>(k)];
            Consume(argument);
            mark.in[mark.inputs++] = m_value[static_cast<std::size_t>(argument)];
        }
        m_program.columnCode.push_back(mark);
        for (int k = 0; k < columns; ++k)
            ReleaseIfOwned(statement.drawingArguments[static_cast<std::size_t>(k)]);
    }

    void CompileNode(int n) {
        const Node& node = NodeAt(n);
        const std::size_t at = static_cast<std::size_t>(n);
        switch (node.kind) {
            case NodeKind::Number:
                m_value[at] = Register(NewRegister(node.value));
                return;
            case NodeKind::Name:
                m_value[at] = NameValue(node);
                // The last read of a variable's column gives it to its consumer (Consume).
                if (m_value[at].kind == Operand::Kind::Slot && node.nameKind == NameKind::Statement) {
                    const std::size_t slot = static_cast<std::size_t>(m_value[at].index);
                    if (m_readers[slot] != kForever) {
                        --m_readers[slot];
                        ++m_pendingReads[slot];
                        m_variableRead[at] = true;
                    }
                }
                return;
            case NodeKind::Unary:
                if (node.op == Operator::Identity) {
                    m_value[at] = m_value[static_cast<std::size_t>(node.first)];
                    m_owned[at] = m_owned[static_cast<std::size_t>(node.first)];
                    m_owned[static_cast<std::size_t>(node.first)] = false;
                    m_variableRead[at] = m_variableRead[static_cast<std::size_t>(node.first)];
                    m_variableRead[static_cast<std::size_t>(node.first)] = false;
                    return;
                }
                return EmitPerBar(n, OperatorCode(node.op), std::span<const int>(&node.first, 1));
            case NodeKind::Binary: {
                const int operands[2] = {node.first, node.second};
                return EmitPerBar(n, OperatorCode(node.op), operands);
            }
            case NodeKind::Call:
                return EmitCall(n);
        }
    }

    Operand NameValue(const Node& node) {
        switch (node.nameKind) {
            case NameKind::Data:
                m_program.fields |= BitOf(static_cast<BarData>(node.reference));
                return Operand{Operand::Kind::Field, node.reference};
            case NameKind::Parameter:
                return Register(node.reference);
            case NameKind::Statement:
                return m_statementValue[static_cast<std::size_t>(node.reference)];
            case NameKind::Unresolved:
                break;
        }
        return Register(0);
    }

    /// An operator or per-bar function: scalar code when uniform, else one pass that may
    /// write over an operand's column that dies here.
    void EmitPerBar(int n, OpCode op, std::span<const int> operands) {
        const Node& node = NodeAt(n);
        Instruction instruction;
        instruction.op = op;
        for (int operand : operands)
            instruction.in[instruction.inputs++] = m_value[static_cast<std::size_t>(operand)];
        if (node.uniform) {
            instruction.target = Register(NewRegister());
            m_program.scalarCode.push_back(instruction);
            m_value[static_cast<std::size_t>(n)] = instruction.target;
            return;
        }
        int reused = -1;
        for (int operand : operands) Consume(operand);
        for (int operand : operands) {
            if (reused < 0 && m_owned[static_cast<std::size_t>(operand)]) {
                reused = m_value[static_cast<std::size_t>(operand)].index;
                m_owned[static_cast<std::size_t>(operand)] = false;
            } else {
                ReleaseIfOwned(operand);
            }
        }
        instruction.target = Slot(reused >= 0 ? reused : NewSlot());
        m_program.columnCode.push_back(instruction);
        m_value[static_cast<std::size_t>(n)] = instruction.target;
        m_owned[static_cast<std::size_t>(n)] = true;
    }

    void EmitCall(int n) {
        const Node& node = NodeAt(n);
        const FunctionInfo* info = &InfoOf(node.function);
        std::vector<int> arguments;
        for (int k = 0; k < node.second; ++k)
            arguments.push_back(m_tree.arguments[static_cast<std::size_t>(node.first + k)]);
        if (!OverSeries(node.function)) {
            return EmitPerBar(n, FunctionCode(node.function), arguments);
        }
        Instruction instruction;
        instruction.op = FunctionCode(node.function);
        const int columns = info->firstConstant;
        for (int k = 0; k < columns; ++k)
            instruction.in[instruction.inputs++] = ColumnOf(arguments[static_cast<std::size_t>(k)]);
        for (int k = columns; k < info->arity; ++k) {
            const Node& constant = NodeAt(arguments[static_cast<std::size_t>(k)]);
            const int reg = m_value[static_cast<std::size_t>(arguments[static_cast<std::size_t>(k)])].index;
            instruction.constants[k - columns] = reg;
            ConstantCheck check{reg, info->rules[k - columns], -1, constant.startLine, constant.startColumn};
            if (k - columns == 1) check.notAbove = instruction.constants[0];
            m_program.checks.push_back(check);
        }
        // The target is taken before the inputs are freed: a series function reads bars of
        // its input after writing others of its result, so the two may not share a column.
        instruction.target = Slot(NewSlot());
        for (int k = 0; k < columns; ++k) {
            Consume(arguments[static_cast<std::size_t>(k)]);
            ReleaseIfOwned(arguments[static_cast<std::size_t>(k)]);
        }
        m_program.columnCode.push_back(instruction);
        m_value[static_cast<std::size_t>(n)] = instruction.target;
        m_owned[static_cast<std::size_t>(n)] = true;
    }

    /// The argument as a column: a uniform one is spread over a column of its own first.
    Operand ColumnOf(int argument) {
        const Operand value = m_value[static_cast<std::size_t>(argument)];
        if (value.IsColumn()) return value;
        Instruction fill;
        fill.op = OpCode::Fill;
        fill.target = Slot(NewSlot());
        fill.in[0] = value;
        fill.inputs = 1;
        m_program.columnCode.push_back(fill);
        m_value[static_cast<std::size_t>(argument)] = fill.target;
        m_owned[static_cast<std::size_t>(argument)] = true;
        return fill.target;
    }

    const Tree& m_tree;
    Program m_program;
    std::vector<Operand> m_value;  ///< per node
    std::vector<bool>
        m_variableRead;  ///< per node: a read of a variable's column its consumer has yet to take
    std::vector<int> m_pendingReads;  ///< per slot: reads of it compiled but not yet taken by their consumer
    std::vector<bool> m_owned;        ///< per node: its value is a slot only it uses, freed by its user
    std::vector<Operand> m_statementValue;
    std::vector<bool> m_compiled;  ///< per statement
    std::vector<int> m_uses;       ///< per statement: the names that read it
    std::vector<int> m_readers;    ///< per slot: reads still to come of the statements it holds
    std::vector<int> m_freeSlots;
};

}  // namespace

Program Compile(const Tree& tree, int parameterCount) { return Compiler(tree, parameterCount).Run(); }

}  // namespace qelt::formula
