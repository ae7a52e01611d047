#pragma once

#include <string>

namespace plumwick {

// An advisory lock on a folder, held while the object lives: two jobs writing into one output folder would
// mix their files. The lock goes with the process, so a killed run leaves nothing to clean up.
class TFolderLock {
public:
    // Raises std::runtime_error when the folder cannot be opened or another process holds the lock.
    explicit TFolderLock(const std::string& folder);
    ~TFolderLock();
    TFolderLock(const TFolderLock&) = delete;
    TFolderLock& operator=(const TFolderLock&) = delete;

private:
    int FFd = -1;
};

}  // namespace plumwick
