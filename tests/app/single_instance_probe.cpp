// SPDX-License-Identifier: Apache-2.0
// A small program for the single-instance test: it takes the same start-up test as the window
// and reports what happened on standard output, one line each.
//   "primary"                       this copy runs; it shows a minimised window
//   "secondary"                     another copy runs; this one ends with status 0
//   "activate minimised=N active=N" a later start asked this copy to come forward (after it)
//   "token=TOKEN"                   the activation token that start passed, when it passed one
// The primary copy ends by itself after 60 s, or when killed.
#include "CSingleInstance.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>

using vellmark::CSingleInstance;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The application's display name differs from the executable's: the key must not follow it.
    QApplication::setApplicationName(QStringLiteral("Vellmark"));
    CSingleInstance single;
    if (!single.TryBecomePrimary()) {
        std::printf("secondary\n");
        return 0;
    }
    QWidget window;
    window.resize(200, 100);
    window.showMinimized();
    QObject::connect(&single, &CSingleInstance::activationRequested, &window,
                     [&window](const QByteArray& token) {
                         CSingleInstance::BringToFront(&window);
                         QApplication::setActiveWindow(
                             &window); // the offscreen platform does not report it
                         std::printf("activate minimised=%d active=%d\n",
                                     window.isMinimized() ? 1 : 0, window.isActiveWindow() ? 1 : 0);
                         if (!token.isEmpty())
                             std::printf("token=%s\n", token.constData());
                         std::fflush(stdout);
                     });
    std::printf("primary\n");
    std::fflush(stdout);
    QTimer::singleShot(60000, &app, &QCoreApplication::quit);
    return app.exec();
}
