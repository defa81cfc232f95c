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

// The names the dialog returns ("D/" for the folder, where "old.dat" and "dir.d/old.dat" exist)
// and the answers to the replace question; the name chosen, the files asked about, the runs.
const struct {
    const char* name;
    QStringList names;
    QList<bool> answers;
    QString result;
    QStringList asked;
    int runs;
} kSaves[] = {
    {"missing, completed", {"D/new"}, {}, "D/new.dat", {}, 1},
    {"existing, replaced", {"D/old"}, {true}, "D/old.dat", {"old.dat"}, 1},
    {"existing, declined, then cancelled", {"D/old"}, {false}, "", {"old.dat"}, 2},
    {"existing, declined, another name", {"D/old", "D/new"}, {false}, "D/new.dat", {"old.dat"}, 2},
    {"dialog asked itself", {"D/old.dat"}, {}, "D/old.dat", {}, 1},
    {"own suffix kept", {"D/old.txt"}, {}, "D/old.txt", {}, 1},
    {"dot in the folder only", {"D/dir.d/old"}, {true}, "D/dir.d/old.dat", {"old.dat"}, 1},
    {"cancelled", {}, {}, "", {}, 1},
};

void TestFileDialog::saveNames_data() {
    QTest::addColumn<int>("row");
    for (int i = 0; i < int(std::size(kSaves)); ++i)
        QTest::newRow(kSaves[i].name) << i;
}

void TestFileDialog::saveNames() {
    QFETCH(int, row);
    const auto& [name, names, answers, result, asked, runs] = kSaves[row];
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
