#include "app/Subcommands.h"

#include "app/AtomicFile.h"
#include "app/FileNames.h"
#include "app/RasterExport.h"
#include "app/SizeOption.h"
#include "app/WorkerPool.h"
#include "platform/GdiPlusFont.h"
#include "platform/LibraryWarnings.h"
#include "svg/SVGDocument.h"

#include <CLI/CLI.hpp>

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
    std::string Size = "96x96";
    std::string Format = "png";
    int Jobs = 0;
};

// The SVG files are small; a file far bigger than any icon is refused before it is read whole.
constexpr std::uintmax_t kMaxSvgFileBytes = 8u * 1024 * 1024;

std::string ReadSvgFile(const std::string& path)
{
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (error)
        throw std::runtime_error(error.message());
    if (!fs::is_regular_file(status))
        throw std::runtime_error("not a regular file");
    if (fs::file_size(path, error) > kMaxSvgFileBytes)
        throw std::runtime_error("file too large for an icon (over 8 MiB)");
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.eof() && in.fail())
        throw std::runtime_error("cannot read the file");
    return text;
}

// Renders one file; what the document left out goes to warnings.
void RenderOne(const std::string& input, const std::string& output, const std::string& format, int width,
               int height, std::vector<std::string>& warnings)
{
    TSVG document;
    // Pictures come from the SVG file's own folder tree, whatever the current directory.
    const fs::path folder = fs::path(input).parent_path();
    document.SetImageSources(TImageSources{TImageSources::TKind::Folder, folder.empty() ? "." : folder.string()});
    document.LoadFromText(ReadSvgFile(input));
    warnings = document.GetWarnings();
    const bool written = format == "ico" ? SaveDocumentAsIcon(document, output, width, height)
                                         : SaveDocumentAsImage(document, output, width, height);
    if (!written)
        throw std::runtime_error("cannot make the image " + output);
}

int RunRender(const TRenderOptions& options)
{
    const auto size = ParseSize(options.Size);
    std::error_code error;
    fs::create_directories(options.OutputFolder, error);
    if (!fs::is_directory(options.OutputFolder)) {
        std::fprintf(stderr, "%s: cannot create the folder: %s\n", PrintableText(options.OutputFolder).c_str(),
                     error.message().c_str());
        return 1;
    }

    // Outputs are named after the input's stem, so two inputs of the same stem would overwrite each other in
    // an order that depends on scheduling; the later ones are refused instead.
    std::vector<std::string> outputs(options.Inputs.size());
    std::vector<std::string> failures(options.Inputs.size());
    std::vector<std::vector<std::string>> warnings(options.Inputs.size());
    RemoveStaleTemporaries(options.OutputFolder);
    std::map<std::string, std::string> taken;
    for (std::size_t i = 0; i < options.Inputs.size(); ++i) {
        const std::string name = fs::path(options.Inputs[i]).stem().string() + "." + options.Format;
        const auto [first, inserted] = taken.emplace(name, options.Inputs[i]);
        if (inserted)
            outputs[i] = (fs::path(options.OutputFolder) / name).string();
        else
            failures[i] = "has the same output name as " + first->second;
    }

    // Painting needs Qt's application object, which must come from this thread, before any worker starts.
    EnsureGuiApplication();
    RouteLibraryWarnings();
    RunInParallel(options.Inputs.size(), options.Jobs, [&](std::size_t i) {
        if (!failures[i].empty())
            return;
        const TWarningContext context(options.Inputs[i]);
        try {
            RenderOne(options.Inputs[i], outputs[i], options.Format, size->first, size->second, warnings[i]);
        } catch (const std::exception& exception) {
            failures[i] = exception.what();
            if (failures[i].empty())
                failures[i] = "rendering failed";
        }
    });

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
    command->add_option("-o,--output", options->OutputFolder, "the output folder; created when missing")
        ->required();
    command->add_option("-s,--size", options->Size, "WxH with each side 16..400 (default 96x96)")
        ->check(CheckSize);
    command->add_option("-f,--format", options->Format, "png, bmp or ico (default png)")
        ->check(CLI::IsMember({"png", "bmp", "ico"}));
    command->add_option("-j,--jobs", options->Jobs, "files rendered at once (default: the number of cores)")
        ->check(CLI::Range(1, 1024));
    return [options] { return RunRender(*options); };
}

}  // namespace plumwick
