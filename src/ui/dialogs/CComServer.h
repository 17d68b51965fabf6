#pragma once
/// Dialog 106 "行情服务器": one quote server's name, address and port. OK checks that each
/// is filled (the first empty one is named in a message box and the dialog stays open).
#include <QDialog>

#include "common/ServerList.h"

class QLineEdit;

namespace qelt {

class MessageBoxes;

class CComServer : public QDialog {
    Q_OBJECT
  public:
    /// Caption of the validation message boxes.
    static constexpr const char* kMessageCaption = "提示";

    CComServer(const ServerEntry& initial, MessageBoxes& boxes, QWidget* parent = nullptr);

    /// The fields as they stand (UTF-8).
    ServerEntry Entry() const;

    void accept() override;

  private:
    MessageBoxes& m_boxes;
    QLineEdit* m_name = nullptr;     // 1004
    QLineEdit* m_address = nullptr;  // 1005
    QLineEdit* m_port = nullptr;     // 1017
};

}  // namespace qelt
