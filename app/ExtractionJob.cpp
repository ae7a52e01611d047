#include "app/ExtractionJob.h"

#include "app/AtomicFile.h"
#include "app/JsonReply.h"
#include "app/RasterExport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <system_error>

namespace plumwick {

namespace {

constexpr char kSeparator = static_cast<char>(std::filesystem::path::preferred_separator);

TJobResult Ended(TJobEnd end, std::string text = {}, std::string caption = {})
{
    TJobResult result;
    result.End = end;
    result.Text = std::move(text);
    result.Caption = std::move(caption);
    return result;
}

TJobSettings ReadSettings(const TJobCallbacks& callbacks)
{
    TJobSettings settings = callbacks.Settings();
    // A size typed but not yet confirmed can be anything; keep the bitmaps bounded.
    settings.Width = std::clamp(settings.Width, kMinIconSize, kMaxIconSize);
    settings.Height = std::clamp(settings.Height, kMinIconSize, kMaxIconSize);
    return settings;
}

bool StopRequested(const TJobCallbacks& callbacks)
{
    return callbacks.Stop && callbacks.Stop->load();
}

void Report(const TJobCallbacks& callbacks, int position, int maximum)
{
    if (callbacks.Progress)
        callbacks.Progress(position, maximum);
}

void CreateFolder(const std::string& folder)
{
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(folder), error);
    if (error)
        throw std::runtime_error("Cannot create folder \"" + folder + "\": " + error.message());
}

// Names come from the reply; one that names another folder would put files outside the output folder.
void CheckIconName(const std::string& name, int index)
{
    const bool leaves = name == "." || name == ".." || name.find_first_of(std::string_view("/\\\0", 3)) != std::string::npos;
    if (!leaves)
        return;
    std::string shown;
    for (char c : name)
        shown += c == '\0' ? std::string("\\0") : std::string(1, c);
    throw std::runtime_error("Icon " + std::to_string(index) + " has the name \"" + shown +
                             "\", which would leave its folder");
}

// Steps from the reply text onwards; errors that reach the top-level box propagate as exceptions.
TJobResult ProcessReply(const std::string& replyText, const TJobRequest& request, const TJobCallbacks& callbacks)
{
    const std::unique_ptr<TJsonReply> reply = TJsonReply::Parse(replyText);
    if (!reply)
        return Ended(TJobEnd::Message, kTextJsonFailed, kCaptionError);
    const int count = reply->IconCount();

    TJobResult result;
    const TJobSettings sizes = ReadSettings(callbacks);
    result.FullSizeFolder = SizeFolder(request.OutputFolder, sizes.Width, sizes.Height);
    result.HalfSizeFolder = SizeFolder(request.OutputFolder, sizes.Width / 2, sizes.Height / 2);
    result.SvgFolder = SvgFolder(request.OutputFolder);
    CreateFolder(result.FullSizeFolder);
    CreateFolder(result.HalfSizeFolder);
    CreateFolder(result.SvgFolder);
    // Written atomically, so re-rendering a reply saved here replaces it with the same bytes safely.
    WriteFileAtomically(request.OutputFolder + kSeparator + kSavedReplyName, replyText);
    Report(callbacks, 0, count);

    for (int index = 0; index < count; ++index) {
        if (StopRequested(callbacks)) {
            result.End = TJobEnd::Stopped;
            return result;
        }
        const std::string svgText = reply->IconMemberText(index, "show_svg");
        const std::string name = reply->IconMemberText(index, "name");
        CheckIconName(name, index);
        WriteFileAtomically(IconFileName(result.SvgFolder, name, index, "svg"), svgText);

        const TJobSettings settings = ReadSettings(callbacks);
        const bool asIcon = settings.FormatIndex == kIcoFormatIndex;
        callbacks.Render(svgText, IconFileName(result.FullSizeFolder, name, index, settings.FormatText),
                         settings.Width, settings.Height, asIcon);
        callbacks.Render(svgText, IconFileName(result.HalfSizeFolder, name, index, settings.FormatText),
                         settings.Width / 2, settings.Height / 2, asIcon);
        Report(callbacks, index, count);
        if (callbacks.IconDone)
            callbacks.IconDone(index, count, name);
    }
    Report(callbacks, count, count);
    result.End = TJobEnd::Completed;
    result.Count = count;
    return result;
}

}  // namespace

bool RenderWithRasterExport(std::string_view svgText, const std::string& fileName, int width, int height,
                            bool asIcon)
{
    return asIcon ? SaveSvgAsIcon(svgText, fileName, width, height)
                  : SaveSvgAsImage(svgText, fileName, width, height);
}

std::optional<std::string> CheckJobInputs(std::string_view cid, const std::string& outputFolder)
{
    if (cid.empty())
        return std::string(kTextEmptyCid);
    return CheckOutputFolder(outputFolder);
}

std::optional<std::string> CheckOutputFolder(const std::string& outputFolder)
{
    std::error_code error;
    if (!std::filesystem::is_directory(std::filesystem::path(outputFolder), error))
        return std::string(kTextNoOutputFolder);
    return std::nullopt;
}

TJobResult RunExtraction(const TJobRequest& request, const TJobCallbacks& callbacks)
{
    try {
        Report(callbacks, 0, -1);
        std::string replyText;
        if (request.ReplyText) {
            replyText = *request.ReplyText;
        } else {
            THttpOptions http = request.Http;
            if (callbacks.Stop)
                http.Cancel = callbacks.Stop;
            THttpResponse response;
            try {
                response = HttpGet(CollectionUrl(request.ApiBase, request.Cid), http);
            } catch (const EHttpCancelled&) {
                return Ended(TJobEnd::Stopped);
            } catch (const EHttpError& error) {
                return Ended(TJobEnd::Message, error.what(), kCaptionError);
            }
            if (response.StatusCode != 200)
                return Ended(TJobEnd::Silent, "the service answered with HTTP status " +
                                                  std::to_string(response.StatusCode));
            replyText = std::move(response.Body);
        }
        return ProcessReply(replyText, request, callbacks);
    } catch (const std::exception& error) {
        return Ended(TJobEnd::Error, error.what());
    }
}

std::string SizeFolder(const std::string& outputFolder, int width, int height)
{
    return outputFolder + kSeparator + std::to_string(width) + "x" + std::to_string(height);
}

std::string SvgFolder(const std::string& outputFolder)
{
    return outputFolder + kSeparator + "svg";
}

std::string IconFileName(const std::string& folder, const std::string& name, int index, std::string_view extension)
{
    return folder + kSeparator + name + "-" + std::to_string(index) + "." + std::string(extension);
}

std::string WithFullStop(std::string message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        message += '.';
    return message;
}

std::string CompletedText(int count)
{
    std::string text = kTextCompletedFormat;
    text.replace(text.find("%d"), 2, std::to_string(count));
    return text;
}

std::string DefaultApiBase()
{
    const char* base = std::getenv("PLUMWICK_API_BASE");
    return base && *base ? std::string(base) : std::string(kDefaultApiBase);
}

std::string CollectionUrl(std::string_view apiBase, std::string_view cid)
{
    if (apiBase.ends_with('/'))
        apiBase.remove_suffix(1);
    return std::string(apiBase) + kCollectionPath + std::string(cid);
}

}  // namespace plumwick
