#pragma once
/// `CQeltPassWord` (dialog 196, "修改密码"): old, new and confirmed password; the answer
/// arrives as WM_NET_PWD.
#include <QDialog>
#include <functional>

#include "app/PasswordFlow.h"

class QLineEdit;
class QPushButton;

namespace qelt {

class CQeltPassWord : public QDialog, public PasswordDisplay {
    Q_OBJECT
  public:
    CQeltPassWord(const std::string& user, std::function<void(const std::string&)> send,
                  std::function<void(const std::string&)> showMessage, QWidget* parent = nullptr);

    void ShowMessage(const std::string& text) override;
    void EnableButtons(bool enabled) override;
    void Close(bool ok) override;

  protected:
    bool event(QEvent* e) override;

  private:
    PasswordFlow m_flow;
    std::function<void(const std::string&)> m_send;
    std::function<void(const std::string&)> m_showMessage;
    QLineEdit* m_old;
    QLineEdit* m_new;
    QLineEdit* m_confirm;
    QPushButton* m_submit;
    QPushButton* m_close;
};

}  // namespace qelt
