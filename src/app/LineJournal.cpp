#include "app/LineJournal.h"

namespace qelt {

LineKey LineKeyOf(const CQeltGoods& goods) { return {goods.listTag, goods.Key()}; }

MyLineBook::LoadResult LineJournal::Load() {
    MyLineBook::LoadResult result;
    {
        std::lock_guard lock(m_bookMutex);
        result = m_book.Load(m_directory);
        m_loaded = true;
    }
    if (result == MyLineBook::LoadResult::Unreadable) m_reports.ReadFailed(kMyLineFileName);
    return result;
}

bool LineJournal::Loaded() const {
    std::lock_guard lock(m_bookMutex);
    return m_loaded;
}

void LineJournal::GiveLines(CQeltGoods& goods) const {
    std::lock_guard lock(m_bookMutex);
    if (m_loaded) goods.lines = m_book.LinesOf(LineKeyOf(goods));
}

void LineJournal::ApplyTo(CQeltData& store) const {
    std::vector<std::pair<LineKey, std::vector<CMyLine>>> all;
    {
        // Copied first: the store's lock is never taken while the book's is held.
        std::lock_guard lock(m_bookMutex);
        all = m_book.AllLines();
    }
    for (auto& [key, lines] : all) {
        store.EditListedGoods(key.tag, key.goods,
                              [&lines](CQeltGoods& goods) { goods.lines = std::move(lines); });
    }
}

bool LineJournal::Commit(const LineKey& key, std::vector<CMyLine> before, std::vector<CMyLine> after) {
    {
        std::lock_guard lock(m_bookMutex);
        m_book.Set(key, after);
    }
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
    {
        std::lock_guard lock(m_bookMutex);
        m_book.Set(key, lines);
    }
    Save();
    return lines;
}

bool LineJournal::CanStep(const LineKey& key, bool redo) const {
    const auto found = m_histories.find(key);
    if (found == m_histories.end()) return false;
    return !(redo ? found->second.redo : found->second.undo).empty();
}

bool LineJournal::Save() const {
    bool saved = false;
    {
        std::lock_guard lock(m_bookMutex);
        if (!m_loaded) return false;
        saved = m_book.Save(m_directory);
    }
    if (!saved) m_reports.WriteFailed(kMyLineFileName);
    return saved;
}

}  // namespace qelt
