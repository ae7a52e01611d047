#pragma once

#include "app/Dialogs.h"
#include "app/FileNames.h"
#include "app/Http.h"

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plumwick {

// The job's own texts.
inline constexpr const char* kCaptionHint = "提示";
inline constexpr const char* kCaptionError = "错误";
inline constexpr const char* kTextEmptyCid = "图标库的CID不能为空！";
inline constexpr const char* kTextNoOutputFolder = "输出文件夹不存在，请先浏览选择输出文件夹！";
inline constexpr const char* kTextJsonFailed = "JSON数据解析失败！";
// Filled with the number of all icons and of those that failed; the list of failures follows.
inline constexpr const char* kTextFailedFormat = "共%d个图标，其中%d个未能完整导出：";
// Filled with the number of icons.
inline constexpr const char* kTextCompletedFormat = "图标提取完成，共提取%d个文件!是否打开文件夹查看？";

inline constexpr const char* kDefaultApiBase = "https://www.iconfont.cn";
inline constexpr const char* kCollectionPath = "/api/collection/detail.json?id=";
// The raw reply is kept beside the output folders so the collection can be rendered again offline.
inline constexpr const char* kSavedReplyName = "collection.json";

inline constexpr int kMinIconSize = 16;
inline constexpr int kMaxIconSize = 400;
inline constexpr int kIcoFormatIndex = 2;

// Size and format, read again for every icon.
struct TJobSettings {
    int Width = 96;
    int Height = 96;
    int FormatIndex = 0;          // 2 selects the icon exporter
    std::string FormatText = "png";  // the file extension
};

// Renders one icon into fileName at width x height; asIcon selects the .ico exporter. False when no image
// could be made; errors of loading and writing raise with their reason. Things the document left out (an
// image reference that is not allowed) are added to warnings.
using TRenderFunction = std::function<bool(std::string_view svgText, const std::string& fileName, int width,
                                           int height, bool asIcon, std::vector<std::string>& warnings)>;

// The raster exporters of the application. The SVG text came from the network, so its images are read only
// from data: URIs.
bool RenderWithRasterExport(std::string_view svgText, const std::string& fileName, int width, int height,
                            bool asIcon, std::vector<std::string>& warnings);

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
    // When set, this text stands in for the downloaded reply and no request is made.
    std::optional<std::string> ReplyText;
    THttpOptions Http;
};

struct TJobCallbacks {
    std::function<TJobSettings()> Settings;                  // required
    TRenderFunction Render = RenderWithRasterExport;
    std::function<void(int position, int maximum)> Progress;  // maximum is -1 until the icons are counted
    const std::atomic<bool>* Stop = nullptr;                  // checked between icons and during the request
    // Called after each icon's files, with its 0-based index.
    std::function<void(int index, int count, const std::string& name)> IconDone;
    // Called before IconDone for an icon with notes or failures.
    std::function<void(const TIconReport& report)> IconReported;
    // Icons rendered at once; 0 or less means one per core. With more than one, Settings and Render are
    // called from several threads (Settings one call at a time), while Progress and IconDone still come one
    // at a time and in index order. An icon that fails is reported and the others go on.
    int Jobs = 1;
};

enum class TJobEnd {
    Completed,  // show the completion prompt for Count icons, or the failures when there are any
    Message,    // a box with Text and Caption (error icon) before the clean-up
    Silent,     // ended without a word (status other than 200; Text names the status for logs)
    Error,      // the application's top-level error box with Text, after the clean-up
    Stopped,    // the caller asked to stop
};

struct TJobResult {
    TJobEnd End = TJobEnd::Silent;
    std::string Text;
    std::string Caption;
    int Count = 0;
    std::vector<TIconReport> Failed;  // icons with a file missing, in index order
    std::string FullSizeFolder;
    std::string HalfSizeFolder;
    std::string SvgFolder;
};

// The input checks that come before anything else; returns the text of the hint box to show, if any.
std::optional<std::string> CheckJobInputs(std::string_view cid, const std::string& outputFolder);

// The output folder part of the input checks.
std::optional<std::string> CheckOutputFolder(const std::string& outputFolder);

// Downloads (or takes) the reply, creates the folders and writes every icon: everything after the input
// checks. Never throws; every ending is described by the result.
TJobResult RunExtraction(const TJobRequest& request, const TJobCallbacks& callbacks);

// The folder texts: O followed by the separator and "WxH" (or "svg"), with O unchanged.
std::string SizeFolder(const std::string& outputFolder, int width, int height);
std::string SvgFolder(const std::string& outputFolder);

// "name-index.extension" inside folder, the name used as it is.
std::string IconFileName(const std::string& folder, const std::string& name, int index, std::string_view extension);

// The name part of an icon's files: the name made safe and cut so that "name-index.extension" fits the
// file system's limit for every extension of the job. Changed when it differs from the name.
TSafeName IconFileStem(std::string_view name, int index);

// The window's box for a job whose icons did not all come out: how many, and which (with the reason).
std::string FailuresText(const TJobResult& result);

// The message as the top-level error box shows it: a full stop appended unless it already ends in a
// character at or below ".".
std::string WithFullStop(std::string message);

// The completion text for count icons.
std::string CompletedText(int count);

// The API base from PLUMWICK_API_BASE, or the service's own address.
std::string DefaultApiBase();

// The request URL for a collection id, appended as typed.
std::string CollectionUrl(std::string_view apiBase, std::string_view cid);

}  // namespace plumwick
