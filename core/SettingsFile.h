// SPDX-License-Identifier: Apache-2.0
// The 200-byte settings file: a 20-byte header naming the model, then the 180-byte block.
//
// Every read takes a shared lock (flock) on the file and every write an exclusive one, so a
// reader never sees a half-written file and two writers never interleave. A lock that another
// program keeps is waited for ten seconds at most unless the caller asks for less; then the call
// fails with EWOULDBLOCK, which tells "in use by another program" apart from every other failure.
#pragma once

#include "SettingsBlock.h"
#include "SettingsDocument.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <functional>
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

// Why a read or write failed, for callers that tell the user more than the window does: the
// system's error number (ENOENT, EACCES, EROFS, EISDIR, ENOSPC, ELOOP, EWOULDBLOCK for a lock
// held too long, ...), or 0 when the file could be read but is not a settings file.
struct FileError {
    int error = 0;

    // Another program held the file locked for longer than the call waited.
    bool Locked() const { return error == EWOULDBLOCK; }
};

// How long a read or a write waits for a lock that another program keeps, unless told.
inline constexpr std::chrono::milliseconds kDefaultLockWait{10000};

// Reads a file of at least 200 bytes whose first 20 bytes are the header; the block is
// replaced only then. Anything else leaves it exactly as it was.
ReadResult ReadSettingsFile(const std::string& path, SettingsBlock& block, FileError* why = nullptr,
                            std::chrono::milliseconds lockWait = kDefaultLockWait);
ReadResult ReadSettingsFile(const std::string& path, SettingsDocument& doc,
                            FileError* why = nullptr,
                            std::chrono::milliseconds lockWait = kDefaultLockWait);

// Writes the header and the block from the start of the file without truncating it (a longer
// file keeps its tail). Every write, the sync and the close are checked. AccessDenied when the
// system says the place may not be written (EACCES, EPERM, EROFS), Failed for every other
// failure. A file that this call created is removed again when the write fails; an existing
// file keeps its old bytes where the write did not reach.
WriteResult WriteSettingsFile(const std::string& path, const SettingsBlock& block,
                              FileError* why = nullptr,
                              std::chrono::milliseconds lockWait = kDefaultLockWait);
// As above; on Written the document's MarkSaved has run.
WriteResult WriteSettingsFile(const std::string& path, SettingsDocument& doc,
                              FileError* why = nullptr,
                              std::chrono::milliseconds lockWait = kDefaultLockWait);

// The two steps that hand a written file to the disk, as the system's fsync and close: each
// returns 0, or -1 with errno set. A test puts in steps that fail as a failing disk or a
// network file system would; SetDiskFinish returns the steps it replaces.
struct DiskFinish {
    int (*sync)(int fd);
    int (*close)(int fd);
};
DiskFinish SetDiskFinish(DiskFinish steps);

// One read-change-write of a settings file under one exclusive lock, so that edits made at
// the same time by several programs all survive.
enum class UpdateResult {
    Written,         // the changed block is in the file
    Refused,         // `change` returned false: nothing was written
    NotSettingsFile, // the file is missing, unreadable or not a settings file: nothing written
    AccessDenied,    // as for WriteSettingsFile
    Failed,
};
enum class IfMissing { Fail, Create };

// Reads the block of the file at `path` and hands it to `change`; when that returns true, the
// block it leaves is written back. With IfMissing::Create a file that does not exist, or an
// empty one, is made, and `change` starts from FactoryDefaults; any other file must be a
// settings file. A file created here is removed again when the write fails.
UpdateResult UpdateSettingsFile(const std::string& path, IfMissing ifMissing,
                                const std::function<bool(SettingsBlock&)>& change,
                                FileError* why = nullptr);

} // namespace vellmark
