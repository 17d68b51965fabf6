#pragma once
/// Dialog 167 "设置预警": one new price alarm. Two combos offer the store's goods numbers and
/// delivery months, four edits take the thresholds (prices as numbers, volume and net
/// position as integers, each from 0 to 999999, starting at 0). OK checks the ranges (a
/// value out of range keeps the dialog open with the range message and that edit focused),
/// appends the entry to the settings' entries (and so to alarm.ini) and closes; Cancel
/// changes nothing.
#include <QDialog>
#include <string>
#include <utility>
#include <vector>

#include "app/AlarmEntryModel.h"

class QComboBox;
class QLineEdit;

namespace qelt {

class CQeltCFG;
class MessageBoxes;

class CQeltAlarm : public QDialog {
    Q_OBJECT
  public:
    /// The goods combo shows number and name; the month combo the months of the chosen goods
    /// only; the dialog opens on the contract selected on the board.
    CQeltAlarm(const AlarmEntryChoices& choices, CQeltCFG& settings, MessageBoxes& boxes,
               QWidget* parent = nullptr);

    void accept() override;

  private:
    QLineEdit* Edit(AlarmEntryModel::Field field) const;
    /// Fills the month combo with the months of the goods at `goodsIndex`.
    void ShowMonthsOf(int goodsIndex);
    /// The goods number of the goods combo's choice (the combo shows it with its name).
    std::string SelectedGoodsNumber() const;

    AlarmEntryModel m_model;
    CQeltCFG& m_settings;
    MessageBoxes& m_boxes;
    QComboBox* m_goods = nullptr;        // 1006
    QComboBox* m_months = nullptr;       // 1021
    QLineEdit* m_upper = nullptr;        // 1004
    QLineEdit* m_lower = nullptr;        // 1010
    QLineEdit* m_volume = nullptr;       // 1005
    QLineEdit* m_netPosition = nullptr;  // 1009
};

}  // namespace qelt
