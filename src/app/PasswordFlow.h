#pragma once
/// The password dialog's rules: validation of the three fields (trailing blanks do not
/// count), one request per valid submit, and the server's three answers.
#include <string>

namespace qelt {

class PasswordDisplay {
  public:
    virtual ~PasswordDisplay() = default;
    virtual void ShowMessage(const std::string& text) = 0;
    virtual void EnableButtons(bool enabled) = 0;
    virtual void Close(bool ok) = 0;
};

class PasswordFlow {
  public:
    PasswordFlow(PasswordDisplay& view, std::string user) : m_view(view), m_user(std::move(user)) {}

    /// Returns the request to send, or an empty text when a message stopped the attempt.
    std::string Submit(const std::string& oldPassword, const std::string& newPassword,
                       const std::string& confirmation);
    /// The "pwd" answer.
    void OnAnswer(int result);
    bool Waiting() const { return m_waiting; }

  private:
    PasswordDisplay& m_view;
    std::string m_user;
    bool m_waiting = false;
};

}  // namespace qelt
