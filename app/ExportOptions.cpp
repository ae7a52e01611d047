#include "app/ExportOptions.h"

#include "app/SizeOption.h"

#include "svg/base/SVGColor.h"
#include "svg/core/SVGDocument.h"

#include <CLI/CLI.hpp>

namespace plumwick {

namespace {

std::string CheckColor(const std::string& text)
{
    return ParseColorOption(text) ? std::string()
                                  : std::string("not a colour: use a name (red), #rgb, #rrggbb or rgb(r,g,b)");
}

}  // namespace

std::optional<std::uint32_t> ParseColorOption(const std::string& text)
{
    const TColor color = ParseColor(text);
    if (color < 0) return std::nullopt;
    return ColorToARGB(color, 0xFF);
}

void TLookOptions::PrepareDocument(TSVG& document) const
{
    if (const auto color = ParseColorOption(Color)) document.SetFixedColor(ParseColor(Color));
    document.SetGrayscale(Grayscale);
}

TExportOptions TLookOptions::Export() const
{
    TExportOptions options;
    options.Background = ParseColorOption(Background);
    options.Fit = Fit;
    return options;
}

void AddLookOptions(CLI::App& command, TLookOptions& options)
{
    command.add_option("--color", options.Color, "paint every fill and stroke in this colour (e.g. #1e88e5, red)")
        ->check(CheckColor);
    command.add_flag("--grayscale", options.Grayscale, "turn every colour into its grey");
    command.add_option("--background", options.Background, "a colour composited under the icon (default: transparent)")
        ->check(CheckColor);
    command.add_flag("--fit", options.Fit,
                     "keep the icon's aspect ratio, centred with transparent padding (default: stretch to the size)");
}

void AddImageOptions(CLI::App& command, std::vector<std::string>& sizes, std::string& format, std::string& icoSizes,
                     const std::string& sizeHelp, const std::string& icoSizesHelp)
{
    command.add_option("-s,--size", sizes, sizeHelp)
        ->check(CheckSize)
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    command.add_option("-f,--format", format, "png, bmp or ico (default png)")
        ->check(CLI::IsMember({"png", "bmp", "ico"}));
    command.add_option("--ico-sizes", icoSizes, icoSizesHelp)->check(CheckIconSizes);
}

}  // namespace plumwick
