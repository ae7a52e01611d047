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
#include <exception>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <vector>

namespace plumwick {

namespace {

constexpr char kSeparator = static_cast<char>(std::filesystem::path::preferred_separator);

TJobResult Ended(TJobEnd end, std::string text = {})
{
    TJobResult result;
    result.End = end;
    result.Text = std::move(text);
    return result;
}

TJobResult EndedBy(TJobProblem problem, std::string text)
{
    TJobResult result = Ended(TJobEnd::Problem, std::move(text));
    result.Problem = problem;
    return result;
}

TJobSettings BoundedSettings(TJobSettings settings)
{
    // A size typed but not yet confirmed can be anything; keep the bitmaps bounded.
    settings.Width = std::clamp(settings.Width, kMinIconSize, kMaxIconSize);
    settings.Height = std::clamp(settings.Height, kMinIconSize, kMaxIconSize);
    for (TIconSize& size : settings.Sizes) {
        size.Width = std::clamp(size.Width, kMinIconSize, kMaxIconSize);
        size.Height = std::clamp(size.Height, kMinIconSize, kMaxIconSize);
    }
    return settings;
}

// One image of every icon: its folder and size.
struct TImageTarget {
    std::string Folder;
    TIconSize Size;
};

// Where a job writes.
struct TPlan {
    std::string SvgFolder;
    std::string IconSetFolder;         // set when each icon becomes one .ico holding several sizes
    std::vector<TImageTarget> Images;  // otherwise
};

TPlan MakePlan(const std::string& outputFolder, const TJobSettings& settings)
{
    TPlan plan;
    plan.SvgFolder = SvgFolder(outputFolder);
    if (!settings.IcoSizes.empty()) {
        plan.IconSetFolder = IconSetFolder(outputFolder);
        return plan;
    }
    std::vector<TIconSize> sizes = settings.Sizes;
    if (sizes.empty()) sizes = {{settings.Width, settings.Height}, {settings.Width / 2, settings.Height / 2}};
    for (const TIconSize& size : sizes)
        plan.Images.push_back({SizeFolder(outputFolder, size.Width, size.Height), size});
    return plan;
}

bool StopRequested(const TJobCallbacks& callbacks)
{
    return callbacks.Stop && callbacks.Stop->load();
}

void Report(const TJobCallbacks& callbacks, int position, int maximum)
{
    if (callbacks.Progress) callbacks.Progress(position, maximum);
}

void CreateFolder(const std::string& folder)
{
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(folder), error);
    if (error) throw std::runtime_error("Cannot create folder \"" + folder + "\": " + error.message());
}

std::size_t DecimalDigits(int value)
{
    return std::to_string(value).size();
}

void AddFailure(std::vector<std::string>& failures, std::string text)
{
    // Both sizes of an icon fail alike when its SVG cannot be loaded: say it once.
    if (text.empty()) text = "failed";
    if (std::find(failures.begin(), failures.end(), text) == failures.end()) failures.push_back(std::move(text));
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
        callbacks.Render(svgText, fileName, width, height, asIcon, warnings);
    } catch (const std::exception& error) {
        AddFailure(report.Failures, error.what());
    }
    AddNotes(report, std::move(warnings));
}

// The SVG file and the images of one icon. Never throws: what went wrong is in the report.
TIconReport WriteIcon(const TJsonReply& reply, int index, const TPlan& plan, const TJobSettings& settings,
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
    if (stem.Changed) report.Notes.push_back("its files are named \"" + stem.Name + "-" + std::to_string(index) + "\"");
    try {
        WriteFileAtomically(IconFileName(plan.SvgFolder, stem.Name, index, "svg"), svgText);
    } catch (const std::exception& error) {
        AddFailure(report.Failures, error.what());
    }
    if (!plan.IconSetFolder.empty()) {
        const std::string fileName = IconFileName(plan.IconSetFolder, stem.Name, index, "ico");
        std::vector<std::string> warnings;
        try {
            callbacks.RenderIconSet(svgText, fileName, settings.IcoSizes, warnings);
        } catch (const std::exception& error) {
            AddFailure(report.Failures, error.what());
        }
        AddNotes(report, std::move(warnings));
        return report;
    }
    const bool asIcon = settings.Format == TImageFormat::Ico;
    const std::string_view extension = FormatExtension(settings.Format);
    for (const TImageTarget& image : plan.Images)
        RenderImage(svgText, IconFileName(image.Folder, stem.Name, index, extension), image.Size.Width,
                    image.Size.Height, asIcon, callbacks, report);
    return report;
}

// Hands a finished icon to the caller and keeps its failures for the summary.
void Deliver(const TJobCallbacks& callbacks, TJobResult& result, TIconReport report, int count)
{
    Report(callbacks, report.Index, count);
    if (callbacks.IconReported && (!report.Notes.empty() || !report.Failures.empty())) callbacks.IconReported(report);
    if (callbacks.IconDone) callbacks.IconDone(report.Index, count, report.Name);
    if (!report.Failures.empty()) result.Failed.push_back(std::move(report));
}

// The icons on several threads. Finished icons are reported in index order, so the progress never runs
// ahead of an icon still being written. False when a stop was asked for.
bool WriteIconsInParallel(const TJsonReply& reply, int count, TJobResult& result, const TPlan& plan,
                          const TJobSettings& settings, const TJobCallbacks& callbacks)
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
        TIconReport report = WriteIcon(reply, static_cast<int>(slot), plan, settings, callbacks);
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
    if (!reply) return EndedBy(TJobProblem::InvalidReply, "the reply is not valid JSON");
    const int count = reply->IconCount();

    // Files are synced once, when all are written, rather than one by one.
    TDeferredSync sync;
    TJobResult result;
    const TJobSettings sizes = BoundedSettings(request.Settings);
    const TPlan plan = MakePlan(request.OutputFolder, sizes);
    if (!plan.IconSetFolder.empty()) result.ImageFolders.push_back(plan.IconSetFolder);
    for (const TImageTarget& image : plan.Images)
        if (std::find(result.ImageFolders.begin(), result.ImageFolders.end(), image.Folder) ==
            result.ImageFolders.end())
            result.ImageFolders.push_back(image.Folder);
    result.SvgFolder = plan.SvgFolder;
    // Two jobs in one folder would mix their files (and each would clean up the other's temporary files).
    const TFolderLock folderLock(request.OutputFolder);
    std::vector<std::string> folders = {request.OutputFolder};
    folders.insert(folders.end(), result.ImageFolders.begin(), result.ImageFolders.end());
    folders.push_back(result.SvgFolder);
    for (const std::string& folder : folders) {
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
            Deliver(callbacks, result, WriteIcon(*reply, index, plan, sizes, callbacks), count);
        }
    } else if (!WriteIconsInParallel(*reply, count, result, plan, sizes, callbacks)) {
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

void RenderWithRasterExport(std::string_view svgText, const std::string& fileName, int width, int height, bool asIcon,
                            std::vector<std::string>& warnings)
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
    if (asIcon)
        SaveDocumentAsIcon(*last.Document, fileName, width, height);
    else
        SaveDocumentAsImage(*last.Document, fileName, width, height);
}

void RenderIconSetWithRasterExport(std::string_view svgText, const std::string& fileName,
                                   std::span<const TIconSize> sizes, std::vector<std::string>& warnings)
{
    TSVG document;
    document.SetImageSources(TImageSources{TImageSources::TKind::DataOnly, {}});
    document.LoadFromText(svgText);
    warnings = document.GetWarnings();
    SaveDocumentAsIconSet(document, fileName, sizes);
}

std::string_view FormatExtension(TImageFormat format)
{
    switch (format) {
        case TImageFormat::Bmp:
            return "bmp";
        case TImageFormat::Ico:
            return "ico";
        case TImageFormat::Png:
            break;
    }
    return "png";
}

std::optional<TInputProblem> CheckJobInputs(std::string_view cid, const std::string& outputFolder)
{
    if (cid.empty()) return TInputProblem::EmptyCid;
    return CheckOutputFolder(outputFolder);
}

std::optional<TInputProblem> CheckOutputFolder(const std::string& outputFolder)
{
    std::error_code error;
    if (!std::filesystem::is_directory(std::filesystem::path(outputFolder), error))
        return TInputProblem::NoOutputFolder;
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
            if (callbacks.Stop) http.Cancel = callbacks.Stop;
            THttpResponse response;
            try {
                response = HttpGetRetrying(CollectionUrl(request.ApiBase, request.Cid), http);
            } catch (const EHttpCancelled&) {
                return Ended(TJobEnd::Stopped);
            } catch (const EHttpError& error) {
                return EndedBy(TJobProblem::Network, error.what());
            }
            if (response.StatusCode != 200) {
                TJobResult failed = EndedBy(TJobProblem::HttpStatus, "the service answered with HTTP status " +
                                                                         std::to_string(response.StatusCode));
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

std::string WithFullStop(std::string message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') message += '.';
    return message;
}

std::string DefaultApiBase()
{
    const char* base = std::getenv("PLUMWICK_API_BASE");
    return base && *base ? std::string(base) : std::string(kDefaultApiBase);
}

std::string CollectionUrl(std::string_view apiBase, std::string_view cid)
{
    if (apiBase.ends_with('/')) apiBase.remove_suffix(1);
    return std::string(apiBase) + kCollectionPath + std::string(cid);
}

}  // namespace plumwick
