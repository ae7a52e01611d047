#include "app/Subcommands.h"

#include "app/AtomicFile.h"
#include "app/ExportOptions.h"
#include "app/ExtractionJob.h"
#include "app/FileNames.h"
#include "app/ProgressLine.h"
#include "app/RasterExport.h"
#include "app/SizeOption.h"
#include "app/WorkerPool.h"
#include "platform/LibraryWarnings.h"
#include "svg/core/SVGDocument.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <vector>

namespace plumwick {

namespace {

namespace fs = std::filesystem;

struct TRenderOptions {
    std::vector<std::string> Inputs;
    std::string OutputFolder;
    std::vector<std::string> Sizes;
    std::string Format = "png";
    std::string IcoSizes;
    TLookOptions Look;
    bool Quiet = false;
    int Jobs = 0;
};

// The SVG files are small; a file far bigger than any icon is refused before it is read whole.
constexpr std::uintmax_t kMaxSvgFileBytes = 8u * 1024 * 1024;

std::string ReadSvgFile(const std::string& path)
{
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (error) throw std::runtime_error(error.message());
    if (!fs::is_regular_file(status)) throw std::runtime_error("not a regular file");
    if (fs::file_size(path, error) > kMaxSvgFileBytes)
        throw std::runtime_error("file too large for an icon (over 8 MiB)");
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.eof() && in.fail()) throw std::runtime_error("cannot read the file");
    return text;
}

// One image (or one .ico holding every size) of one input.
struct TRenderTask {
    std::size_t Input = 0;
    std::string Output;
    TIconSize Size;
};

// Renders one task; what the document left out goes to warnings.
void RenderOne(const std::string& input, const TRenderTask& task, const std::string& format,
               const std::vector<TIconSize>& iconSizes, const TLookOptions& look, std::vector<std::string>& warnings)
{
    TSVG document;
    // Pictures come from the SVG file's own folder tree, whatever the current directory.
    const fs::path folder = fs::path(input).parent_path();
    document.SetImageSources(TImageSources{TImageSources::TKind::Folder, folder.empty() ? "." : folder.string()});
    look.PrepareDocument(document);
    document.LoadFromText(ReadSvgFile(input));
    warnings = document.GetWarnings();
    const TExportOptions placement = look.Export();
    if (!iconSizes.empty())
        SaveDocumentAsIconSet(document, task.Output, iconSizes, placement);
    else if (format == "ico")
        SaveDocumentAsIcon(document, task.Output, task.Size.Width, task.Size.Height, placement);
    else
        SaveDocumentAsImage(document, task.Output, task.Size.Width, task.Size.Height, placement);
}

int RunRender(const TRenderOptions& options)
{
    std::vector<TIconSize> sizes;
    for (const std::string& text : options.Sizes.empty() ? std::vector<std::string>{"96x96"} : options.Sizes) {
        const auto size = ParseSize(text);
        const bool repeated = std::any_of(sizes.begin(), sizes.end(), [&](const TIconSize& seen) {
            return seen.Width == size->first && seen.Height == size->second;
        });
        if (!repeated) sizes.push_back({size->first, size->second});
    }
    const std::vector<TIconSize> iconSizes =
        options.IcoSizes.empty() ? std::vector<TIconSize>{} : *ParseIconSizes(options.IcoSizes);
    const std::string format = iconSizes.empty() ? options.Format : "ico";
    if (!iconSizes.empty()) sizes.resize(1);  // the sizes are inside each file
    // Several sizes go into one folder each, named as the extraction names them.
    std::vector<std::string> folders;
    for (const TIconSize& size : sizes)
        folders.push_back(sizes.size() == 1 ? options.OutputFolder
                                            : SizeFolder(options.OutputFolder, size.Width, size.Height));
    for (const std::string& folder : folders) {
        std::error_code error;
        fs::create_directories(folder, error);
        if (!fs::is_directory(folder)) {
            std::fprintf(stderr, "%s: cannot create the folder: %s\n", PrintableText(folder).c_str(),
                         error.message().c_str());
            return 1;
        }
        RemoveStaleTemporaries(folder);
    }

    // Outputs are named after the input's stem, so two inputs of the same stem would overwrite each other in
    // an order that depends on scheduling; the later ones are refused instead.
    std::vector<std::string> failures(options.Inputs.size());
    std::vector<std::vector<std::string>> warnings(options.Inputs.size());
    std::vector<TRenderTask> tasks;
    std::map<std::string, std::string> taken;
    for (std::size_t i = 0; i < options.Inputs.size(); ++i) {
        const std::string name = fs::path(options.Inputs[i]).stem().string() + "." + format;
        const auto [first, inserted] = taken.emplace(name, options.Inputs[i]);
        if (!inserted) {
            failures[i] = "has the same output name as " + first->second;
            continue;
        }
        for (std::size_t s = 0; s < sizes.size(); ++s)
            tasks.push_back({i, (fs::path(folders[s]) / name).string(), sizes[s]});
    }

    RouteLibraryWarnings();
    // The images are synced once, after the last, instead of one by one.
    TDeferredSync sync;
    TProgressLine progress(stdout);
    std::mutex lock;
    // The line counts files, not images: an input is done when all its sizes are.
    std::vector<int> imagesLeft(options.Inputs.size(), 0);
    for (const TRenderTask& task : tasks) ++imagesLeft[task.Input];
    const int filesToDo =
        static_cast<int>(std::count_if(imagesLeft.begin(), imagesLeft.end(), [](int left) { return left > 0; }));
    int done = 0;
    RunInParallel(tasks.size(), options.Jobs, [&](std::size_t t) {
        const TRenderTask& task = tasks[t];
        const TWarningContext context(options.Inputs[task.Input]);
        std::string failure;
        std::vector<std::string> notes;
        try {
            RenderOne(options.Inputs[task.Input], task, format, iconSizes, options.Look, notes);
        } catch (const std::exception& exception) {
            failure = *exception.what() ? exception.what() : "rendering failed";
        }
        const std::lock_guard guard(lock);
        if (!failure.empty() && failures[task.Input].empty()) failures[task.Input] = failure;
        // Every size of an input loads the same document: its warnings are told once.
        for (std::string& note : notes) {
            std::vector<std::string>& told = warnings[task.Input];
            if (std::find(told.begin(), told.end(), note) == told.end()) told.push_back(std::move(note));
        }
        if (--imagesLeft[task.Input] == 0) {
            ++done;
            if (!options.Quiet) progress.Update(done, filesToDo);
        }
    });
    progress.Interrupted();
    try {
        sync.Finish();
    } catch (const std::exception& exception) {
        std::fprintf(stderr, "%s\n", exception.what());
        return 1;
    }

    int failed = 0;
    for (std::size_t i = 0; i < failures.size(); ++i) {
        const std::string input = PrintableText(options.Inputs[i]);
        for (const std::string& warning : warnings[i])
            std::fprintf(stderr, "%s: warning: %s\n", input.c_str(), PrintableText(warning).c_str());
        if (!failures[i].empty()) {
            std::fprintf(stderr, "%s: %s\n", input.c_str(), PrintableText(failures[i]).c_str());
            ++failed;
        }
    }
    return failed == 0 ? 0 : 1;
}

}  // namespace

SubcommandAction AddRenderCommand(CLI::App& parser)
{
    auto options = std::make_shared<TRenderOptions>();
    CLI::App* command = parser.add_subcommand("render", "Renders SVG files into PNG, BMP or ICO images");
    command->add_option("files", options->Inputs, "the SVG files")->required();
    command->add_option("-o,--output", options->OutputFolder, "the output folder; created when missing")->required();
    AddImageOptions(*command, options->Sizes, options->Format, options->IcoSizes,
                    "WxH with each side 16..400 (default 96x96); given several times, one folder DIR/WxH per size",
                    "one .ico per file holding every listed size, e.g. 16,24,32,48,256 (implies -f ico)");
    AddLookOptions(*command, options->Look);
    command->add_flag("-q,--quiet", options->Quiet, "no progress line on a terminal");
    command->add_option("-j,--jobs", options->Jobs, "files rendered at once (default: the number of cores)")
        ->check(CLI::Range(1, 1024));
    return [options] { return RunRender(*options); };
}

}  // namespace plumwick
