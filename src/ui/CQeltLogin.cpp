#include "CQeltLogin.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace qelt {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

CQeltLogin::CQeltLogin(Session& session, Hooks hooks, QWidget* parent)
    : QDialog(parent), m_hooks(std::move(hooks)), m_flow(session.BeginLogin(*this)) {
    setObjectName("loginDialog");
    setWindowTitle(QString::fromUtf8("Qelt行情分析系统 - 登陆"));
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(QString::fromUtf8("Qelt行情分析系统"), this);
    title->setStyleSheet("font-size: 20px; font-weight: bold; color: #1e3c96;");
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);
    auto* welcome = new QLabel(QString::fromUtf8("欢迎使用行情分析系统"), this);
    welcome->setAlignment(Qt::AlignCenter);
    layout->addWidget(welcome);

    auto* form = new QFormLayout;
    m_user = new QLineEdit(this);
    m_user->setObjectName("user");
    m_password = new QLineEdit(this);
    m_password->setObjectName("password");
    m_password->setEchoMode(QLineEdit::Password);
    m_server = new QComboBox(this);
    m_server->setObjectName("server");
    form->addRow(QString::fromUtf8("帐号:"), m_user);
    form->addRow(QString::fromUtf8("密码:"), m_password);
    form->addRow(QString::fromUtf8("服务器:"), m_server);
    layout->addLayout(form);
    m_demoAccounts = new QLabel(this);
    m_demoAccounts->setObjectName("demoAccounts");
    m_demoAccounts->setWordWrap(true);
    m_demoAccounts->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_demoAccounts);

    m_remember = new QCheckBox(QString::fromUtf8("保存密码"), this);
    m_remember->setObjectName("remember");
    layout->addWidget(m_remember);

    auto* buttons = new QHBoxLayout;
    m_login = new QPushButton(QString::fromUtf8("登 陆"), this);
    m_login->setObjectName("login");
    m_login->setDefault(true);
    auto* settings = new QPushButton(QString::fromUtf8("通信设置"), this);
    settings->setObjectName("comSettings");
    auto* offline = new QPushButton(QString::fromUtf8("脱机浏览"), this);
    offline->setObjectName("offline");
    buttons->addWidget(m_login);
    buttons->addWidget(settings);
    buttons->addWidget(offline);
    layout->addLayout(buttons);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName("progress");
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    layout->addWidget(m_progress);
    m_status = new QLabel(QString::fromUtf8("登陆系统服务"), this);
    m_status->setObjectName("status");
    layout->addWidget(m_status);
    auto* link = new QLabel(QString::fromUtf8("<a href=\"site\" style=\"color:white\">访问网站</a>"), this);
    link->setObjectName("webLink");
    link->setStyleSheet("background: #1e3c96; padding: 2px;");
    layout->addWidget(link);

    connect(m_login, &QPushButton::clicked, this, &CQeltLogin::OnLoginClicked);
    connect(offline, &QPushButton::clicked, this, [this] { m_flow.OnOffline(); });
    connect(settings, &QPushButton::clicked, this, [this] {
        if (m_hooks.editServers && m_hooks.editServers(this)) FillServers();
    });
    connect(link, &QLabel::linkActivated, this, [this] {
        if (m_hooks.openWebSite) m_hooks.openWebSite();
    });
    FillServers();
    setMinimumWidth(360);
}

CQeltLogin::~CQeltLogin() = default;

void CQeltLogin::FillServers() {
    m_servers = m_hooks.readServers ? m_hooks.readServers() : std::vector<ServerEntry>{};
    m_server->clear();
    for (const ServerEntry& e : m_servers) m_server->addItem(Q(e.name));
    if (!m_servers.empty()) m_server->setCurrentIndex(0);
    const std::string hint = DemoAccountsHint(m_servers);
    m_demoAccounts->setText(Q(hint));
    m_demoAccounts->setVisible(!hint.empty());
}

void CQeltLogin::SetRemembered(const std::string& user, const std::string& password) {
    m_user->setText(Q(user));
    m_password->setText(Q(password));
    m_remember->setChecked(true);
}

void CQeltLogin::ClickLogin() { OnLoginClicked(); }

void CQeltLogin::OnLoginClicked() {
    const int index = m_server->currentIndex();
    ServerEntry server =
        index >= 0 && index < static_cast<int>(m_servers.size()) ? m_servers[index] : ServerEntry{};
    m_flow.OnLogin(m_user->text().toStdString(), m_password->text().toStdString(), m_remember->isChecked(),
                   server.address, server.port);
}

void CQeltLogin::SetStatus(const std::string& text) {
    m_status->setText(Q(text));
    emit StatusChanged(m_status->text());
}

void CQeltLogin::SetProgress(int value) { m_progress->setValue(value); }

void CQeltLogin::EnableLoginButton(bool enabled) { m_login->setEnabled(enabled); }

void CQeltLogin::FocusField(LoginField field) {
    // Disabling 登 陆 while it had the keyboard moved it on to 通信设置: it comes back to
    // where the user types the correction, and Enter logs in again.
    switch (field) {
        case LoginField::User:
            m_user->setFocus(Qt::OtherFocusReason);
            m_user->selectAll();
            break;
        case LoginField::Password:
            m_password->setFocus(Qt::OtherFocusReason);
            m_password->selectAll();
            break;
        case LoginField::Server:
            m_server->setFocus(Qt::OtherFocusReason);
            break;
    }
}

void CQeltLogin::ShowMessage(const std::string& text, const std::string& caption) {
    if (m_hooks.showMessage) m_hooks.showMessage(text, caption);
}

void CQeltLogin::After(int milliseconds, std::function<void()> then) {
    QTimer::singleShot(milliseconds, this, [then = std::move(then)] { then(); });
}

void CQeltLogin::EndDialog(bool ok) {
    if (ok)
        accept();
    else
        reject();
}

}  // namespace qelt
