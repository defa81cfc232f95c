// SPDX-License-Identifier: Apache-2.0
// One item of an owner-drawn menu as the menu code keeps it beside the live QAction.
#pragma once

#include <QAction>
#include <QImage>
#include <QPointer>
#include <QString>

class QMenu;

namespace vellmark::ui {

struct IconMenuItem {
    QString text;                 // as shown: label, padding spaces, tab and accelerator text
    int imageIndex = -1;          // the image's cell in imageList; -1 when the item has none
    int bitmapId = -1;            // the bitmap the image comes from; -1 when none
    unsigned flags = 0;           // the menu flags the item was last added or modified with
    unsigned commandId = 0;       // 0 for a separator and for a popup item
    const QMenu* popup = nullptr; // the popup a popup item opens
    int syncMark = 0;             // used only while the records are brought in line
    QImage imageList; // cells of the image size, transparent where the bitmap is face grey
    // The same at twice the size (device pixel ratio 2), made when first drawn where a point is
    // two pixels.
    mutable QImage imageList2x;
    QPointer<QAction> action; // the live item
};

} // namespace vellmark::ui
