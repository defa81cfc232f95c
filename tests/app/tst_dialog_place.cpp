// SPDX-License-Identifier: Apache-2.0
// Where a dialog opens: centred on the screen while its owner window is not shown yet (the
// start-up printer choice), centred on the owner window once it is, run after run.
#include "../WidgetHarness.h"
#include "CVersionDlg.h"

#include <QDebug>
#include <QScreen>
#include <QTest>

using namespace vellmark;
using namespace vellmark::test;

class TestDialogPlace : public QObject {
    Q_OBJECT
private slots:
    void screenThenOwner();
};

void TestDialogPlace::screenThenOwner() {
    // Each run records the centre of where the dialog opened.
    ScriptedPrompt prompt;
    QList<QPoint> centres;
    const auto record = [&centres](QDialog& d) { centres << d.frameGeometry().center(); };
    prompt.scripts = {record, record, record};
    QWidget owner;
    owner.setGeometry(10, 20, 500, 400);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(screen.width() > 500);
    CVersionDlg dialog;

    QList<QPoint> expected{screen.center()};
    dialog.DoModal(&owner); // the owner is not shown yet
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    expected << owner.frameGeometry().center();
    dialog.DoModal(&owner);
    owner.move(screen.right() - owner.width(), screen.bottom() - owner.height());
    expected << owner.frameGeometry().center();
    dialog.DoModal(&owner);

    QCOMPARE(centres.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QString run;
        QDebug(&run) << "run" << i << "at" << centres[i] << "not" << expected[i];
        QVERIFY2((centres[i] - expected[i]).manhattanLength() <= 4, qPrintable(run));
    }
    owner.close();
}

QTEST_MAIN(TestDialogPlace)
#include "tst_dialog_place.moc"
