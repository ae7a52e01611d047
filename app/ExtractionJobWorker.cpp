#include "app/ExtractionJobWorker.h"

namespace plumwick {

TExtractionJobWorker::TExtractionJobWorker(TRenderFunction render) : FRender(std::move(render)) {}

void TExtractionJobWorker::RequestStop()
{
    FStop = true;
}

TJobResult TExtractionJobWorker::Result() const
{
    std::lock_guard lock(FMutex);
    return FResult;
}

void TExtractionJobWorker::Start(const TJobRequest& request)
{
    FStop = false;
    QMetaObject::invokeMethod(
        this, [this, request] { Run(request); }, Qt::QueuedConnection);
}

void TExtractionJobWorker::Run(const TJobRequest& request)
{
    TJobCallbacks callbacks;
    if (FRender) callbacks.Render = FRender;
    callbacks.Progress = [this](int position, int maximum) { emit Progress(position, maximum); };
    callbacks.Stop = &FStop;
    TJobResult result = RunExtraction(request, callbacks);
    {
        std::lock_guard lock(FMutex);
        FResult = std::move(result);
    }
    emit Finished();
}

}  // namespace plumwick
