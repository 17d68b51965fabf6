#include "chart/QuotePanel.h"

#include <string>
#include <string_view>

#include "common/Numbers.h"

namespace qelt {
namespace {

constexpr int kTradeRowHeight = 16;
constexpr int kTradesTop = 360;
constexpr int kRightColumn = 100;  ///< where the right column's labels start

/// "%03d" of a section number counted from 0, shown from 1.
std::string SectionText(std::string_view section) {
    std::string text = FormatInt(static_cast<std::int64_t>(LeadingInt(section)) + 1);
    const bool negative = !text.empty() && text[0] == '-';
    const std::size_t digits = text.size() - (negative ? 1 : 0);
    if (digits < 3) text.insert(negative ? 1 : 0, 3 - digits, '0');
    return text;
}

/// "HH:MM:SS" of a six-digit time; other texts as they are.
std::string TimeText(std::string_view time) {
    if (time.size() != 6) return std::string(time);
    std::string text(time.substr(0, 2));
    text.append(":").append(time.substr(2, 2)).append(":").append(time.substr(4, 2));
    return text;
}

std::string_view Field(const TradeRow& trade, std::size_t index) {
    return index < trade.size() ? std::string_view(trade[index]) : std::string_view{};
}

class PanelWriter {
  public:
    PanelWriter(Canvas& canvas, const Rect& panel, const KLineStyle& style, double reference)
        : m_canvas(canvas), m_panel(panel), m_style(style), m_reference(reference) {}

    void Label(int x, int y, const char* text) { Text(x, y, text, kPanelLabel); }
    void Grey(int x, int y, std::string_view value) { Text(x, y, value, kPanelLabel); }
    /// A price text coloured by `compared` against the reference.
    void Price(int x, int y, std::string_view value, double compared) {
        Text(x, y, value, Against(compared, m_reference));
    }
    void Price(int x, int y, std::string_view value) { Price(x, y, value, LeadingDouble(value)); }
    /// A change coloured by its sign.
    void Signed(int x, int y, std::string_view value) {
        Text(x, y, value, Against(LeadingDouble(value), 0.0));
    }
    Colour Against(double value, double reference) const {
        if (value - reference > 0.001) return kPanelRise;
        if (reference - value > 0.001) return kPanelFall;
        return m_style.scheme.line[0];
    }
    void Align(HAlign h) { m_canvas.SetTextAlign({h, VAlign::Top}); }
    void Text(int x, int y, std::string_view text, Colour colour) {
        m_canvas.SetTextColour(colour);
        if (m_canvas.CurrentTextAlign().h != HAlign::Left) {
            m_canvas.TextOut(m_panel.left + x, m_panel.top + y, text);
            return;
        }
        // A value keeps clear of the right column's label (x 100) or of the panel's edge: a
        // six-digit price is drawn smaller rather than over either.
        const int end = x < kRightColumn ? kRightColumn - 2 : m_panel.Width() - 1;
        m_canvas.TextOutWithin(m_panel.left + x, m_panel.top + y, text, end - x);
    }

  private:
    Canvas& m_canvas;
    const Rect& m_panel;
    const KLineStyle& m_style;
    double m_reference;
};

void DrawQuoteRows(PanelWriter& out, const CQeltGoods& g) {
    const bool flagged = g.flagged;
    if (flagged) {
        out.Label(5, 50, "日期");
        out.Grey(35, 50, g.last_date);
        out.Label(100, 50, "结算价");
    } else {
        out.Label(5, 50, "节号");
        out.Grey(35, 50, SectionText(g.last_section));
        out.Label(100, 50, "本节价");
    }
    out.Price(145, 50, g.price, LeadingDouble(flagged ? g.newest_price : g.price));
    out.Label(5, 90, "购销总量");
    out.Grey(65, 90, g.null_num);
    out.Label(100, 90, "净持仓量");
    out.Grey(160, 90, g.pure_num);
    out.Label(5, 120, "申买价");
    out.Price(50, 120, g.invest_price);
    out.Label(100, 120, "申卖价");
    out.Price(145, 120, g.sale_price);
    out.Label(5, 150, "申买量");
    out.Grey(50, 150, g.invest_input);
    out.Label(100, 150, "申卖量");
    out.Grey(145, 150, g.sale_input);
    out.Label(5, 180, "成交量");
    out.Grey(50, 180, g.all_num);
    out.Label(100, 180, "动盘价");
    out.Price(145, 180, g.newest_price);
    out.Label(5, 220, "涨跌");
    out.Signed(40, 220, g.change);
    out.Label(100, 220, "开盘");
    out.Price(135, 220, g.open_price);
    out.Label(5, 250, "幅度");
    // A percentage, as the intraday panel and the board write it.
    out.Signed(40, 250, g.changePercent + "%");
    out.Label(100, 250, "最高");
    out.Price(135, 250, g.highest_price);
    out.Label(5, 280, "昨收");
    out.Grey(40, 280, g.pre_close);
    out.Label(100, 280, "最低");
    out.Price(135, 280, g.lowest_price);
    out.Label(5, 310, "现均");
    out.Price(40, 310, g.avg_price);
    out.Label(100, 310, flagged ? "昨结" : "昨均");
    out.Grey(135, 310, flagged ? g.pre_newest : g.pre_avg_price);
}

void DrawTrades(PanelWriter& out, const Rect& panel, const CQeltGoods& g) {
    const std::size_t priceField = g.flagged ? 12 : 1;
    int top = panel.Height() - kTradeRowHeight;
    for (std::size_t i = g.trades.size(); i > 0 && top >= kTradesTop; --i, top -= kTradeRowHeight) {
        const TradeRow& trade = g.trades[i - 1];
        const double price = LeadingDouble(Field(trade, priceField));
        const double before = i > 1 ? LeadingDouble(Field(g.trades[i - 2], priceField)) : price;
        out.Grey(5, top, g.flagged ? TimeText(Field(trade, 11)) : SectionText(Field(trade, 0)));
        // Numbers right-aligned in their columns, so long prices and quantities never run
        // into each other.
        out.Align(HAlign::Right);
        out.Text(120, top, FormatFixed2(price), out.Against(price, before));
        out.Grey(160, top, Field(trade, 5));
        out.Grey(panel.Width() - 4, top, Field(trade, 6));
        out.Align(HAlign::Left);
    }
}

}  // namespace

void DrawQuotePanel(Canvas& canvas, const Rect& panel, const CQeltGoods& goods, const KLineStyle& style) {
    canvas.SelectPen(style.frame);
    for (int y : {40, 80, 210, 340}) {
        canvas.MoveTo(panel.left, panel.top + y);
        canvas.LineTo(panel.right, panel.top + y);
    }
    canvas.SelectFont(style.text);
    canvas.SetBkMode(BkMode::Transparent);
    canvas.SetTextAlign({HAlign::Left, VAlign::Top});
    const double reference = LeadingDouble(goods.flagged ? goods.pre_newest : goods.pre_close);
    PanelWriter out(canvas, panel, style, reference);
    DrawQuoteRows(out, goods);
    DrawTrades(out, panel, goods);
}

}  // namespace qelt
