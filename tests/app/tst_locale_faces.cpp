// SPDX-License-Identifier: Apache-2.0
// The program under each locale and each set of installed faces, as a user starts it: C.UTF-8
// and ja_JP.UTF-8 (made for the test into a folder of its own), with every face installed, with
// the fixed-pitch Japanese face but not the proportional one, and with no Japanese face at all.
// Each start is a process of its own (fontconfig and the locale are read once per process).
#include "../FontFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The faces of the Debian packages the program depends on or meets; fontconfig finds their
// files.
const char kProportional[] = "IPAPGothic";
const char kFixed[] = "IPAGothic";
const char kLatin[] = "DejaVu Sans";

enum class Faces { All, FixedOnly, NoJapanese };

} // namespace

class TestLocaleFaces : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QHash<QString, QString> m_configs;
    QHash<QString, QString> m_files; // of each face above

    // A fontconfig configuration that knows only these font files (the system's rules apply).
    QString FontConfig(const QString& name, const QStringList& files) {
        if (m_configs.contains(name))
            return m_configs.value(name);
        const QString fonts = m_dir.filePath(name + QStringLiteral("-fonts"));
        if (!QDir().mkpath(fonts))
            return {};
        for (const QString& file : files)
            if (!QFile::link(file, QDir(fonts).filePath(QFileInfo(file).fileName())))
                return {};
        const QString conf = m_dir.filePath(name + QStringLiteral(".conf"));
        QFile f(conf);
        if (!f.open(QIODevice::WriteOnly))
            return {};
        const QByteArray text = "<?xml version=\"1.0\"?>\n"
                                "<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n"
                                "<fontconfig>\n  <dir>" +
                                QFile::encodeName(fonts) + "</dir>\n  <cachedir>" +
                                QFile::encodeName(m_dir.filePath(name + QStringLiteral("-cache"))) +
                                "</cachedir>\n"
                                "  <include ignore_missing=\"yes\">/etc/fonts/conf.d</include>\n"
                                "</fontconfig>\n";
        if (f.write(text) != text.size() || !f.flush())
            return {};
        m_configs.insert(name, conf);
        return conf;
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        for (const char* face : {kProportional, kFixed, kLatin}) {
            const QString file = vellmark::test::FontFile(QString::fromLatin1(face));
            QVERIFY2(!file.isEmpty(), face);
            m_files.insert(QString::fromLatin1(face), file);
        }
        // Each face in a file of its own, so that a configuration can leave one out.
        QCOMPARE(QSet<QString>(m_files.cbegin(), m_files.cend()).size(), m_files.size());
        // The Japanese locale, made from the system's locale sources (package locales).
        const QString locales = m_dir.filePath(QStringLiteral("locales"));
        QVERIFY(QDir().mkpath(locales));
        QProcess localedef;
        localedef.start(QStringLiteral("localedef"),
                        {QStringLiteral("-i"), QStringLiteral("ja_JP"), QStringLiteral("-f"),
                         QStringLiteral("UTF-8"), locales + QStringLiteral("/ja_JP.UTF-8")});
        QVERIFY2(localedef.waitForFinished(120000), "localedef did not end");
        QVERIFY2(localedef.exitStatus() == QProcess::NormalExit && localedef.exitCode() == 0,
                 localedef.readAllStandardError().constData());
        QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("runtime"))));
        QVERIFY(QFile::setPermissions(m_dir.filePath(QStringLiteral("runtime")),
                                      QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner));
    }

    // The face in use is the template's or its substitute, no tab lies under the page, every
    // control shows its text whole, and menus, message boxes, tooltips, the status line and the
    // file dialog use the pages' face. With the template's face the window is the template's
    // size in either locale; without any Japanese face the program says what to install.
    void faceAndLayout_data() {
        QTest::addColumn<QString>("lang");
        QTest::addColumn<int>("faces");
        QTest::addColumn<int>("faceIndex"); // in the templates' list; -1: a substitute
        for (const char* lang : {"C.UTF-8", "ja_JP.UTF-8"}) {
            QTest::addRow("%s, every face", lang) << lang << int(Faces::All) << 1;
            QTest::addRow("%s, no proportional face", lang) << lang << int(Faces::FixedOnly) << 2;
            QTest::addRow("%s, no Japanese face", lang) << lang << int(Faces::NoJapanese) << -1;
        }
    }

    void faceAndLayout() {
        QFETCH(QString, lang);
        QFETCH(int, faces);
        QFETCH(int, faceIndex);

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name :
             {"LC_ALL", "LANGUAGE", "LC_MESSAGES", "LC_CTYPE", "FONTCONFIG_FILE"})
            env.remove(QString::fromLatin1(name));
        env.insert(QStringLiteral("LANG"), lang);
        env.insert(QStringLiteral("LOCPATH"), m_dir.filePath(QStringLiteral("locales")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.filePath(QStringLiteral("runtime")));
        if (faces == int(Faces::FixedOnly))
            env.insert(QStringLiteral("FONTCONFIG_FILE"),
                       FontConfig(QStringLiteral("fixed"), {m_files[kFixed], m_files[kLatin]}));
        else if (faces == int(Faces::NoJapanese))
            env.insert(QStringLiteral("FONTCONFIG_FILE"),
                       FontConfig(QStringLiteral("latin"), {m_files[kLatin]}));
        QVERIFY(!env.value(QStringLiteral("FONTCONFIG_FILE"), QStringLiteral("-")).isEmpty());

        QProcess probe;
        probe.setProcessEnvironment(env);
        probe.start(QStringLiteral(PROBE_EXE), {});
        QVERIFY2(probe.waitForFinished(60000), "the probe did not end");
        const QString err = QString::fromUtf8(probe.readAllStandardError());
        QVERIFY2(probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0,
                 qPrintable(err));
        QHash<QString, QString> got;
        for (const QString& line : QString::fromUtf8(probe.readAllStandardOutput()).split(u'\n')) {
            const qsizetype eq = line.indexOf(u'=');
            if (eq > 0)
                got.insert(line.left(eq), line.mid(eq + 1));
        }

        QCOMPARE(got.value(QStringLiteral("locale")) == QLatin1String("ja_JP"),
                 lang.startsWith(QLatin1String("ja_JP")));
        QCOMPARE(got.value(QStringLiteral("faceIndex")), QString::number(faceIndex));
        if (faceIndex == 1) {
            // IPAPGothic by any of its names ("IPA Pゴシック" under the Japanese locale), at
            // the size of the template's face: the template's layout to the pixel.
            QVERIFY2(got.value(QStringLiteral("storedNames")).contains(QLatin1String("IPAPGothic")),
                     qPrintable(got.value(QStringLiteral("storedNames"))));
            QCOMPARE(got.value(QStringLiteral("window")).section(u'x', 0, 0),
                     QStringLiteral("429"));
            QCOMPARE(got.value(QStringLiteral("page")), QStringLiteral("12,78"));
        }
        QVERIFY(got.contains(QStringLiteral("imagePlugins")));
        QCOMPARE(got.value(QStringLiteral("imagePlugins")), QString());
        QCOMPARE(got.value(QStringLiteral("tabsUnderPage")), QString());
        QVERIFY(got.value(QStringLiteral("tabRows")).toInt() >= 2);
        QCOMPARE(got.value(QStringLiteral("cut")), QString());

        const QString pageFont = got.value(QStringLiteral("font.page"));
        QVERIFY(!pageFont.isEmpty());
        QStringList others;
        for (auto it = got.cbegin(); it != got.cend(); ++it)
            if (it.key().startsWith(QLatin1String("font.")) && it.value() != pageFont)
                others << it.key() + u'=' + it.value();
        QVERIFY2(others.isEmpty(),
                 qPrintable(pageFont + QStringLiteral(" vs ") + others.join(u' ')));
        QVERIFY(got.contains(QStringLiteral("font.messageBox")));
        QVERIFY(got.contains(QStringLiteral("font.menuItems")));

        const bool warned = err.contains(QLatin1String("install the package fonts-ipafont-gothic"));
        QCOMPARE(warned, faces == int(Faces::NoJapanese));
    }
};

QTEST_GUILESS_MAIN(TestLocaleFaces)
#include "tst_locale_faces.moc"
