#include "updater/UpdateBatch.h"

#include <ostream>

#include "updater/CUpDateSocket.h"
#include "updater/UpdateStatus.h"

namespace qelt {

int BatchExitCode(UpdateOutcome outcome) {
    switch (outcome) {
        case UpdateOutcome::Finished:
            return kBatchFinished;
        case UpdateOutcome::NoServer:
            return kBatchNoServer;
        case UpdateOutcome::Interrupted:
        case UpdateOutcome::Stopped:
            return kBatchInterrupted;
    }
    return kBatchInterrupted;
}

int RunBatchUpdate(const std::string& programDirectory, std::ostream& out, std::ostream& err,
                   const UpdateOptions& options) {
    if (!SocketsAvailable()) {
        err << kNetworkStartFailedText << '\n';
        return kBatchNoNetworking;
    }
    out << UpdateStatusText(kUpdateStarted, {}) << std::endl;
    std::string last = UpdateStatusText(kUpdateStarted, {});
    UpdateReport report = RunUpdate(
        programDirectory,
        [&](int code, const std::string& file) {
            // A big file reports after every kilobyte; print a line only when the text changes.
            std::string text = UpdateStatusText(code, file);
            if (text == last) return;
            last = text;
            out << text << std::endl;
        },
        options);
    for (const std::string& name : report.skipped) err << "未写入文件：" << name << '\n';
    return BatchExitCode(report.outcome);
}

}  // namespace qelt
