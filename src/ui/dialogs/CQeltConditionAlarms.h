#pragma once
/// 预警 → 条件预警: the condition alarm entries in a report list (公式, 参数, 商品, 状态) with
/// 添加 and 修改 (the entry dialog), 删除, 开启/关闭 of the selected entry and 确定. Every
/// change is kept at once (condalarm.ini) and handed to the application, which runs the
/// entries from the next board update on. Enter or a double click on a row is 修改, Delete
/// is 删除.
///
/// The entry dialog: the formula (the formula library's, by name), a value for each of its
/// parameters (refused outside the parameter's range), and the goods it watches: the goods on
/// show, 自选 (as it is at each evaluation), or contracts chosen in a list.
#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "analysis/ConditionAlarmConfig.h"
#include "common/GoodsKey.h"
#include "formula/FormulaLibrary.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace qelt {

class MessageBoxes;

/// The contracts an entry can watch: every contract of the board with its display text,
/// and the goods on show (when there is one).
struct ConditionGoodsChoices {
    std::vector<std::pair<GoodsKey, std::string>> contracts;
    std::optional<std::pair<GoodsKey, std::string>> current;
};

class CQeltConditionAlarmEntry : public QDialog {
    Q_OBJECT
  public:
    /// `entry` is the one to change, or a new one (id 0).
    CQeltConditionAlarmEntry(const FormulaLibrary& library, ConditionGoodsChoices choices,
                             ConditionAlarmEntry entry, MessageBoxes& boxes, QWidget* parent = nullptr);

    /// What OK took (the entry's id and switch kept).
    const ConditionAlarmEntry& Entry() const { return m_entry; }
    void accept() override;

  private:
    void ShowParameters();
    void GoodsModeChanged();

    const FormulaLibrary& m_library;
    ConditionGoodsChoices m_choices;
    ConditionAlarmEntry m_entry;
    MessageBoxes& m_boxes;
    QComboBox* m_formula = nullptr;
    std::vector<QLabel*> m_valueLabels;
    std::vector<QLineEdit*> m_values;
    QComboBox* m_goodsMode = nullptr;
    QListWidget* m_contracts = nullptr;
};

class CQeltConditionAlarms : public QDialog {
    Q_OBJECT
  public:
    /// Runs after every change of the entries.
    using Changed = std::function<void()>;
    /// The goods choices, taken when the entry dialog opens.
    using Choices = std::function<ConditionGoodsChoices()>;
    /// The name of a goods number (for the 商品 column).
    using NameOf = std::function<std::string(std::string_view goodsNo)>;

    CQeltConditionAlarms(ConditionAlarmConfig& config, const FormulaLibrary& library, Choices choices,
                         NameOf nameOf, Changed changed, MessageBoxes& boxes, QWidget* parent = nullptr);

    /// Runs the entry dialog over `entry`; the default is CQeltConditionAlarmEntry (tests
    /// answer in its place). Nothing when cancelled.
    using EntryDialog =
        std::function<std::optional<ConditionAlarmEntry>(QWidget* owner, ConditionAlarmEntry entry)>;
    void SetEntryDialog(EntryDialog dialog) { m_entryDialog = std::move(dialog); }

    void Refill();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    /// The entry of the current row; nothing when no row is current.
    std::optional<ConditionAlarmEntry> Current() const;
    void OnAdd();
    void OnModify();
    void OnDelete();
    void OnSwitch();
    void UpdateButtons();

    ConditionAlarmConfig& m_config;
    const FormulaLibrary& m_library;
    NameOf m_nameOf;
    Changed m_changed;
    MessageBoxes& m_boxes;
    EntryDialog m_entryDialog;
    QTableWidget* m_list = nullptr;
    QPushButton* m_modify = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_switch = nullptr;
};

}  // namespace qelt
