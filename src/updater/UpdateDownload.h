#pragma once
/// The download itself, free of any user interface: read the server list from config.ini,
/// connect to the first server that answers, send "update:|END" and store every file the
/// server sends until it closes the connection. Database files (".db") go to "his/"
/// (created when needed), everything else to the program directory.
///
/// Progress goes to a callback, on the downloading thread: 0 once connected, after every
/// piece of at most 1024 bytes the value received x 100 / size capped at 99, and one final
/// code: 100 (done), -1 (no server connected) or -2 (transfer broken off); see
/// UpdateStatus.h. A stop request ends the download without a final code.
///
/// Files with an unsafe name, a target that cannot be written, or content that cannot be
/// stored are skipped: their content is still read, so the next header is found at its
/// place. A file whose content is cut off, or whose size is beyond `maxFileSize`, ends the
/// transfer; a file already in place is never replaced by a partial one.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/ServerList.h"

namespace qelt {

class CUpDateSocket;

/// (code, current file name in UTF-8).
using UpdateProgress = std::function<void(int code, const std::string& fileName)>;

struct UpdateOptions {
    std::chrono::milliseconds connectTimeout{10'000};
    /// Silence from the server longer than this ends the transfer as broken.
    std::chrono::milliseconds idleTimeout{60'000};
    /// Sizes beyond this are not believed (2 GiB).
    std::uint64_t maxFileSize = std::uint64_t(1) << 31;
    /// When it turns true the download stops soon (the user closed the dialog).
    const std::atomic<bool>* stop = nullptr;
};

enum class UpdateOutcome { Finished, NoServer, Interrupted, Stopped };

struct UpdateReport {
    UpdateOutcome outcome = UpdateOutcome::NoServer;
    std::string server;                ///< name of the server used
    std::vector<std::string> written;  ///< file names stored, in arrival order
    std::vector<std::string> skipped;  ///< file names refused or not writable
};

/// The whole download from the servers of "<programDirectory>config.ini".
UpdateReport RunUpdate(const std::string& programDirectory, const UpdateProgress& progress,
                       const UpdateOptions& options = {});

/// The same over an explicit server list, in order; the first that connects is the only
/// one used.
UpdateReport DownloadFromServers(const std::vector<ServerEntry>& servers, const std::string& programDirectory,
                                 const UpdateProgress& progress, const UpdateOptions& options = {});

/// Receives files from a connected socket after the request went out, until the server
/// closes. Posts per-file progress but neither 0 nor a final code.
UpdateReport ReceiveFiles(CUpDateSocket& socket, const std::string& programDirectory,
                          const UpdateProgress& progress, const UpdateOptions& options);

}  // namespace qelt
