// Command-line options that change how icons look, shared by render and extract.
#pragma once

#include "app/RasterExport.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace plumwick {

class TSVG;

// What the look options asked for: colour changes applied to each document before it loads, and the
// placement the export takes.
struct TLookOptions {
    std::string Color;       // --color: every fill and stroke that paints takes it
    bool Grayscale = false;  // --grayscale
    std::string Background;  // --background: composited under the icon
    bool Fit = false;        // --fit: keep the aspect ratio, centred, transparent padding

    // Sets the fixed colour and greyscale on a document that has not loaded its text yet.
    void PrepareDocument(TSVG& document) const;
    TExportOptions Export() const;
};

// An SVG colour text (a keyword, #rgb, #rrggbb, rgb(...)) as opaque ARGB; nothing for anything else.
std::optional<std::uint32_t> ParseColorOption(const std::string& text);

// Registers --color, --grayscale, --background and --fit on a subcommand.
void AddLookOptions(CLI::App& command, TLookOptions& options);

// Registers "-s,--size" (repeatable WxH), "-f,--format" (png, bmp or ico) and "--ico-sizes" on a
// subcommand, with the help texts that say what the subcommand writes for them.
void AddImageOptions(CLI::App& command, std::vector<std::string>& sizes, std::string& format, std::string& icoSizes,
                     const std::string& sizeHelp, const std::string& icoSizesHelp);

}  // namespace plumwick
