// SPDX-License-Identifier: Apache-2.0
#include "SettingsFile.h"
#include "TestBlocks.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sched.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace vellmark;
namespace fs = std::filesystem;

namespace {

std::string Header() {
    return std::string(kFileHeader.data(), kFileHeader.size());
}
std::string BlockText(const SettingsBlock& b) {
    return std::string(reinterpret_cast<const char*>(b.data()), b.size());
}
// Edits that take the block as it is, and that refuse it.
bool Keep(SettingsBlock&) {
    return true;
}
bool Refuse(SettingsBlock&) {
    return false;
}

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/vellmark-file-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    std::string Path(const std::string& name) const { return (dir / name).string(); }
    void WriteRaw(const std::string& path, const std::string& bytes) const {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    std::string ReadRaw(const std::string& path) const {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    fs::path dir;
};

// Mounts a small tmpfs in a mount namespace of this process only; false where the machine
// does not allow it (not root).
bool MountTmpfs(const std::string& where, const char* options) {
    static const bool isolated = [] {
        return ::unshare(CLONE_NEWNS) == 0 &&
               ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    }();
    return isolated && ::mount("tmpfs", where.c_str(), "tmpfs", 0, options) == 0;
}

} // namespace

// A save writes the header and the block from the start of the file, keeps a longer file's
// tail, and counts as saved; the file reads back as the block.
TEST_F(SettingsFileTest, WrittenFileIsHeaderAndBlockAndReadsBack) {
    const std::string tail(100, 'T');
    WriteRaw(Path("long.dat"), std::string(200, 'x') + tail);
    SettingsDocument doc;
    doc.m_current = test::NonFactoryBlock();
    for (const char* name : {"a.dat", "long.dat"}) {
        ASSERT_EQ(WriteSettingsFile(Path(name), doc), WriteResult::Written);
        EXPECT_FALSE(doc.ChangedSinceSaved());
        const std::string bytes = ReadRaw(Path(name));
        EXPECT_EQ(bytes.substr(0, 200), Header() + BlockText(doc.m_current)) << name;
        EXPECT_EQ(bytes.substr(200), name == std::string("a.dat") ? "" : tail) << name;
        SettingsBlock back = FactoryDefaults;
        EXPECT_EQ(ReadSettingsFile(Path(name), back), ReadResult::Loaded);
        EXPECT_EQ(back, doc.m_current);
        doc.m_current[16] = '2';
    }
}

TEST_F(SettingsFileTest, WrongShortMissingAndOddFilesLeaveTheBlockAlone) {
    const std::string good = Header() + BlockText(test::NonFactoryBlock());
    WriteRaw(Path("short.dat"), good.substr(0, 120)); // header and 100 block bytes
    WriteRaw(Path("tiny.dat"), good.substr(0, 19));
    WriteRaw(Path("empty.dat"), "");
    WriteRaw(Path("just-header.dat"), Header());
    fs::create_directory(Path("dir.dat"));
    ASSERT_EQ(::mkfifo(Path("fifo.dat").c_str(), 0600), 0);
    fs::create_symlink("loop.dat", Path("loop.dat"));
    // The reason each is refused for: the system's error, or 0 for "not a settings file".
    std::vector<std::pair<std::string, int>> rows = {
        {"short.dat", 0}, {"tiny.dat", 0},     {"empty.dat", 0},        {"just-header.dat", 0},
        {"fifo.dat", 0},  {"dir.dat", EISDIR}, {"missing.dat", ENOENT}, {"loop.dat", ELOOP}};
    // Every header byte wrong in turn.
    for (std::size_t i = 0; i < 20; ++i) {
        std::string bad = good;
        bad[i] = static_cast<char>(bad[i] ^ 0x20);
        rows.emplace_back("header" + std::to_string(i) + ".dat", 0);
        WriteRaw(Path(rows.back().first), bad);
    }
    for (const auto& [name, error] : rows) {
        SettingsDocument doc;
        doc.m_current[50] = 'x';
        const SettingsBlock before = doc.m_current;
        FileError why{-1};
        EXPECT_EQ(ReadSettingsFile(Path(name), doc, &why), ReadResult::NotSettingsFile) << name;
        EXPECT_EQ(why.error, error) << name;
        EXPECT_EQ(doc.m_current, before) << name;
        // An edit refuses them alike and writes nothing.
        bool changed = false;
        EXPECT_EQ(UpdateSettingsFile(Path(name), IfMissing::Fail,
                                     [&](SettingsBlock&) { return changed = true; }),
                  UpdateResult::NotSettingsFile)
            << name;
        EXPECT_FALSE(changed) << name;
    }
    EXPECT_FALSE(fs::exists(Path("missing.dat")));
    EXPECT_EQ(ReadRaw(Path("short.dat")), good.substr(0, 120));
}

// One edit: read, change and write back; a refused change and a refused file write nothing.
TEST_F(SettingsFileTest, UpdateChangesTheBlockInPlace) {
    const SettingsBlock start = test::NonFactoryBlock();
    const std::string tail = "tail";
    WriteRaw(Path("a.dat"), Header() + BlockText(start) + tail);
    SettingsBlock seen{};
    // An edit that keeps the block it is given and writes `c` into the first font's byte.
    const auto setFont = [&seen](std::uint8_t c) {
        return [&seen, c](SettingsBlock& b) {
            seen = b;
            b[16] = c;
            return true;
        };
    };
    EXPECT_EQ(UpdateSettingsFile(Path("a.dat"), IfMissing::Fail, setFont('1')),
              UpdateResult::Written);
    EXPECT_EQ(seen, start);
    SettingsBlock expected = start;
    expected[16] = '1';
    EXPECT_EQ(ReadRaw(Path("a.dat")), Header() + BlockText(expected) + tail);

    const auto refuse = [](SettingsBlock& b) {
        b[16] = '4';
        return false;
    };
    EXPECT_EQ(UpdateSettingsFile(Path("a.dat"), IfMissing::Fail, refuse), UpdateResult::Refused);
    EXPECT_EQ(ReadRaw(Path("a.dat")), Header() + BlockText(expected) + tail);
    EXPECT_EQ(UpdateSettingsFile(Path("new.dat"), IfMissing::Create, refuse),
              UpdateResult::Refused);
    EXPECT_FALSE(fs::exists(Path("new.dat")));

    // Create: a new or empty file starts from the factory settings; other files must hold
    // settings.
    WriteRaw(Path("empty.dat"), "");
    WriteRaw(Path("notes.txt"), std::string(300, 'n'));
    for (const char* name : {"new.dat", "empty.dat", "notes.txt"}) {
        seen = {};
        const UpdateResult result = UpdateSettingsFile(Path(name), IfMissing::Create, setFont('2'));
        if (std::string(name) == "notes.txt") {
            EXPECT_EQ(result, UpdateResult::NotSettingsFile);
            EXPECT_EQ(ReadRaw(Path(name)), std::string(300, 'n'));
            continue;
        }
        EXPECT_EQ(result, UpdateResult::Written) << name;
        EXPECT_EQ(seen, FactoryDefaults) << name;
        expected = FactoryDefaults;
        expected[16] = '2';
        EXPECT_EQ(ReadRaw(Path(name)), Header() + BlockText(expected)) << name;
    }
}

// A lock held elsewhere: writers and edits wait for any lock, readers only for an exclusive
// one, and each goes on as soon as it is released.
TEST_F(SettingsFileTest, ReadsAndWritesWaitForEachOthersLocks) {
    ASSERT_EQ(WriteSettingsFile(Path("a.dat"), test::NonFactoryBlock()), WriteResult::Written);
    enum class Op { Read, Write, Update };
    const struct {
        int held;
        Op op;
        bool waits;
        const char* what;
    } rows[] = {
        {LOCK_EX, Op::Read, true, "read under an exclusive lock"},
        {LOCK_EX, Op::Write, true, "write under an exclusive lock"},
        {LOCK_EX, Op::Update, true, "edit under an exclusive lock"},
        {LOCK_SH, Op::Read, false, "read under a shared lock"},
        {LOCK_SH, Op::Write, true, "write under a shared lock"},
        {LOCK_SH, Op::Update, true, "edit under a shared lock"},
    };
    for (const auto& r : rows) {
        const int holder = ::open(Path("a.dat").c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(holder, 0);
        ASSERT_EQ(::flock(holder, r.held), 0);
        std::atomic<bool> done{false};
        bool ok = false;
        std::thread worker([&] {
            SettingsBlock b = FactoryDefaults;
            if (r.op == Op::Read)
                ok = ReadSettingsFile(Path("a.dat"), b) == ReadResult::Loaded;
            else if (r.op == Op::Write)
                ok = WriteSettingsFile(Path("a.dat"), test::NonFactoryBlock()) ==
                     WriteResult::Written;
            else
                ok = UpdateSettingsFile(Path("a.dat"), IfMissing::Fail, Keep) ==
                     UpdateResult::Written;
            done = true;
        });
        // A waiting call is still waiting after 200 ms; one that need not wait ends within 2 s.
        for (int i = 0; i < (r.waits ? 20 : 200) && !done; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const bool finishedWhileHeld = done;
        ::close(holder);
        worker.join();
        EXPECT_EQ(finishedWhileHeld, !r.waits) << r.what;
        EXPECT_TRUE(ok) << r.what;
    }

    // A caller's shorter wait: a lock kept longer fails the read and the write within it, as
    // "locked", and leaves the block and the file as they were.
    const int holder = ::open(Path("a.dat").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    const auto wait = std::chrono::milliseconds(300);
    const auto start = std::chrono::steady_clock::now();
    SettingsBlock b = FactoryDefaults;
    FileError why;
    EXPECT_EQ(ReadSettingsFile(Path("a.dat"), b, &why, wait), ReadResult::NotSettingsFile);
    EXPECT_TRUE(why.Locked());
    EXPECT_EQ(b, FactoryDefaults);
    EXPECT_EQ(WriteSettingsFile(Path("a.dat"), FactoryDefaults, &why, wait), WriteResult::Failed);
    EXPECT_TRUE(why.Locked());
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 2 * wait);
    EXPECT_LT(took, std::chrono::seconds(3));
    ::close(holder);
    ASSERT_EQ(ReadSettingsFile(Path("a.dat"), b, &why), ReadResult::Loaded);
    EXPECT_EQ(b, test::NonFactoryBlock());
}

TEST_F(SettingsFileTest, UnwritablePlacesAreReportedAndNotMarkedSaved) {
    SettingsDocument doc;
    doc.m_current[16] = '3';

    FileError why;
    EXPECT_EQ(WriteSettingsFile(Path("no/such/dir.dat"), doc, &why), WriteResult::Failed);
    EXPECT_EQ(why.error, ENOENT);
    EXPECT_EQ(WriteSettingsFile(dir.string(), doc, &why), WriteResult::Failed);
    EXPECT_EQ(why.error, EISDIR);
    EXPECT_EQ(WriteSettingsFile("/dev/full", doc), WriteResult::Failed);
    EXPECT_TRUE(doc.ChangedSinceSaved());

    const std::string ro = Path("ro");
    const std::string full = Path("full");
    fs::create_directory(ro);
    fs::create_directory(full);
    if (!MountTmpfs(ro, "ro,size=64k") || !MountTmpfs(full, "size=4k"))
        GTEST_SKIP() << "cannot mount a tmpfs here (needs root)";

    EXPECT_EQ(WriteSettingsFile(ro + "/a.dat", doc, &why), WriteResult::AccessDenied);
    EXPECT_EQ(why.error, EROFS);
    // Fill the small disk, then try to save: the write fails, nothing counts as saved and
    // the new file does not stay behind empty.
    WriteRaw(full + "/filler", std::string(64 * 1024, 'f'));
    EXPECT_EQ(WriteSettingsFile(full + "/a.dat", doc, &why), WriteResult::Failed);
    EXPECT_EQ(why.error, ENOSPC);
    EXPECT_TRUE(doc.ChangedSinceSaved());
    EXPECT_EQ(UpdateSettingsFile(full + "/b.dat", IfMissing::Create, Keep), UpdateResult::Failed);
    EXPECT_FALSE(fs::exists(full + "/a.dat"));
    EXPECT_FALSE(fs::exists(full + "/b.dat"));
    ::umount(ro.c_str());
    ::umount(full.c_str());
}

// Permissions, as a user the system really checks them for: root ignores them, so the checks
// run in a child process that drops to an unprivileged user.
TEST_F(SettingsFileTest, PermissionsAsAnOrdinaryUser) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to switch to an unprivileged user";
    const SettingsBlock block = test::NonFactoryBlock();
    ASSERT_EQ(WriteSettingsFile(Path("locked.dat"), block), WriteResult::Written);
    ASSERT_EQ(::chmod(Path("locked.dat").c_str(), 0000), 0);
    fs::create_directory(Path("readonly"));
    ASSERT_EQ(::chmod(Path("readonly").c_str(), 0555), 0);
    ASSERT_EQ(::chmod(dir.c_str(), 0755), 0);

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int code = 0;
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(10);
        SettingsBlock b = FactoryDefaults;
        FileError why;
        if (ReadSettingsFile(Path("locked.dat"), b, &why) != ReadResult::NotSettingsFile ||
            why.error != EACCES)
            code |= 1;
        if (b != FactoryDefaults)
            code |= 2;
        if (WriteSettingsFile(Path("readonly/new.dat"), b) != WriteResult::AccessDenied)
            code |= 4;
        if (WriteSettingsFile(Path("locked.dat"), b) != WriteResult::AccessDenied)
            code |= 8;
        ::_exit(code);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0)
        << "bit 1: unreadable file loaded or not EACCES, 2: block changed, "
           "4: read-only folder not AccessDenied, 8: read-only "
           "file not AccessDenied";
}

// A disk that fails at the sync or at the close: the save is reported with the system's
// reason, does not count as saved, and a file that it created does not stay behind.
TEST_F(SettingsFileTest, FailuresAtSyncAndCloseAreReported) {
    const struct {
        const char* what;
        DiskFinish steps;
        int error;
    } rows[] = {
        {"sync EIO", {[](int) { return errno = EIO, -1; }, ::close}, EIO},
        {"sync ENOSPC", {[](int) { return errno = ENOSPC, -1; }, ::close}, ENOSPC},
        {"close EIO", {::fsync, [](int fd) { return ::close(fd), errno = EIO, -1; }}, EIO},
        {"close EDQUOT", {::fsync, [](int fd) { return ::close(fd), errno = EDQUOT, -1; }}, EDQUOT},
    };
    WriteRaw(Path("old.dat"), Header() + BlockText(FactoryDefaults));
    for (const auto& r : rows) {
        SettingsDocument doc;
        doc.m_current = test::NonFactoryBlock();
        const DiskFinish real = SetDiskFinish(r.steps);
        FileError why;
        EXPECT_EQ(WriteSettingsFile(Path("new.dat"), doc, &why), WriteResult::Failed) << r.what;
        EXPECT_EQ(why.error, r.error) << r.what;
        EXPECT_EQ(WriteSettingsFile(Path("old.dat"), doc, &why), WriteResult::Failed) << r.what;
        EXPECT_EQ(why.error, r.error) << r.what;
        EXPECT_EQ(UpdateSettingsFile(Path("edit.dat"), IfMissing::Create, Keep, &why),
                  UpdateResult::Failed)
            << r.what;
        SetDiskFinish(real);
        EXPECT_EQ(why.error, r.error) << r.what;
        EXPECT_TRUE(doc.ChangedSinceSaved()) << r.what;
        EXPECT_FALSE(fs::exists(Path("new.dat"))) << r.what;
        EXPECT_FALSE(fs::exists(Path("edit.dat"))) << r.what;
    }
    // With the real steps back, the same saves succeed.
    EXPECT_EQ(WriteSettingsFile(Path("new.dat"), FactoryDefaults), WriteResult::Written);
}

// A save through a link to a file that does not exist yet creates the file the link names; when
// the save fails, that file goes again and the user's link stays as it was.
TEST_F(SettingsFileTest, FailedSaveThroughALinkKeepsTheLink) {
    const DiskFinish real = SetDiskFinish({[](int) { return errno = EIO, -1; }, ::close});
    const struct {
        const char* what;
        std::function<bool(const std::string&)> save; // true when it failed as it should
    } rows[] = {
        {"write",
         [](const std::string& p) {
             return WriteSettingsFile(p, FactoryDefaults) == WriteResult::Failed;
         }},
        {"update",
         [](const std::string& p) {
             return UpdateSettingsFile(p, IfMissing::Create, Keep) == UpdateResult::Failed;
         }},
        {"refused update",
         [](const std::string& p) {
             return UpdateSettingsFile(p, IfMissing::Create, Refuse) == UpdateResult::Refused;
         }},
    };
    fs::create_directory(dir / "sub");
    for (const auto& r : rows) {
        // A relative link into another folder, so that its name and its target's differ.
        fs::create_symlink("sub/target.dat", Path("link.dat"));
        EXPECT_TRUE(r.save(Path("link.dat"))) << r.what;
        EXPECT_TRUE(fs::is_symlink(Path("link.dat"))) << r.what;
        std::error_code ec;
        EXPECT_EQ(fs::read_symlink(Path("link.dat"), ec), "sub/target.dat") << r.what;
        EXPECT_FALSE(fs::exists(dir / "sub" / "target.dat")) << r.what;
        fs::remove(Path("link.dat"), ec);
    }
    SetDiskFinish(real);
}
