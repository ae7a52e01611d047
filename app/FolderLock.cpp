#include "app/FolderLock.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace plumwick {

TFolderLock::TFolderLock(const std::string& folder)
{
    // The folder itself is locked, so no lock file is left behind in it.
    FFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (FFd < 0) throw std::runtime_error("cannot open the output folder " + folder + ": " + std::strerror(errno));
    if (::flock(FFd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(FFd);
        FFd = -1;
        if (error == EWOULDBLOCK)
            throw std::runtime_error("another extraction is writing into " + folder + "; try again when it has ended");
        throw std::runtime_error("cannot lock the output folder " + folder + ": " + std::strerror(error));
    }
}

TFolderLock::~TFolderLock()
{
    if (FFd >= 0) ::close(FFd);
}

}  // namespace plumwick
