#pragma once

// Qt and the image libraries beneath it (libpng's "known incorrect sRGB profile") warn on stderr without
// saying which file they mean. Once routed, their warnings name the item the thread is working on.

#include <string>

namespace plumwick {

// Installs the handler: "plumwick: <item>: <message>" on stderr, control characters escaped. Idempotent.
void RouteLibraryWarnings();

// Names the item (a file, an icon) of this thread's library warnings while it lives; scopes nest.
class TWarningContext {
public:
    explicit TWarningContext(std::string item);
    ~TWarningContext();
    TWarningContext(const TWarningContext&) = delete;
    TWarningContext& operator=(const TWarningContext&) = delete;

private:
    std::string FPrevious;
};

}  // namespace plumwick
