#include "app/LineJournal.h"

#include "common/Gbk.h"

namespace qelt {

LineKey LineKeyOf(const CQeltGoods& goods) { return {goods.listTag, goods.Key()}; }

MyLineBook::LoadResult LineJournal::Load() {
    const std::optional<std::string> bytes = m_file.Read();  // an unreadable file is reported there
    MyLineBook book = bytes ? MyLineBook::Parse(GbkToUtf8(*bytes)) : MyLineBook();
    {
        std::lock_guard lock(m_bookMutex);
        m_book = std::move(book);
        m_loaded = true;
    }
    switch (m_file.LastRead()) {
        case SettingsFile::State::Read:
            return MyLineBook::LoadResult::Read;
        case SettingsFile::State::Unreadable:
            return MyLineBook::LoadResult::Unreadable;
        default:
            return MyLineBook::LoadResult::Missing;
    }
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

std::vector<CMyLine> LineJournal::LinesOf(const LineKey& key) const {
    std::lock_guard lock(m_bookMutex);
    return m_book.LinesOf(key);
}

bool LineJournal::Save() const {
    std::string content;
    {
        std::lock_guard lock(m_bookMutex);
        if (!m_loaded) return false;
        content = m_book.Format();
    }
    // Written outside the book's lock: the store's lock waits on the book's (GiveLines).
    return m_file.Write(Utf8ToGbk(content));
}

}  // namespace qelt
