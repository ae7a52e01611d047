#pragma once

#include <atomic>
#include <cstddef>
#include <stdexcept>
#include <string>

namespace plumwick {

// A failed request (no connection, unknown host, TLS, time-out, too many redirects); the message says
// what went wrong.
class EHttpError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The request was abandoned because the caller asked to stop.
class EHttpCancelled : public std::runtime_error {
public:
    EHttpCancelled() : std::runtime_error("The request was cancelled") {}
};

struct THttpOptions {
    long ConnectTimeoutMs = 60000;
    // Longest wait without a single byte of the reply arriving (rounded up to whole seconds).
    long ResponseTimeoutMs = 60000;
    // Longest time the whole transfer may take, however steadily bytes arrive; 0 for no limit.
    long TotalTimeoutMs = 300000;
    // A reply slower than this many bytes a second for ResponseTimeoutMs is given up (a server that trickles).
    long LowSpeedBytesPerSecond = 100;
    long MaxRedirects = 5;
    // Replies, raw or inflated, above this size are refused rather than buffered.
    std::size_t MaxBodySize = std::size_t{256} << 20;
    // Polled during the transfer; when it becomes true the request ends with EHttpCancelled.
    const std::atomic<bool>* Cancel = nullptr;
};

struct THttpResponse {
    long StatusCode = 0;
    std::string Body;  // already inflated when the server sent it deflate-encoded
};

// The browser identity the icon service expects.
inline constexpr const char* kHttpUserAgent =
    "Mozilla/5.0 (Windows NT 10.0; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/86.0.4240.198 "
    "Safari/537.36";

// A blocking GET of url (http or https), redirects followed. Blanks and control characters in url are
// percent-encoded; nothing else is. Throws EHttpError or EHttpCancelled.
THttpResponse HttpGet(const std::string& url, const THttpOptions& options = {});

}  // namespace plumwick
