#pragma once
/// The rules of the entry list dialog ("预警设置"), without widgets: its rows, deleting the
/// selected rows and the on/off button's caption. The entries live in the settings object.
#include <cstddef>
#include <set>
#include <string>
#include <vector>

#include "app/AlarmRules.h"

namespace qelt {

class CQeltCFG;

class AlarmListModel {
  public:
    explicit AlarmListModel(CQeltCFG& settings) : m_settings(settings) {}

    /// One row per entry, in entry order.
    std::vector<AlarmListRow> Rows() const;
    /// Removes exactly the entries of the given rows; false when alarm.ini could not be
    /// rewritten (the entries are gone for this run all the same).
    bool Delete(const std::set<std::size_t>& rows);
    /// The on/off button's caption for the alarm flag as it is now.
    std::string SwitchText() const;

  private:
    CQeltCFG& m_settings;
};

}  // namespace qelt
