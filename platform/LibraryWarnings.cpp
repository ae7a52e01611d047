#include "platform/LibraryWarnings.h"

#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace plumwick {

namespace {

thread_local std::string CurrentItem;

std::string Escaped(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02x", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    return out;
}

void Handle(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtDebugMsg || type == QtInfoMsg) return;
    const std::string item = CurrentItem.empty() ? std::string("Qt") : CurrentItem;
    std::fprintf(stderr, "plumwick: %s: warning: %s\n", Escaped(item).c_str(), Escaped(message.toStdString()).c_str());
    if (type == QtFatalMsg) std::abort();
}

}  // namespace

void RouteLibraryWarnings()
{
    static std::once_flag once;
    std::call_once(once, [] { qInstallMessageHandler(Handle); });
}

TWarningContext::TWarningContext(std::string item) : FPrevious(std::move(CurrentItem))
{
    CurrentItem = std::move(item);
}

TWarningContext::~TWarningContext()
{
    CurrentItem = std::move(FPrevious);
}

}  // namespace plumwick
