#include "data/history/StoreArchive.h"

namespace qelt {
namespace {

/// The database's load target over the store's own dispatcher.
class StoreLoadTarget : public HistoryLoadTarget {
  public:
    explicit StoreLoadTarget(CQeltData& store) : m_store(store) {}
    void Dispatch(std::string_view message) override { m_store.Dispatch(message); }
    void RebuildDerivedLists() override { m_store.RebuildDerivedLists(); }
    std::vector<GoodsKey> MainKeys() const override { return m_store.MainListKeys(); }
    std::vector<GoodsKey> DeliveryMonthKeys() const override { return m_store.DeliveryMonthKeys(); }

  private:
    CQeltData& m_store;
};

}  // namespace

void SaveStoreToHistory(HistoryDatabase& database, const CQeltData& store) {
    std::vector<std::pair<std::string, std::string>> categories;
    const auto codes = store.CategoryCodes();
    const auto names = store.CategoryNames();
    for (size_t i = 0; i < codes.size() && i < names.size(); ++i) categories.emplace_back(codes[i], names[i]);
    std::vector<SqlRow> rows;
    rows.reserve(store.MainCount());
    store.VisitMain([&rows](const CQeltGoods& goods) {
        SqlRow row;
        row.reserve(kQuoteColumnCount);
        for (size_t field = 1; field <= kQuoteColumnCount; ++field) row.push_back(goods.*ListField(field));
        rows.push_back(std::move(row));
    });
    database.SaveStore(categories, rows);
}

void LoadStoreFromHistory(const HistoryDatabase& database, CQeltData& store) {
    StoreLoadTarget target(store);
    database.LoadStore(target);
}

}  // namespace qelt
