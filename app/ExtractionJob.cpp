#include "app/ExtractionJob.h"

#include "app/AtomicFile.h"
#include "app/FolderLock.h"
#include "app/JsonReply.h"
#include "app/RasterExport.h"
#include "app/WorkerPool.h"
#include "platform/LibraryWarnings.h"
#include "svg/core/SVGDocument.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
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

std::size_t DecimalDigits(int value)
{
    return std::to_string(value).size();
}

void AddFailure(std::vector<std::string>& failures, std::string text)
{
    // Both sizes of an icon fail alike when its SVG cannot be loaded: say it once.
    if (text.empty())
        text = "failed";
    if (std::find(failures.begin(), failures.end(), text) == failures.end())
        failures.push_back(std::move(text));
}

void AddNotes(TIconReport& report, std::vector<std::string> warnings)
{
    for (std::string& warning : warnings)
        if (std::find(report.Notes.begin(), report.Notes.end(), warning) == report.Notes.end())
            report.Notes.push_back(std::move(warning));
}

// One image of an icon; a failure is noted and the icon's other files still get written.
void RenderImage(std::string_view svgText, const std::string& fileName, int width, int height, bool asIcon,
                 const TJobCallbacks& callbacks, TIconReport& report)
{
    std::vector<std::string> warnings;
    try {
        if (!callbacks.Render(svgText, fileName, width, height, asIcon, warnings))
            AddFailure(report.Failures, "cannot make the image " + fileName);
    } catch (const std::exception& error) {
        AddFailure(report.Failures, error.what());
    }
    AddNotes(report, std::move(warnings));
}

// The SVG file and both images of one icon. Never throws: what went wrong is in the report.
TIconReport WriteIcon(const TJsonReply& reply, int index, const TJobResult& folders, const TJobSettings& settings,
                      const TJobCallbacks& callbacks)
{
    TIconReport report;
    report.Index = index;
    std::string svgText;
    try {
        svgText = reply.IconMemberText(index, "show_svg");
        report.Name = reply.IconMemberText(index, "name");
    } catch (const std::exception& error) {
        // The name may still be there to tell which icon it was.
        if (report.Name.empty()) {
            try {
                report.Name = reply.IconMemberText(index, "name");
            } catch (const std::exception&) {
            }
        }
        report.Failures.push_back(WithFullStop(error.what()));
        return report;
    }
    const TWarningContext context("icon " + std::to_string(index) + " \"" + report.Name + "\"");
    const TSafeName stem = IconFileStem(report.Name, index);
    if (stem.Changed)
        report.Notes.push_back("its files are named \"" + stem.Name + "-" + std::to_string(index) + "\"");
    try {
        WriteFileAtomically(IconFileName(folders.SvgFolder, stem.Name, index, "svg"), svgText);
    } catch (const std::exception& error) {
        AddFailure(report.Failures, error.what());
    }
    if (!settings.IcoSizes.empty()) {
        const std::string fileName = IconFileName(folders.FullSizeFolder, stem.Name, index, "ico");
        std::vector<std::string> warnings;
        try {
            if (!callbacks.RenderIconSet(svgText, fileName, settings.IcoSizes, warnings))
                AddFailure(report.Failures, "cannot make the image " + fileName);
        } catch (const std::exception& error) {
            AddFailure(report.Failures, error.what());
        }
        AddNotes(report, std::move(warnings));
        return report;
    }
    const bool asIcon = settings.FormatIndex == kIcoFormatIndex;
    RenderImage(svgText, IconFileName(folders.FullSizeFolder, stem.Name, index, settings.FormatText),
                settings.Width, settings.Height, asIcon, callbacks, report);
    RenderImage(svgText, IconFileName(folders.HalfSizeFolder, stem.Name, index, settings.FormatText),
                settings.Width / 2, settings.Height / 2, asIcon, callbacks, report);
    return report;
}

// Hands a finished icon to the caller and keeps its failures for the summary.
void Deliver(const TJobCallbacks& callbacks, TJobResult& result, TIconReport report, int count)
{
    Report(callbacks, report.Index, count);
    if (callbacks.IconReported && (!report.Notes.empty() || !report.Failures.empty()))
        callbacks.IconReported(report);
    if (callbacks.IconDone)
        callbacks.IconDone(report.Index, count, report.Name);
    if (!report.Failures.empty())
        result.Failed.push_back(std::move(report));
}

// The icons on several threads. Finished icons are reported in index order, so the progress never runs
// ahead of an icon still being written. False when a stop was asked for.
bool WriteIconsInParallel(const TJsonReply& reply, int count, TJobResult& result, const TJobSettings& settings,
                          const TJobCallbacks& callbacks)
{
    std::mutex lock;
    std::vector<std::optional<TIconReport>> done(static_cast<std::size_t>(count));
    int reported = 0;
    std::atomic<bool> stopped{false};

    RunInParallel(static_cast<std::size_t>(count), callbacks.Jobs, [&](std::size_t slot) {
        if (stopped || StopRequested(callbacks)) {
            stopped = true;
            return;
        }
        TIconReport report = WriteIcon(reply, static_cast<int>(slot), result, settings, callbacks);
        const std::lock_guard guard(lock);
        done[slot] = std::move(report);
        for (; reported < count && done[reported]; ++reported) {
            Deliver(callbacks, result, std::move(*done[reported]), count);
            done[reported].reset();
        }
    });
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
    } else {
        result.FullSizeFolder = IconSetFolder(request.OutputFolder);
    }
    result.SvgFolder = SvgFolder(request.OutputFolder);
    // Two jobs in one folder would mix their files (and each would clean up the other's temporary files).
    const TFolderLock folderLock(request.OutputFolder);
    for (const std::string& folder :
         {request.OutputFolder, result.FullSizeFolder, result.HalfSizeFolder, result.SvgFolder}) {
        if (folder.empty())
            continue;
        CreateFolder(folder);
        RemoveStaleTemporaries(folder);
    }
    // Written atomically, so re-rendering a reply saved here replaces it with the same bytes safely.
    WriteFileAtomically(request.OutputFolder + kSeparator + kSavedReplyName, replyText);
    Report(callbacks, 0, count);

    if (callbacks.Jobs == 1) {
        for (int index = 0; index < count; ++index) {
            if (StopRequested(callbacks)) {
                result.End = TJobEnd::Stopped;
                return result;
            }
            Deliver(callbacks, result, WriteIcon(*reply, index, result, sizes, callbacks), count);
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
                            bool asIcon, std::vector<std::string>& warnings)
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
        document->SetImageSources(TImageSources{TImageSources::TKind::DataOnly, {}});
        document->LoadFromText(svgText);
        last.Text.assign(svgText);
        last.Document = std::move(document);
    }
    warnings = last.Document->GetWarnings();
    return asIcon ? SaveDocumentAsIcon(*last.Document, fileName, width, height)
                  : SaveDocumentAsImage(*last.Document, fileName, width, height);
}

bool RenderIconSetWithRasterExport(std::string_view svgText, const std::string& fileName,
                                   std::span<const TIconSize> sizes, std::vector<std::string>& warnings)
{
    TSVG document;
    document.SetImageSources(TImageSources{TImageSources::TKind::DataOnly, {}});
    document.LoadFromText(svgText);
    warnings = document.GetWarnings();
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

TSafeName IconFileStem(std::string_view name, int index)
{
    // "-index." and the longest extension of the job ("svg", "png", "bmp", "ico").
    const std::size_t suffix = 1 + DecimalDigits(index) + 1 + 3;
    return SafeFileNamePart(name, kMaxFileNameBytes - suffix);
}

std::string FailuresText(const TJobResult& result)
{
    std::string text = kTextFailedFormat;
    text.replace(text.find("%d"), 2, std::to_string(result.Count));
    text.replace(text.find("%d"), 2, std::to_string(result.Failed.size()));
    // A box, not a log: the first few, and how many more.
    constexpr std::size_t kShown = 15;
    for (std::size_t i = 0; i < result.Failed.size() && i < kShown; ++i) {
        const TIconReport& icon = result.Failed[i];
        text += "\n" + std::to_string(icon.Index) + " \"" + PrintableText(icon.Name) + "\"：" +
                PrintableText(icon.Failures.front());
    }
    if (result.Failed.size() > kShown)
        text += "\n……（另有" + std::to_string(result.Failed.size() - kShown) + "个）";
    return text;
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
