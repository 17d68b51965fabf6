#pragma once
/// `update --batch`: the download without a window, for scripted and headless updates. It
/// prints every new status text on a line of its own (UTF-8) and each skipped file on the
/// error stream, and returns the process exit code.
#include <iosfwd>
#include <string>

#include "updater/UpdateDownload.h"

namespace qelt {

inline constexpr int kBatchFinished = 0;      ///< "下载完成!"
inline constexpr int kBatchNoServer = 1;      ///< "无法连接服务器，下载失败！"
inline constexpr int kBatchInterrupted = 2;   ///< "下载中断，更新未完成！" (or stopped)
inline constexpr int kBatchNoNetworking = 3;  ///< no socket can be created at all

int BatchExitCode(UpdateOutcome outcome);

int RunBatchUpdate(const std::string& programDirectory, std::ostream& out, std::ostream& err,
                   const UpdateOptions& options = {});

}  // namespace qelt
