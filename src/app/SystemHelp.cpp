#include "SystemHelp.h"

namespace qelt {

HelpShown ShowSystemHelp(HelpDesktop& desktop, const std::string& programDirectory,
                         const std::vector<std::string>& manualPages) {
    const std::string operatorFile = programDirectory + kOperatorHelpFile;
    // Linux has no viewer of its own for the operator's file: use it only where the user
    // installed one.
    if (desktop.IsFile(operatorFile) && desktop.HasHandlerFor(operatorFile) &&
        desktop.OpenWithDesktop(operatorFile))
        return HelpShown::OperatorHelpFile;
    for (const std::string& page : manualPages) {
        if (!desktop.IsFile(page)) continue;
        if (desktop.HasHandlerFor(page) && desktop.OpenWithDesktop(page)) return HelpShown::ManualInBrowser;
        if (desktop.ShowInInformationView(page)) return HelpShown::ManualInView;
        desktop.Tell("无法打开用户手册：" + page);
        return HelpShown::Nothing;
    }
    desktop.Tell("找不到系统帮助：程序目录中没有 qelt.chm，也没有安装用户手册。");
    return HelpShown::Nothing;
}

}  // namespace qelt
