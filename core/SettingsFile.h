// The 200-byte settings file: a 20-byte header naming the model, then the 180-byte block.
#pragma once

#include "SettingsBlock.h"
#include "SettingsDocument.h"

#include <array>
#include <string>

namespace vellmark {

inline constexpr std::size_t kHeaderSize = 20;
inline constexpr std::size_t kFileSize = kHeaderSize + kBlockSize;
// "Dotrix Ledger 9040\n" with its terminating NUL.
inline constexpr std::array<char, kHeaderSize> kFileHeader = {'D', 'o', 't', 'r', 'i',  'x', ' ',
                                                              'L', 'e', 'd', 'g', 'e',  'r', ' ',
                                                              '9', '0', '4', '0', '\n', '\0'};

enum class ReadResult { Loaded, NotSettingsFile };
enum class WriteResult { Written, AccessDenied, Failed };

// Reads a file of at least 200 bytes whose first 20 bytes are the header; the block is
// replaced only then. Anything else leaves it exactly as it was.
ReadResult ReadSettingsFile(const std::string& path, SettingsBlock& block);
ReadResult ReadSettingsFile(const std::string& path, SettingsDocument& doc);

// Writes the header and the block from the start of the file without truncating it (a longer
// file keeps its tail). Every write and the close are checked. AccessDenied when the system
// says the place may not be written (EACCES, EPERM, EROFS), Failed for every other failure.
WriteResult WriteSettingsFile(const std::string& path, const SettingsBlock& block);
// As above; on Written the document's MarkSaved has run.
WriteResult WriteSettingsFile(const std::string& path, SettingsDocument& doc);

} // namespace vellmark
