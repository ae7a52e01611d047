#include "platform/GuiSession.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <stdexcept>

namespace plumwick {

struct TGuiSession::Impl {
    // Qt keeps references to argc and argv for the application's lifetime.
    int Argc = 1;
    char Name[9] = "plumwick";
    char* Argv[2] = {Name, nullptr};
    std::unique_ptr<QGuiApplication> Application;
};

namespace {

void RefuseNonGuiApplication()
{
    if (QCoreApplication::instance() && !HasGuiApplication())
        throw std::logic_error("a non-GUI application object already runs; fonts cannot be used");
}

void UseOffscreenWithoutChoice()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
}

}  // namespace

TGuiSession::TGuiSession() : FImpl(std::make_unique<Impl>())
{
    RefuseNonGuiApplication();
    if (QCoreApplication::instance()) return;
    UseOffscreenWithoutChoice();
    FImpl->Application = std::make_unique<QGuiApplication>(FImpl->Argc, FImpl->Argv);
}

TGuiSession::TGuiSession(int& argc, char** argv) : FImpl(std::make_unique<Impl>())
{
    RefuseNonGuiApplication();
    if (QCoreApplication::instance()) return;
    UseOffscreenWithoutChoice();
    FImpl->Application = std::make_unique<QGuiApplication>(argc, argv);
}

TGuiSession::~TGuiSession() = default;

bool HasGuiApplication()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

}  // namespace plumwick
