// SPDX-License-Identifier: Apache-2.0
// The seven settings pages in PageOrder, as the main window owns them: created inside the
// window's tab area, one shown at a time, parsed and built by the settings document.
//
// The main window builds a page's controls only when the page is first needed (CreateOnDemand):
// until then the page keeps the factory settings in its members alone, which is what its
// controls would show and read back, so the document's builds and parses see no difference.
// Whoever reaches a page asks for it here (Page, All, the typed accessors), which builds it.
#pragma once

#include "CPage_Form.h"
#include "CPage_MSW1.h"
#include "CPage_Param.h"
#include "CPage_Select.h"
#include "SettingsDocument.h"

#include <QPoint>

#include <array>
#include <functional>

namespace vellmark {

class CPageSet {
public:
    CPage_Select select;
    CPage_Form form;
    CPage_Param param;
    CPage_MSW1 msw1;
    CPage_MSW2 msw2;
    CPage_MSW3 msw3;
    CPage_MSW4 msw4;

    // Runs on each page right after its controls are built, before it shows anything.
    using Prepare = std::function<void(std::size_t n, CPropertyPage& page)>;

    CPageSet();
    CPageSet(const CPageSet&) = delete;
    CPageSet& operator=(const CPageSet&) = delete;

    // The pages in PageOrder (also their tab index), every one built.
    std::array<CPropertyPage*, kPageCount> All();
    // Page n, built.
    CPropertyPage& Page(std::size_t n);
    CPage_Select& Select() { return Built(select); }
    CPage_Form& Form() { return Built(form); }
    CPage_Param& Param() { return Built(param); }
    CPage_MSW1& Msw1() { return Built(msw1); }
    CPage_MSW2& Msw2() { return Built(msw2); }
    CPage_MSW3& Msw3() { return Built(msw3); }
    CPage_MSW4& Msw4() { return Built(msw4); }
    bool IsBuilt(std::size_t n) const;

    // Creates every page inside parent, in PageOrder, with only the first one visible, and
    // hands them to the document for its builds and parses.
    void Create(QWidget* parent, SettingsDocument& doc);
    // Creates the first page inside parent at origin, visible; every other page is built when
    // it is first asked for, or when the document shows a block other than the factory
    // settings, hidden and at the origin of that time. prepare runs on each page as it is built.
    void CreateOnDemand(QWidget* parent, SettingsDocument& doc, QPoint origin, Prepare prepare);
    // Moves the pages built so far and those still to come.
    void MoveTo(QPoint origin);

    // Shows page n (built) and hides the others.
    void ShowOnly(std::size_t n);

private:
    // What the document holds for a page that may not be built yet.
    class OnDemandPage : public ISettingsPage {
    public:
        OnDemandPage(CPageSet& set, std::size_t n) : m_set(set), m_n(n) {}
        void ParseBlock(const SettingsBlock& block) override;
        void BuildBlock(SettingsBlock& block) override;

    private:
        CPageSet& m_set;
        std::size_t m_n;
    };

    void Build(std::size_t n);
    template <class T> T& Built(T& page) {
        for (std::size_t n = 0; n < m_pages.size(); ++n)
            if (m_pages[n] == &page)
                Build(n);
        return page;
    }

    const std::array<CPropertyPage*, kPageCount> m_pages; // the members above, in PageOrder
    QWidget* m_parent = nullptr;
    QPoint m_origin;
    Prepare m_prepare;
    std::array<OnDemandPage, kPageCount> m_onDemand;
};

} // namespace vellmark
