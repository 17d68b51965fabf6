#pragma once
/// Dialog 105 "通信设置": the list of quote servers in config.ini with add, modify, delete,
/// move up and move down. OK writes config.ini; Cancel leaves it as it was. The result tells
/// the login dialog whether to read the file again. A config.ini that is there but cannot be
/// read is said at opening and never written over; a save that fails is said and the dialog
/// stays open (Cancel leaves it), so OK never closes on edits that were not kept.
#include <QDialog>
#include <functional>
#include <optional>
#include <set>

#include "data/settings/ServerListModel.h"

class QTreeWidget;

namespace qelt {

class MessageBoxes;

class CComSet : public QDialog {
    Q_OBJECT
  public:
    static constexpr const char* kSaveFailedCaption = "提示";

    /// Edits one entry: returns the new entry, or nothing when cancelled. The default opens
    /// the modal CComServer dialog; tests put in their own.
    using EntryEditor = std::function<std::optional<ServerEntry>(const ServerEntry& initial)>;

    CComSet(const std::string& programDirectory, MessageBoxes& boxes, QWidget* parent = nullptr);

    void SetEntryEditor(EntryEditor editor) { m_editEntry = std::move(editor); }

    const ServerListModel& Editor() const { return m_editor; }
    /// Rows selected in the list control.
    std::set<size_t> SelectedRows() const;

    void accept() override;

  private:
    void Refill(const std::set<size_t>& select);
    void OnAdd();
    void OnModify();
    void OnDelete();
    void OnMoveUp();
    void OnMoveDown();

    ServerListModel m_editor;
    MessageBoxes& m_boxes;
    EntryEditor m_editEntry;
    QTreeWidget* m_list = nullptr;  // 1013
};

}  // namespace qelt
