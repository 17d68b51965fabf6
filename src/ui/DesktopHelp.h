#pragma once
/// The desktop as 系统帮助 sees it: files, the applications the desktop names for a file's type
/// (xdg-mime), opening a file with one, and the client's information view as the last resort.
#include <functional>
#include <string>
#include <vector>

#include "app/SystemHelp.h"

namespace qelt {

class QtHelpDesktop : public HelpDesktop {
  public:
    QtHelpDesktop(std::function<bool(const std::string&)> showInView,
                  std::function<void(const std::string&)> tell)
        : m_showInView(std::move(showInView)), m_tell(std::move(tell)) {}
    bool IsFile(const std::string& path) const override;
    bool HasHandlerFor(const std::string& path) const override;
    bool OpenWithDesktop(const std::string& path) override;
    bool ShowInInformationView(const std::string& path) override { return m_showInView(path); }
    void Tell(const std::string& message) override { m_tell(message); }

  private:
    std::function<bool(const std::string&)> m_showInView;
    std::function<void(const std::string&)> m_tell;
};

/// Where the manual's table of contents may be, best first: beside an installed client, then
/// in the source tree of the build the client comes from.
std::vector<std::string> ManualPages();

}  // namespace qelt
