#include "FormulaReference.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/Numbers.h"
#include "formula/FormulaChecker.h"
#include "formula/FormulaParser.h"
#include "formula/FormulaTree.h"

namespace qelt::test {
namespace {

using namespace formula;
using RV = ReferenceValue;

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
constexpr double kEpsilon = std::numeric_limits<double>::epsilon();

bool Has(const RV& a) { return !std::isnan(a.v); }

/// A result: no value where it is not finite; an inexact one near the largest double may be
/// finite or not in the engine.
RV Make(double r, double err, bool fragile) {
    if (err > 0 && !(std::fabs(r) < 1e300)) fragile = true;
    if (!std::isfinite(r)) return {kNone, 0.0, fragile};
    return {r, err > 0 ? err + 4 * kEpsilon * std::fabs(r) : 0.0, fragile};
}

/// True when `a` is not surely true or surely false.
bool DoubtfulTruth(const RV& a) { return a.err > 0 && std::fabs(a.v) <= a.err; }
/// True when the order of `a` and `b` is not sure.
bool DoubtfulOrder(const RV& a, const RV& b) {
    return a.err + b.err > 0 && std::fabs(a.v - b.v) <= a.err + b.err;
}

RV Arithmetic(Operator op, const RV& a, const RV& b) {
    const bool fragile = a.fragile || b.fragile;
    if (!Has(a) || !Has(b)) return {kNone, 0.0, fragile};
    switch (op) {
        case Operator::Add:
            return Make(a.v + b.v, a.err + b.err, fragile);
        case Operator::Subtract:
            return Make(a.v - b.v, a.err + b.err, fragile);
        case Operator::Multiply:
            return Make(a.v * b.v, std::fabs(a.v) * b.err + std::fabs(b.v) * a.err + a.err * b.err, fragile);
        default: {  // Divide
            if (b.err > 0 && std::fabs(b.v) <= b.err) return {kNone, 0.0, true};
            const double r = a.v / b.v;
            const double err = b.err > 0 ? (a.err + std::fabs(r) * b.err) / (std::fabs(b.v) - b.err)
                                         : a.err / std::fabs(b.v);
            return Make(r, err, fragile);
        }
    }
}

RV Comparison(Operator op, const RV& a, const RV& b) {
    const bool fragile = a.fragile || b.fragile;
    if (!Has(a) || !Has(b)) return {kNone, 0.0, fragile};
    bool holds = false;
    switch (op) {
        case Operator::Greater:
            holds = a.v > b.v;
            break;
        case Operator::Less:
            holds = a.v < b.v;
            break;
        case Operator::GreaterEqual:
            holds = a.v >= b.v;
            break;
        case Operator::LessEqual:
            holds = a.v <= b.v;
            break;
        case Operator::Equal:
            holds = a.v == b.v;
            break;
        case Operator::NotEqual:
            holds = a.v != b.v;
            break;
        case Operator::And:
            return {(a.v != 0 && b.v != 0) ? 1.0 : 0.0, 0.0, fragile || DoubtfulTruth(a) || DoubtfulTruth(b)};
        default:  // Or
            return {(a.v != 0 || b.v != 0) ? 1.0 : 0.0, 0.0, fragile || DoubtfulTruth(a) || DoubtfulTruth(b)};
    }
    return {holds ? 1.0 : 0.0, 0.0, fragile || DoubtfulOrder(a, b)};
}

RV Unary(Operator op, const RV& a) {
    switch (op) {
        case Operator::Negate:
            return {-a.v, a.err, a.fragile};
        case Operator::Identity:
            return a;
        default:  // Not
            if (!Has(a)) return {kNone, 0.0, a.fragile};
            return {a.v == 0 ? 1.0 : 0.0, 0.0, a.fragile || DoubtfulTruth(a)};
    }
}

RV Sqrt(const RV& a) {
    if (!Has(a)) return a;
    if (a.v < 0) return {kNone, 0.0, a.fragile || -a.v <= a.err};
    const double err = a.err > 0 ? std::sqrt(a.v + a.err) - std::sqrt(std::max(a.v - a.err, 0.0)) : 0.0;
    return Make(std::sqrt(a.v), err, a.fragile || a.v <= a.err);
}

RV Ln(const RV& a) {
    if (!Has(a)) return a;
    if (a.v <= 0 || (a.err > 0 && a.v <= a.err)) return {kNone, 0.0, a.fragile || a.err > 0};
    return Make(std::log(a.v), a.err > 0 ? a.err / (a.v - a.err) : 0.0, a.fragile);
}

/// The bars of x over bar i's window (N = 0 or N beyond the bars so far: bars 0..i).
struct WindowStats {
    int bars = 0;
    int values = 0;
    long double sum = 0;
    double largest = 0.0;  ///< magnitude
    double err = 0.0;      ///< the largest of the values' errors
    double errSum = 0.0;
    bool fragile = false;
    std::vector<double> v;
};

WindowStats Window(const ReferenceColumn& x, int i, int n) {
    WindowStats w;
    for (int j = n == 0 ? 0 : std::max(0, i - n + 1); j <= i; ++j) {
        const RV& a = x[static_cast<std::size_t>(j)];
        ++w.bars;
        w.fragile = w.fragile || a.fragile;
        if (!Has(a)) continue;
        ++w.values;
        w.sum += a.v;
        w.largest = std::max(w.largest, std::fabs(a.v));
        w.err = std::max(w.err, a.err);
        w.errSum += a.err;
        w.v.push_back(a.v);
    }
    return w;
}

class Reference {
  public:
    Reference(const Tree& tree, const std::vector<double>& parameters, const BarSeries& bars)
        : m_tree(tree), m_parameters(parameters), m_bars(bars), m_n(static_cast<int>(bars.size())) {}

    ReferenceResult Run() {
        ReferenceResult result;
        result.compiled = true;
        m_columns.resize(m_tree.nodes.size());
        m_roots.resize(m_tree.statements.size());
        // A variable no output reads is not computed, nor are its constants checked.
        std::vector<bool> live(m_tree.statements.size(), false);
        for (std::size_t s = m_tree.statements.size(); s-- > 0;) {
            const Statement& statement = m_tree.statements[s];
            live[s] = live[s] || statement.kind != StatementKind::Variable;
            for (int n = statement.firstNode; live[s] && n < statement.endNode; ++n)
                if (NodeAt(n).kind == NodeKind::Name && NodeAt(n).nameKind == NameKind::Statement)
                    live[static_cast<std::size_t>(NodeAt(n).reference)] = true;
        }
        for (std::size_t s = 0; s < m_tree.statements.size(); ++s) {
            const Statement& statement = m_tree.statements[s];
            if (!live[s]) continue;
            for (int n = statement.firstNode; n < statement.endNode; ++n)
                if (!Evaluate(n)) return result;
            if (statement.kind == StatementKind::Drawing) {
                m_drawings.push_back(TakeDrawing(statement));
                continue;
            }
            m_roots[s] = std::move(m_columns[static_cast<std::size_t>(statement.Root())]);
        }
        result.constantsOk = true;
        for (std::size_t s = 0; s < m_tree.statements.size(); ++s)
            if (m_tree.statements[s].output >= 0) result.outputs.push_back(m_roots[s]);
        result.drawings = std::move(m_drawings);
        return result;
    }

  private:
    const Node& NodeAt(int n) const { return m_tree.nodes[static_cast<std::size_t>(n)]; }
    ReferenceColumn& Column(int n) { return m_columns[static_cast<std::size_t>(n)]; }
    ReferenceColumn Take(int n) { return std::move(m_columns[static_cast<std::size_t>(n)]); }

    double Field(int bar, BarData data) const {
        static constexpr BarField kFields[] = {kBarOpen, kBarHigh, kBarLow,  kBarClose,
                                               kBarNum,  kBarAvg,  kBarPure, kBarDate};
        const CBarRow& row = m_bars[static_cast<std::size_t>(bar)];
        // TIME is no text of the bar: a minute bar's HHMM, 0 on longer bars.
        if (data == BarData::Time) return static_cast<double>(row.Time());
        const std::string_view text = row.Get(kFields[static_cast<int>(data)]);
        const bool whole = data == BarData::Volume || data == BarData::Position || data == BarData::Date;
        const double v = whole ? static_cast<double>(LeadingInt64(text)) : LeadingDouble(text);
        return std::isfinite(v) ? v : kNone;
    }

    /// A constant argument's value: numbers, parameters and their arithmetic.
    double Scalar(int n) const {
        const Node& node = NodeAt(n);
        switch (node.kind) {
            case NodeKind::Number:
                return node.value;
            case NodeKind::Name:
                return m_parameters[static_cast<std::size_t>(node.reference)];
            case NodeKind::Unary:
                return node.op == Operator::Negate ? -Scalar(node.first) : Scalar(node.first);
            default: {
                const RV r = Arithmetic(node.op, {Scalar(node.first)}, {Scalar(node.second)});
                return r.v;
            }
        }
    }

    /// COND and the values of a drawing statement: its leading arguments (the constants and
    /// DRAWTEXT's text after them draw, but do not decide a mark).
    ReferenceDrawing TakeDrawing(const Statement& statement) {
        const auto argument = [&](int k) {
            return Take(statement.drawingArguments[static_cast<std::size_t>(k)]);
        };
        ReferenceDrawing drawing{argument(0), argument(1), {}};
        const bool second = statement.drawingKind == FormulaDrawingKind::StickLine ||
                            statement.drawingKind == FormulaDrawingKind::Number;
        drawing.p2 = second ? argument(2) : ReferenceColumn(static_cast<std::size_t>(m_n), RV{0.0});
        return drawing;
    }

    bool Evaluate(int n) {
        const Node& node = NodeAt(n);
        ReferenceColumn out(static_cast<std::size_t>(m_n));
        switch (node.kind) {
            case NodeKind::Number:
                std::fill(out.begin(), out.end(), RV{node.value});
                break;
            case NodeKind::Name:
                for (int i = 0; i < m_n; ++i) {
                    RV& o = out[static_cast<std::size_t>(i)];
                    if (node.nameKind == NameKind::Data)
                        o = RV{Field(i, static_cast<BarData>(node.reference))};
                    else if (node.nameKind == NameKind::Parameter)
                        o = RV{m_parameters[static_cast<std::size_t>(node.reference)]};
                    else
                        o = m_roots[static_cast<std::size_t>(node.reference)][static_cast<std::size_t>(i)];
                }
                break;
            case NodeKind::Unary: {
                const ReferenceColumn a = Take(node.first);
                for (int i = 0; i < m_n; ++i) out[i] = Unary(node.op, a[i]);
                break;
            }
            case NodeKind::Binary: {
                const ReferenceColumn a = Take(node.first), b = Take(node.second);
                const bool arithmetic = node.op == Operator::Add || node.op == Operator::Subtract ||
                                        node.op == Operator::Multiply || node.op == Operator::Divide;
                for (int i = 0; i < m_n; ++i)
                    out[i] = arithmetic ? Arithmetic(node.op, a[i], b[i]) : Comparison(node.op, a[i], b[i]);
                break;
            }
            case NodeKind::Call:
                if (!Call(node, out)) return false;
                break;
        }
        Column(n) = std::move(out);
        return true;
    }

    /// Constant k of a call, checked against its function's range; false when outside.
    bool Constant(const Node& call, int k, int minimum, double& value) const {
        value = Scalar(m_tree.arguments[static_cast<std::size_t>(call.first + k)]);
        if (call.function == Function::Dma) return value > 0 && value <= 1;
        value = std::trunc(value);
        return value >= minimum && value <= 1000000;
    }

    bool Call(const Node& node, ReferenceColumn& out) {
        const auto argument = [&](int k) {
            return m_tree.arguments[static_cast<std::size_t>(node.first + k)];
        };
        double c0 = 0, c1 = 0;
        switch (node.function) {
            case Function::Ma:
            case Function::Ema:
            case Function::Stdp:
            case Function::Avedev:
                if (!Constant(node, 1, 1, c0)) return false;
                break;
            case Function::Std:
            case Function::Slope:
            case Function::Forcast:
                if (!Constant(node, 1, 2, c0)) return false;
                break;
            case Function::Wma:
            case Function::Filter:
                if (!Constant(node, 1, 1, c0)) return false;
                break;
            case Function::Exist:
            case Function::Every:
            case Function::HhvBars:
            case Function::LlvBars:
                if (!Constant(node, 1, 0, c0)) return false;
                break;
            case Function::Sma:
                if (!Constant(node, 1, 1, c0) || !Constant(node, 2, 1, c1) || c1 > c0) return false;
                break;
            case Function::Dma:
                if (!Constant(node, 1, 0, c0)) return false;
                break;
            case Function::Ref:
            case Function::Hhv:
            case Function::Llv:
            case Function::Sum:
            case Function::Count:
                if (!Constant(node, 1, 0, c0)) return false;
                break;
            default:
                break;
        }
        const ReferenceColumn x = Take(argument(0));
        switch (node.function) {
            case Function::Ema:
                return Recursion(x, 2.0 / (c0 + 1.0), (c0 - 1.0) / (c0 + 1.0), out);
            case Function::Sma:
                return Recursion(x, c1 / c0, (c0 - c1) / c0, out);
            case Function::Dma:
                return Recursion(x, c0, 1.0 - c0, out);
            case Function::Ref:
                for (int i = 0; i < m_n; ++i)
                    out[i] = i >= c0 ? x[static_cast<std::size_t>(i - static_cast<int>(c0))] : RV{kNone};
                return true;
            case Function::Cross:
                return Cross(x, Take(argument(1)), out);
            case Function::BarsLast:
                return BarsLast(x, out);
            case Function::Abs:
            case Function::Sqrt:
            case Function::Ln:
                for (int i = 0; i < m_n; ++i) {
                    const RV& a = x[i];
                    out[i] = node.function == Function::Abs    ? RV{std::fabs(a.v), a.err, a.fragile}
                             : node.function == Function::Sqrt ? Sqrt(a)
                                                               : Ln(a);
                }
                return true;
            case Function::Max:
            case Function::Min: {
                const ReferenceColumn y = Take(argument(1));
                for (int i = 0; i < m_n; ++i) {
                    const RV &a = x[i], &b = y[i];
                    const bool fragile = a.fragile || b.fragile;
                    if (!Has(a) || !Has(b)) {
                        out[i] = {kNone, 0.0, fragile};
                        continue;
                    }
                    const double v = node.function == Function::Max ? std::max(a.v, b.v) : std::min(a.v, b.v);
                    out[i] = {v, std::max(a.err, b.err), fragile};
                }
                return true;
            }
            case Function::If: {
                const ReferenceColumn a = Take(argument(1)), b = Take(argument(2));
                for (int i = 0; i < m_n; ++i) {
                    if (!Has(x[i])) {
                        out[i] = {kNone, 0.0, x[i].fragile};
                        continue;
                    }
                    out[i] = x[i].v != 0 ? a[i] : b[i];
                    out[i].fragile = out[i].fragile || x[i].fragile || DoubtfulTruth(x[i]);
                }
                return true;
            }
            case Function::Pow: {
                const ReferenceColumn y = Take(argument(1));
                for (int i = 0; i < m_n; ++i) out[i] = Pow(x[i], y[i]);
                return true;
            }
            case Function::Exp:
            case Function::Log:
            case Function::Sign:
                for (int i = 0; i < m_n; ++i) out[i] = PerBar(node.function, x[i]);
                return true;
            case Function::ValueWhen:
                return ValueWhen(x, Take(argument(1)), out);
            case Function::Filter:
                return Filter(x, static_cast<int>(c0), out);
            case Function::BarsCount:
            case Function::BarsSince:
            case Function::BarsLastCount:
                return BarsOf(node.function, x, out);
            case Function::Wma:
            case Function::Slope:
            case Function::Forcast:
                return Line(node.function, x, static_cast<int>(c0), out);
            case Function::Exist:
            case Function::Every:
            case Function::HhvBars:
            case Function::LlvBars:
                return Scan(node.function, x, static_cast<int>(c0), out);
            default:
                return Windowed(node.function, x, static_cast<int>(c0), out);
        }
    }

    /// POW: where an operand is inexact, the result at the corners of the operands' ranges
    /// (a^b is monotonic in each for a > 0); a base that may be 0 or below is not decided.
    static RV Pow(const RV& a, const RV& b) {
        const bool fragile = a.fragile || b.fragile;
        if (!Has(a) || !Has(b)) return {kNone, 0.0, fragile};
        const double r = std::pow(a.v, b.v);
        if (a.err == 0 && b.err == 0) return Make(r, 0.0, fragile);
        if (a.v - a.err <= 0) return {r, 0.0, true};
        double err = 0;
        for (double da : {-a.err, a.err})
            for (double db : {-b.err, b.err})
                err = std::max(err, std::fabs(std::pow(a.v + da, b.v + db) - r));
        return Make(r, err, fragile || !std::isfinite(err));
    }

    static RV PerBar(Function f, const RV& a) {
        if (!Has(a)) return a;
        switch (f) {
            case Function::Exp: {
                const double r = std::exp(a.v);
                return Make(r, a.err > 0 ? std::exp(a.v + a.err) - r : 0.0, a.fragile);
            }
            case Function::Log:
                if (a.v <= 0 || (a.err > 0 && a.v <= a.err)) return {kNone, 0.0, a.fragile || a.err > 0};
                return Make(std::log10(a.v), a.err > 0 ? a.err / (a.v - a.err) / std::log(10.0) : 0.0,
                            a.fragile);
            default:  // Sign
                return {a.v > 0 ? 1.0 : a.v < 0 ? -1.0 : 0.0, 0.0, a.fragile || DoubtfulTruth(a)};
        }
    }

    /// True or false for sure; `doubt` gathers whether it was not sure.
    static bool Truthy(const RV& a, bool& doubt) {
        doubt = doubt || a.fragile || (Has(a) && DoubtfulTruth(a));
        return Has(a) && a.v != 0;
    }

    bool ValueWhen(const ReferenceColumn& c, const ReferenceColumn& x, ReferenceColumn& out) const {
        for (int i = 0; i < m_n; ++i) {
            bool doubt = false;
            int last = -1;
            for (int j = i; j >= 0 && last < 0; --j)
                if (Truthy(c[static_cast<std::size_t>(j)], doubt)) last = j;
            out[i] = last < 0 ? RV{kNone} : x[static_cast<std::size_t>(last)];
            out[i].fragile = out[i].fragile || doubt;
        }
        return true;
    }

    bool Filter(const ReferenceColumn& x, int quiet, ReferenceColumn& out) const {
        bool doubt = false;  // an earlier signal in doubt puts every later bar in doubt
        for (int i = 0; i < m_n; ++i) {
            bool signal = Truthy(x[static_cast<std::size_t>(i)], doubt);
            for (int j = std::max(0, i - quiet); j < i; ++j)
                if (out[static_cast<std::size_t>(j)].v == 1) signal = false;
            out[i] = {signal ? 1.0 : 0.0, 0.0, doubt};
        }
        return true;
    }

    bool BarsOf(Function f, const ReferenceColumn& x, ReferenceColumn& out) const {
        for (int i = 0; i < m_n; ++i) {
            bool doubt = false;
            RV& o = out[static_cast<std::size_t>(i)];
            if (f == Function::BarsLastCount) {
                int run = 0;
                while (run <= i && Truthy(x[static_cast<std::size_t>(i - run)], doubt)) ++run;
                o = {static_cast<double>(run), 0.0, doubt};
                continue;
            }
            int first = -1;
            for (int j = 0; j <= i && first < 0; ++j) {
                const RV& a = x[static_cast<std::size_t>(j)];
                const bool found = f == Function::BarsCount ? Has(a) : Truthy(a, doubt);
                doubt = doubt || a.fragile;
                if (found) first = j;
            }
            o = first < 0
                    ? RV{kNone, 0.0, doubt}
                    : RV{static_cast<double>(i - first + (f == Function::BarsCount ? 1 : 0)), 0.0, doubt};
        }
        return true;
    }

    /// WMA, SLOPE and FORCAST straight from their sums over a full window.
    bool Line(Function f, const ReferenceColumn& x, int n, ReferenceColumn& out) const {
        for (int i = 0; i < m_n; ++i) {
            const WindowStats w = Window(x, i, n);
            RV& o = out[static_cast<std::size_t>(i)];
            if (i + 1 < n || w.values != n) {
                o = {kNone, 0.0, w.fragile};
                continue;
            }
            long double weighted = 0, moment = 0;
            const long double centre = (n - 1) / 2.0L;
            for (int u = 0; u < n; ++u) {
                weighted += (u + 1) * static_cast<long double>(w.v[static_cast<std::size_t>(u)]);
                moment += (u - centre) * static_cast<long double>(w.v[static_cast<std::size_t>(u)]);
            }
            const long double slope = moment / (static_cast<long double>(n) * (1.0L * n * n - 1) / 12);
            const double tolerance = 1e-9 * w.largest;
            if (f == Function::Wma)
                o = Make(static_cast<double>(weighted / (n * (n + 1) / 2.0L)), tolerance + w.err, w.fragile);
            else if (f == Function::Slope)
                o = Make(static_cast<double>(slope), tolerance + 2 * w.err, w.fragile);
            else
                o = Make(static_cast<double>(w.sum / n + slope * centre), tolerance + 3 * w.err, w.fragile);
        }
        return true;
    }

    /// EXIST, EVERY, HHVBARS and LLVBARS over the window, bar by bar.
    bool Scan(Function f, const ReferenceColumn& x, int n, ReferenceColumn& out) const {
        for (int i = 0; i < m_n; ++i) {
            const int from = n == 0 ? 0 : std::max(0, i - n + 1);
            bool doubt = false;
            RV& o = out[static_cast<std::size_t>(i)];
            if (f == Function::Exist || f == Function::Every) {
                int count = 0;
                for (int j = from; j <= i; ++j) count += Truthy(x[static_cast<std::size_t>(j)], doubt);
                const bool holds = f == Function::Exist ? count > 0 : count == (n == 0 ? i + 1 : n);
                o = {holds ? 1.0 : 0.0, 0.0, doubt};
                continue;
            }
            int best = -1;
            for (int j = from; j <= i; ++j) {
                const RV& a = x[static_cast<std::size_t>(j)];
                doubt = doubt || a.fragile;
                if (!Has(a)) continue;
                const RV* b = best < 0 ? nullptr : &x[static_cast<std::size_t>(best)];
                if (!b || (f == Function::HhvBars ? a.v >= b->v : a.v <= b->v)) best = j;
            }
            // Another value within the errors of the extreme could be it.
            for (int j = from; j <= i && best >= 0; ++j) {
                const RV& a = x[static_cast<std::size_t>(j)];
                if (j != best && Has(a) && DoubtfulOrder(a, x[static_cast<std::size_t>(best)])) doubt = true;
            }
            o = best < 0 ? RV{kNone, 0.0, doubt} : RV{static_cast<double>(i - best), 0.0, doubt};
        }
        return true;
    }

    bool Windowed(Function f, const ReferenceColumn& x, int n, ReferenceColumn& out) const {
        bool started = false;
        for (int i = 0; i < m_n; ++i) {
            const WindowStats w = Window(x, i, n);
            started = started || Has(x[static_cast<std::size_t>(i)]);
            RV& o = out[static_cast<std::size_t>(i)];
            const bool full = i + 1 >= n && w.values == n;
            switch (f) {
                case Function::Ma:
                    o = full ? Make(static_cast<double>(w.sum / n), 1e-9 * w.largest + w.err, w.fragile)
                             : RV{kNone, 0.0, w.fragile};
                    break;
                case Function::Sum:
                    o = started ? Make(static_cast<double>(w.sum), 1e-12 * w.largest * w.values + w.errSum,
                                       w.fragile)
                                : RV{kNone, 0.0, w.fragile};
                    break;
                case Function::Hhv:
                case Function::Llv:
                    o = w.values == 0 ? RV{kNone, 0.0, w.fragile}
                                      : RV{f == Function::Hhv ? *std::max_element(w.v.begin(), w.v.end())
                                                              : *std::min_element(w.v.begin(), w.v.end()),
                                           w.err, w.fragile};
                    break;
                case Function::Count: {
                    int count = 0;
                    bool doubtful = w.fragile;
                    for (int j = n == 0 ? 0 : std::max(0, i - n + 1); j <= i; ++j) {
                        const RV& a = x[static_cast<std::size_t>(j)];
                        count += Has(a) && a.v != 0;
                        doubtful = doubtful || (Has(a) && DoubtfulTruth(a));
                    }
                    o = {static_cast<double>(count), 0.0, doubtful};
                    break;
                }
                default:
                    o = full ? Deviation(f, w, n) : RV{kNone, 0.0, w.fragile};
                    break;
            }
        }
        return true;
    }

    static RV Deviation(Function f, const WindowStats& w, int n) {
        const long double mean = w.sum / n;
        long double squares = 0, absolute = 0;
        for (double v : w.v) squares += (v - mean) * (v - mean), absolute += std::fabs(v - mean);
        if (f == Function::Avedev)
            return Make(static_cast<double>(absolute / n), 1e-9 * w.largest + 2 * w.err, w.fragile);
        const double r = static_cast<double>(std::sqrt(squares / (f == Function::Std ? n - 1 : n)));
        return Make(r, 1e-7 * w.largest + 2 * w.err, w.fragile);
    }

    bool Recursion(const ReferenceColumn& x, double take, double keep, ReferenceColumn& out) const {
        bool started = false, fragile = false;
        double y = 0, err = 0;
        for (int i = 0; i < m_n; ++i) {
            const RV& a = x[static_cast<std::size_t>(i)];
            fragile = fragile || a.fragile;
            if (!Has(a)) {
                out[i] = {kNone, 0.0, fragile};
                continue;
            }
            const double next = started ? take * a.v + keep * y : a.v;
            const double nextErr = started ? take * a.err + keep * err : a.err;
            if (nextErr > 0 && !(std::fabs(next) < 1e300)) fragile = true;
            if (!std::isfinite(next)) {
                out[i] = {kNone, 0.0, fragile};
                continue;
            }
            y = next, err = nextErr, started = true;
            out[i] = {y, err > 0 ? err + 4 * kEpsilon * std::fabs(y) : 0.0, fragile};
        }
        return true;
    }

    bool Cross(const ReferenceColumn& a, const ReferenceColumn& b, ReferenceColumn& out) const {
        for (int i = 0; i < m_n; ++i) {
            if (i == 0) {
                out[0] = {0.0};
                continue;
            }
            const RV &a1 = a[i], &b1 = b[i], &a0 = a[i - 1], &b0 = b[i - 1];
            const bool fragile = a1.fragile || b1.fragile || a0.fragile || b0.fragile;
            if (!Has(a1) || !Has(b1) || !Has(a0) || !Has(b0)) {
                out[i] = {0.0, 0.0, fragile};
                continue;
            }
            out[i] = {a1.v > b1.v && a0.v <= b0.v ? 1.0 : 0.0, 0.0,
                      fragile || DoubtfulOrder(a1, b1) || DoubtfulOrder(a0, b0)};
        }
        return true;
    }

    bool BarsLast(const ReferenceColumn& x, ReferenceColumn& out) const {
        for (int i = 0; i < m_n; ++i) {
            bool fragile = false;
            int last = -1;
            for (int j = i; j >= 0 && last < 0; --j) {
                const RV& a = x[static_cast<std::size_t>(j)];
                fragile = fragile || a.fragile || (Has(a) && DoubtfulTruth(a));
                if (Has(a) && a.v != 0) last = j;
            }
            out[i] = {last < 0 ? kNone : static_cast<double>(i - last), 0.0, fragile};
        }
        return true;
    }

    const Tree& m_tree;
    const std::vector<double>& m_parameters;
    const BarSeries& m_bars;
    const int m_n;
    std::vector<ReferenceColumn> m_columns;  ///< per node, until its parent takes it
    std::vector<ReferenceColumn> m_roots;    ///< per statement
    std::vector<ReferenceDrawing> m_drawings;
};

/// The marks of drawing `d` against the reference's columns: a mark where the condition is
/// surely true and the values have values, none where it is surely not, the values within
/// their errors; a bar whose decision is fragile or too close to call is passed over.
std::optional<std::string> DrawingDifference(const ReferenceDrawing& drawing, int d,
                                             const std::vector<const FormulaMark*>& marks) {
    const auto where = [&](std::size_t i, const std::string& what) {
        return "drawing " + FormatInt(d) + ", bar " + FormatInt(static_cast<long long>(i)) + ": " + what;
    };
    for (std::size_t i = 0; i < drawing.condition.size(); ++i) {
        const RV &c = drawing.condition[i], &p1 = drawing.p1[i], &p2 = drawing.p2[i];
        if (c.fragile || DoubtfulTruth(c) || p1.fragile || p2.fragile) continue;
        const bool due = Has(c) && c.v != 0 && Has(p1) && Has(p2);
        const FormulaMark* mark = marks[i];
        if (!due || !mark) {
            if (due != (mark != nullptr)) return where(i, due ? "no mark" : "a mark not due");
            continue;
        }
        if (std::fabs(mark->p1 - p1.v) > p1.err || std::fabs(mark->p2 - p2.v) > p2.err)
            return where(i, FormatGeneral(mark->p1, 17) + "," + FormatGeneral(mark->p2, 17) + " against " +
                                FormatGeneral(p1.v, 17) + "," + FormatGeneral(p2.v, 17));
    }
    return std::nullopt;
}

std::optional<std::string> MarksDifference(const ReferenceResult& reference, const FormulaRun& run) {
    const std::span<const FormulaMark> marks = run.Marks();
    const std::size_t bars = static_cast<std::size_t>(run.BarCount());
    const std::size_t drawings = reference.drawings.size();
    // Each drawing's marks by bar.
    std::vector<std::vector<const FormulaMark*>> byDrawing(drawings, std::vector<const FormulaMark*>(bars));
    for (std::size_t k = 0; k < marks.size(); ++k) {
        const FormulaMark& mark = marks[k];
        if (k > 0 && !(marks[k - 1].bar < mark.bar ||
                       (marks[k - 1].bar == mark.bar && marks[k - 1].drawing < mark.drawing)))
            return "mark " + FormatInt(static_cast<long long>(k)) + " out of order";
        if (mark.drawing < 0 || static_cast<std::size_t>(mark.drawing) >= drawings || mark.bar < 0 ||
            static_cast<std::size_t>(mark.bar) >= bars)
            return "mark " + FormatInt(static_cast<long long>(k)) + " of no drawing or bar";
        byDrawing[static_cast<std::size_t>(mark.drawing)][static_cast<std::size_t>(mark.bar)] = &mark;
    }
    for (std::size_t d = 0; d < drawings; ++d)
        if (auto difference = DrawingDifference(reference.drawings[d], static_cast<int>(d), byDrawing[d]))
            return difference;
    return std::nullopt;
}

}  // namespace

ReferenceResult ReferenceOutputs(std::string_view text, const std::vector<FormulaParameter>& parameters,
                                 const std::vector<double>& values, const BarSeries& bars) {
    Tree tree;
    FormulaError error;
    if (text.size() > kMaxFormulaBytes || CheckParameters(parameters) || !Parse(text, tree, error) ||
        !Check(tree, parameters, error))
        return {};
    const std::vector<double> in = ParameterValues(parameters, values);
    return Reference(tree, in, bars).Run();
}

std::optional<std::string> DifferenceFromReference(const ReferenceResult& reference, bool ran,
                                                   const FormulaRun& run) {
    if (ran != reference.constantsOk)
        return std::string(ran ? "the engine ran where a constant is out of range"
                               : "the engine stopped: " +
                                     (run.Error() ? run.Error()->Describe() : std::string()));
    if (!ran) return std::nullopt;
    if (static_cast<int>(reference.outputs.size()) != run.OutputCount()) return std::string("output count");
    for (std::size_t k = 0; k < reference.outputs.size(); ++k) {
        const std::span<const double> column = run.Column(static_cast<int>(k));
        const ReferenceColumn& expected = reference.outputs[k];
        if (column.size() != expected.size()) return std::string("bar count");
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const RV& r = expected[i];
            const double e = column[i];
            if (r.fragile) continue;
            const bool same = std::isnan(r.v) ? std::isnan(e) : !std::isnan(e) && std::fabs(e - r.v) <= r.err;
            if (!same)
                return "output " + FormatInt(static_cast<long long>(k)) + ", bar " +
                       FormatInt(static_cast<long long>(i)) + ": " + FormatGeneral(e, 17) + " against " +
                       FormatGeneral(r.v, 17) + " (within " + FormatGeneral(r.err, 3) + ")";
        }
    }
    return MarksDifference(reference, run);
}

}  // namespace qelt::test
