#include "CQeltMsg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QTextEdit>
#include <QVBoxLayout>

#include "net/Requests.h"

namespace qelt {

CQeltMsg::CQeltMsg(const QString& notice, QWidget* parent) : QDialog(parent) {
    setObjectName("noticeDialog");
    setWindowTitle(QString::fromUtf8("市场公告"));
    auto* layout = new QVBoxLayout(this);
    m_text = new QTextEdit(this);
    m_text->setObjectName("noticeText");
    m_text->setReadOnly(true);
    m_text->setPlainText(notice);
    layout->addWidget(m_text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    resize(420, 300);
    m_text->setFocus();
}

void CQeltMsg::SetNotice(const QString& notice) { m_text->setPlainText(notice); }

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("aboutDialog");
    setWindowTitle(QString::fromUtf8("关于 Qelt行情分析系统"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(
        QString::fromUtf8("Qelt行情分析系统 %1\n\n商品市场行情与技术分析客户端")
            .arg(QString::fromUtf8(kClientVersion.data(), static_cast<int>(kClientVersion.size()))),
        this);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

}  // namespace qelt
