#pragma once
// A category of 1,000 live contracts, handed out as copies the way the store does.
#include <string>
#include <vector>

#include "common/Numbers.h"
#include "views/ListViewHost.h"

namespace qelt::bench {

class BenchHost : public ListViewHost {
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
    int CurrentCategory() const override { return 0; }
    void SetCurrentCategory(int) override {}
    void SetCurrentGoods(int) override {}
    void SetSelfSelectedCategory(const std::string&) override {}
    void ClearSpareText() override {}
    void AddSelfSelected(const std::string&, const std::string&, const std::string&) override {}
    void RemoveSelfSelected(const std::string&, const std::string&, const std::string&) override {}
    std::vector<std::string> CategoryCodes() const override { return {"0101", "0000"}; }
    std::vector<std::string> CategoryNames() const override { return {"桑蚕丝", "自选"}; }
    std::vector<CQeltGoods> GoodsOfCategory(int) const override { return m_goods; }
    std::vector<CQeltGoods> MainList() const override { return m_goods; }
    bool IsFlagged(std::string_view) const override { return false; }
    void PostSwitchView(int, int) override {}
    void StopPolling() override {}
    double DisplayScale() const override { return 1.0; }
    std::string ProgramDirectory() const override { return "/nonexistent/"; }

private:
    std::vector<CQeltGoods> m_goods;
};

}  // namespace qelt::bench
