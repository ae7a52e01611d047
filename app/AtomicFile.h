#pragma once

#include <string>
#include <string_view>

namespace plumwick {

// Every output file goes through here: the bytes are written to a temporary file in the same folder, every
// write, flush and close is checked, and only then does the temporary file replace Path, so a reader sees the
// former file or the complete new one, never a part. On failure the temporary file is removed and
// std::runtime_error ("cannot write <path>: <reason>") is raised.
//
// Temporary names are short and of one form, ".pw-<pid>-XXXXXX", whatever the final name: they fit wherever
// the final name fits, and a later run can tell (by the process id) those of a run that was killed.
void WriteFileAtomically(const std::string& path, std::string_view data);

// Longest final file name (bytes) the writers accept in one folder: the usual file-system limit.
inline constexpr std::size_t kMaxFileNameBytes = 255;

// True for a file name of the temporary form above.
bool IsTemporaryName(std::string_view fileName);

// Removes the temporary files that a process no longer running left in folder; returns how many. Files of
// live processes (another run writing there now) are left alone. Errors are ignored: this is housekeeping.
int RemoveStaleTemporaries(const std::string& folder);

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
