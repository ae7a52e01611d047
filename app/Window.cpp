#include "app/Subcommands.h"

#include "app/DialogsQt.h"
#include "app/MainWindow.h"

#include <QApplication>

// The style sheet sits in this static library; its registration must be pulled in by name.
static void InitResources()
{
    Q_INIT_RESOURCE(plumwick);
}

namespace plumwick {

int RunWindow(int argc, char** argv)
{
    QApplication application(argc, argv);
    application.setApplicationName(kApplicationTitle);
    InitResources();
    application.setWindowIcon(ProgramIcon());
    application.setFont(WindowFont());

    TQtDialogs dialogs;
    ApplyTheme(application, kThemeResource, dialogs);

    TWindowOptions options;
    options.ApiBase = DefaultApiBase();
    TfrmSvg window(dialogs, options);
    dialogs.SetOwner(&window);
    window.show();
    return application.exec();
}

}  // namespace plumwick
