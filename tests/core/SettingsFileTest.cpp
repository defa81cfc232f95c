#include "SettingsFile.h"
#include "TestBlocks.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
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
        return std::string(std::istreambuf_iterator<char>(in), {});
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

TEST_F(SettingsFileTest, WrittenFileIsHeaderAndBlockAndReadsBack) {
    const SettingsBlock block = test::NonFactoryBlock();
    ASSERT_EQ(WriteSettingsFile(Path("a.dat"), block), WriteResult::Written);
    const std::string bytes = ReadRaw(Path("a.dat"));
    ASSERT_EQ(bytes.size(), 200u);
    EXPECT_EQ(bytes.substr(0, 20), Header());
    EXPECT_EQ(bytes[19], '\0');
    EXPECT_EQ(bytes.substr(20), BlockText(block));

    SettingsDocument doc;
    EXPECT_EQ(ReadSettingsFile(Path("a.dat"), doc), ReadResult::Loaded);
    EXPECT_EQ(doc.m_current, block);
}

TEST_F(SettingsFileTest, EveryWrongHeaderByteIsRefused) {
    const std::string good = Header() + BlockText(test::NonFactoryBlock());
    for (std::size_t i = 0; i < 20; ++i) {
        std::string bad = good;
        bad[i] = static_cast<char>(bad[i] ^ 0x20);
        WriteRaw(Path("bad.dat"), bad);
        SettingsBlock block = FactoryDefaults;
        EXPECT_EQ(ReadSettingsFile(Path("bad.dat"), block), ReadResult::NotSettingsFile)
            << "header byte " << i;
        EXPECT_EQ(block, FactoryDefaults);
    }
}

TEST_F(SettingsFileTest, ShortMissingAndOddPathsLeaveTheBlockAlone) {
    const std::string good = Header() + BlockText(test::NonFactoryBlock());
    WriteRaw(Path("short.dat"), good.substr(0, 120)); // header and 100 block bytes
    WriteRaw(Path("tiny.dat"), good.substr(0, 19));
    WriteRaw(Path("empty.dat"), "");
    WriteRaw(Path("just-header.dat"), Header());
    fs::create_directory(Path("dir.dat"));
    ASSERT_EQ(::mkfifo(Path("fifo.dat").c_str(), 0600), 0);
    for (const char* name : {"short.dat", "tiny.dat", "empty.dat", "just-header.dat", "dir.dat",
                             "missing.dat", "fifo.dat"}) {
        SettingsDocument doc;
        doc.m_current[50] = 'x';
        const SettingsBlock before = doc.m_current;
        EXPECT_EQ(ReadSettingsFile(Path(name), doc), ReadResult::NotSettingsFile) << name;
        EXPECT_EQ(doc.m_current, before) << name;
    }
}

TEST_F(SettingsFileTest, LongerFileKeepsItsTailAndReadsTheNewBlock) {
    const std::string tail(100, 'T');
    WriteRaw(Path("long.dat"), std::string(200, 'x') + tail);
    SettingsDocument doc;
    doc.m_current = test::NonFactoryBlock();
    ASSERT_EQ(WriteSettingsFile(Path("long.dat"), doc), WriteResult::Written);
    EXPECT_FALSE(doc.ChangedSinceSaved());
    const std::string bytes = ReadRaw(Path("long.dat"));
    ASSERT_EQ(bytes.size(), 300u);
    EXPECT_EQ(bytes.substr(200), tail);
    SettingsBlock back = FactoryDefaults;
    EXPECT_EQ(ReadSettingsFile(Path("long.dat"), back), ReadResult::Loaded);
    EXPECT_EQ(back, test::NonFactoryBlock());
}

TEST_F(SettingsFileTest, UnwritablePlacesAreReportedAndNotMarkedSaved) {
    SettingsDocument doc;
    doc.m_current[16] = '3';

    EXPECT_EQ(WriteSettingsFile(Path("no/such/dir.dat"), doc), WriteResult::Failed);
    EXPECT_EQ(WriteSettingsFile(dir.string(), doc), WriteResult::Failed); // a directory
    EXPECT_EQ(WriteSettingsFile("/dev/full", doc), WriteResult::Failed);
    EXPECT_TRUE(doc.ChangedSinceSaved());

    const std::string ro = Path("ro");
    const std::string full = Path("full");
    fs::create_directory(ro);
    fs::create_directory(full);
    if (!MountTmpfs(ro, "ro,size=64k") || !MountTmpfs(full, "size=4k"))
        GTEST_SKIP() << "cannot mount a tmpfs here (needs root)";

    EXPECT_EQ(WriteSettingsFile(ro + "/a.dat", doc), WriteResult::AccessDenied);
    // Fill the small disk, then try to save: the write fails and nothing counts as saved.
    WriteRaw(full + "/filler", std::string(64 * 1024, 'f'));
    EXPECT_EQ(WriteSettingsFile(full + "/a.dat", doc), WriteResult::Failed);
    EXPECT_TRUE(doc.ChangedSinceSaved());
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
        if (ReadSettingsFile(Path("locked.dat"), b) != ReadResult::NotSettingsFile)
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
    EXPECT_EQ(WEXITSTATUS(status), 0) << "bit 1: unreadable file loaded, 2: block changed, "
                                         "4: read-only folder not AccessDenied, 8: read-only "
                                         "file not AccessDenied";
}
