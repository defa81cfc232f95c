// SPDX-License-Identifier: Apache-2.0
#include "SettingsFile.h"

#include "UniqueFd.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace vellmark {
namespace {

using FileImage = std::array<std::uint8_t, kFileSize>;

DiskFinish g_diskFinish{::fsync, ::close};

// Reads up to `size` bytes from the start of the file; returns the count read, or -1.
ssize_t ReadFully(int fd, std::uint8_t* buf, std::size_t size) {
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::pread(fd, buf + got, size - got, static_cast<off_t>(got));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(got);
}

bool WriteFully(int fd, const std::uint8_t* buf, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd, buf + done, size - done, static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool HasHeader(const FileImage& image) {
    return std::equal(kFileHeader.begin(), kFileHeader.end(), image.begin(),
                      [](char h, std::uint8_t b) { return static_cast<std::uint8_t>(h) == b; });
}

// Waits for the lock within `wait`. A file system that cannot lock at all is used without the
// lock rather than refused.
bool Lock(int fd, int operation, std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    auto pause = std::chrono::milliseconds(1);
    for (;;) {
        if (::flock(fd, operation | LOCK_NB) == 0)
            return true;
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK)
            return true;
        if (std::chrono::steady_clock::now() >= deadline) {
            errno = EWOULDBLOCK;
            return false;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(20));
    }
}

struct LockedFile {
    UniqueFd fd;
    bool created = false;    // this call made the file
    std::string createdPath; // the name of the file made: the link's target for a link
    bool regular = false;
    bool directory = false;
    off_t size = 0;
    int error = 0; // errno when fd is not valid
};

// The file a link leads to, now that it exists; empty when that cannot be told.
std::string LinkTarget(const std::string& link) {
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(link.c_str(), nullptr),
                                                         &std::free);
    return resolved ? std::string(resolved.get()) : std::string();
}

// Removes the file this call made, never a link that led to it: a save through a link to a
// missing file that fails leaves the link as the user made it.
void RemoveCreated(const LockedFile& f) {
    if (f.created && !f.createdPath.empty())
        ::unlink(f.createdPath.c_str());
}

// Opens the file (creating it when asked and it does not exist) and locks it. A file that
// another writer removed or replaced while this one waited for the lock is opened again, so
// the lock always guards the file that the name leads to.
LockedFile OpenLocked(const std::string& path, int access, bool create, int lockOperation,
                      std::chrono::milliseconds lockWait = kDefaultLockWait) {
    LockedFile f;
    for (int attempt = 0; attempt < 20; ++attempt) {
        f = LockedFile{};
        f.fd = UniqueFd(::open(path.c_str(), access | O_CLOEXEC | O_NONBLOCK));
        if (!f.fd.Valid() && errno == ENOENT && create) {
            f.fd = UniqueFd(
                ::open(path.c_str(), access | O_CREAT | O_EXCL | O_CLOEXEC | O_NONBLOCK, 0666));
            if (!f.fd.Valid() && errno == EEXIST) {
                struct stat link {};
                if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode))
                    continue; // made by someone else just now: open theirs
                // A link to a file that does not exist yet: create the file it names.
                f.fd =
                    UniqueFd(::open(path.c_str(), access | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666));
                if (f.fd.Valid())
                    f.createdPath = LinkTarget(path);
            } else if (f.fd.Valid()) {
                f.createdPath = path;
            }
            f.created = f.fd.Valid();
        }
        if (!f.fd.Valid()) {
            f.error = errno;
            return f;
        }
        struct stat st {};
        if (::fstat(f.fd.Get(), &st) != 0) {
            f.error = errno;
            f.fd = UniqueFd();
            return f;
        }
        f.regular = S_ISREG(st.st_mode);
        f.directory = S_ISDIR(st.st_mode);
        if (!f.regular)
            return f;
        if (!Lock(f.fd.Get(), lockOperation, lockWait)) {
            f.error = errno;
            f.fd = UniqueFd();
            return f;
        }
        struct stat named {};
        // Our open file keeps its inode number from being reused, so the same number under
        // the name means the same file.
        if (::fstat(f.fd.Get(), &st) == 0 && ::stat(path.c_str(), &named) == 0 &&
            named.st_dev == st.st_dev && named.st_ino == st.st_ino) {
            f.size = st.st_size;
            return f;
        }
    }
    f.fd = UniqueFd();
    f.error = EWOULDBLOCK;
    return f;
}

// The reason for a file that opened but cannot hold settings.
int NotRegularError(const LockedFile& f) {
    return f.directory ? EISDIR : 0;
}

WriteResult WriteResultFor(int error) {
    if (error == EACCES || error == EPERM || error == EROFS)
        return WriteResult::AccessDenied;
    return WriteResult::Failed;
}

// Writes header and block into the locked file, syncs and closes it. A file that the caller
// created is removed again when anything fails. Returns 0 or the error number.
int WriteImage(LockedFile& f, const SettingsBlock& block) {
    FileImage image{};
    std::copy(kFileHeader.begin(), kFileHeader.end(), image.begin());
    std::copy(block.begin(), block.end(), image.begin() + kHeaderSize);
    // No truncation: a longer file keeps its bytes after the 200th.
    int error = 0;
    if (!WriteFully(f.fd.Get(), image.data(), image.size()) || g_diskFinish.sync(f.fd.Get()) != 0)
        error = errno;
    if (error != 0)
        RemoveCreated(f); // still under the lock: nobody else has used the new file
    if (g_diskFinish.close(f.fd.Release()) != 0 && error == 0) {
        error = errno;
        RemoveCreated(f);
    }
    return error;
}

void Tell(FileError* why, int error) {
    if (why)
        why->error = error;
}

// The file's whole image read and its block taken; false, with the reason told, for a file that
// cannot be read or is no settings file (short, long or without the header).
bool ReadBlock(const LockedFile& f, SettingsBlock& block, FileError* why) {
    FileImage image{};
    const ssize_t got = ReadFully(f.fd.Get(), image.data(), image.size());
    if (got < 0) {
        Tell(why, errno);
        return false;
    }
    if (got != static_cast<ssize_t>(kFileSize) || !HasHeader(image)) {
        Tell(why, 0);
        return false;
    }
    std::copy(image.begin() + kHeaderSize, image.end(), block.begin());
    return true;
}

} // namespace

DiskFinish SetDiskFinish(DiskFinish steps) {
    return std::exchange(g_diskFinish, steps);
}

ReadResult ReadSettingsFile(const std::string& path, SettingsBlock& block, FileError* why,
                            std::chrono::milliseconds lockWait) {
    LockedFile f = OpenLocked(path, O_RDONLY, false, LOCK_SH, lockWait);
    if (!f.fd.Valid() || !f.regular) {
        // O_NONBLOCK kept a named pipe from stalling the open; only regular files are read.
        Tell(why, f.fd.Valid() ? NotRegularError(f) : f.error);
        return ReadResult::NotSettingsFile;
    }
    if (!ReadBlock(f, block, why))
        return ReadResult::NotSettingsFile;
    Tell(why, 0);
    return ReadResult::Loaded;
}

ReadResult ReadSettingsFile(const std::string& path, SettingsDocument& doc, FileError* why,
                            std::chrono::milliseconds lockWait) {
    return ReadSettingsFile(path, doc.m_current, why, lockWait);
}

WriteResult WriteSettingsFile(const std::string& path, const SettingsBlock& block, FileError* why,
                              std::chrono::milliseconds lockWait) {
    LockedFile f = OpenLocked(path, O_RDWR, true, LOCK_EX, lockWait);
    if (!f.fd.Valid()) {
        Tell(why, f.error);
        return WriteResultFor(f.error);
    }
    if (!f.regular) {
        Tell(why, NotRegularError(f));
        return WriteResult::Failed;
    }
    const int error = WriteImage(f, block);
    Tell(why, error);
    return error == 0 ? WriteResult::Written : WriteResultFor(error);
}

WriteResult WriteSettingsFile(const std::string& path, SettingsDocument& doc, FileError* why,
                              std::chrono::milliseconds lockWait) {
    const WriteResult result = WriteSettingsFile(path, doc.m_current, why, lockWait);
    if (result == WriteResult::Written)
        doc.MarkSaved();
    return result;
}

UpdateResult UpdateSettingsFile(const std::string& path, IfMissing ifMissing,
                                const std::function<bool(SettingsBlock&)>& change, FileError* why) {
    const bool create = ifMissing == IfMissing::Create;
    LockedFile f = OpenLocked(path, O_RDWR, create, LOCK_EX);
    if (!f.fd.Valid()) {
        Tell(why, f.error);
        switch (f.error) {
        case ENOENT:
        case ENOTDIR:
        case ELOOP:
        case ENAMETOOLONG:
        case EISDIR:
            return UpdateResult::NotSettingsFile;
        default:
            return WriteResultFor(f.error) == WriteResult::AccessDenied ? UpdateResult::AccessDenied
                                                                        : UpdateResult::Failed;
        }
    }
    if (!f.regular) {
        Tell(why, NotRegularError(f));
        return UpdateResult::NotSettingsFile;
    }

    SettingsBlock block = FactoryDefaults;
    if (!(create && f.size == 0)) {
        if (!ReadBlock(f, block, why))
            return UpdateResult::NotSettingsFile;
    }
    if (!change(block)) {
        RemoveCreated(f);
        Tell(why, 0);
        return UpdateResult::Refused;
    }
    const int error = WriteImage(f, block);
    Tell(why, error);
    if (error == 0)
        return UpdateResult::Written;
    return WriteResultFor(error) == WriteResult::AccessDenied ? UpdateResult::AccessDenied
                                                              : UpdateResult::Failed;
}

} // namespace vellmark
