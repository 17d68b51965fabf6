#include "ui/dialogs/ReportList.h"

#include <QFont>
#include <QFontMetrics>
#include <QHeaderView>
#include <QTableWidget>

namespace qelt {

QTableWidget* MakeReportList(QWidget* parent, const std::vector<ReportColumn>& columns) {
    auto* list = new QTableWidget(0, static_cast<int>(columns.size()), parent);
    list->setObjectName("list");
    list->setShowGrid(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->verticalHeader()->hide();
    // Small type (11 pixels) keeps the usual texts within the columns' starting widths.
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(11);
    list->setFont(font);
    list->horizontalHeader()->setFont(font);
    list->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    list->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 6);
    for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
        list->setHorizontalHeaderItem(c, new QTableWidgetItem(QString::fromUtf8(columns[c].title)));
        list->setColumnWidth(c, columns[c].width);
    }
    return list;
}

void SetReportRowCount(QTableWidget* list, int rows) {
    list->clearContents();
    list->setRowCount(rows);
}

void SetReportCell(QTableWidget* list, int row, int column, const std::string& text) {
    auto* item = new QTableWidgetItem(QString::fromStdString(text));
    item->setTextAlignment(Qt::AlignCenter);
    list->setItem(row, column, item);
}

void WidenReportColumns(QTableWidget* list, const std::vector<ReportColumn>& columns) {
    for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
        list->resizeColumnToContents(c);
        if (list->columnWidth(c) < columns[c].width) list->setColumnWidth(c, columns[c].width);
    }
}

}  // namespace qelt
