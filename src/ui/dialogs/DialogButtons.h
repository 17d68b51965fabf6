#pragma once
/// A push button added to a dialog's row of buttons, named so that tests find it.
#include <QBoxLayout>
#include <QPushButton>

namespace qelt {

/// With `autoDefault` false, Enter in the dialog never presses it unasked.
inline QPushButton* AddButton(QBoxLayout* layout, QWidget* parent, const char* text, const char* objectName,
                              bool autoDefault = true) {
    auto* button = new QPushButton(QString::fromUtf8(text), parent);
    button->setObjectName(objectName);
    if (!autoDefault) button->setAutoDefault(false);
    layout->addWidget(button);
    return button;
}

}  // namespace qelt
