// The fourth step: a checked tree to straight-line code over columns (FormulaProgram.h).
#include <algorithm>
#include <climits>
#include <span>

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
    }
    return OpCode::Copy;
}

/// Functions that work on whole columns (windows, recursions, the bar before): their inputs
/// must be columns and their result cannot share a slot with an input.
bool OverSeries(Function f) {
    return !(f == Function::Abs || f == Function::Sqrt || f == Function::Ln || f == Function::Max ||
             f == Function::Min || f == Function::If);
}

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
        m_statementValue.resize(tree.statements.size());
    }

    Program Run() {
        FindLiveStatements();
        for (std::size_t s = 0; s < m_tree.statements.size(); ++s) {
            if (!m_live[s]) continue;
            CompileStatement(static_cast<int>(s));
            ReleaseAfter(static_cast<int>(s));
        }
        return std::move(m_program);
    }

  private:
    const Node& NodeAt(int n) const { return m_tree.nodes[static_cast<std::size_t>(n)]; }

    /// Outputs are live; so is every statement a live one names. lastUse: the last live
    /// statement naming each one.
    void FindLiveStatements() {
        const std::size_t count = m_tree.statements.size();
        std::vector<std::vector<int>> uses(count);
        for (std::size_t s = 0; s < count; ++s) {
            const Statement& statement = m_tree.statements[s];
            for (int n = statement.firstNode; n < statement.endNode; ++n)
                if (NodeAt(n).kind == NodeKind::Name && NodeAt(n).nameKind == NameKind::Statement)
                    uses[s].push_back(NodeAt(n).reference);
        }
        m_live.assign(count, false);
        m_lastUse.assign(count, -1);
        for (std::size_t s = count; s-- > 0;) {
            if (m_tree.statements[s].kind != StatementKind::Variable) m_live[s] = true;
            if (!m_live[s]) continue;
            for (int used : uses[s]) {
                m_live[static_cast<std::size_t>(used)] = true;
                m_lastUse[static_cast<std::size_t>(used)] =
                    std::max(m_lastUse[static_cast<std::size_t>(used)], static_cast<int>(s));
            }
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
        return m_program.slotCount++;
    }

    void ReleaseIfOwned(int node) {
        if (!m_owned[static_cast<std::size_t>(node)]) return;
        m_freeSlots.push_back(m_value[static_cast<std::size_t>(node)].index);
        m_owned[static_cast<std::size_t>(node)] = false;
    }

    Operand Register(int reg) const { return Operand{Operand::Kind::Register, reg}; }
    Operand Slot(int slot) const { return Operand{Operand::Kind::Slot, slot}; }

    void CompileStatement(int s) {
        const Statement& statement = m_tree.statements[static_cast<std::size_t>(s)];
        for (int n = statement.firstNode; n < statement.endNode; ++n) CompileNode(n);
        const std::size_t root = static_cast<std::size_t>(statement.Root());
        Operand value = m_value[root];
        if (statement.kind != StatementKind::Variable) {
            // An output holds a column of its own, which the caller reads after the run.
            if (!m_owned[root]) {
                Instruction copy;
                copy.op = value.IsColumn() ? OpCode::Copy : OpCode::Fill;
                copy.target = Slot(NewSlot());
                copy.in[0] = value;
                copy.inputs = 1;
                m_program.columnCode.push_back(copy);
                value = copy.target;
            }
            m_program.outputSlots.push_back(value.index);
            m_pinned.push_back({value.index, kForever});
        } else if (m_owned[root]) {
            m_pinned.push_back({value.index, m_lastUse[static_cast<std::size_t>(s)]});
        } else if (value.kind == Operand::Kind::Slot) {
            // Another statement's column under a second name: it lives as long as either.
            for (Pinned& pinned : m_pinned)
                if (pinned.slot == value.index)
                    pinned.releaseAfter =
                        std::max(pinned.releaseAfter, m_lastUse[static_cast<std::size_t>(s)]);
        }
        m_statementValue[static_cast<std::size_t>(s)] = value;
    }

    void ReleaseAfter(int s) {
        for (std::size_t i = 0; i < m_pinned.size();) {
            if (m_pinned[i].releaseAfter == s) {
                m_freeSlots.push_back(m_pinned[i].slot);
                m_pinned[i] = m_pinned.back();
                m_pinned.pop_back();
            } else {
                ++i;
            }
        }
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
                return;
            case NodeKind::Unary:
                if (node.op == Operator::Identity) {
                    m_value[at] = m_value[static_cast<std::size_t>(node.first)];
                    m_owned[at] = m_owned[static_cast<std::size_t>(node.first)];
                    m_owned[static_cast<std::size_t>(node.first)] = false;
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
        for (int k = 0; k < columns; ++k) ReleaseIfOwned(arguments[static_cast<std::size_t>(k)]);
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

    struct Pinned {
        int slot;
        int releaseAfter;  ///< statement after which the slot is free again
    };

    const Tree& m_tree;
    Program m_program;
    std::vector<Operand> m_value;  ///< per node
    std::vector<bool> m_owned;     ///< per node: its value is a slot only it uses, freed by its user
    std::vector<Operand> m_statementValue;
    std::vector<bool> m_live;
    std::vector<int> m_lastUse;
    std::vector<int> m_freeSlots;
    std::vector<Pinned> m_pinned;
};

}  // namespace

Program Compile(const Tree& tree, int parameterCount) { return Compiler(tree, parameterCount).Run(); }

}  // namespace qelt::formula
