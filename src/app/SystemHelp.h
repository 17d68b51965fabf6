#pragma once
/// 系统帮助: the operator's help file "qelt.chm" in the program directory when the desktop has
/// an application for it; otherwise the user manual (installed, or the source tree's beside a
/// build) in the desktop's browser, or in the information view when no browser answers; and
/// when nothing can be shown, a message says so instead of silence.
#include <string>
#include <vector>

namespace qelt {

/// What showing help needs of the desktop, behind an interface so the choice is tested
/// without one.
class HelpDesktop {
  public:
    virtual ~HelpDesktop() = default;
    virtual bool IsFile(const std::string& path) const = 0;
    /// Whether the desktop names an application for the file's type.
    virtual bool HasHandlerFor(const std::string& path) const = 0;
    /// Hands the file to that application; false when it could not be started.
    virtual bool OpenWithDesktop(const std::string& path) = 0;
    /// Shows the page in the information view; false when there it cannot be shown.
    virtual bool ShowInInformationView(const std::string& path) = 0;
    virtual void Tell(const std::string& message) = 0;
};

enum class HelpShown { OperatorHelpFile, ManualInBrowser, ManualInView, Nothing };

/// The operator's help file in the program directory.
inline constexpr const char* kOperatorHelpFile = "qelt.chm";

/// Shows help as the header says. `manualPages` are the places the manual's table of contents
/// may be, best first; the first that is a file is the manual.
HelpShown ShowSystemHelp(HelpDesktop& desktop, const std::string& programDirectory,
                         const std::vector<std::string>& manualPages);

}  // namespace qelt
