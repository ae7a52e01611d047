#include "app/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plumwick {

namespace {

std::runtime_error WriteError(const std::string& path, int error)
{
    return std::runtime_error("cannot write " + path + ": " + std::strerror(error));
}

// The mode a plain new file would get: temporary files start out private, the result should not.
mode_t DefaultFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Creates an empty, uniquely named file beside Path and returns its descriptor (its name in tempPath).
int CreateTempBeside(const std::string& path, std::string& tempPath)
{
    const std::filesystem::path target(path);
    std::filesystem::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    std::string hidden(1, '.');
    hidden += target.filename().string();
    hidden += ".tmp-XXXXXX";
    const std::string pattern = (folder / hidden).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        throw WriteError(path, errno);
    ::fchmod(fd, DefaultFileMode());
    tempPath = name.data();
    return fd;
}

}  // namespace

void WriteFileAtomically(const std::string& path, std::string_view data)
{
    std::string tempPath;
    const int fd = CreateTempBeside(path, tempPath);
    int error = 0;
    const char* next = data.data();
    std::size_t left = data.size();
    while (left > 0 && error == 0) {
        const ssize_t written = ::write(fd, next, left);
        if (written < 0) {
            if (errno != EINTR)
                error = errno;
            continue;
        }
        next += written;
        left -= static_cast<std::size_t>(written);
    }
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(tempPath.c_str(), path.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(tempPath.c_str());
        throw WriteError(path, error);
    }
}

AtomicFile::AtomicFile(std::string path) : FPath(std::move(path))
{
    ::close(CreateTempBeside(FPath, FTempPath));
}

AtomicFile::~AtomicFile()
{
    if (!FCommitted)
        ::unlink(FTempPath.c_str());
}

void AtomicFile::Commit()
{
    if (FCommitted)
        return;
    struct stat info {};
    if (::stat(FTempPath.c_str(), &info) != 0)
        throw WriteError(FPath, errno);
    // Encoders write through their own handle; make the bytes durable before they replace the old file.
    const int fd = ::open(FTempPath.c_str(), O_RDONLY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
    if (::rename(FTempPath.c_str(), FPath.c_str()) != 0)
        throw WriteError(FPath, errno);
    FCommitted = true;
}

}  // namespace plumwick
