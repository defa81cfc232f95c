// SPDX-License-Identifier: Apache-2.0
// Where a dialog opens: centred on the screen while its owner window is not shown yet (the
// start-up printer choice), centred on the owner window once it is, run after run.
#include "CVersionDlg.h"
#include "IPrompt.h"
#include "ResourceIds.h"

#include <QDebug>
#include <QScreen>
#include <QTest>

using namespace vellmark;

namespace {

// Shows each modal dialog for a moment and records the centre of where it opened.
class PlacePrompt : public IPrompt {
public:
    int MessageBox(QWidget*, const QString&, const QString&, PromptIcon, PromptButtons) override {
        return kPromptOk;
    }
    int RunModal(QDialog& dialog) override {
        dialog.show();
        centres << dialog.frameGeometry().center();
        dialog.hide();
        return res::IDOK;
    }
    QList<QPoint> centres;

private:
    PlatformService<IPrompt>::Override m_override{*this};
};

} // namespace

class TestDialogPlace : public QObject {
    Q_OBJECT
private slots:
    void screenThenOwner();
};

void TestDialogPlace::screenThenOwner() {
    PlacePrompt prompt;
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

    QCOMPARE(prompt.centres.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QString run;
        QDebug(&run) << "run" << i << "at" << prompt.centres[i] << "not" << expected[i];
        QVERIFY2((prompt.centres[i] - expected[i]).manhattanLength() <= 4, qPrintable(run));
    }
    owner.close();
}

QTEST_MAIN(TestDialogPlace)
#include "tst_dialog_place.moc"
