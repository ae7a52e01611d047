#pragma once

#include <string>

namespace plumwick {

enum class TMessageIcon { Information, Error, Warning };
enum class TMessageButtons { Ok, YesNo };
enum class TMessageResult { Ok, Yes, No };

// Everything the window asks of the desktop, so tests can answer it without a person or a browser.
class IDialogs {
public:
    virtual ~IDialogs() = default;
    virtual TMessageResult ShowMessage(const std::string& text, const std::string& caption, TMessageIcon icon,
                                       TMessageButtons buttons) = 0;
    // Shows a folder in the desktop's file browser.
    virtual void OpenFolder(const std::string& path) = 0;
    // Opens a web address in the user's browser.
    virtual void OpenUrl(const std::string& url) = 0;
    // Asks for a folder; an empty result means cancelled.
    virtual std::string ChooseFolder(const std::string& title) = 0;
};

}  // namespace plumwick
