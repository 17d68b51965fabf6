#include "CQeltPassWord.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "QtPoster.h"
#include "common/Messages.h"

namespace qelt {

CQeltPassWord::CQeltPassWord(const std::string& user, std::function<void(const std::string&)> send,
                             std::function<void(const std::string&)> showMessage, QWidget* parent)
    : QDialog(parent), m_flow(*this, user), m_send(std::move(send)), m_showMessage(std::move(showMessage)) {
    setObjectName("passwordDialog");
    setWindowTitle(QString::fromUtf8("修改密码"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    auto makeEdit = [this](const char* name) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setEchoMode(QLineEdit::Password);
        edit->setMaxLength(20);
        return edit;
    };
    m_old = makeEdit("oldPassword");
    m_new = makeEdit("newPassword");
    m_confirm = makeEdit("confirmPassword");
    form->addRow(QString::fromUtf8("旧密码"), m_old);
    form->addRow(QString::fromUtf8("新密码"), m_new);
    form->addRow(QString::fromUtf8("确认新密码"), m_confirm);
    layout->addLayout(form);
    auto* buttons = new QHBoxLayout;
    m_submit = new QPushButton(QString::fromUtf8("修 改"), this);
    m_submit->setObjectName("submit");
    m_submit->setDefault(true);
    m_close = new QPushButton(QString::fromUtf8("关 闭"), this);
    m_close->setObjectName("close");
    buttons->addWidget(m_submit);
    buttons->addWidget(m_close);
    layout->addLayout(buttons);
    connect(m_submit, &QPushButton::clicked, this, [this] {
        std::string request = m_flow.Submit(m_old->text().toStdString(), m_new->text().toStdString(),
                                            m_confirm->text().toStdString());
        if (!request.empty() && m_send) m_send(request);
    });
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
}

void CQeltPassWord::ShowMessage(const std::string& text) {
    if (m_showMessage) m_showMessage(text);
}

void CQeltPassWord::EnableButtons(bool enabled) {
    m_submit->setEnabled(enabled);
    m_close->setEnabled(enabled);
}

void CQeltPassWord::Close(bool ok) {
    if (ok)
        accept();
    else
        QDialog::reject();
}

bool CQeltPassWord::event(QEvent* e) {
    auto* message = dynamic_cast<WindowMessageEvent*>(e);
    if (!message) return QDialog::event(e);
    if (message->Message() == WM_NET_PWD) m_flow.OnAnswer(static_cast<int>(message->WParam()));
    return true;
}

}  // namespace qelt
