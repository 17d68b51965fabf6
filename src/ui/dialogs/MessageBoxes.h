#pragma once
/// Message boxes go through this seam so that dialog logic can be tested without a modal
/// window: the application uses QtMessageBoxes, tests record what would have been shown.
#include <string>

class QWidget;

namespace qelt {

class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    /// A plain box with one OK button, modal to `owner`; texts are UTF-8.
    virtual void Show(QWidget* owner, const std::string& text, const std::string& caption) = 0;
    /// A question with OK and Cancel, modal to `owner`; true for OK.
    virtual bool Ask(QWidget* owner, const std::string& text, const std::string& caption) = 0;
};

class QtMessageBoxes : public MessageBoxes {
  public:
    void Show(QWidget* owner, const std::string& text, const std::string& caption) override;
    bool Ask(QWidget* owner, const std::string& text, const std::string& caption) override;
};

/// The process-wide Qt implementation, for dialogs created without an explicit one.
MessageBoxes& DefaultMessageBoxes();

}  // namespace qelt
