#pragma once
/// Seams between the connection and the market data store, so each is tested without the
/// other.
#include <string>
#include <string_view>

namespace qelt {

/// Receives every complete incoming message (UTF-8, without its terminator) on the receive
/// thread. The store's Dispatch implements it.
class MessageSink {
  public:
    virtual ~MessageSink() = default;
    virtual void Dispatch(std::string_view message) = 0;
};

/// Sends one message (UTF-8, without its terminator) to the server.
class MessageSender {
  public:
    virtual ~MessageSender() = default;
    /// A non-empty message goes out whole and is followed by the pacing pause; an empty one
    /// runs one polling pass.
    virtual void Send(const std::string& message) = 0;
};

}  // namespace qelt
