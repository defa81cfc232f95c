// Arbitrary bytes as a settings file: read it, decode every field, encode back. Whatever the file
// holds, the frame bytes and the unassigned fields of the block must come through unchanged, and
// a refused file must leave the block exactly as it was.
#include "FuzzChecks.h"
#include "SettingsFile.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = [] {
        char tmpl[] = "/tmp/vellmark-fuzz-XXXXXX";
        const int fd = ::mkstemp(tmpl);
        if (fd < 0)
            std::abort();
        ::close(fd);
        return std::string(tmpl);
    }();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        std::abort();
    if (size && std::fwrite(data, 1, size, f) != size)
        std::abort();
    std::fclose(f);

    vellmark::SettingsBlock block = vellmark::FactoryDefaults;
    const auto result = vellmark::ReadSettingsFile(path, block);
    if (result == vellmark::ReadResult::NotSettingsFile) {
        if (block != vellmark::FactoryDefaults)
            std::abort(); // a refused file changed the block
        return 0;
    }
    if (size < vellmark::kFileSize)
        std::abort(); // a short file was accepted
    vellmark::fuzz::CheckRoundTrip(block);
    return 0;
}
