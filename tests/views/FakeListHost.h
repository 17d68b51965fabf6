#pragma once
// A ListViewHost over plain vectors that records what the board asks of the application.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "views/ListViewHost.h"

namespace qelt::test {

inline CQeltGoods MakeGoods(const std::string& goodsNo, const std::string& dueDate, const std::string& price,
                            const std::string& preClose, int position) {
    CQeltGoods g;
    g.goods_no = goodsNo;
    g.due_date = dueDate;
    g.name = "桑蚕丝-" + dueDate.substr(dueDate.size() > 2 ? 2 : 0);
    g.price = price;
    g.pre_close = preClose;
    g.state = "3";
    g.last_section = "4";
    g.last_price = price;
    g.open_price = preClose;
    g.lowest_price = preClose;
    g.highest_price = price;
    g.all_num = "120";
    g.pure_num = "300";
    g.null_num = "450";
    g.last_invest_input = "11";
    g.last_sale_input = "12";
    g.invest_price = price;
    g.sale_price = price;
    g.invest_input = "5";
    g.sale_input = "6";
    g.newest_price = price;
    g.all_num_d = "7";
    g.position = position;
    return g;
}

class FakeListHost : public ListViewHost {
public:
    std::vector<std::string> codes{"0101", "0112", "0001", "0005", "0000"};
    std::vector<std::string> names{"桑蚕丝", "生丝", "全部", "合约", "自选"};
    std::map<int, std::vector<CQeltGoods>> goods;
    std::vector<CQeltGoods> mainList;
    std::vector<std::string> flagged;
    int category = 0;
    int currentGoods = -1;
    std::string selfSelectedCategory;
    int spareClears = 0;
    std::vector<std::vector<std::string>> added;
    std::vector<std::vector<std::string>> removed;
    std::vector<std::pair<int, int>> switches;
    int stopPolling = 0;
    double scale = 1.0;
    std::string dir = "/nonexistent/";

    int CurrentCategory() const override { return category; }
    void SetCurrentCategory(int index) override { category = index; }
    void SetCurrentGoods(int goodsIndex) override { currentGoods = goodsIndex; }
    void SetSelfSelectedCategory(const std::string& code) override { selfSelectedCategory = code; }
    void ClearSpareText() override { ++spareClears; }
    void AddSelfSelected(const std::string& no, const std::string& due, const std::string& cat) override {
        added.push_back({no, due, cat});
    }
    void RemoveSelfSelected(const std::string& no, const std::string& due, const std::string& cat) override {
        removed.push_back({no, due, cat});
    }
    std::vector<std::string> CategoryCodes() const override { return codes; }
    std::vector<std::string> CategoryNames() const override { return names; }
    std::vector<CQeltGoods> GoodsOfCategory(int index) const override {
        auto it = goods.find(index);
        return it == goods.end() ? std::vector<CQeltGoods>{} : it->second;
    }
    std::vector<CQeltGoods> MainList() const override { return mainList; }
    bool IsFlagged(std::string_view goodsNo) const override {
        for (const auto& f : flagged)
            if (f == goodsNo) return true;
        return false;
    }
    void PostSwitchView(int kind, int argument) override { switches.emplace_back(kind, argument); }
    void StopPolling() override { ++stopPolling; }
    std::vector<bool> printing;
    void OnPrinting(bool on) override { printing.push_back(on); }
    double DisplayScale() const override { return scale; }
    std::string ProgramDirectory() const override { return dir; }
};

}  // namespace qelt::test
