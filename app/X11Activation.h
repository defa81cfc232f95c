// SPDX-License-Identifier: Apache-2.0
// Raising a window under X11 with the startup id of the start that asked for it. A launcher gives
// the program it starts a startup id (DESKTOP_STARTUP_ID) that ends in "_TIME" and the X server
// time of the user's click or key. Window managers with focus-stealing prevention refuse a
// _NET_ACTIVE_WINDOW request whose time is older than the user's last action elsewhere, as Qt's
// own request (with the time of the last event the program saw) usually is; the launcher's time
// is the user's own and is honoured. The startup sequence the launcher began is ended with the
// startup-notification "remove" message, so that its busy cursor stops.
#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <optional>

class QWidget;

namespace vellmark {

// The X server time a startup id carries ("..._TIME<n>"); nothing without one.
std::optional<std::uint32_t> StartupIdTime(QByteArrayView id);

// The startup-notification message that ends the sequence `id` ("remove: ID=<id>", with '"',
// '\\' and spaces escaped).
QByteArray StartupRemoveMessage(QByteArrayView id);

// Under X11 asks the window manager to activate `window` with the time `id` carries (when it
// carries one), and ends the startup sequence `id`. False, doing nothing, on other platforms or
// without an id.
bool ActivateWithStartupId(QWidget* window, const QByteArray& id);

} // namespace vellmark
