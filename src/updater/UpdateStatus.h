#pragma once
/// The progress codes the download posts with WM_UPDATE_PROGRESS, and the status text the
/// dialog (and the batch mode) shows for each.
///
///   -1        "无法连接服务器，下载失败！"  no server could be connected; final
///    0        "开始下载..."                 connected, bar at 0
///    1 .. 99  "正在下载<file>...<n>%"       bar at n
///  100        "下载完成!"                   every file received; final
///   -2        "下载中断，更新未完成！"      the transfer broke off (connection lost in the
///                                           middle of a file, an absurd size); final. Files
///                                           received before stay, the broken one is not
///                                           written.
#include <string>

namespace qelt {

inline constexpr int kUpdateFailed = -1;
inline constexpr int kUpdateStarted = 0;
inline constexpr int kUpdateFinished = 100;
inline constexpr int kUpdateInterrupted = -2;

/// The status text for `code`; `fileName` (UTF-8) is used for 1 to 99.
std::string UpdateStatusText(int code, const std::string& fileName);

/// Codes after which nothing more follows and the dialog may be closed with "确定".
inline bool IsFinalUpdateCode(int code) {
    return code == kUpdateFailed || code == kUpdateFinished || code == kUpdateInterrupted;
}

/// The message shown when networking cannot start at all.
inline constexpr const char* kNetworkStartFailedText = "Windows 通信端口初始化失败。";

}  // namespace qelt
