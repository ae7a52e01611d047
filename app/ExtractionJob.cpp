#include "app/ExtractionJob.h"

#include "app/AtomicFile.h"
#include "app/JsonReply.h"
#include "app/RasterExport.h"
#include "app/WorkerPool.h"
#include "svg/SVGDocument.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <vector>

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

// The SVG file and both images of one icon; returns its name.
std::string WriteIcon(const TJsonReply& reply, int index, const TJobResult& folders, const TJobSettings& settings,
                      const TJobCallbacks& callbacks)
{
    const std::string svgText = reply.IconMemberText(index, "show_svg");
    const std::string name = reply.IconMemberText(index, "name");
    CheckIconName(name, index);
    WriteFileAtomically(IconFileName(folders.SvgFolder, name, index, "svg"), svgText);

    if (!settings.IcoSizes.empty()) {
        callbacks.RenderIconSet(svgText, IconFileName(folders.FullSizeFolder, name, index, "ico"), settings.IcoSizes);
        return name;
    }
    const bool asIcon = settings.FormatIndex == kIcoFormatIndex;
    callbacks.Render(svgText, IconFileName(folders.FullSizeFolder, name, index, settings.FormatText),
                     settings.Width, settings.Height, asIcon);
    callbacks.Render(svgText, IconFileName(folders.HalfSizeFolder, name, index, settings.FormatText),
                     settings.Width / 2, settings.Height / 2, asIcon);
    return name;
}

// The icons on several threads. Finished icons are reported in index order, so the progress never runs
// ahead of an icon still being written. The first failing icon (by index) is rethrown once all workers
// are done; false when a stop was asked for.
bool WriteIconsInParallel(const TJsonReply& reply, int count, const TJobResult& folders,
                          const TJobSettings& settings, const TJobCallbacks& callbacks)
{
    std::mutex lock;
    std::vector<std::string> names(static_cast<std::size_t>(count));
    std::vector<char> done(static_cast<std::size_t>(count), 0);
    int reported = 0;
    int failedIndex = count;  // no failure
    std::exception_ptr failure;
    std::atomic<bool> stopped{false};

    RunInParallel(static_cast<std::size_t>(count), callbacks.Jobs, [&](std::size_t slot) {
        const int index = static_cast<int>(slot);
        if (stopped || StopRequested(callbacks)) {
            stopped = true;
            return;
        }
        try {
            {
                const std::lock_guard guard(lock);
                if (index > failedIndex)
                    return;
            }
            std::string name = WriteIcon(reply, index, folders, settings, callbacks);
            const std::lock_guard guard(lock);
            names[slot] = std::move(name);
            done[slot] = 1;
            for (; reported < failedIndex && reported < count && done[reported]; ++reported) {
                Report(callbacks, reported, count);
                if (callbacks.IconDone)
                    callbacks.IconDone(reported, count, names[reported]);
                names[reported].clear();
            }
        } catch (...) {
            const std::lock_guard guard(lock);
            if (index < failedIndex) {
                failedIndex = index;
                failure = std::current_exception();
            }
        }
    });
    if (failure)
        std::rethrow_exception(failure);
    return !stopped;
}

// Steps from the reply text onwards; errors that reach the top-level box propagate as exceptions.
TJobResult ProcessReply(const std::string& replyText, const TJobRequest& request, const TJobCallbacks& callbacks)
{
    const std::unique_ptr<TJsonReply> reply = TJsonReply::Parse(replyText);
    if (!reply)
        return Ended(TJobEnd::Message, kTextJsonFailed, kCaptionError);
    const int count = reply->IconCount();

    // Files are synced once, when all are written, rather than one by one.
    TDeferredSync sync;
    TJobResult result;
    // Read once: a size changed during the run must not mix sizes inside the folders named here.
    const TJobSettings sizes = ReadSettings(callbacks);
    if (sizes.IcoSizes.empty()) {
        result.FullSizeFolder = SizeFolder(request.OutputFolder, sizes.Width, sizes.Height);
        result.HalfSizeFolder = SizeFolder(request.OutputFolder, sizes.Width / 2, sizes.Height / 2);
        CreateFolder(result.HalfSizeFolder);
    } else {
        result.FullSizeFolder = IconSetFolder(request.OutputFolder);
    }
    result.SvgFolder = SvgFolder(request.OutputFolder);
    CreateFolder(result.FullSizeFolder);
    CreateFolder(result.SvgFolder);
    // Written atomically, so re-rendering a reply saved here replaces it with the same bytes safely.
    WriteFileAtomically(request.OutputFolder + kSeparator + kSavedReplyName, replyText);
    Report(callbacks, 0, count);

    if (callbacks.Jobs == 1) {
        for (int index = 0; index < count; ++index) {
            if (StopRequested(callbacks)) {
                result.End = TJobEnd::Stopped;
                return result;
            }
            const std::string name = WriteIcon(*reply, index, result, sizes, callbacks);
            Report(callbacks, index, count);
            if (callbacks.IconDone)
                callbacks.IconDone(index, count, name);
        }
    } else if (!WriteIconsInParallel(*reply, count, result, sizes, callbacks)) {
        result.End = TJobEnd::Stopped;
        return result;
    }
    sync.Finish();
    Report(callbacks, count, count);
    result.End = TJobEnd::Completed;
    result.Count = count;
    return result;
}

}  // namespace

bool RenderWithRasterExport(std::string_view svgText, const std::string& fileName, int width, int height,
                            bool asIcon)
{
    // Each icon is rendered at two sizes in a row on the same thread: the document parsed for the first is
    // painted again for the second, as painting leaves it unchanged. Text that fails to load is not kept.
    struct TLastDocument {
        std::string Text;
        std::unique_ptr<TSVG> Document;
    };
    thread_local TLastDocument last;
    if (!last.Document || last.Text != svgText) {
        last.Document.reset();
        auto document = std::make_unique<TSVG>();
        document->LoadFromText(svgText);
        last.Text.assign(svgText);
        last.Document = std::move(document);
    }
    return asIcon ? SaveDocumentAsIcon(*last.Document, fileName, width, height)
                  : SaveDocumentAsImage(*last.Document, fileName, width, height);
}

bool RenderIconSetWithRasterExport(std::string_view svgText, const std::string& fileName,
                                   std::span<const TIconSize> sizes)
{
    TSVG document;
    document.LoadFromText(svgText);
    return SaveDocumentAsIconSet(document, fileName, sizes);
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
                response = HttpGetRetrying(CollectionUrl(request.ApiBase, request.Cid), http);
            } catch (const EHttpCancelled&) {
                return Ended(TJobEnd::Stopped);
            } catch (const EHttpError& error) {
                TJobResult failed = Ended(TJobEnd::Message, error.what(), kCaptionError);
                failed.Problem = TJobProblem::Network;
                return failed;
            }
            if (response.StatusCode != 200) {
                TJobResult failed =
                    Ended(TJobEnd::Silent, "the service answered with HTTP status " + std::to_string(response.StatusCode));
                failed.Problem = TJobProblem::HttpStatus;
                failed.HttpStatus = static_cast<int>(response.StatusCode);
                return failed;
            }
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

std::string IconSetFolder(const std::string& outputFolder)
{
    return outputFolder + kSeparator + "ico";
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
