#pragma once
/// The report list the alarm dialogs share: grid lines, whole-row selection, centred
/// columns of given starting widths, small type, no editing. A column widens to its longest
/// text when the given width cannot show it (prices of six digits, large volumes), and never
/// becomes narrower than given.
#include <QString>
#include <array>
#include <string>
#include <vector>

class QTableWidget;
class QWidget;

namespace qelt {

struct ReportColumn {
    const char* title;
    int width;
};

QTableWidget* MakeReportList(QWidget* parent, const std::vector<ReportColumn>& columns);

/// Replaces the rows (texts UTF-8, one array per row, centred) and widens the columns as
/// their texts need.
template <std::size_t N>
void FillReportList(QTableWidget* list, const std::vector<ReportColumn>& columns,
                    const std::vector<std::array<std::string, N>>& rows);

void SetReportRowCount(QTableWidget* list, int rows);
void SetReportCell(QTableWidget* list, int row, int column, const std::string& text);
void WidenReportColumns(QTableWidget* list, const std::vector<ReportColumn>& columns);

template <std::size_t N>
void FillReportList(QTableWidget* list, const std::vector<ReportColumn>& columns,
                    const std::vector<std::array<std::string, N>>& rows) {
    SetReportRowCount(list, static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        for (int c = 0; c < static_cast<int>(N); ++c) SetReportCell(list, r, c, rows[r][c]);
    WidenReportColumns(list, columns);
}

}  // namespace qelt
