#pragma once

// A collection service on the loopback interface. Each collection id names a canned reply; the server
// records what the client sent.

#include <httplib.h>
#include <zlib.h>

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

namespace plumwick::test {

enum class TEncoding { Identity, DeflateZlib, DeflateRaw, DeflateCorrupt };

struct TCannedReply {
    int Status = 200;
    std::string Body;
    TEncoding Encoding = TEncoding::Identity;
};

inline std::string Deflate(const std::string& data, bool zlibWrapped)
{
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, zlibWrapped ? MAX_WBITS : -MAX_WBITS, 8,
                     Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2");
    std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

class TLoopbackServer {
public:
    // Ids with a meaning of their own:
    //   "hang"           accepts the request and never answers
    //   "trickle"        answers 200 and then sends one byte of its reply every 100 ms
    //   "redirects-N"    N redirects (N >= 1), ending at the reply of id "plain"
    TLoopbackServer()
    {
        FServer.Get("/api/collection/detail.json",
                    [this](const httplib::Request& request, httplib::Response& response) { Serve(request, response); });
        FServer.Get(R"(/hop/(\d+))", [](const httplib::Request& request, httplib::Response& response) {
            const int left = std::stoi(request.matches[1]);
            response.set_redirect(left > 0 ? "/hop/" + std::to_string(left - 1)
                                           : std::string("/api/collection/detail.json?id=plain"));
        });
        FPort = FServer.bind_to_any_port("127.0.0.1");
        if (FPort <= 0) throw std::runtime_error("cannot bind a loopback port");
        FThread = std::thread([this] { FServer.listen_after_bind(); });
        while (!FServer.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    ~TLoopbackServer()
    {
        FRelease = true;
        FServer.stop();
        FThread.join();
    }

    std::string Base() const { return "http://127.0.0.1:" + std::to_string(FPort); }

    void Set(const std::string& id, TCannedReply reply)
    {
        std::lock_guard lock(FMutex);
        FReplies[id] = std::move(reply);
    }

    struct TSeen {
        int Requests = 0;
        std::string Id;
        std::string UserAgent;
        std::string AcceptEncoding;
        bool HasAccept = false;
    };
    TSeen Seen() const
    {
        std::lock_guard lock(FMutex);
        return FSeen;
    }

private:
    void Serve(const httplib::Request& request, httplib::Response& response)
    {
        const std::string id = request.get_param_value("id");
        TCannedReply reply;
        {
            std::lock_guard lock(FMutex);
            ++FSeen.Requests;
            FSeen.Id = id;
            FSeen.UserAgent = request.get_header_value("User-Agent");
            FSeen.AcceptEncoding = request.get_header_value("Accept-Encoding");
            FSeen.HasAccept = request.has_header("Accept");
            const auto found = FReplies.find(id);
            if (found != FReplies.end())
                reply = found->second;
            else
                reply.Status = 404;
        }
        if (id == "hang") {
            while (!FRelease) std::this_thread::sleep_for(std::chrono::milliseconds(5));
            return;
        }
        if (id == "trickle") {
            const std::string body = reply.Body;
            response.set_chunked_content_provider("application/json",
                                                  [this, body](std::size_t offset, httplib::DataSink& sink) {
                                                      if (FRelease || offset >= body.size()) {
                                                          sink.done();
                                                          return true;
                                                      }
                                                      std::this_thread::sleep_for(std::chrono::milliseconds(100));
                                                      return sink.write(body.data() + offset, 1);
                                                  });
            return;
        }
        if (id.starts_with("redirects-")) {
            const int count = std::stoi(id.substr(10));
            response.set_redirect(count > 1 ? "/hop/" + std::to_string(count - 2)
                                            : std::string("/api/collection/detail.json?id=plain"));
            return;
        }
        response.status = reply.Status;
        std::string body = reply.Body;
        switch (reply.Encoding) {
            case TEncoding::Identity:
                break;
            case TEncoding::DeflateZlib:
                body = Deflate(body, true);
                break;
            case TEncoding::DeflateRaw:
                body = Deflate(body, false);
                break;
            case TEncoding::DeflateCorrupt:
                body = "this is not deflate data";
                break;
        }
        if (reply.Encoding != TEncoding::Identity) response.set_header("Content-Encoding", "deflate");
        response.set_content(body, "application/json");
    }

    httplib::Server FServer;
    std::thread FThread;
    int FPort = 0;
    std::atomic<bool> FRelease{false};
    mutable std::mutex FMutex;
    std::map<std::string, TCannedReply> FReplies;
    TSeen FSeen;
};

}  // namespace plumwick::test
