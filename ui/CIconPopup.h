// SPDX-License-Identifier: Apache-2.0
// The popup widget of an owner-drawn menu: its items are measured and drawn by the CIconMenu
// that holds it, and it answers typed letters through CIconMenu::FindMnemonic.
#pragma once

#include <QMenu>

namespace vellmark::ui {

class CIconMenu;

class CIconPopup : public QMenu {
    Q_OBJECT

public:
    explicit CIconPopup(CIconMenu* owner);

    CIconMenu* Owner() const { return m_owner; }
    // The action whose style option was made last: the item Qt is measuring.
    const QAction* MeasuredAction() const { return m_measured; }

    // Runs the item at that position as a click would (a popup item opens its popup).
    void ExecuteItem(int position);

protected:
    void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    CIconMenu* m_owner;
    mutable const QAction* m_measured = nullptr;
};

} // namespace vellmark::ui
