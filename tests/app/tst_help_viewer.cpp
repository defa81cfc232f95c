// SPDX-License-Identifier: Apache-2.0
// The desktop's help viewer goes by xdg-open's exit status: one still running after the wait is
// a browser showing the file, and without xdg-open nothing can show it. The window's event loop
// keeps running while xdg-open decides.
#include "DesktopServices.h"

#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstring>

using namespace vellmark;

class TestHelpViewer : public QObject {
    Q_OBJECT
private slots:
    void goesByXdgOpen();
};

void TestHelpViewer::goesByXdgOpen() {
    QTemporaryDir bin;
    const QByteArray path = qgetenv("PATH");
    const auto restorePath = qScopeGuard([&] { qputenv("PATH", path); });
    qputenv("PATH", QFile::encodeName(bin.path()));
    const QString opener = bin.filePath("xdg-open");
    const struct {
        const char* script; // empty: no xdg-open
        int waitMs;
        bool shown;
    } rows[] = {
        {"exit 0", 500, true},
        {"exit 3", 500, false},
        {"", 500, false},
        // A browser that keeps xdg-open waiting: shown once the wait is over.
        {"exec /bin/sleep 30", 500, true},
        // Fails after a while within a long wait: the failure is still told, at once.
        {"sleep 0.3; exit 3", 20000, false},
    };
    for (const auto& [script, waitMs, shown] : rows) {
        QFile::remove(opener);
        if (*script) {
            QFile file(opener);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray("#!/bin/sh\n") + script + "\n");
            file.close();
            QVERIFY(QFile::setPermissions(opener, QFile::ReadOwner | QFile::ExeOwner));
        }
        int ticks = 0;
        QTimer tick;
        connect(&tick, &QTimer::timeout, this, [&ticks] { ++ticks; });
        tick.start(0);
        QElapsedTimer timer;
        timer.start();
        CDesktopHelpViewer viewer{std::chrono::milliseconds(waitMs)};
        QVERIFY2(viewer.Open(bin.filePath("vlmk90.html")) == shown, script);
        QVERIFY2(timer.elapsed() < 3000, script);
        // The window's timers (and its painting) ran while a slow xdg-open decided.
        if (std::strstr(script, "sleep"))
            QVERIFY2(ticks > 0, script);
    }
}

QTEST_MAIN(TestHelpViewer)
#include "tst_help_viewer.moc"
