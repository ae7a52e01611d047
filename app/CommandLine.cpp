#include "app/CommandLine.h"

#include "app/Subcommands.h"
#include "platform/GuiSession.h"

#include <CLI/CLI.hpp>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <vector>

namespace plumwick {

namespace {

// Qt's notes about its own set-up (a missing runtime folder on a headless machine) mean nothing to the
// person running it; real warnings still reach stderr.
void QuietSetupMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtDebugMsg || type == QtInfoMsg || message.startsWith(QLatin1String("QStandardPaths:"))) return;
    std::fprintf(stderr, "%s\n", qPrintable(message));
}

}  // namespace

int RunCommandLine(int argc, char** argv)
{
    qInstallMessageHandler(QuietSetupMessages);
    if (argc <= 1) return RunWindow(argc, argv);

    CLI::App parser{"Plumwick: turns an IconFont icon collection into SVG files and images", "plumwick"};
    parser.set_version_flag("--version", "plumwick " PLUMWICK_VERSION);
    parser.require_subcommand(1);

    struct Entry {
        CLI::App* command;
        SubcommandAction action;
    };
    std::vector<Entry> entries;
    auto add = [&](SubcommandAction (*registerCommand)(CLI::App&)) {
        auto before = parser.get_subcommands({});
        SubcommandAction action = registerCommand(parser);
        auto after = parser.get_subcommands({});
        if (action && after.size() > before.size()) entries.push_back({after.back(), std::move(action)});
    };
    add(AddRenderCommand);
    add(AddExtractCommand);

    try {
        parser.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        if (parser.exit(error) == 0) return 0;  // --help, --version
        // extract promises 1 for every failure, usage included; everything else follows the usual 2.
        for (auto& entry : entries)
            if (entry.command->parsed() && entry.command->get_name() == "extract") return 1;
        return 2;
    }
    // Painting needs the application object, made on this thread before any worker starts; no window is
    // ever shown, so no display is needed either.
    const TGuiSession session;
    for (auto& entry : entries)
        if (entry.command->parsed()) return entry.action();
    return 2;
}

}  // namespace plumwick
