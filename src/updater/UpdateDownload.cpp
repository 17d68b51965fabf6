#include "updater/UpdateDownload.h"

#include <algorithm>

#include "common/Address.h"
#include "common/Files.h"
#include "common/Gbk.h"
#include "common/Numbers.h"
#include "updater/CUpDateSocket.h"
#include "updater/UpdateFileHeader.h"
#include "updater/UpdateFileWriter.h"
#include "updater/UpdateStatus.h"
#include "updater/UpdateTarget.h"

namespace qelt {
namespace {

constexpr size_t kPieceSize = 1024;
constexpr std::string_view kUpdateRequest = "update:|END";

UpdateOutcome BrokenOff(CUpDateSocket::ReadEnd end) {
    return end == CUpDateSocket::ReadEnd::Stopped ? UpdateOutcome::Stopped : UpdateOutcome::Interrupted;
}

/// Opens the writer for a header's target, or nothing when the name is refused.
std::optional<std::string> PrepareTarget(const std::string& programDirectory, const UpdateFileHeader& header,
                                         const std::string& name) {
    if (!header.nameTerminated) return std::nullopt;
    std::optional<std::string> target = UpdateTargetPath(programDirectory, name);
    if (target && IsHistoryFile(name)) EnsureDirectory(programDirectory + "his");
    return target;
}

/// Reads one file's content into `writer` (which may be discarding). False when the stream
/// ended before the content did.
bool ReceiveContent(CUpDateSocket& socket, std::uint64_t size, const std::string& name,
                    UpdateFileWriter* writer, const UpdateProgress& progress, CUpDateSocket::ReadEnd& end) {
    char piece[kPieceSize];
    std::uint64_t total = 0;
    while (total < size) {
        size_t want = static_cast<size_t>(std::min<std::uint64_t>(kPieceSize, size - total));
        if (socket.ReadExact(piece, want, end) != want) return false;
        if (writer) writer->Write({piece, want});
        total += want;
        progress(static_cast<int>(std::min<std::uint64_t>(99, total * 100 / size)), name);
    }
    return true;
}

}  // namespace

UpdateReport ReceiveFiles(CUpDateSocket& socket, const std::string& programDirectory,
                          const UpdateProgress& progress, const UpdateOptions& options) {
    UpdateReport report;
    unsigned char raw[kUpdateHeaderSize];
    for (;;) {
        CUpDateSocket::ReadEnd end;
        size_t got = socket.ReadExact(reinterpret_cast<char*>(raw), sizeof raw, end);
        if (got == 0 && end == CUpDateSocket::ReadEnd::Closed) {
            report.outcome = UpdateOutcome::Finished;
            return report;
        }
        if (got < sizeof raw) {
            report.outcome = BrokenOff(end);
            return report;
        }
        UpdateFileHeader header = ParseUpdateFileHeader(raw);
        std::string name = GbkToUtf8(header.name);
        if (header.sizeHigh != 0 || header.sizeLow > options.maxFileSize) {
            // The stream cannot be trusted past a size nobody would send.
            report.skipped.push_back(name);
            report.outcome = UpdateOutcome::Interrupted;
            return report;
        }
        std::optional<std::string> target = PrepareTarget(programDirectory, header, name);
        std::optional<UpdateFileWriter> writer;
        if (target) writer.emplace(*target);
        if (!ReceiveContent(socket, header.sizeLow, name, writer ? &*writer : nullptr, progress, end)) {
            report.skipped.push_back(name);
            report.outcome = BrokenOff(end);
            return report;
        }
        if (writer && writer->Commit(header)) {
            report.written.push_back(name);
        } else {
            report.skipped.push_back(name);
        }
    }
}

UpdateReport DownloadFromServers(const std::vector<ServerEntry>& servers, const std::string& programDirectory,
                                 const UpdateProgress& progress, const UpdateOptions& options) {
    for (const ServerEntry& server : servers) {
        if (options.stop && options.stop->load()) return {UpdateOutcome::Stopped, {}, {}, {}};
        std::string address = ResolveServerAddress(server.address);
        if (address.empty()) continue;
        CUpDateSocket socket(options.stop, options.idleTimeout);
        if (!socket.Connect(address, LeadingInt(server.port), options.connectTimeout)) continue;
        progress(kUpdateStarted, {});
        UpdateReport report;
        if (socket.SendAll(kUpdateRequest)) {
            report = ReceiveFiles(socket, programDirectory, progress, options);
        } else {
            report.outcome = UpdateOutcome::Interrupted;
        }
        report.server = server.name;
        socket.Close();
        if (report.outcome == UpdateOutcome::Finished) progress(kUpdateFinished, {});
        if (report.outcome == UpdateOutcome::Interrupted) progress(kUpdateInterrupted, {});
        return report;
    }
    if (options.stop && options.stop->load()) return {UpdateOutcome::Stopped, {}, {}, {}};
    progress(kUpdateFailed, {});
    return {};
}

UpdateReport RunUpdate(const std::string& programDirectory, const UpdateProgress& progress,
                       const UpdateOptions& options) {
    return DownloadFromServers(ReadServerList(programDirectory), programDirectory, progress, options);
}

}  // namespace qelt
