#pragma once

#include <string>
#include <string_view>

namespace plumwick {

// Writes Data to Path so that a reader sees either the former file or the complete new one, never a part:
// the bytes go to a temporary file in the same folder, which then replaces Path. Raises std::runtime_error
// ("cannot write <path>: <reason>") on failure; the temporary file is removed then.
void WriteFileAtomically(const std::string& path, std::string_view data);

// While one is alive (on any thread), files written by WriteFileAtomically and AtomicFile::Commit still
// replace their old files atomically but are not flushed to disk one by one: a batch of many small images
// costs one sync at its end instead of one per file. Finish makes everything written since durable and
// raises std::runtime_error ("cannot sync <folder>: <reason>") when the system reports a failure; a batch
// dropped without Finish syncs as well, silently.
class TDeferredSync {
public:
    TDeferredSync();
    ~TDeferredSync();
    TDeferredSync(const TDeferredSync&) = delete;
    TDeferredSync& operator=(const TDeferredSync&) = delete;

    void Finish();

private:
    bool FFinished = false;
};

// For writers that need a file name of their own (an encoder that opens the file itself): hands out a
// temporary name beside Path; Commit renames it over Path. When the object goes away uncommitted, the
// temporary file is removed and Path is untouched.
class AtomicFile {
public:
    explicit AtomicFile(std::string path);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    const std::string& Path() const { return FPath; }
    const std::string& TempPath() const { return FTempPath; }

    // Replaces Path by the temporary file. Raises std::runtime_error when the temporary file is missing or
    // the rename fails.
    void Commit();

private:
    std::string FPath;
    std::string FTempPath;
    bool FCommitted = false;
};

}  // namespace plumwick
