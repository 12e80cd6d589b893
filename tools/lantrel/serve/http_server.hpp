// The HTTP front of the API over cpp-httplib: connection threads, keep-alive, limits, and a
// clean stop on SIGINT or SIGTERM once the requests in flight are answered.
#pragma once

#include <functional>
#include <string>

#include "serve/api.hpp"

namespace lantrel::cli::serve {

/// Connection threads when --threads is not given. cpp-httplib holds one thread per open
/// connection for as long as the connection stays open, so idle keep-alive connections (a
/// browser opens six) must not be able to take them all: threads are made as connections come,
/// up to this many, and an idle connection is closed after kKeepAliveSeconds.
inline constexpr int kDefaultThreads = 256;
inline constexpr int kKeepAliveSeconds = 5;

/// Binds host:port (port 0: any free port), calls ready with the URL served, and answers
/// requests until SIGINT or SIGTERM. Returns false when the address cannot be bound.
bool Serve(const Api& api, const std::function<void(const std::string& url)>& ready);

}  // namespace lantrel::cli::serve
