#pragma once

#include "app/FileNames.h"
#include "app/Http.h"
#include "app/RasterExport.h"

#include <atomic>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace plumwick {

inline constexpr const char* kDefaultApiBase = "https://www.iconfont.cn";
inline constexpr const char* kCollectionPath = "/api/collection/detail.json?id=";
// The raw reply is kept beside the output folders so the collection can be rendered again offline.
inline constexpr const char* kSavedReplyName = "collection.json";

inline constexpr int kMinIconSize = 16;
inline constexpr int kMaxIconSize = 400;
enum class TImageFormat { Png, Bmp, Ico };

// The file extension of a format: "png", "bmp" or "ico".
std::string_view FormatExtension(TImageFormat format);

// Size and format of a job, fixed when it starts: every image of a run lands in the folders named after them.
struct TJobSettings {
    int Width = 96;
    int Height = 96;
    TImageFormat Format = TImageFormat::Png;
    // When set, one folder per size ("WxH") holding that size alone, instead of Width x Height and its half.
    std::vector<TIconSize> Sizes;
    // When set, each icon becomes one .ico file holding all these sizes, in the folder IconSetFolder names,
    // instead of the two sized images.
    std::vector<TIconSize> IcoSizes;
};

// Renders one icon into fileName at width x height; asIcon selects the .ico exporter. Every failure (loading,
// an image that cannot be made, writing) raises with its reason. Things the document left out (an image
// reference that is not allowed) are added to warnings.
using TRenderFunction = std::function<void(std::string_view svgText, const std::string& fileName, int width, int height,
                                           bool asIcon, std::vector<std::string>& warnings)>;

// Renders one icon into one .ico file holding every size, with warnings as for TRenderFunction.
using TRenderIconSetFunction =
    std::function<void(std::string_view svgText, const std::string& fileName, std::span<const TIconSize> sizes,
                       std::vector<std::string>& warnings)>;

// The raster exporters of the application. The SVG text came from the network, so its images are read only
// from data: URIs.
void RenderIconSetWithRasterExport(std::string_view svgText, const std::string& fileName,
                                   std::span<const TIconSize> sizes, std::vector<std::string>& warnings);
void RenderWithRasterExport(std::string_view svgText, const std::string& fileName, int width, int height, bool asIcon,
                            std::vector<std::string>& warnings);

// What became of one icon that did not simply succeed.
struct TIconReport {
    int Index = 0;
    std::string Name;                   // as the reply gives it (empty when it could not be read)
    std::vector<std::string> Notes;     // warnings: a changed file name, an image left out
    std::vector<std::string> Failures;  // a file of the icon is missing
};

struct TJobRequest {
    std::string Cid;
    std::string OutputFolder;  // joined unchanged with the sub-folder names
    std::string ApiBase = kDefaultApiBase;
    TJobSettings Settings;
    // When set, this text stands in for the downloaded reply and no request is made.
    std::optional<std::string> ReplyText;
    THttpOptions Http;
};

struct TJobCallbacks {
    TRenderFunction Render = RenderWithRasterExport;
    TRenderIconSetFunction RenderIconSet = RenderIconSetWithRasterExport;
    std::function<void(int position, int maximum)> Progress;  // maximum is -1 until the icons are counted
    const std::atomic<bool>* Stop = nullptr;                  // checked between icons and during the request
    // Called after each icon's files, with its 0-based index.
    std::function<void(int index, int count, const std::string& name)> IconDone;
    // Called before IconDone for an icon with notes or failures.
    std::function<void(const TIconReport& report)> IconReported;
    // Icons rendered at once; 0 or less means one per core. With more than one, Render is called from
    // several threads, while Progress and IconDone still come one at a time and in index order. An icon
    // that fails is reported and the others go on.
    int Jobs = 1;
};

enum class TJobEnd {
    Completed,  // Count icons written; Failed lists those with a file missing
    Problem,    // ended before any icon for a reason Problem names; nothing was written
    Error,      // ended by an error with Text (a folder or file that cannot be written, a reply of the wrong shape)
    Stopped,    // the caller asked to stop
};

// Why a job ended before its icons; each caller words it in its own language, Text holding the detail.
enum class TJobProblem {
    None,
    Network,       // the request failed; Text holds the client's message
    HttpStatus,    // the service answered with HttpStatus, not 200
    InvalidReply,  // the reply is not JSON
};

struct TJobResult {
    TJobEnd End = TJobEnd::Error;
    TJobProblem Problem = TJobProblem::None;
    int HttpStatus = 0;
    std::string Text;  // English, for logs and the command line
    int Count = 0;
    std::vector<TIconReport> Failed;  // icons with a file missing, in index order
    // Where the images went: the full size first, then the half size (or each size asked for); the one .ico
    // folder when each icon holds several sizes.
    std::vector<std::string> ImageFolders;
    std::string SvgFolder;
};

// What keeps a job from starting.
enum class TInputProblem { EmptyCid, NoOutputFolder };

// The input checks that come before anything else, in this order.
std::optional<TInputProblem> CheckJobInputs(std::string_view cid, const std::string& outputFolder);

// The output folder part of the input checks.
std::optional<TInputProblem> CheckOutputFolder(const std::string& outputFolder);

// Downloads (or takes) the reply, creates the folders and writes every icon: everything after the input
// checks. Never throws; every ending is described by the result.
TJobResult RunExtraction(const TJobRequest& request, const TJobCallbacks& callbacks);

// The folder texts: O followed by the separator and "WxH" (or "svg"), with O unchanged.
std::string SizeFolder(const std::string& outputFolder, int width, int height);
std::string SvgFolder(const std::string& outputFolder);
std::string IconSetFolder(const std::string& outputFolder);

// "name-index.extension" inside folder, the name used as it is.
std::string IconFileName(const std::string& folder, const std::string& name, int index, std::string_view extension);

// The name part of an icon's files: the name made safe and cut so that "name-index.extension" fits the
// file system's limit for every extension of the job. Changed when it differs from the name.
TSafeName IconFileStem(std::string_view name, int index);

// The message as a sentence: a full stop appended unless it already ends in a character at or below ".".
std::string WithFullStop(std::string message);

// The API base from PLUMWICK_API_BASE, or the service's own address.
std::string DefaultApiBase();

// The request URL for a collection id, appended as typed.
std::string CollectionUrl(std::string_view apiBase, std::string_view cid);

}  // namespace plumwick
