#include "SettingsFile.h"

#include "UniqueFd.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vellmark {
namespace {

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
        if (n == 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

ReadResult ReadSettingsFile(const std::string& path, SettingsBlock& block) {
    // O_NONBLOCK keeps a named pipe from stalling the open; only regular files are read.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd.Valid())
        return ReadResult::NotSettingsFile;
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode))
        return ReadResult::NotSettingsFile;

    std::array<std::uint8_t, kFileSize> image{};
    if (ReadFully(fd.Get(), image.data(), image.size()) != static_cast<ssize_t>(kFileSize))
        return ReadResult::NotSettingsFile;
    if (!std::equal(kFileHeader.begin(), kFileHeader.end(), image.begin(),
                    [](char h, std::uint8_t b) { return static_cast<std::uint8_t>(h) == b; }))
        return ReadResult::NotSettingsFile;

    std::copy(image.begin() + kHeaderSize, image.end(), block.begin());
    return ReadResult::Loaded;
}

ReadResult ReadSettingsFile(const std::string& path, SettingsDocument& doc) {
    return ReadSettingsFile(path, doc.m_current);
}

WriteResult WriteSettingsFile(const std::string& path, const SettingsBlock& block) {
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666));
    if (!fd.Valid()) {
        if (errno == EACCES || errno == EPERM || errno == EROFS)
            return WriteResult::AccessDenied;
        return WriteResult::Failed;
    }
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode))
        return WriteResult::Failed;

    std::array<std::uint8_t, kFileSize> image{};
    std::copy(kFileHeader.begin(), kFileHeader.end(), image.begin());
    std::copy(block.begin(), block.end(), image.begin() + kHeaderSize);
    // No truncation: a longer file keeps its bytes after the 200th.
    if (!WriteFully(fd.Get(), image.data(), image.size()))
        return WriteResult::Failed;
    if (::fsync(fd.Get()) != 0)
        return WriteResult::Failed;
    if (!fd.Close())
        return WriteResult::Failed;
    return WriteResult::Written;
}

WriteResult WriteSettingsFile(const std::string& path, SettingsDocument& doc) {
    const WriteResult result = WriteSettingsFile(path, doc.m_current);
    if (result == WriteResult::Written)
        doc.MarkSaved();
    return result;
}

} // namespace vellmark
