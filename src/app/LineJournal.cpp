#include "app/LineJournal.h"

namespace qelt {

LineKey LineKeyOf(const CQeltGoods& goods) { return {goods.listTag, goods.goods_no, goods.due_date}; }

MyLineBook::LoadResult LineJournal::Load() {
    const MyLineBook::LoadResult result = m_book.Load(m_directory);
    m_loaded = true;
    return result;
}

void LineJournal::ApplyTo(CQeltData& store) const {
    for (auto& [key, lines] : m_book.AllLines()) {
        store.EditListedGoods(key.tag, key.goodsNo, key.dueDate,
                              [&lines](CQeltGoods& goods) { goods.lines = std::move(lines); });
    }
}

bool LineJournal::Commit(const LineKey& key, std::vector<CMyLine> before, std::vector<CMyLine> after) {
    m_book.Set(key, after);
    History& history = m_histories[key];
    history.redo.clear();
    history.undo.push_back({std::move(before), std::move(after)});
    if (history.undo.size() > kMaxUndoSteps) history.undo.erase(history.undo.begin());
    return Save();
}

std::optional<std::vector<CMyLine>> LineJournal::Step(const LineKey& key, bool redo) {
    const auto found = m_histories.find(key);
    if (found == m_histories.end()) return std::nullopt;
    std::vector<Edit>& from = redo ? found->second.redo : found->second.undo;
    std::vector<Edit>& to = redo ? found->second.undo : found->second.redo;
    if (from.empty()) return std::nullopt;
    Edit edit = std::move(from.back());
    from.pop_back();
    std::vector<CMyLine> lines = redo ? edit.after : edit.before;
    to.push_back(std::move(edit));
    m_book.Set(key, lines);
    Save();
    return lines;
}

bool LineJournal::CanStep(const LineKey& key, bool redo) const {
    const auto found = m_histories.find(key);
    if (found == m_histories.end()) return false;
    return !(redo ? found->second.redo : found->second.undo).empty();
}

bool LineJournal::Save() const { return m_loaded && m_book.Save(m_directory); }

}  // namespace qelt
