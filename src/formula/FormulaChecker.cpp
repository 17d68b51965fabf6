#include "formula/FormulaChecker.h"

#include <unordered_map>

#include "common/Numbers.h"
#include "formula/FormulaArithmetic.h"
#include "formula/FormulaDrawingNames.h"
#include "formula/FormulaMessages.h"
#include "formula/FormulaText.h"

namespace qelt::formula {

std::optional<std::string> ConstantProblem(const ConstantRule& rule, double value) {
    if (rule.weight) {
        if (HasValue(value) && value > 0.0 && value <= 1.0) return std::nullopt;
        return msg::WeightOutOfRange();
    }
    // Compared before the conversion to int, which a huge value would overflow.
    const double whole = std::trunc(value);
    if (HasValue(whole) && whole >= rule.minimum && whole <= kMaxWindow) return std::nullopt;
    return msg::OutOfRange(rule.letter, rule.minimum, kMaxWindow);
}

bool IsPerBarFunction(Function f) {
    switch (f) {
        case Function::Abs:
        case Function::Sqrt:
        case Function::Ln:
        case Function::Max:
        case Function::Min:
        case Function::If:
        case Function::Pow:
        case Function::Exp:
        case Function::Log:
        case Function::Sign:
            return true;
        default:
            return false;
    }
}

double ApplyOperator(Operator op, double a, double b) {
    switch (op) {
        case Operator::Negate:
            return NegateOp(a);
        case Operator::Identity:
            return a;
        case Operator::Not:
            return NotOp(a);
        case Operator::Add:
            return AddOp(a, b);
        case Operator::Subtract:
            return SubtractOp(a, b);
        case Operator::Multiply:
            return MultiplyOp(a, b);
        case Operator::Divide:
            return DivideOp(a, b);
        case Operator::Greater:
            return GreaterOp(a, b);
        case Operator::Less:
            return LessOp(a, b);
        case Operator::GreaterEqual:
            return GreaterEqualOp(a, b);
        case Operator::LessEqual:
            return LessEqualOp(a, b);
        case Operator::Equal:
            return EqualOp(a, b);
        case Operator::NotEqual:
            return NotEqualOp(a, b);
        case Operator::And:
            return AndOp(a, b);
        case Operator::Or:
            return OrOp(a, b);
    }
    return kNoValue;
}

double ApplyFunction(Function function, const double* x) {
    switch (function) {
        case Function::Abs:
            return AbsOp(x[0]);
        case Function::Sqrt:
            return SqrtOp(x[0]);
        case Function::Ln:
            return LnOp(x[0]);
        case Function::Max:
            return MaxOp(x[0], x[1]);
        case Function::Min:
            return MinOp(x[0], x[1]);
        case Function::If:
            return IfOp(x[0], x[1], x[2]);
        case Function::Pow:
            return PowOp(x[0], x[1]);
        case Function::Exp:
            return ExpOp(x[0]);
        case Function::Log:
            return LogOp(x[0]);
        case Function::Sign:
            return SignOp(x[0]);
        default:
            return kNoValue;  // the windowed functions are never uniform
    }
}

namespace {

bool IsArithmetic(Operator op) {
    return op == Operator::Negate || op == Operator::Identity || op == Operator::Add ||
           op == Operator::Subtract || op == Operator::Multiply || op == Operator::Divide;
}

class Checker {
  public:
    Checker(Tree& tree, const std::vector<FormulaParameter>& parameters, FormulaError& error)
        : m_tree(tree), m_parameters(parameters), m_error(error) {}

    bool Run() {
        for (std::size_t i = 0; i < m_parameters.size(); ++i)
            m_parameterIndex.emplace(UpperAscii(m_parameters[i].name), static_cast<int>(i));
        for (std::size_t s = 0; s < m_tree.statements.size(); ++s) {
            const Statement& statement = m_tree.statements[s];
            if (!statement.name.empty())
                m_firstDefinition.emplace(UpperAscii(statement.name), static_cast<int>(s));
        }
        for (std::size_t s = 0; s < m_tree.statements.size(); ++s) {
            m_current = static_cast<int>(s);
            Statement& statement = m_tree.statements[s];
            if (!CheckName(statement)) return false;
            for (int n = statement.firstNode; n < statement.endNode; ++n)
                if (!CheckNode(m_tree.nodes[static_cast<std::size_t>(n)])) return false;
            statement.uniform = m_tree.nodes[static_cast<std::size_t>(statement.Root())].uniform;
            if (statement.kind == StatementKind::Drawing) {
                if (!CheckDrawing(statement)) return false;
                continue;
            }
            if (!CheckAttributes(statement) || !CountOutput(statement)) return false;
        }
        if (m_outputs == 0 && m_drawings == 0) return Fail(m_tree.endLine, m_tree.endColumn, msg::NoOutput());
        return CheckUnnamedNames();
    }

  private:
    bool Fail(int line, int column, std::string message) {
        m_error = FormulaError{line, column, -1, std::move(message)};
        return false;
    }

    bool CheckName(const Statement& s) {
        if (s.name.empty()) return true;  // unnamed outputs and drawings
        const std::string upper = UpperAscii(s.name);
        const auto fail = [&](std::string message) { return Fail(s.line, s.column, std::move(message)); };
        if (FindBarData(upper)) return fail(msg::NameIsData(s.name));
        if (FindFunction(upper) || FindDrawingFunction(upper)) return fail(msg::NameIsFunction(s.name));
        if (FindAttribute(upper)) return fail(msg::NameIsAttribute(s.name));
        if (IsKeyword(upper)) return fail(msg::NameIsOperator(s.name));
        if (m_parameterIndex.count(upper)) return fail(msg::NameIsParameter(s.name));
        if (m_firstDefinition.at(upper) != m_current) return fail(msg::DefinedTwice(s.name));
        return true;
    }

    bool CheckNode(Node& node) {
        switch (node.kind) {
            case NodeKind::Number:
                node.uniform = node.constant = true;
                return true;
            case NodeKind::Name:
                return ResolveName(node);
            case NodeKind::Call:
                return CheckCall(node);
            case NodeKind::Unary:
            case NodeKind::Binary: {
                const Node& a = m_tree.nodes[static_cast<std::size_t>(node.first)];
                const Node* b =
                    node.kind == NodeKind::Binary ? &m_tree.nodes[static_cast<std::size_t>(node.second)] : &a;
                node.uniform = a.uniform && b->uniform;
                node.constant = a.constant && b->constant && IsArithmetic(node.op);
                if (node.uniform) node.value = ApplyOperator(node.op, a.value, b->value);
                return true;
            }
        }
        return true;
    }

    bool ResolveName(Node& node) {
        const std::string_view text = m_tree.Text(node);
        const std::string upper = UpperAscii(text);
        if (auto data = FindBarData(upper)) {
            node.nameKind = NameKind::Data;
            node.reference = static_cast<int>(*data);
            return true;
        }
        if (auto p = m_parameterIndex.find(upper); p != m_parameterIndex.end()) {
            node.nameKind = NameKind::Parameter;
            node.reference = p->second;
            node.uniform = node.constant = true;
            node.value = m_parameters[static_cast<std::size_t>(p->second)].defaultValue;
            return true;
        }
        if (auto s = m_firstDefinition.find(upper); s != m_firstDefinition.end()) {
            if (s->second == m_current) return Fail(node.line, node.column, msg::SelfReference(text));
            if (s->second > m_current) return Fail(node.line, node.column, msg::DefinedLater(text));
            const Statement& used = m_tree.statements[static_cast<std::size_t>(s->second)];
            node.nameKind = NameKind::Statement;
            node.reference = s->second;
            node.uniform = used.uniform;
            node.value = m_tree.nodes[static_cast<std::size_t>(used.Root())].value;
            return true;
        }
        if (FindFunction(upper)) return Fail(node.line, node.column, msg::MissingArgumentList(text));
        if (const DrawingFunctionInfo* drawing = FindDrawingFunction(upper))
            return Fail(node.line, node.column, msg::DrawingNotAlone(drawing->name));
        return Fail(node.line, node.column, msg::UnknownName(text));
    }

    bool CheckCall(Node& node) {
        const std::string_view text = m_tree.Text(node);
        const std::string upper = UpperAscii(text);
        const FunctionInfo* info = FindFunction(upper);
        if (const DrawingFunctionInfo* drawing = info ? nullptr : FindDrawingFunction(upper))
            return Fail(node.line, node.column, msg::DrawingNotAlone(drawing->name));
        if (!info) {
            const bool known =
                FindBarData(upper) || m_parameterIndex.count(upper) || m_firstDefinition.count(upper);
            return Fail(node.line, node.column, known ? msg::NotAFunction(text) : msg::UnknownFunction(text));
        }
        node.function = info->function;
        if (node.second != info->arity)
            return Fail(node.line, node.column, msg::ArgumentCount(info->name, info->arity));
        for (int k = info->firstConstant; k < info->arity; ++k) {
            const Node& argument = m_tree.Argument(node, k);
            const ConstantRule& rule = info->rules[k - info->firstConstant];
            if (!argument.constant)
                return Fail(argument.startLine, argument.startColumn, msg::MustBeConstant(rule.letter));
            if (auto problem = ConstantProblem(rule, argument.value))
                return Fail(argument.startLine, argument.startColumn, std::move(*problem));
        }
        if (info->function == Function::Sma &&
            std::trunc(m_tree.Argument(node, 2).value) > std::trunc(m_tree.Argument(node, 1).value)) {
            const Node& m = m_tree.Argument(node, 2);
            return Fail(m.startLine, m.startColumn, msg::MAboveN());
        }
        if (!IsPerBarFunction(info->function)) return true;
        double values[3] = {0.0, 0.0, 0.0};
        node.uniform = true;
        for (int k = 0; k < info->arity; ++k) {
            node.uniform = node.uniform && m_tree.Argument(node, k).uniform;
            values[k] = m_tree.Argument(node, k).value;
        }
        if (node.uniform) node.value = ApplyFunction(info->function, values);
        return true;
    }

    bool CheckAttributes(Statement& s) {
        if (s.attributes.empty()) return true;
        if (s.kind == StatementKind::Variable) {
            return Fail(s.attributes[0].line, s.attributes[0].column, msg::AttributeOnVariable());
        }
        // The attribute that set each aspect of the style, to name it in a clash.
        std::string_view colourBy, widthBy, stickBy;
        for (std::size_t i = 0; i < s.attributes.size(); ++i) {
            const AttributeToken& a = s.attributes[i];
            const auto fail = [&](std::string message) { return Fail(a.line, a.column, std::move(message)); };
            const std::string upper = UpperAscii(a.text);
            const std::optional<AttributeInfo> info = FindAttribute(upper);
            if (!info) return fail(msg::UnknownAttribute(a.text));
            for (std::size_t j = 0; j < i; ++j)
                if (SameName(s.attributes[j].text, a.text)) return fail(msg::AttributeTwice(a.text));
            std::string_view* by =
                info->kind == AttributeKind::Colour      ? &colourBy
                : info->kind == AttributeKind::Thickness ? &widthBy
                : (info->kind == AttributeKind::Stick || info->kind == AttributeKind::ColourStick ||
                   info->kind == AttributeKind::VolumeStick)
                    ? &stickBy
                    : nullptr;
            if (by && !by->empty()) return fail(msg::AttributesClash(a.text, *by));
            if (by) *by = a.text;
            Apply(*info, s.style);
        }
        return true;
    }

    static void Apply(const AttributeInfo& info, FormulaOutputStyle& style) {
        switch (info.kind) {
            case AttributeKind::Colour:
                style.hasColour = true;
                style.colour = info.colour;
                break;
            case AttributeKind::Thickness:
                style.width = info.thickness;
                break;
            case AttributeKind::Dotted:
                style.dotted = true;
                break;
            case AttributeKind::Stick:
                style.stick = FormulaStick::Stick;
                break;
            case AttributeKind::ColourStick:
                style.stick = FormulaStick::ColourStick;
                break;
            case AttributeKind::VolumeStick:
                style.stick = FormulaStick::VolumeStick;
                break;
            case AttributeKind::NoDraw:
                style.noDraw = true;
                break;
        }
    }

    bool CountOutput(Statement& s) {
        if (s.kind == StatementKind::Variable) return true;
        if (m_outputs == kMaxOutputs) return Fail(s.line, s.column, msg::TooManyOutputs(kMaxOutputs));
        s.output = m_outputs;
        s.style.defaultSlot = m_outputs % 5;
        ++m_outputs;
        s.displayName =
            s.kind == StatementKind::Output ? std::string(s.name) : "OUT" + FormatInt(++m_unnamed);
        return true;
    }

    /// A drawing statement's constants (W, E, K), its colour, and its place among at most
    /// kMaxDrawings.
    bool CheckDrawing(Statement& s) {
        FormulaDrawing& drawing = s.drawingStyle;
        drawing.kind = s.drawingKind;
        drawing.text = std::string(s.drawingText);
        double value = 0.0;
        switch (s.drawingKind) {
            case FormulaDrawingKind::StickLine:
                if (!DrawingConstant(s, 3, 'W', value)) return false;
                if (!(std::trunc(value) >= 0.0 && std::trunc(value) <= 10.0))
                    return FailAtArgument(s, 3, msg::OutOfRange('W', 0, 10));
                drawing.widthTenths = static_cast<int>(value);
                if (!DrawingConstant(s, 4, 'E', value)) return false;
                if (!HasValue(value)) return FailAtArgument(s, 4, msg::MustBeNumber('E'));
                drawing.hollow = value != 0.0;
                break;
            case FormulaDrawingKind::Icon:
                if (!DrawingConstant(s, 2, 'K', value)) return false;
                if (!(std::trunc(value) >= 1.0 && std::trunc(value) <= 4.0))
                    return FailAtArgument(s, 2, msg::OutOfRange('K', 1, 4));
                drawing.icon = static_cast<FormulaIcon>(static_cast<int>(value));
                break;
            default:
                break;
        }
        if (!CheckDrawingColour(s)) return false;
        if (m_drawings == kMaxDrawings) return Fail(s.line, s.column, msg::TooManyDrawings(kMaxDrawings));
        s.drawing = m_drawings++;
        return true;
    }

    const Node& DrawingArgument(const Statement& s, int k) const {
        return m_tree.nodes[static_cast<std::size_t>(s.drawingArguments[static_cast<std::size_t>(k)])];
    }
    bool FailAtArgument(const Statement& s, int k, std::string message) {
        const Node& argument = DrawingArgument(s, k);
        return Fail(argument.startLine, argument.startColumn, std::move(message));
    }

    /// Argument k as a constant: numbers, parameters and their arithmetic, at the parameters'
    /// defaults (qelt-ta's --param values): the drawing is fixed with the compiled formula.
    bool DrawingConstant(const Statement& s, int k, char letter, double& value) {
        const Node& argument = DrawingArgument(s, k);
        if (!argument.constant) return FailAtArgument(s, k, msg::MustBeConstant(letter));
        value = argument.value;
        return true;
    }

    bool CheckDrawingColour(Statement& s) {
        std::string_view colourBy;
        for (const AttributeToken& a : s.attributes) {
            const auto fail = [&](std::string message) { return Fail(a.line, a.column, std::move(message)); };
            const std::optional<AttributeInfo> info = FindAttribute(UpperAscii(a.text));
            if (!info) return fail(msg::UnknownAttribute(a.text));
            if (info->kind != AttributeKind::Colour) return fail(msg::DrawingAttribute(a.text));
            if (!colourBy.empty())
                return fail(SameName(colourBy, a.text) ? msg::AttributeTwice(a.text)
                                                       : msg::AttributesClash(a.text, colourBy));
            colourBy = a.text;
            s.drawingStyle.hasColour = true;
            s.drawingStyle.colour = info->colour;
        }
        return true;
    }

    /// A named output may not be called as an unnamed one is: the title and qelt-ta's header
    /// would show two lines under one name.
    bool CheckUnnamedNames() {
        for (const Statement& s : m_tree.statements) {
            if (s.kind != StatementKind::Output) continue;
            for (const Statement& unnamed : m_tree.statements)
                if (unnamed.kind == StatementKind::Unnamed && SameName(unnamed.displayName, s.name))
                    return Fail(s.line, s.column, msg::NameIsUnnamedOutput(s.name));
        }
        return true;
    }

    Tree& m_tree;
    const std::vector<FormulaParameter>& m_parameters;
    FormulaError& m_error;
    std::unordered_map<std::string, int> m_parameterIndex;   ///< upper-case name -> index
    std::unordered_map<std::string, int> m_firstDefinition;  ///< upper-case name -> statement
    int m_current = 0;
    int m_outputs = 0;
    int m_unnamed = 0;
    int m_drawings = 0;
};

}  // namespace

bool Check(Tree& tree, const std::vector<FormulaParameter>& parameters, FormulaError& error) {
    return Checker(tree, parameters, error).Run();
}

}  // namespace qelt::formula
