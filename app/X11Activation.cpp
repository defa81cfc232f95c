// SPDX-License-Identifier: Apache-2.0
#include "X11Activation.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace vellmark {
namespace {

constexpr QByteArrayView kTimeMark = "_TIME";
// The data of one client message of format 8.
constexpr qsizetype kChunkBytes = 20;

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

xcb_window_t RootOf(xcb_connection_t* connection, xcb_window_t window) {
    const Reply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr));
    return tree ? tree->root : xcb_window_t{XCB_WINDOW_NONE};
}

void SendToRoot(xcb_connection_t* connection, xcb_window_t root,
                const xcb_client_message_event_t& event, std::uint32_t mask) {
    // xcb_send_event copies 32 bytes, the size of every X event.
    std::array<char, 32> bytes{};
    std::memcpy(bytes.data(), &event, sizeof event);
    xcb_send_event(connection, 0, root, mask, bytes.data());
}

} // namespace

std::optional<std::uint32_t> StartupIdTime(QByteArrayView id) {
    const qsizetype mark = id.lastIndexOf(kTimeMark);
    if (mark < 0)
        return std::nullopt;
    const QByteArrayView digits = id.sliced(mark + kTimeMark.size());
    if (digits.isEmpty() || digits.size() > 10 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    bool ok = false;
    const qulonglong time = digits.toULongLong(&ok);
    // 0 is CurrentTime, which a window manager takes for "no time given".
    if (!ok || time == 0 || time > 0xffffffffULL)
        return std::nullopt;
    return static_cast<std::uint32_t>(time);
}

QByteArray StartupRemoveMessage(QByteArrayView id) {
    QByteArray message("remove: ID=");
    for (const char c : id) {
        if (c == '"' || c == '\\' || c == ' ')
            message += '\\';
        message += c;
    }
    return message;
}

bool ActivateWithStartupId(QWidget* window, const QByteArray& id) {
    const auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !window || id.isEmpty())
        return false;
    xcb_connection_t* const connection = x11->connection();
    if (!connection)
        return false;
    const auto target = static_cast<xcb_window_t>(window->winId());
    const xcb_window_t root = RootOf(connection, target);
    if (root == XCB_WINDOW_NONE)
        return false;
    const char* const names[] = {"_NET_ACTIVE_WINDOW", "_NET_STARTUP_INFO_BEGIN",
                                 "_NET_STARTUP_INFO"};
    xcb_intern_atom_cookie_t cookies[3];
    for (int i = 0; i < 3; ++i)
        cookies[i] = xcb_intern_atom(connection, 0,
                                     static_cast<std::uint16_t>(std::strlen(names[i])), names[i]);
    xcb_atom_t atoms[3] = {};
    for (int i = 0; i < 3; ++i) {
        const Reply<xcb_intern_atom_reply_t> reply(
            xcb_intern_atom_reply(connection, cookies[i], nullptr));
        atoms[i] = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    }
    if (std::find(std::begin(atoms), std::end(atoms), XCB_ATOM_NONE) != std::end(atoms))
        return false;

    if (const std::optional<std::uint32_t> time = StartupIdTime(id)) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = target;
        event.type = atoms[0];
        const QWidget* active = QApplication::activeWindow();
        event.data.data32[0] = 1; // the request comes from an application
        event.data.data32[1] = *time;
        event.data.data32[2] = active ? static_cast<std::uint32_t>(active->winId()) : 0; // None
        SendToRoot(connection, root, event,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT);
    }

    // The message with its closing NUL, in pieces of 20 bytes; the first piece has a type of its
    // own.
    QByteArray message = StartupRemoveMessage(id);
    message += '\0';
    xcb_client_message_event_t piece{};
    piece.response_type = XCB_CLIENT_MESSAGE;
    piece.format = 8;
    piece.window = root;
    for (qsizetype sent = 0; sent < message.size(); sent += kChunkBytes) {
        piece.type = sent == 0 ? atoms[1] : atoms[2];
        std::memset(piece.data.data8, 0, sizeof piece.data.data8);
        std::memcpy(piece.data.data8, message.constData() + sent,
                    static_cast<std::size_t>(std::min(kChunkBytes, message.size() - sent)));
        SendToRoot(connection, root, piece, XCB_EVENT_MASK_PROPERTY_CHANGE);
    }
    xcb_flush(connection);
    return true;
}

} // namespace vellmark
