#include "updater/UpdateStatus.h"

#include "common/Numbers.h"

namespace qelt {

std::string UpdateStatusText(int code, const std::string& fileName) {
    switch (code) {
        case kUpdateFailed:
            return "无法连接服务器，下载失败！";
        case kUpdateStarted:
            return "开始下载...";
        case kUpdateFinished:
            return "下载完成!";
        case kUpdateInterrupted:
            return "下载中断，更新未完成！";
        default:
            break;
    }
    return "正在下载" + fileName + "..." + FormatInt(code) + "%";
}

}  // namespace qelt
