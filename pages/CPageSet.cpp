#include "CPageSet.h"

namespace vellmark {

void CPageSet::Create(QWidget* parent, SettingsDocument& doc) {
    std::array<ISettingsPage*, kPageCount> forDocument{};
    const auto pages = All();
    for (std::size_t i = 0; i < pages.size(); ++i) {
        pages[i]->Create(parent);
        pages[i]->setVisible(i == 0);
        forDocument[i] = pages[i];
    }
    doc.SetPages(forDocument);
}

void CPageSet::ShowOnly(std::size_t n) {
    const auto pages = All();
    for (std::size_t i = 0; i < pages.size(); ++i)
        pages[i]->setVisible(i == n);
}

} // namespace vellmark
