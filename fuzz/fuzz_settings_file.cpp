// SPDX-License-Identifier: Apache-2.0
// Arbitrary bytes as a settings file: read it, decode every field, encode back. Whatever the file
// holds, the frame bytes and the unassigned fields of the block must come through unchanged, and
// a refused file must leave the block exactly as it was.
#include "FuzzChecks.h"
#include "SettingsFile.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The file lives in memory only (it is gone with the process, whatever way it ends) and
    // is reached by its path like any other file.
    static const int fd = ::memfd_create("vellmark-fuzz", MFD_CLOEXEC);
    if (fd < 0)
        std::abort();
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (::ftruncate(fd, 0) != 0)
        std::abort();
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = ::pwrite(fd, data + done, size - done, static_cast<off_t>(done));
        if (n <= 0)
            std::abort();
        done += static_cast<std::size_t>(n);
    }

    vellmark::SettingsBlock block = vellmark::FactoryDefaults;
    const auto result = vellmark::ReadSettingsFile(path, block);
    const bool valid =
        size >= vellmark::kFileSize &&
        std::equal(vellmark::kFileHeader.begin(), vellmark::kFileHeader.end(), data,
                   [](char h, std::uint8_t b) { return static_cast<std::uint8_t>(h) == b; });
    if (result == vellmark::ReadResult::NotSettingsFile) {
        if (block != vellmark::FactoryDefaults)
            std::abort(); // a refused file changed the block
        if (valid)
            std::abort(); // a settings file was refused
        return 0;
    }
    if (!valid)
        std::abort(); // a short file or a wrong header was accepted
    if (!std::equal(block.begin(), block.end(), data + vellmark::kHeaderSize))
        std::abort(); // the block is not the file's
    vellmark::fuzz::CheckRoundTrip(block);
    return 0;
}
