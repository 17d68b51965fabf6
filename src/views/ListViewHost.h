#pragma once
/// What the quote board asks of the application: its current category and contract, the
/// self-selected list, the store's categories and goods, the view switch and the display
/// settings. The application implements it with its real objects; tests with a fake.
#include <string>
#include <string_view>
#include <vector>

#include "data/Goods.h"

namespace qelt {

class ListViewHost {
public:
    virtual ~ListViewHost() = default;

    /// Index into the category lists of the category the views show.
    virtual int CurrentCategory() const = 0;
    virtual void SetCurrentCategory(int index) = 0;
    /// The goods index (position in the store's main list) the detail views show.
    virtual void SetCurrentGoods(int goodsIndex) = 0;
    /// The category remembered for the entry chosen in the self-selected list ("0001"/"0005").
    virtual void SetSelfSelectedCategory(const std::string& code) = 0;
    /// Empties the settings' spare text (done whenever a view sets the current goods).
    virtual void ClearSpareText() = 0;
    /// mylist.ini: add the entry unless an equal one is there / remove entries equal in all
    /// three texts.
    virtual void AddSelfSelected(const std::string& goodsNo, const std::string& dueDate,
                                 const std::string& category) = 0;
    virtual void RemoveSelfSelected(const std::string& goodsNo, const std::string& dueDate,
                                    const std::string& category) = 0;

    virtual std::vector<std::string> CategoryCodes() const = 0;
    virtual std::vector<std::string> CategoryNames() const = 0;
    /// The store's copies of the goods of the category at `index`, in store order.
    virtual std::vector<CQeltGoods> GoodsOfCategory(int index) const = 0;
    /// The store's main goods list (the keyboard wizard searches it).
    virtual std::vector<CQeltGoods> MainList() const = 0;
    virtual bool IsFlagged(std::string_view goodsNo) const = 0;

    /// Posts WM_SWITCH_VIEW (kind, argument) to the application thread.
    virtual void PostSwitchView(int kind, int argument) = 0;
    /// Stops the connection's polling thread (the board is going away).
    virtual void StopPolling() = 0;

    /// The board starts (true) or ends (false) printing: the settings switch their colour
    /// scheme to the print set and back.
    virtual void OnPrinting(bool /*printing*/) {}

    /// Display scale factor of the settings, 1.0 by default.
    virtual double DisplayScale() const = 0;
    /// Program directory with a trailing separator.
    virtual std::string ProgramDirectory() const = 0;
};

}  // namespace qelt
