#include "indicators/IndiDialogModel.h"

#include "indicators/IndicatorCatalogue.h"

namespace qelt {

IndiDialogModel::IndiDialogModel(IndicatorParameters& table, int preselectCode)
    : m_table(table), m_opened(table), m_preselectCode(preselectCode) {}

std::vector<IndiTreeGroup> IndiDialogModel::Tree() {
    std::vector<IndiTreeGroup> groups;
    for (int g = 0; g < kIndicatorGroupCount; ++g) {
        IndiTreeGroup group{std::string(GroupText(static_cast<IndicatorGroup>(g))), {}};
        for (const IndicatorInfo& info : IndicatorCatalogue())
            if (static_cast<int>(info.group) == g) group.leaves.emplace_back(info.treeText);
        groups.push_back(std::move(group));
    }
    return groups;
}

std::optional<std::pair<int, int>> IndiDialogModel::Preselection() const {
    const IndicatorInfo* wanted = FindIndicatorByCode(m_preselectCode);
    if (!wanted) return std::nullopt;
    int leaf = 0;
    for (const IndicatorInfo& info : IndicatorCatalogue()) {
        if (info.group != wanted->group) continue;
        if (&info == wanted) return std::make_pair(static_cast<int>(info.group), leaf);
        ++leaf;
    }
    return std::nullopt;
}

IndiRowsView IndiDialogModel::RowsFor(std::string_view key) const {
    IndiRowsView view;
    if (HasNoParameters(key)) {
        view.showNoParameters = true;
        return view;
    }
    const IndicatorInfo* info = FindIndicatorByKey(key);
    if (!info) return view;
    for (int position : info->positions)
        view.rows.push_back({std::string(ParameterLabel(position)), m_table[position]});
    return view;
}

void IndiDialogModel::Commit(const std::array<int, kIndiDialogRows>& fields) {
    const IndicatorInfo* info = FindIndicatorByKey(m_shownKey);
    if (!info) return;
    size_t row = 0;
    for (int position : info->positions) m_table[position] = fields[row++];
}

IndiRowsView IndiDialogModel::SelectionChanged(std::string_view leafTreeText,
                                               const std::array<int, kIndiDialogRows>& fields) {
    Commit(fields);
    if (leafTreeText.empty()) {
        m_shownKey.clear();
        return {};
    }
    m_shownKey = std::string(KeyFromTreeText(leafTreeText));
    return RowsFor(m_shownKey);
}

IndiRowsView IndiDialogModel::RestoreDefaults() {
    m_table.SetDefaults();
    return RowsFor(m_shownKey);
}

bool IndiDialogModel::Accept(const std::array<int, kIndiDialogRows>& fields,
                             const std::function<bool()>& save) {
    Commit(fields);
    return save();
}

void IndiDialogModel::Cancel() { m_table = m_opened; }

}  // namespace qelt
