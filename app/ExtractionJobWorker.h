#pragma once

#include "app/ExtractionJob.h"

#include <QObject>

#include <atomic>
#include <mutex>

namespace plumwick {

// Runs the extraction job away from the window's thread. Lives on its own QThread; the window hands it a
// request (settings included) and receives progress and the ending by queued signals.
class TExtractionJobWorker : public QObject {
    Q_OBJECT
public:
    explicit TExtractionJobWorker(TRenderFunction render);

    // Safe from any thread.
    void RequestStop();
    TJobResult Result() const;

    // Queues one job on the worker's thread; call from the window's thread.
    void Start(const TJobRequest& request);

signals:
    void Progress(int position, int maximum);
    void Finished();

private:
    void Run(const TJobRequest& request);

    TRenderFunction FRender;
    mutable std::mutex FMutex;
    TJobResult FResult;
    std::atomic<bool> FStop{false};
};

}  // namespace plumwick
