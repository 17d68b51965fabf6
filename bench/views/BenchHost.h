#pragma once
// A category of 1,000 live contracts, handed out as copies the way the store does.
#include <memory>
#include <string>
#include <vector>

#include "common/Numbers.h"
#include "views/ViewServices.h"

namespace qelt::bench {

class BenchHost : public ViewServices {
  public:
    BenchHost() {
        for (int i = 0; i < 1000; ++i) {
            CQeltGoods g;
            g.goods_no = "0101";
            g.due_date = "2007" + FormatInt(1000 + i);
            g.name = "桑蚕丝-07" + FormatInt(1000 + i);
            const double price = 1400 + (i * 37) % 200;
            g.price = FormatFixed2(price);
            g.pre_close = "1500.00";
            g.change = FormatFixed2(price - 1500);
            g.changePercent = FormatFixed2((price - 1500) * 100 / 1500);
            g.state = i % 17 ? "3" : "-1";
            g.last_section = FormatInt(i % 9);
            g.last_price = g.price;
            g.open_price = "1490.00";
            g.lowest_price = "1480.00";
            g.highest_price = "1560.00";
            g.all_num = FormatInt(100 + i);
            g.pure_num = FormatInt(300 + i);
            g.null_num = FormatInt(450 + i);
            g.last_invest_input = "11";
            g.last_sale_input = "12";
            g.invest_price = g.price;
            g.sale_price = g.price;
            g.invest_input = "5";
            g.sale_input = "6";
            g.newest_price = g.price;
            g.all_num_d = "7";
            g.position = i;
            m_goods.push_back(g);
        }
    }
    ViewSelection& Selection() override { return m_selection; }
    const ViewSelection& Selection() const override { return m_selection; }
    std::vector<std::string> CategoryCodes() const override { return {"0101", "0000"}; }
    std::vector<std::string> CategoryNames() const override { return {"桑蚕丝", "自选"}; }
    std::vector<CQeltGoods> GoodsOfCategory(int) const override { return m_goods; }
    std::vector<GoodsSummary> MainSummaries() const override { return {}; }
    bool IsFlagged(std::string_view) const override { return false; }
    CQeltGoods CurrentGoods() const override { return m_goods.front(); }
    std::optional<CQeltGoods> GoodsQuote(const GoodsKey&) const override { return m_goods.front(); }
    TradeUpdate TradesAfter(const GoodsKey&, std::size_t, const std::string&) const override { return {}; }
    std::vector<TradeRow> TradeList() const override { return {}; }
    void EditCurrentGoods(const std::function<void(CQeltGoods&)>&) override {}
    const CQeltCFG& Settings() const override { return m_settings; }
    IndicatorParameters& EditableIndicators() override { return m_settings.m_indicators; }
    ViewSettings& EditableViewSettings() override { return m_settings.Views(); }
    bool SaveIndicators() override { return false; }
    void ReportSaveFailed(const std::string&) override {}
    void AddSelfSelected(const GoodsKey&, const std::string&) override {}
    void RemoveSelfSelected(const GoodsKey&, const std::string&) override {}
    void PostSwitchView(int, int) override {}
    void StepGoods(bool) override {}
    void RefreshStandingRequests() override {}
    void Send(const std::string&) override {}
    bool IsOnline() const override { return false; }
    void PushHistory() override {}
    bool GoBack() override { return false; }

  private:
    std::vector<CQeltGoods> m_goods;
    ViewSelection m_selection;
    CQeltCFG m_settings{"/nonexistent/"};
};

}  // namespace qelt::bench
