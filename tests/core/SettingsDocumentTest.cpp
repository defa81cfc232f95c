// SPDX-License-Identifier: Apache-2.0
#include "SettingsDocument.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vellmark;

namespace {

// A page that owns one byte of the block and records the order it is called in.
class FakePage : public ISettingsPage {
public:
    FakePage(std::size_t offset, std::vector<std::string>* log, std::string name)
        : m_offset(offset), m_log(log), m_name(std::move(name)) {}
    void ParseBlock(const SettingsBlock& b) override {
        value = b[m_offset];
        m_log->push_back("parse " + m_name);
    }
    void BuildBlock(SettingsBlock& b) override {
        b[m_offset] = value;
        m_log->push_back("build " + m_name);
    }
    std::uint8_t value = 0;

private:
    std::size_t m_offset;
    std::vector<std::string>* m_log;
    std::string m_name;
};

struct Fixture {
    std::vector<std::string> log;
    std::vector<FakePage> pages;
    SettingsDocument doc;
    Fixture() {
        const std::pair<std::size_t, const char*> owned[] = {
            {22, "Select"}, {38, "Form"}, {16, "Param"}, {4, "MSW1"},
            {7, "MSW2"},    {10, "MSW3"}, {13, "MSW4"}};
        for (const auto& [offset, name] : owned)
            pages.emplace_back(offset, &log, name);
        doc.SetPages({&pages[0], &pages[1], &pages[2], &pages[3], &pages[4], &pages[5], &pages[6]});
        doc.ShowInPages();
        log.clear();
    }
};

} // namespace

TEST(SettingsDocument, PagesRunInPageOrder) {
    Fixture f;
    f.doc.CollectFromPages();
    f.doc.ShowInPages();
    const std::vector<std::string> expected = {
        "build Select", "build Form", "build Param",  "build MSW1", "build MSW2",
        "build MSW3",   "build MSW4", "parse Select", "parse Form", "parse Param",
        "parse MSW1",   "parse MSW2", "parse MSW3",   "parse MSW4"};
    EXPECT_EQ(f.log, expected);
}

TEST(SettingsDocument, SendStateFollowsWhatWasSent) {
    Fixture f;
    // Right after start-up Send is allowed although nothing changed.
    EXPECT_FALSE(f.doc.ChangedSinceSent());
    EXPECT_TRUE(f.doc.SendAllowed());

    f.doc.MarkSent();
    EXPECT_FALSE(f.doc.SendAllowed());

    f.pages[2].value = '3';
    f.doc.CollectFromPages();
    EXPECT_TRUE(f.doc.SendAllowed());
    f.pages[2].value = '0'; // edited back to what was sent
    f.doc.CollectFromPages();
    EXPECT_FALSE(f.doc.SendAllowed());

    // A difference in the trailing NULs counts like any other byte.
    f.doc.m_current[179] = 1;
    EXPECT_TRUE(f.doc.ChangedSinceSent());
    f.doc.m_current[179] = 0;

    // Saving never changes the Send state; showing factory settings after they were sent
    // leaves Send grayed.
    f.pages[6].value = 0x0F;
    f.doc.CollectFromPages();
    f.doc.MarkSaved();
    EXPECT_TRUE(f.doc.SendAllowed());
    EXPECT_FALSE(f.doc.ChangedSinceSaved());
    f.doc.LoadFactory();
    EXPECT_FALSE(f.doc.SendAllowed());
    EXPECT_TRUE(f.doc.ChangedSinceSaved());
}

TEST(SettingsDocument, InitAndLoadFactory) {
    Fixture f;
    f.doc.m_current[16] = '4';
    f.doc.MarkSaved();
    f.doc.MarkSent();
    f.doc.LoadFactory();
    EXPECT_EQ(f.doc.m_current, FactoryDefaults);
    EXPECT_EQ(f.doc.m_lastSaved[16], '4') << "LoadFactory leaves the snapshots";
    EXPECT_EQ(f.doc.m_bSendPending, 0);
    f.doc.Init();
    EXPECT_EQ(f.doc.m_lastSaved, FactoryDefaults);
    EXPECT_EQ(f.doc.m_lastSent, FactoryDefaults);
    EXPECT_EQ(f.doc.m_bSendPending, 1);
}
