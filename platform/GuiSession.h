// The Qt application object that fonts and text painting need. The program's entry points hold one
// for as long as they render; the library only checks that it exists and never makes one itself.
#pragma once

#include <memory>

namespace plumwick {

class TGuiSession {
public:
    // Creates a GUI application object on the calling thread, with the "offscreen" platform when
    // QT_QPA_PLATFORM is unset (no display is needed to paint). When a GUI application already runs
    // (a window's), it is used as it is. Throws std::logic_error when a non-GUI application runs.
    TGuiSession();
    TGuiSession(int& argc, char** argv);
    ~TGuiSession();
    TGuiSession(const TGuiSession&) = delete;
    TGuiSession& operator=(const TGuiSession&) = delete;

private:
    struct Impl;
    std::unique_ptr<Impl> FImpl;
};

// Whether a GUI application object exists, so that fonts can be used.
bool HasGuiApplication();

// The error text for code that paints without one.
inline constexpr const char* kNoGuiApplication =
    "painting needs a GUI application object: the program's entry point must hold a TGuiSession";

}  // namespace plumwick
