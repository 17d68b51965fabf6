#pragma once
/// The drawn lines of the whole run: myline.txt's records, every goods' undo history and
/// the saving after each edit.
///
/// Lines are user work: myline.txt is rewritten (atomically) after every completed edit and
/// once more at exit, so a crash loses nothing that was placed. A write that fails is
/// reported (once a run, through the settings' reports) and tried again at the next edit;
/// a file that exists but could not be read is reported and never written over. The book
/// keeps the records of goods this run does not list, written back as they came. The
/// store's records get their lines from the book after each login or offline fill, and
/// every record that enters the store later gets them as it enters (GiveLines, on the
/// receive thread under the store lock). The history of a goods lasts as long as the
/// program runs, whichever goods or view is on show meanwhile.
///
/// Interface thread, except GiveLines; the book has a lock of its own, taken after the
/// store's and never held while calling the store or the disk: the file is read before the
/// book takes its content and written from a copy of it, so a goods entering the store never
/// waits for a save to reach the disk.
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "data/CQeltData.h"
#include "data/CQeltGoods.h"
#include "data/settings/MyLineFile.h"
#include "data/settings/SettingsFile.h"
#include "data/settings/SettingsReports.h"

namespace qelt {

/// The goods' identity in myline.txt.
LineKey LineKeyOf(const CQeltGoods& goods);

/// Edits a goods' history keeps; older ones fall off.
inline constexpr std::size_t kMaxUndoSteps = 200;

class LineJournal {
  public:
    LineJournal(std::string programDirectory, SettingsReports& reports)
        : m_file(std::move(programDirectory), kMyLineFileName, kMaxMyLineFileBytes, &reports) {}

    /// Reads myline.txt (a file that cannot be read is reported); until then nothing is
    /// written (a run that ends before start-up finished leaves the file alone).
    MyLineBook::LoadResult Load();
    bool Loaded() const;
    /// Every goods of the store that has a record receives its lines (its own are replaced).
    void ApplyTo(CQeltData& store) const;
    /// A goods entering the store: its lines from the book (none before Load).
    void GiveLines(CQeltGoods& goods) const;

    /// A completed edit of goods `key`: the book takes `after`, the file is rewritten, the
    /// edit goes on the goods' history (its redo steps are dropped). False when the file
    /// could not be written (the lines stay in the book and go with the next write).
    bool Commit(const LineKey& key, std::vector<CMyLine> before, std::vector<CMyLine> after);
    /// Undo (redo = false) or redo of the goods' last step: the lines it leaves, put in the
    /// book and the file; nothing when there is no such step.
    std::optional<std::vector<CMyLine>> Step(const LineKey& key, bool redo);
    bool CanStep(const LineKey& key, bool redo) const;
    /// The lines the book holds for `key` (the lines of minute bars, which no goods holds).
    std::vector<CMyLine> LinesOf(const LineKey& key) const;

    /// Rewrites myline.txt from the book (at exit); false when not loaded or not written
    /// (a failed write is reported).
    bool Save() const;

  private:
    struct Edit {
        std::vector<CMyLine> before;
        std::vector<CMyLine> after;
    };
    struct History {
        std::vector<Edit> undo;
        std::vector<Edit> redo;
    };

    mutable SettingsFile m_file;     ///< interface thread only
    mutable std::mutex m_bookMutex;  ///< guards m_book and m_loaded
    MyLineBook m_book;
    bool m_loaded = false;
    std::map<LineKey, History> m_histories;
};

}  // namespace qelt
