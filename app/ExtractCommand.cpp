#include "app/Subcommands.h"

#include "app/CollectionId.h"
#include "app/ExportOptions.h"
#include "app/ExtractionJob.h"
#include "app/FileNames.h"
#include "app/ProgressLine.h"
#include "app/SizeOption.h"
#include "platform/LibraryWarnings.h"
#include "svg/core/SVGDocument.h"

#include <CLI/CLI.hpp>

#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>

namespace plumwick {

namespace {

struct TExtractOptions {
    std::string Cid;
    std::string ReplyFile;
    std::string OutputFolder;
    std::vector<std::string> Sizes;
    std::string Format = "png";
    std::string IcoSizes;
    std::string ApiBase;
    TLookOptions Look;
    bool Quiet = false;
    int Jobs = 0;
    double TimeoutSeconds = 300;
};

TImageFormat FormatFromName(const std::string& format)
{
    return format == "bmp" ? TImageFormat::Bmp : format == "ico" ? TImageFormat::Ico : TImageFormat::Png;
}

void PrintError(const std::string& text)
{
    std::fprintf(stderr, "plumwick: %s\n", text.c_str());
}

// The progress line on a terminal; one line per icon when the output goes to a file or a pipe.
class TProgressOutput {
public:
    explicit TProgressOutput(bool quiet) : FQuiet(quiet) {}

    void IconDone(int index, int count, const std::string& name)
    {
        if (FQuiet) return;
        if (FLine.Visible()) {
            FLine.Update(index + 1, count);
            return;
        }
        std::printf("%d/%d %s\n", index + 1, count, PrintableText(name).c_str());
    }

    void Interrupted() { FLine.Interrupted(); }

private:
    bool FQuiet;
    TProgressLine FLine{stdout};
};

// The same bound as a downloaded reply.
std::optional<std::string> ReadReplyFile(const std::string& path, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + PrintableText(path) + ": " + std::strerror(errno);
        return std::nullopt;
    }
    const std::size_t limit = THttpOptions{}.MaxBodySize;
    std::string text;
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        text.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (text.size() > limit) {
            error = path + " is larger than " + std::to_string(limit >> 20) + " MiB";
            return std::nullopt;
        }
    }
    if (in.bad()) {
        error = "cannot read " + PrintableText(path) + ": " + std::strerror(errno);
        return std::nullopt;
    }
    return text;
}

int RunExtract(const TExtractOptions& options)
{
    const auto hint = options.ReplyFile.empty() ? CheckJobInputs(options.Cid, options.OutputFolder)
                                                : CheckOutputFolder(options.OutputFolder);
    if (hint) {
        PrintError(*hint == TInputProblem::EmptyCid
                       ? std::string("the collection id is empty")
                       : "the output folder " + PrintableText(options.OutputFolder) + " does not exist");
        return 1;
    }

    TJobRequest request;
    // One size: it and its half, as the window does. Several: each in its own folder, nothing else.
    for (const std::string& text : options.Sizes) {
        const auto size = ParseSize(text);
        const TIconSize parsed{size->first, size->second};
        auto& sizes = request.Settings.Sizes;
        if (std::none_of(sizes.begin(), sizes.end(), [&](const TIconSize& seen) {
                return seen.Width == parsed.Width && seen.Height == parsed.Height;
            }))
            sizes.push_back(parsed);
    }
    if (request.Settings.Sizes.size() == 1) {
        request.Settings.Width = request.Settings.Sizes[0].Width;
        request.Settings.Height = request.Settings.Sizes[0].Height;
        request.Settings.Sizes.clear();
    }
    request.Settings.Format = FormatFromName(options.Format);
    if (!options.IcoSizes.empty()) request.Settings.IcoSizes = *ParseIconSizes(options.IcoSizes);
    request.Cid = CollectionIdFromText(options.Cid);
    request.OutputFolder = options.OutputFolder;
    request.ApiBase = options.ApiBase.empty() ? DefaultApiBase() : options.ApiBase;
    request.Http.TotalTimeoutMs = static_cast<long>(options.TimeoutSeconds * 1000);
    if (!options.ReplyFile.empty()) {
        std::string error;
        request.ReplyText = ReadReplyFile(options.ReplyFile, error);
        if (!request.ReplyText) {
            PrintError(error);
            return 1;
        }
    }

    RouteLibraryWarnings();

    TProgressOutput progress(options.Quiet);
    TJobCallbacks callbacks;
    if (!options.Look.Color.empty() || options.Look.Grayscale || !options.Look.Background.empty() || options.Look.Fit) {
        const TLookOptions look = options.Look;
        // The reply came from the network: its images are read only from data: URIs, as by the default writers.
        const auto load = [look](TSVG& document, std::string_view svgText) {
            document.SetImageSources(TImageSources{TImageSources::TKind::DataOnly, {}});
            look.PrepareDocument(document);
            document.LoadFromText(svgText);
        };
        callbacks.Render = [look, load](std::string_view svgText, const std::string& fileName, int width, int height,
                                        bool asIcon, std::vector<std::string>& warnings) {
            TSVG document;
            load(document, svgText);
            warnings = document.GetWarnings();
            if (asIcon)
                SaveDocumentAsIcon(document, fileName, width, height, look.Export());
            else
                SaveDocumentAsImage(document, fileName, width, height, look.Export());
        };
        callbacks.RenderIconSet = [look, load](std::string_view svgText, const std::string& fileName,
                                               std::span<const TIconSize> sizes, std::vector<std::string>& warnings) {
            TSVG document;
            load(document, svgText);
            warnings = document.GetWarnings();
            SaveDocumentAsIconSet(document, fileName, sizes, look.Export());
        };
    }
    callbacks.Jobs = options.Jobs;
    callbacks.IconDone = [&](int index, int count, const std::string& name) { progress.IconDone(index, count, name); };
    callbacks.IconReported = [&](const TIconReport& report) {
        progress.Interrupted();
        const std::string icon = "icon " + std::to_string(report.Index) + " \"" + PrintableText(report.Name) + "\": ";
        for (const std::string& note : report.Notes) PrintError(icon + "warning: " + PrintableText(note));
        for (const std::string& failure : report.Failures) PrintError(icon + PrintableText(failure));
    };

    const TJobResult result = RunExtraction(request, callbacks);
    if (result.End != TJobEnd::Completed) progress.Interrupted();
    switch (result.End) {
        case TJobEnd::Completed:
            if (!result.Failed.empty()) {
                PrintError(std::to_string(result.Failed.size()) + " of " + std::to_string(result.Count) +
                           " icons failed; their files are missing in " + PrintableText(options.OutputFolder));
                return 1;
            }
            {
                std::string folders = PrintableText(result.SvgFolder);
                for (std::size_t i = 0; i < result.ImageFolders.size(); ++i)
                    folders.append(i + 1 == result.ImageFolders.size() ? " and " : ", ")
                        .append(PrintableText(result.ImageFolders[i]));
                std::printf("Extracted %d icons into %s\n", result.Count, folders.c_str());
            }
            return 0;
        case TJobEnd::Problem:
            PrintError(PrintableText(result.Text));
            return 1;
        case TJobEnd::Error:
            PrintError(PrintableText(WithFullStop(result.Text)));
            return 1;
        case TJobEnd::Stopped:
            PrintError(result.Text.empty() ? std::string("stopped") : result.Text);
            return 1;
    }
    return 1;
}

}  // namespace

SubcommandAction AddExtractCommand(CLI::App& parser)
{
    auto options = std::make_shared<TExtractOptions>();
    CLI::App* command = parser.add_subcommand(
        "extract", "Downloads an icon collection (or re-reads a saved reply) and writes its SVG files and images");
    auto* cid =
        command->add_option("--cid", options->Cid,
                            "the collection id, sent as typed, or its page address (the id is taken from cid= or id=)");
    auto* from =
        command->add_option("--from", options->ReplyFile, "a saved reply (collection.json) instead of the download")
            ->check(CLI::ExistingFile);
    command->add_option("-o,--output", options->OutputFolder, "the output folder; it must exist")->required();
    AddImageOptions(*command, options->Sizes, options->Format, options->IcoSizes,
                    "the full size, WxH with each side 16..400 (default 96x96), written with its half; given "
                    "several times, one folder DIR/WxH per size and no halves",
                    "write DIR/ico/<name>-<index>.ico holding every listed size, e.g. 16,32,48,256, instead "
                    "of the two sized folders");
    AddLookOptions(*command, options->Look);
    command->add_flag("-q,--quiet", options->Quiet, "no progress output");
    command->add_option("--api-base", options->ApiBase,
                        "the service's address (default $PLUMWICK_API_BASE or https://www.iconfont.cn)");
    command->add_option("-j,--jobs", options->Jobs, "icons rendered at once (default: the number of cores)")
        ->check(CLI::Range(1, 1024));
    command
        ->add_option("--timeout", options->TimeoutSeconds,
                     "longest time the download may take, in seconds (default 300)")
        ->check(CLI::Range(1.0, 86400.0));
    command->callback([cid, from] {
        if (cid->count() == 0 && from->count() == 0) throw CLI::RequiredError("--cid or --from");
        // Checked here rather than declared on the options, which would crowd their lines in --help.
        if (cid->count() > 0 && from->count() > 0)
            throw CLI::ValidationError("--cid and --from", "give one of them, not both");
    });
    return [options] { return RunExtract(*options); };
}

}  // namespace plumwick
