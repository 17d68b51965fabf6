#include "ui/dialogs/CQeltAlarm.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/settings/CQeltCFG.h"
#include "ui/dialogs/MessageBoxes.h"

namespace qelt {
namespace {

QComboBox* MakeCombo(QWidget* parent, const char* objectName, const std::vector<std::string>& items) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(objectName);
    for (const std::string& item : items) combo->addItem(QString::fromStdString(item));
    combo->setCurrentIndex(items.empty() ? -1 : 0);
    return combo;
}

QLineEdit* MakeEdit(QWidget* parent, const char* objectName) {
    auto* edit = new QLineEdit(QStringLiteral("0"), parent);
    edit->setObjectName(objectName);
    edit->setMaxLength(32);
    return edit;
}

}  // namespace

CQeltAlarm::CQeltAlarm(const AlarmEntryChoices& choices, CQeltCFG& settings, MessageBoxes& boxes,
                       QWidget* parent)
    : QDialog(parent), m_model(choices), m_settings(settings), m_boxes(boxes) {
    setWindowTitle(QStringLiteral("设置预警"));
    setObjectName("alarmEntryDialog");
    m_goods = MakeCombo(this, "goods", m_model.GoodsLabels());
    m_months = MakeCombo(this, "dueDate", {});
    m_goods->setCurrentIndex(m_model.InitialGoods());
    ShowMonthsOf(m_model.InitialGoods());
    m_months->setCurrentIndex(m_model.InitialMonth());
    connect(m_goods, &QComboBox::currentIndexChanged, this, &CQeltAlarm::ShowMonthsOf);
    m_upper = MakeEdit(this, "upperPrice");
    m_lower = MakeEdit(this, "lowerPrice");
    m_volume = MakeEdit(this, "volume");
    m_netPosition = MakeEdit(this, "netPosition");

    auto* grid = new QGridLayout;
    auto label = [this](const char* text) { return new QLabel(QString::fromUtf8(text), this); };
    grid->addWidget(label("品  种："), 0, 0);
    grid->addWidget(m_goods, 0, 1, 1, 4);
    grid->addWidget(label("交货月："), 1, 0);
    grid->addWidget(m_months, 1, 1, 1, 4);
    grid->addWidget(label("价  格："), 2, 0);
    grid->addWidget(label("大于"), 2, 1);
    grid->addWidget(m_upper, 2, 2);
    grid->addWidget(label("小于"), 2, 3);
    grid->addWidget(m_lower, 2, 4);
    grid->addWidget(label("成交量："), 3, 0);
    grid->addWidget(label("大于"), 3, 1);
    grid->addWidget(m_volume, 3, 2);
    grid->addWidget(label("净持仓量："), 4, 0);
    grid->addWidget(label("大于"), 4, 1);
    grid->addWidget(m_netPosition, 4, 2);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("确  定"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(QStringLiteral("取  消"), QDialogButtonBox::RejectRole);
    ok->setObjectName("ok");
    ok->setDefault(true);
    cancel->setObjectName("cancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &CQeltAlarm::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CQeltAlarm::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
}

void CQeltAlarm::ShowMonthsOf(int goodsIndex) {
    m_months->clear();
    if (goodsIndex < 0 || static_cast<size_t>(goodsIndex) >= m_model.GoodsNumbers().size()) return;
    for (const std::string& month : m_model.MonthsOf(m_model.GoodsNumbers()[static_cast<size_t>(goodsIndex)]))
        m_months->addItem(QString::fromStdString(month));
    m_months->setCurrentIndex(m_months->count() > 0 ? 0 : -1);
}

QLineEdit* CQeltAlarm::Edit(AlarmEntryModel::Field field) const {
    switch (field) {
        case AlarmEntryModel::Field::UpperPrice:
            return m_upper;
        case AlarmEntryModel::Field::LowerPrice:
            return m_lower;
        case AlarmEntryModel::Field::Volume:
            return m_volume;
        case AlarmEntryModel::Field::NetPosition:
            return m_netPosition;
    }
    return m_upper;
}

std::string CQeltAlarm::SelectedGoodsNumber() const {
    const int index = m_goods->currentIndex();
    if (index < 0 || static_cast<size_t>(index) >= m_model.GoodsNumbers().size()) return {};
    return m_model.GoodsNumbers()[static_cast<size_t>(index)];
}

void CQeltAlarm::accept() {
    AlarmEntryModel::Verdict verdict = AlarmEntryModel::Accept(
        {SelectedGoodsNumber(), m_months->currentText().toStdString()}, m_upper->text().toStdString(),
        m_lower->text().toStdString(), m_volume->text().toStdString(), m_netPosition->text().toStdString());
    if (!verdict.entry) {
        m_boxes.Show(this, verdict.message, AlarmEntryModel::kRangeCaption);
        QLineEdit* edit = Edit(verdict.field);
        edit->setFocus();
        edit->selectAll();
        return;
    }
    // The entry is in effect either way; a failed rewrite only means it will not come back
    // after a restart, which the settings tell the user (once a run).
    m_settings.AddAlarmEntry(*verdict.entry);
    QDialog::accept();
}

}  // namespace qelt
