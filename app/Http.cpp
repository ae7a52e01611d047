#include "app/Http.h"

#include "app/Inflate.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>

namespace plumwick {

namespace {

void InitCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct TCurlDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct TSlistDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

struct TTransfer {
    std::string Body;
    std::string ContentEncoding;  // of the last response only: headers restart with every redirect
    std::size_t MaxBodySize = 0;
    bool TooLarge = false;
    const std::atomic<bool>* Cancel = nullptr;
    bool Cancelled = false;
};

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user)
{
    auto* transfer = static_cast<TTransfer*>(user);
    const std::size_t bytes = size * count;
    if (transfer->Body.size() + bytes > transfer->MaxBodySize) {
        transfer->TooLarge = true;
        return 0;
    }
    transfer->Body.append(data, bytes);
    return bytes;
}

std::string Trimmed(std::string_view text)
{
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return std::string(text);
}

std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user)
{
    auto* transfer = static_cast<TTransfer*>(user);
    const std::size_t bytes = size * count;
    std::string_view line(data, bytes);
    if (line.starts_with("HTTP/")) {
        transfer->ContentEncoding.clear();
        return bytes;
    }
    const auto colon = line.find(':');
    if (colon == std::string_view::npos) return bytes;
    std::string name(line.substr(0, colon));
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    if (name == "content-encoding") {
        std::string value = Trimmed(line.substr(colon + 1));
        std::transform(value.begin(), value.end(), value.begin(), [](unsigned char c) { return std::tolower(c); });
        transfer->ContentEncoding = value;
    }
    return bytes;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    auto* transfer = static_cast<TTransfer*>(user);
    if (transfer->Cancel && transfer->Cancel->load()) {
        transfer->Cancelled = true;
        return 1;
    }
    return 0;
}

std::string Seconds(long milliseconds)
{
    std::string text = std::to_string(milliseconds / 1000);
    if (milliseconds % 1000 != 0) text += "." + std::to_string(milliseconds % 1000 / 100);
    return text + " s";
}

std::string SizeText(std::size_t bytes)
{
    return std::to_string(bytes >> 20) + " MiB";
}

// A request line cannot carry blanks or control characters, and libcurl refuses such a URL; they are
// percent-encoded so the server still receives the text as it was typed. Everything else passes as is.
std::string RequestableUrl(std::string_view url)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(url.size());
    for (const char c : url) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7F) {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

THttpResponse HttpGet(const std::string& url, const THttpOptions& options)
{
    InitCurlOnce();
    std::unique_ptr<CURL, TCurlDeleter> curl(curl_easy_init());
    if (!curl) throw EHttpError("Cannot start the HTTP client");

    TTransfer transfer;
    transfer.MaxBodySize = options.MaxBodySize;
    transfer.Cancel = options.Cancel;

    // The service gets exactly the headers a browser of the original tool sent: no Accept, and the
    // encoding offer with its leading blank. The body is inflated here, not by libcurl.
    curl_slist* headers = nullptr;
    headers = curl_slist_append(headers, "Accept:");
    headers = curl_slist_append(headers, "Accept-Encoding:  deflate");
    std::unique_ptr<curl_slist, TSlistDeleter> headerList(headers);

    char errorText[CURL_ERROR_SIZE] = {};
    CURL* handle = curl.get();
    const std::string requestUrl = RequestableUrl(url);
    curl_easy_setopt(handle, CURLOPT_URL, requestUrl.c_str());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_USERAGENT, kHttpUserAgent);
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headerList.get());
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, options.MaxRedirects);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, options.ConnectTimeoutMs);
    curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, std::max(0L, options.TotalTimeoutMs));
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, std::max(1L, options.LowSpeedBytesPerSecond));
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, std::max(1L, (options.ResponseTimeoutMs + 999) / 1000));
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, OnHeader);
    curl_easy_setopt(handle, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);

    const CURLcode code = curl_easy_perform(handle);
    if (transfer.Cancelled) throw EHttpCancelled();
    if (transfer.TooLarge) throw EHttpError("The reply is larger than " + SizeText(options.MaxBodySize));
    double connected = 0;
    curl_easy_getinfo(handle, CURLINFO_CONNECT_TIME, &connected);
    if (code == CURLE_OPERATION_TIMEDOUT && connected > 0) {
        // Which limit ended it, in words; libcurl's own text names only milliseconds and bytes.
        double seconds = 0;
        curl_off_t received = 0;
        curl_easy_getinfo(handle, CURLINFO_TOTAL_TIME, &seconds);
        curl_easy_getinfo(handle, CURLINFO_SIZE_DOWNLOAD_T, &received);
        const bool total = options.TotalTimeoutMs > 0 && seconds * 1000 >= options.TotalTimeoutMs - 50;
        // The overall limit is the caller's word on how long a download may take: trying again would only
        // spend it once more. A stalled server may answer the next time.
        if (total)
            throw EHttpError("The download took longer than its limit of " + Seconds(options.TotalTimeoutMs) + " (" +
                             std::to_string(received) + " bytes received) and was given up");
        throw EHttpError("The server sent less than " + std::to_string(std::max(1L, options.LowSpeedBytesPerSecond)) +
                             " bytes a second for " + Seconds(options.ResponseTimeoutMs) + " (" +
                             std::to_string(received) + " bytes received); the download was given up",
                         true);
    }
    if (code != CURLE_OK) {
        const bool transient = code == CURLE_OPERATION_TIMEDOUT || code == CURLE_RECV_ERROR ||
                               code == CURLE_SEND_ERROR || code == CURLE_GOT_NOTHING || code == CURLE_PARTIAL_FILE;
        throw EHttpError(errorText[0] != '\0' ? std::string(errorText) : std::string(curl_easy_strerror(code)),
                         transient);
    }

    THttpResponse response;
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &response.StatusCode);
    if (transfer.ContentEncoding == "deflate") {
        try {
            response.Body = InflateDeflateBody(transfer.Body, options.MaxBodySize);
        } catch (const std::runtime_error& error) {
            // Only a successful reply is read; a broken error page must not turn into an error of its own.
            if (response.StatusCode == 200) throw EHttpError(error.what());
        }
    } else
        response.Body = std::move(transfer.Body);
    return response;
}

THttpResponse HttpGetRetrying(const std::string& url, const THttpOptions& options)
{
    long delayMs = options.RetryDelayMs;
    for (int attempt = 0;; ++attempt) {
        const bool last = attempt >= options.Retries;
        try {
            THttpResponse response = HttpGet(url, options);
            if (last || response.StatusCode < 500 || response.StatusCode > 599) return response;
        } catch (const EHttpError& error) {
            if (last || !error.Transient()) throw;
        }
        // The wait is cut into short steps so a stop is not held up by it.
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(delayMs);
        while (std::chrono::steady_clock::now() < until) {
            if (options.Cancel && options.Cancel->load()) throw EHttpCancelled();
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min(delayMs, 20L)));
        }
        delayMs *= 2;
    }
}

}  // namespace plumwick
