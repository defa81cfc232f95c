// SPDX-License-Identifier: Apache-2.0
// The program's file choice over the names a desktop's file dialog returns: the titles, the
// suffix a save name gets, and the question before an existing file is replaced, which the
// desktop's dialog cannot ask for a name it returned without the suffix.
#include "CPanelApp.h"
#include "DesktopServices.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

using namespace vellmark;

namespace {

// Returns the names of a script, one per run (none left: cancelled), answers the replace
// question from another, and records what it was asked.
class ScriptedDialog : public IFileDialog {
public:
    QString Run(QWidget*, Mode mode, const QString& title, const QString&,
                const QString& selected) override {
        runs << QStringLiteral("%1 '%2' [%3]")
                    .arg(mode == Mode::Save ? "save" : "open", title,
                         QFileInfo(selected).fileName());
        return names.isEmpty() ? QString() : names.takeFirst();
    }
    bool ConfirmReplace(QWidget*, const QString& title, const QString& path) override {
        asked << QStringLiteral("'%1' %2").arg(title, QFileInfo(path).fileName());
        return !answers.isEmpty() && answers.takeFirst();
    }

    QStringList names, runs, asked;
    QList<bool> answers;

private:
    PlatformService<IFileDialog>::Override m_override{*this};
};

} // namespace

class TestFileDialog : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(CPanelApp::LoadQtTranslation(*QCoreApplication::instance(), m_translator));
    }
    void saveNames_data();
    void saveNames();
    void openTitle();

private:
    QTranslator m_translator;
};

void TestFileDialog::saveNames_data() {
    QTest::addColumn<QStringList>("names"); // as the dialog returns them, "D/" for the folder
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<int>("runs");

    // "old.dat" and "dir.d/old.dat" exist.
    QTest::newRow("missing, completed")
        << QStringList{"D/new"} << QList<bool>{} << "D/new.dat" << QStringList{} << 1;
    QTest::newRow("existing, replaced")
        << QStringList{"D/old"} << QList<bool>{true} << "D/old.dat" << QStringList{"old.dat"} << 1;
    QTest::newRow("existing, declined, then cancelled")
        << QStringList{"D/old"} << QList<bool>{false} << "" << QStringList{"old.dat"} << 2;
    QTest::newRow("existing, declined, another name")
        << QStringList{"D/old", "D/new"} << QList<bool>{false} << "D/new.dat"
        << QStringList{"old.dat"} << 2;
    QTest::newRow("dialog asked itself")
        << QStringList{"D/old.dat"} << QList<bool>{} << "D/old.dat" << QStringList{} << 1;
    QTest::newRow("own suffix kept")
        << QStringList{"D/old.txt"} << QList<bool>{} << "D/old.txt" << QStringList{} << 1;
    QTest::newRow("dot in the folder only") << QStringList{"D/dir.d/old"} << QList<bool>{true}
                                            << "D/dir.d/old.dat" << QStringList{"old.dat"} << 1;
    QTest::newRow("cancelled") << QStringList{} << QList<bool>{} << "" << QStringList{} << 1;
}

void TestFileDialog::saveNames() {
    QFETCH(QStringList, names);
    QFETCH(QList<bool>, answers);
    QFETCH(QString, result);
    QFETCH(QStringList, asked);
    QFETCH(int, runs);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("dir.d"));
    for (const char* existing : {"old.dat", "dir.d/old.dat"}) {
        QFile file(dir.filePath(existing));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const auto inDir = [&](QString name) { return name.replace("D/", dir.path() + '/'); };

    ScriptedDialog dialog;
    for (const QString& name : names)
        dialog.names << inDir(name);
    dialog.answers = answers;
    const QString chosen =
        PlatformService<IFileChooser>::Standard().SaveFileName(nullptr, dir.path());
    QCOMPARE(chosen, result.isEmpty() ? QString() : inDir(result));
    // Qt's own question, under the dialog's title.
    QStringList expected;
    for (const QString& file : asked)
        expected << "'名前を付けて保存' " + file;
    QCOMPARE(dialog.asked, expected);
    QCOMPARE(dialog.runs.size(), runs);
    QCOMPARE(dialog.runs.first(), QString("save '名前を付けて保存' []"));
    // Declined: the dialog opens again with the completed name chosen.
    if (runs > 1)
        QCOMPARE(dialog.runs.at(1), "save '名前を付けて保存' [" + asked.first() + "]");
    // Nothing was written.
    QVERIFY(QFileInfo(dir.filePath("old.dat")).size() == 0);
}

void TestFileDialog::openTitle() {
    ScriptedDialog dialog;
    dialog.names << "/somewhere/a";
    // An open name is taken as the dialog returns it.
    QCOMPARE(PlatformService<IFileChooser>::Standard().OpenFileName(nullptr, "/"), "/somewhere/a");
    QCOMPARE(dialog.runs, QStringList{"open '開く' []"});
}

QTEST_MAIN(TestFileDialog)
#include "tst_file_dialog.moc"
