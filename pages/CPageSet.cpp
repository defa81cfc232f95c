// SPDX-License-Identifier: Apache-2.0
#include "CPageSet.h"

namespace vellmark {

CPageSet::CPageSet()
    : m_pages{&select, &form, &param, &msw1, &msw2, &msw3, &msw4},
      m_onDemand{OnDemandPage(*this, 0), OnDemandPage(*this, 1), OnDemandPage(*this, 2),
                 OnDemandPage(*this, 3), OnDemandPage(*this, 4), OnDemandPage(*this, 5),
                 OnDemandPage(*this, 6)} {}

std::array<CPropertyPage*, kPageCount> CPageSet::All() {
    for (std::size_t n = 0; n < kPageCount; ++n)
        Build(n);
    return m_pages;
}

CPropertyPage& CPageSet::Page(std::size_t n) {
    Build(n);
    return *m_pages[n];
}

bool CPageSet::IsBuilt(std::size_t n) const {
    return m_pages[n]->IsCreated();
}

void CPageSet::Create(QWidget* parent, SettingsDocument& doc) {
    std::array<ISettingsPage*, kPageCount> forDocument{};
    for (std::size_t i = 0; i < kPageCount; ++i) {
        m_pages[i]->Create(parent);
        m_pages[i]->setVisible(i == 0);
        forDocument[i] = m_pages[i];
    }
    doc.SetPages(forDocument);
}

void CPageSet::CreateOnDemand(QWidget* parent, SettingsDocument& doc, QPoint origin,
                              Prepare prepare) {
    m_parent = parent;
    m_origin = origin;
    m_prepare = std::move(prepare);
    std::array<ISettingsPage*, kPageCount> forDocument{};
    for (std::size_t i = 0; i < kPageCount; ++i)
        forDocument[i] = &m_onDemand[i];
    doc.SetPages(forDocument);
    Build(0);
    select.setVisible(true);
}

void CPageSet::Build(std::size_t n) {
    CPropertyPage& page = *m_pages[n];
    if (page.IsCreated())
        return;
    // Its controls show the members, which hold what the document last showed in it; once
    // more after the page's own set-up (ranges), as a parse after creation would.
    page.Create(m_parent);
    page.setVisible(false);
    page.UpdateData(false);
    page.move(m_origin);
    if (m_prepare)
        m_prepare(n, page);
    // Above everything else in the parent, in page order among the pages, as if every page
    // had been built at once.
    page.raise();
    for (std::size_t later = n + 1; later < kPageCount; ++later) {
        if (m_pages[later]->IsCreated()) {
            page.stackUnder(m_pages[later]);
            break;
        }
    }
}

void CPageSet::MoveTo(QPoint origin) {
    m_origin = origin;
    for (CPropertyPage* page : m_pages)
        if (page->IsCreated())
            page->move(origin);
}

void CPageSet::ShowOnly(std::size_t n) {
    Build(n);
    for (std::size_t i = 0; i < kPageCount; ++i)
        if (m_pages[i]->IsCreated())
            m_pages[i]->setVisible(i == n);
}

void CPageSet::OnDemandPage::ParseBlock(const SettingsBlock& block) {
    // A page not built keeps only the factory settings in its members; any other block is
    // shown in its controls, as on a page built from the start.
    if (BlocksDiffer(block, FactoryDefaults))
        m_set.Build(m_n);
    m_set.m_pages[m_n]->ParseBlock(block);
}

void CPageSet::OnDemandPage::BuildBlock(SettingsBlock& block) {
    // Without controls the page encodes its members: what its controls would read back.
    m_set.m_pages[m_n]->BuildBlock(block);
}

} // namespace vellmark
