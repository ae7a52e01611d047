#pragma once

#include <string>
#include <string_view>

namespace plumwick {

// Writes Data to Path so that a reader sees either the former file or the complete new one, never a part:
// the bytes go to a temporary file in the same folder, which then replaces Path. Raises std::runtime_error
// ("cannot write <path>: <reason>") on failure; the temporary file is removed then.
void WriteFileAtomically(const std::string& path, std::string_view data);

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
