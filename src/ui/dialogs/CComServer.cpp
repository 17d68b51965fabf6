#include "ui/dialogs/CComServer.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "data/settings/ServerListModel.h"
#include "ui/dialogs/MessageBoxes.h"

namespace qelt {
namespace {

QLineEdit* MakeField(QWidget* parent, const char* objectName, const std::string& text) {
    auto* edit = new QLineEdit(QString::fromStdString(text), parent);
    edit->setObjectName(objectName);
    return edit;
}

}  // namespace

CComServer::CComServer(const ServerEntry& initial, MessageBoxes& boxes, QWidget* parent)
    : QDialog(parent), m_boxes(boxes) {
    setWindowTitle(QStringLiteral("行情服务器"));
    m_name = MakeField(this, "name", initial.name);
    m_address = MakeField(this, "address", initial.address);
    m_port = MakeField(this, "port", initial.port);
    // config.ini separates the fields with ":", so no field may hold one.
    auto* noColon = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^:]*")), this);
    for (QLineEdit* edit : {m_name, m_address, m_port}) edit->setValidator(noColon);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("服务器名称："), m_name);
    form->addRow(QStringLiteral("服务器地址："), m_address);
    form->addRow(QStringLiteral("服务器端口："), m_port);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("ok");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("cancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &CComServer::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CComServer::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

ServerEntry CComServer::Entry() const {
    return {m_name->text().toStdString(), m_address->text().toStdString(), m_port->text().toStdString()};
}

void CComServer::accept() {
    if (auto message = ServerListModel::Validate(Entry())) {
        m_boxes.Show(this, std::string(*message), kMessageCaption);
        return;
    }
    QDialog::accept();
}

}  // namespace qelt
