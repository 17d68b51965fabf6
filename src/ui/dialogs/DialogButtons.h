#pragma once
/// A push button added to a dialog's row of buttons, named so that tests find it.
#include <QBoxLayout>
#include <QPushButton>

namespace qelt {

inline QPushButton* AddButton(QBoxLayout* layout, QWidget* parent, const char* text, const char* objectName) {
    auto* button = new QPushButton(QString::fromUtf8(text), parent);
    button->setObjectName(objectName);
    layout->addWidget(button);
    return button;
}

}  // namespace qelt
