// SPDX-License-Identifier: Apache-2.0
// The block being edited beside the copies last saved and last sent, and the change tests that
// gate the Send command and the exit and switch prompts.
#pragma once

#include "SettingsBlock.h"

#include <array>
#include <cstddef>

namespace vellmark {

// What the document needs of a page: decode its fields from a block, encode them into one.
class ISettingsPage {
public:
    virtual ~ISettingsPage() = default;
    virtual void ParseBlock(const SettingsBlock& block) = 0;
    virtual void BuildBlock(SettingsBlock& block) = 0;
};

class SettingsDocument {
public:
    SettingsBlock m_current{};
    SettingsBlock m_lastSaved{};
    SettingsBlock m_lastSent{};
    int m_bSendPending = 1;

    SettingsDocument() { Init(); }

    // The pages in PageOrder (Select, Form, Param, MSW1..MSW4); null entries are skipped.
    void SetPages(const std::array<ISettingsPage*, 7>& pages) { m_pages = pages; }

    void Init();
    void LoadFactory();
    void CollectFromPages();
    void ShowInPages();
    bool ChangedSinceSent() const;
    bool ChangedSinceSaved() const;
    void MarkSaved();
    void MarkSent();
    bool SendAllowed() const;

private:
    std::array<ISettingsPage*, 7> m_pages{};
};

} // namespace vellmark
