#include "LoopbackServer.h"

#include "app/Http.h"
#include "app/Inflate.h"

#include <gtest/gtest.h>

#include <string>

namespace plumwick {
namespace {

using test::Deflate;

TEST(Inflate, BothFormsAndBrokenData)
{
    const std::string text = R"({"data":{"icons":[]}} )" + std::string(5000, 'x');
    const std::string wrapped = Deflate(text, true);
    const std::string raw = Deflate(text, false);
    const struct {
        const char* Name;
        std::string Compressed;
        std::size_t MaxSize;
        const char* Result;  // the inflated text, or null when it throws
        const char* Message;
    } cases[] = {
        {"zlib-wrapped", wrapped, 1 << 20, text.c_str(), ""},
        {"raw", raw, 1 << 20, text.c_str(), ""},
        {"empty", "", 1 << 20, "", ""},
        {"exactly the limit", raw, text.size(), text.c_str(), ""},
        {"one byte over the limit", raw, text.size() - 1, nullptr, "once inflated"},
        {"not deflate", "plain text body", 1 << 20, nullptr, "corrupt"},
        {"cut short", wrapped.substr(0, wrapped.size() / 2), 1 << 20, nullptr, "corrupt"},
        {"raw cut short", raw.substr(0, raw.size() / 2), 1 << 20, nullptr, "corrupt"},
        {"wrapped with a wrong checksum", wrapped.substr(0, wrapped.size() - 1) + "!", 1 << 20, nullptr, "corrupt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        if (c.Result) {
            EXPECT_EQ(InflateDeflateBody(c.Compressed, c.MaxSize), c.Result);
            continue;
        }
        try {
            InflateDeflateBody(c.Compressed, c.MaxSize);
            ADD_FAILURE() << "no error";
        } catch (const std::runtime_error& error) {
            EXPECT_NE(std::string(error.what()).find(c.Message), std::string::npos) << error.what();
        }
    }
}

TEST(Http, RepliesAboveTheLimitAreRefused)
{
    test::TLoopbackServer server;
    const std::string body(3 << 20, 'j');
    server.Set("big", {200, body});
    server.Set("big-deflated", {200, body, test::TEncoding::DeflateZlib});
    const std::string url = server.Base() + "/api/collection/detail.json?id=";
    THttpOptions options;
    options.MaxBodySize = 2 << 20;
    for (const char* id : {"big", "big-deflated"}) {
        SCOPED_TRACE(id);
        try {
            HttpGet(url + id, options);
            ADD_FAILURE() << "no error";
        } catch (const EHttpError& error) {
            EXPECT_NE(std::string(error.what()).find("larger than 2 MiB"), std::string::npos) << error.what();
        }
    }
    options.MaxBodySize = 4 << 20;
    EXPECT_EQ(HttpGet(url + "big-deflated", options).Body, body);
}

}  // namespace
}  // namespace plumwick
