#pragma once

#include "app/Dialogs.h"

class QWidget;

namespace plumwick {

// The desktop's own message boxes, folder chooser, file browser and web browser.
class TQtDialogs : public IDialogs {
public:
    // Boxes are owned by the window set here (none until it exists).
    void SetOwner(QWidget* owner) { FOwner = owner; }

    TMessageResult ShowMessage(const std::string& text, const std::string& caption, TMessageIcon icon,
                               TMessageButtons buttons) override;
    void OpenFolder(const std::string& path) override;
    void OpenUrl(const std::string& url) override;
    std::string ChooseFolder(const std::string& title) override;

private:
    QWidget* FOwner = nullptr;
};

}  // namespace plumwick
