// SPDX-License-Identifier: Apache-2.0
// The desktop's help viewer keeps the window's event loop running while xdg-open decides, and
// still tells a viewer that failed from one that shows the file.
#include "DesktopServices.h"

#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace vellmark;

class TestHelpViewer : public QObject {
    Q_OBJECT
private slots:
    void eventsRunWhileItWaits();
};

void TestHelpViewer::eventsRunWhileItWaits() {
    QTemporaryDir bin;
    const QByteArray path = qgetenv("PATH");
    const auto restorePath = qScopeGuard([&] { qputenv("PATH", path); });
    qputenv("PATH", QFile::encodeName(bin.path()));
    const QString opener = bin.filePath("xdg-open");
    const struct {
        const char* script;
        int waitMs;
        bool shown;
    } rows[] = {
        // Fails after a while: the failure is still told.
        {"sleep 0.3; exit 3", 20000, false},
        // A browser that keeps xdg-open waiting: shown once the wait is over.
        {"exec /bin/sleep 30", 500, true},
    };
    for (const auto& [script, waitMs, shown] : rows) {
        QFile::remove(opener);
        QFile file(opener);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("#!/bin/sh\n") + script + "\n");
        file.close();
        QVERIFY(QFile::setPermissions(opener, QFile::ReadOwner | QFile::ExeOwner));
        int ticks = 0;
        QTimer tick;
        connect(&tick, &QTimer::timeout, this, [&ticks] { ++ticks; });
        tick.start(0);
        CDesktopHelpViewer viewer{std::chrono::milliseconds(waitMs)};
        QCOMPARE(viewer.Open(bin.filePath("vlmk90.html")), shown);
        // The window's timers (and its painting) ran while xdg-open decided.
        QVERIFY2(ticks > 0, script);
    }
}

QTEST_MAIN(TestHelpViewer)
#include "tst_help_viewer.moc"
