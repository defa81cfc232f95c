// SPDX-License-Identifier: Apache-2.0
// An accelerator table applied to one window. Installed on the application, it sees every key
// meant for the window or anything in it before any control does: a focused edit claims keys
// such as Ctrl+C for itself (ShortcutOverride), so shortcuts of the ordinary kind would lose to
// it. A key of the table runs its command when the command is enabled, and is consumed either
// way, so a grayed command's key does nothing else either.
#pragma once

#include "AcceleratorTable.h"

#include <QObject>

#include <functional>
#include <span>

class QKeyEvent;
class QWidget;

namespace vellmark::ui {

class CAcceleratorFilter : public QObject {
    Q_OBJECT
public:
    using IsEnabled = std::function<bool(int command)>;
    using Run = std::function<void(int command)>;

    // Applies table to window's keys from now until Stop or the filter's end.
    CAcceleratorFilter(QWidget& window, std::span<const res::Accelerator> table,
                       IsEnabled isEnabled, Run run);
    ~CAcceleratorFilter() override;

    // No key is taken any more (the window has ended).
    void Stop();

    // The command of key in table; 0 for a key the table does not hold.
    static int Command(std::span<const res::Accelerator> table, const QKeyEvent& key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& m_window;
    std::span<const res::Accelerator> m_table;
    IsEnabled m_isEnabled;
    Run m_run;
};

} // namespace vellmark::ui
