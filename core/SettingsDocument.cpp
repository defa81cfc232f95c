// SPDX-License-Identifier: Apache-2.0
#include "SettingsDocument.h"

namespace vellmark {

void SettingsDocument::Init() {
    m_current = FactoryDefaults;
    m_lastSent = FactoryDefaults;
    m_lastSaved = FactoryDefaults;
    m_bSendPending = 1;
}

void SettingsDocument::LoadFactory() {
    m_current = FactoryDefaults;
}

void SettingsDocument::CollectFromPages() {
    for (ISettingsPage* page : m_pages)
        if (page)
            page->BuildBlock(m_current);
}

void SettingsDocument::ShowInPages() {
    for (ISettingsPage* page : m_pages)
        if (page)
            page->ParseBlock(m_current);
}

bool SettingsDocument::ChangedSinceSent() const {
    return BlocksDiffer(m_current, m_lastSent);
}

bool SettingsDocument::ChangedSinceSaved() const {
    return BlocksDiffer(m_current, m_lastSaved);
}

void SettingsDocument::MarkSaved() {
    m_lastSaved = m_current;
}

void SettingsDocument::MarkSent() {
    m_lastSent = m_current;
    m_bSendPending = 0;
}

bool SettingsDocument::SendAllowed() const {
    return m_bSendPending == 1 || ChangedSinceSent();
}

} // namespace vellmark
