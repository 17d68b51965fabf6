#pragma once
/// The rules of the indicator parameter dialog ("技术指标参数设置"), without widgets: which
/// rows show for a tree item, which table positions the edit fields write back, and when.
/// The Qt dialog owns the tree and the five rows and calls these in its handlers.
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/settings/IndicatorParameters.h"

namespace qelt {

inline constexpr int kIndiDialogRows = 5;

/// What the parameter frame shows.
struct IndiRowsView {
    bool showNoParameters = false;  ///< "没有参数需要设置!"
    struct Row {
        std::string label;
        int value = 0;
    };
    std::vector<Row> rows;  ///< at most five, in dialog-row order; the rest are hidden
};

/// One root of the tree with its leaves' tree texts, in display order.
struct IndiTreeGroup {
    std::string text;
    std::vector<std::string> leaves;
};

class IndiDialogModel {
  public:
    static constexpr std::string_view kCaption = "技术指标参数设置";
    static constexpr std::string_view kNoParameters = "没有参数需要设置!";

    /// `preselectCode` is the pane's indicator code, or -1 when opened from the menu.
    explicit IndiDialogModel(IndicatorParameters& table, int preselectCode = -1);

    /// The four roots "量仓指标", "趋势指标", "摆动指标", "主图参数" with their leaves.
    static std::vector<IndiTreeGroup> Tree();

    /// The group index and leaf index to expand and select at opening, or nothing.
    std::optional<std::pair<int, int>> Preselection() const;

    /// The rows for a key (step "show"): nothing for unknown keys, the message for VOL, CCL
    /// and CDP, otherwise one row per parameter with the current table value.
    IndiRowsView RowsFor(std::string_view key) const;

    /// A tree selection changed: the shown indicator's edit fields are committed first,
    /// then the new item is shown. `leafTreeText` is empty for a group root (all rows
    /// hidden afterwards).
    IndiRowsView SelectionChanged(std::string_view leafTreeText,
                                  const std::array<int, kIndiDialogRows>& fields);

    /// Writes the edit fields of the shown indicator back into its table positions (VOL,
    /// CCL, CDP and no selection write nothing).
    void Commit(const std::array<int, kIndiDialogRows>& fields);

    /// "恢复默认": the whole table back to its defaults (nothing is written to the file); the
    /// shown indicator's rows are returned again with the defaults.
    IndiRowsView RestoreDefaults();

    /// "确  定": commit, then `save` the table (the settings object writes indi.ini and tells a
    /// failure once a run). What `save` returned.
    bool Accept(const std::array<int, kIndiDialogRows>& fields, const std::function<bool()>& save);

    /// "取  消": the table back to what it held when the dialog opened, whatever the changes of
    /// selection committed or "恢复默认" reset meanwhile. (The close box keeps them.)
    void Cancel();

    /// Key of the indicator whose rows are on show; empty at opening and on a group root.
    const std::string& ShownKey() const { return m_shownKey; }

  private:
    IndicatorParameters& m_table;
    IndicatorParameters m_opened;  ///< the table when the dialog opened
    int m_preselectCode;
    std::string m_shownKey;
};

}  // namespace qelt
