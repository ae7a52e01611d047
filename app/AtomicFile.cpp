#include "app/AtomicFile.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <set>
#include <stdexcept>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plumwick {

namespace {

constexpr std::string_view kTempPrefix = ".pw-";

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

std::string FolderOf(const std::string& path)
{
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

// Creates an empty, uniquely named file beside Path and returns its descriptor (its name in tempPath).
int CreateTempBeside(const std::string& path, std::string& tempPath)
{
    const std::string pattern =
        FolderOf(path) + "/" + std::string(kTempPrefix) + std::to_string(::getpid()) + "-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) throw WriteError(path, errno);
    ::fchmod(fd, DefaultFileMode());
    tempPath = name.data();
    return fd;
}

int WriteAll(int fd, std::string_view data)
{
    const char* next = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, next, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (written == 0) return EIO;
        next += written;
        left -= static_cast<std::size_t>(written);
    }
    return 0;
}

// The process id in a temporary name, or 0 when the name has not that form.
pid_t OwnerOf(std::string_view fileName)
{
    if (!fileName.starts_with(kTempPrefix)) return 0;
    fileName.remove_prefix(kTempPrefix.size());
    const std::size_t dash = fileName.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash > 9 || fileName.size() - dash - 1 != 6) return 0;
    pid_t pid = 0;
    for (const char c : fileName.substr(0, dash)) {
        if (c < '0' || c > '9') return 0;
        pid = pid * 10 + (c - '0');
    }
    return pid;
}

// The folders written into while a TDeferredSync is alive.
struct TDeferredFolders {
    std::mutex Lock;
    int Active = 0;
    std::set<std::string> Folders;
};

TDeferredFolders& Deferred()
{
    static TDeferredFolders deferred;
    return deferred;
}

// True when the file's sync is left to the running batch, which then learns its folder.
bool DeferSync(const std::string& path)
{
    TDeferredFolders& deferred = Deferred();
    const std::lock_guard guard(deferred.Lock);
    if (deferred.Active == 0) return false;
    deferred.Folders.insert(FolderOf(path));
    return true;
}

// One syncfs per file system: it writes out every file renamed into those folders and their entries.
void SyncFolders(const std::set<std::string>& folders)
{
    std::set<dev_t> synced;
    for (const std::string& folder : folders) {
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) throw std::runtime_error("cannot sync " + folder + ": " + std::strerror(errno));
        struct stat info {};
        int error = 0;
        if (::fstat(fd, &info) == 0 && synced.insert(info.st_dev).second && ::syncfs(fd) != 0) error = errno;
        ::close(fd);
        if (error != 0) throw std::runtime_error("cannot sync " + folder + ": " + std::strerror(error));
    }
}

}  // namespace

TDeferredSync::TDeferredSync()
{
    const std::lock_guard guard(Deferred().Lock);
    ++Deferred().Active;
}

TDeferredSync::~TDeferredSync()
{
    if (FFinished) return;
    try {
        Finish();
    } catch (const std::exception&) {
        // The run already failed; its own error is the one reported.
    }
}

void TDeferredSync::Finish()
{
    if (FFinished) return;
    FFinished = true;
    std::set<std::string> folders;
    {
        TDeferredFolders& deferred = Deferred();
        const std::lock_guard guard(deferred.Lock);
        --deferred.Active;
        folders.swap(deferred.Folders);
    }
    SyncFolders(folders);
}

bool IsTemporaryName(std::string_view fileName)
{
    return OwnerOf(fileName) > 0;
}

int RemoveStaleTemporaries(const std::string& folder)
{
    int removed = 0;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        const pid_t owner = OwnerOf(name);
        // A process that still runs may be writing it now (or reuses a dead one's id: then it stays, harmlessly).
        if (owner <= 0 || owner == ::getpid() || ::kill(owner, 0) == 0 || errno != ESRCH) continue;
        std::error_code ignored;
        if (it->is_regular_file(ignored) && std::filesystem::remove(it->path(), ignored)) ++removed;
    }
    return removed;
}

void WriteFileAtomically(const std::string& path, std::string_view data)
{
    std::string tempPath;
    const int fd = CreateTempBeside(path, tempPath);
    int error = WriteAll(fd, data);
    if (error == 0 && !DeferSync(path) && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(tempPath.c_str(), path.c_str()) != 0) error = errno;
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
    if (!FCommitted) ::unlink(FTempPath.c_str());
}

void AtomicFile::Commit()
{
    if (FCommitted) return;
    struct stat info {};
    if (::stat(FTempPath.c_str(), &info) != 0) throw WriteError(FPath, errno);
    // Encoders write through their own handle; make the bytes durable before they replace the old file.
    if (!DeferSync(FPath)) {
        const int fd = ::open(FTempPath.c_str(), O_RDONLY);
        if (fd < 0) throw WriteError(FPath, errno);
        const int synced = ::fsync(fd) == 0 ? 0 : errno;
        ::close(fd);
        if (synced != 0) throw WriteError(FPath, synced);
    }
    if (::rename(FTempPath.c_str(), FPath.c_str()) != 0) throw WriteError(FPath, errno);
    FCommitted = true;
}

}  // namespace plumwick
