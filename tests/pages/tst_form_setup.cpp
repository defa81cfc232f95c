// SPDX-License-Identifier: Apache-2.0
// The form setup dialog, opened from the form page's button on the selected stored form:
// what it shows, sliders and edits, the margin rule and the checks on OK, Cancel, and the data
// check the page raises after OK.
#include "PageHarness.h"

#include "CNumberEdit.h"
#include "CUpDown.h"
#include "SettingValues.h"

#include <array>
#include <tuple>

using namespace vellmark;
using namespace vellmark::test;
using namespace vellmark::res;

namespace {

std::string Record(const SettingsBlock& b, int form) {
    const FormRecord r = GetFormRecord(b, form);
    return std::string(r.begin(), r.end());
}

// Selects stored form n (1..3) in the page's combo box and clicks the form button; the
// script runs while the dialog is open.
void OpenForm(FakeMainWindow& win, int n, const std::function<void(CFormSetupDlg&)>& script) {
    win.ShowPage(win.form);
    QComboBox* forms = Combo(win.form, CPage_Form::IDC_FORM_SELECT);
    Press(forms, Qt::Key_Home);
    Press(forms, Qt::Key_Down, n);
    win.prompt.scripts = {[&script](QDialog& d) { script(static_cast<CFormSetupDlg&>(d)); }};
    const int runs = win.prompt.modalRuns;
    QTest::mouseClick(win.form.DlgItem<QPushButton>(CPage_Form::IDC_FORM_BUTTON), Qt::LeftButton);
    win.prompt.scripts.clear();
    QCOMPARE(win.prompt.modalRuns, runs + 1); // the script did run
}

} // namespace

class FormSetupTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { CDialogStyle::Install(); } // the style app/ installs at start-up
    void cleanup() { CloseTopLevels(); }

    // The stored form as shown, the sliders and edits working, and Cancel storing nothing.
    void factoryFormOpensAndCancelChangesNothing() {
        FakeMainWindow win;
        const SettingsBlock before = FactoryWith(73, "1"); // only the selection of 書式１
        OpenForm(win, 1, [&](CFormSetupDlg& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("書式の設定：書式１"));
            QCOMPARE(
                Shown(d, {IDC_SETUP_PAGE_LENGTH, IDC_SETUP_LEFT_MARGIN, IDC_SETUP_RIGHT_MARGIN,
                          IDC_SETUP_CONT_POSITION, IDC_SETUP_CUT_POSITION,
                          IDC_SETUP_POSTCARD_POSITION, IDC_SETUP_CORRECTION, IDC_SETUP_CONT_SLIDER,
                          IDC_SETUP_CUT_SLIDER, IDC_SETUP_POSTCARD_SLIDER}),
                QStringLiteral("66 0 136 120 46 54 0 9 7 7"));
            // Sliders write their stops, edits move the sliders and clamp.
            Press(d.DlgItem<QSlider>(IDC_SETUP_POSTCARD_SLIDER), Qt::Key_End);
            QCOMPARE(Shown(d, {IDC_SETUP_POSTCARD_SLIDER, IDC_SETUP_POSTCARD_POSITION}),
                     QStringLiteral("9 120"));
            Press(d.DlgItem<QSlider>(IDC_SETUP_POSTCARD_SLIDER), Qt::Key_Left, 2);
            QCOMPARE(Shown(d, {IDC_SETUP_POSTCARD_SLIDER, IDC_SETUP_POSTCARD_POSITION}),
                     QStringLiteral("7 54"));
            Press(d.DlgItem<QSlider>(IDC_SETUP_CONT_SLIDER), Qt::Key_Left, 2);
            QCOMPARE(Shown(d, {IDC_SETUP_CONT_SLIDER, IDC_SETUP_CONT_POSITION}),
                     QStringLiteral("7 46"));
            TypeInto(Edit(d, IDC_SETUP_CUT_POSITION), QStringLiteral("19"));
            QCOMPARE(d.DlgItem<QSlider>(IDC_SETUP_CUT_SLIDER)->value(), 2);
            TypeInto(Edit(d, IDC_SETUP_CUT_POSITION), QStringLiteral("1300"));
            TypeInto(Edit(d, IDC_SETUP_LEFT_MARGIN), QStringLiteral("200"));
            TypeInto(Edit(d, IDC_SETUP_RIGHT_MARGIN), QString());
            QCOMPARE(
                Shown(d, {IDC_SETUP_CUT_POSITION, IDC_SETUP_LEFT_MARGIN, IDC_SETUP_RIGHT_MARGIN}),
                QStringLiteral("130 135 1"));
            TypeInto(Edit(d, IDC_SETUP_PAGE_LENGTH), QStringLiteral("12"));
            TypeInto(Edit(d, IDC_SETUP_CONT_POSITION), QStringLiteral("30"));
            QTest::mouseClick(d.DlgItem<QPushButton>(res::IDCANCEL), Qt::LeftButton);
            QVERIFY(!d.isVisible());
        });
        QVERIFY(win.doc.m_current == before);
        // Opened again, it shows the stored values, not the cancelled ones.
        OpenForm(win, 1, [&](CFormSetupDlg& d) {
            QCOMPARE(
                Shown(d, {IDC_SETUP_PAGE_LENGTH, IDC_SETUP_CONT_POSITION, IDC_SETUP_CONT_SLIDER}),
                QStringLiteral("66 120 9"));
        });
        QVERIFY(win.doc.m_current == before);
        QVERIFY(win.prompt.shown.isEmpty());
    }

    // Left margin not below the right one: the message, right = left + 1 with the focus in it,
    // the dialog open and the stored form unchanged; the next OK stores.
    void marginRule() {
        for (const auto& r : {std::array<QString, 3>{"135", "100", "136"}, {"50", "50", "51"}}) {
            const QString &left = r[0], &right = r[1], &corrected = r[2];
            FakeMainWindow win;
            const std::string stored = Record(win.doc.m_current, 1);
            qsizetype checksInDialog = -1;
            OpenForm(win, 1, [&](CFormSetupDlg& d) {
                const qsizetype atOpen = win.checks.size();
                TypeInto(Edit(d, IDC_SETUP_LEFT_MARGIN), left);
                TypeInto(Edit(d, IDC_SETUP_RIGHT_MARGIN), right);
                QTest::mouseClick(d.DlgItem<QPushButton>(res::IDOK), Qt::LeftButton);
                win.prompt.ExpectOne(
                    QStringLiteral("ライトマージン幅はレフトマージン幅より大きくしてください。適正"
                                   "値に変更します。"),
                    QStringLiteral("書式１－レフトマージン幅／ライトマージン幅"));
                QCOMPARE(win.prompt.shown[0].owner, &d);
                QCOMPARE(Edit(d, IDC_SETUP_RIGHT_MARGIN)->text(), corrected);
                QCOMPARE(QApplication::focusWidget(), Edit(d, IDC_SETUP_RIGHT_MARGIN));
                QVERIFY(d.isVisible());
                QCOMPARE(Record(win.doc.m_current, 1), stored);
                QCOMPARE(std::string(d.StoredForm(1).begin(), d.StoredForm(1).end()), stored);
                QTest::mouseClick(d.DlgItem<QPushButton>(res::IDOK), Qt::LeftButton);
                QVERIFY(!d.isVisible());
                checksInDialog = win.checks.size() - atOpen;
            });
            QCOMPARE(checksInDialog, 0); // the dialog's own edits raise no data check
            QCOMPARE(win.prompt.shown.size(), 1);
            QCOMPARE(QString::fromStdString(Record(win.doc.m_current, 1).substr(3, 7)),
                     QStringLiteral("%1,%2").arg(left, 3, u'0').arg(corrected, 3, u'0'));
            QCOMPARE(win.checks.last(), win.doc.m_current);
        }
    }

    // A failed check on OK: its message once, the focus in the failing edit with its text
    // selected, the dialog open and the stored form unchanged. Nothing is checked before OK.
    void checksOnOk() {
        const struct {
            QString stored; // the third form's page length
            QString typed;  // into the continuous position, if not null
            int failing;
            QString message;
        } rows[] = {
            {"66", "", IDC_SETUP_CONT_POSITION, "整数を入力してください。"},
            {"00", QString(), IDC_SETUP_PAGE_LENGTH, "1 から 99 までの整数を入力してください。"}};
        for (const auto& [stored, typed, failing, message] : rows) {
            FakeMainWindow win;
            const SettingsBlock b = FactoryWith(135, stored.toStdString());
            win.Load(b);
            OpenForm(win, 3, [&](CFormSetupDlg& d) {
                if (!typed.isNull())
                    TypeInto(Edit(d, IDC_SETUP_CONT_POSITION), typed);
                QVERIFY(win.prompt.shown.isEmpty());
                QTest::mouseClick(d.DlgItem<QPushButton>(res::IDOK), Qt::LeftButton);
                win.prompt.ExpectOne(message);
                QCOMPARE(QApplication::focusWidget(), Edit(d, failing));
                QCOMPARE(Edit(d, failing)->selectedText(),
                         typed.isNull() ? QString::number(stored.toInt()) : typed);
                QVERIFY(d.isVisible());
            });
            QCOMPARE(Record(win.doc.m_current, 3), Record(b, 3));
        }
    }

    // OK on 書式２ writes that record only, keeping its separators and unassigned characters,
    // and the block holds it as soon as the dialog has closed.
    void okStoresTheNamedFormOnly() {
        FakeMainWindow win;
        const SettingsBlock b = FactoryWith(105, "10;001;080;015:XYZ;018;020;05");
        win.Load(b);
        OpenForm(win, 2, [&](CFormSetupDlg& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("書式の設定：書式２"));
            QCOMPARE(Edit(d, IDC_SETUP_PAGE_LENGTH)->text(), QStringLiteral("10"));
            TypeInto(Edit(d, IDC_SETUP_PAGE_LENGTH), QStringLiteral("72"));
            TypeInto(Edit(d, IDC_SETUP_CORRECTION), QStringLiteral("68"));
            TypeInto(Edit(d, IDC_SETUP_CONT_POSITION), QStringLiteral("28"));
            QTest::mouseClick(d.DlgItem<QPushButton>(res::IDOK), Qt::LeftButton);
        });
        QVERIFY(win.prompt.shown.isEmpty());
        SettingsBlock expected = b;
        Put(expected, 73, "2");
        Put(expected, 105, "72;001;080;028:XYZ;018;020;68");
        QCOMPARE(win.doc.m_current, expected);
        QCOMPARE(win.checks.last(), expected);
    }

    // Enter presses the push button that has the focus, and OK (the default button) when the
    // focus is on any other control; Space presses the focused button; Esc cancels.
    void keysEndTheDialog() {
        const int ok = res::IDOK, cancel = res::IDCANCEL;
        const struct {
            int focus; // -1: an edit, after Cancel had the focus
            Qt::Key key;
            int result;
        } rows[] = {
            {cancel, Qt::Key_Return, cancel},
            {cancel, Qt::Key_Enter, cancel},
            {cancel, Qt::Key_Space, cancel},
            {ok, Qt::Key_Return, ok},
            {IDC_SETUP_CORRECTION, Qt::Key_Return, ok}, // an edit
            {IDC_SETUP_CUT_SLIDER, Qt::Key_Return, ok},
            {-1, Qt::Key_Return, ok},
            {IDC_SETUP_PAGE_LENGTH, Qt::Key_Escape, cancel},
        };
        for (const auto& [focus, key, result] : rows) {
            FakeMainWindow win;
            int ended = 0;
            OpenForm(win, 1, [&](CFormSetupDlg& d) {
                TypeInto(Edit(d, IDC_SETUP_PAGE_LENGTH), QStringLiteral("12"));
                if (focus == -1)
                    d.DlgItem<QPushButton>(res::IDCANCEL)->setFocus(Qt::TabFocusReason);
                Press(d.GetDlgItem(focus == -1 ? IDC_SETUP_LEFT_MARGIN : focus), key);
                QVERIFY(!d.isVisible());
                ended = d.result();
            });
            QCOMPARE(ended, result);
            QCOMPARE(Record(win.doc.m_current, 1).substr(0, 2),
                     std::string(result == res::IDOK ? "12" : "66"));
            QVERIFY(win.prompt.shown.isEmpty());
        }
    }

    // A page's button is no default button of the window around the page, even when that
    // window is a dialog: Enter in an edit presses nothing after the button had the focus or
    // the window was shown.
    void enterOnAPageOnlyPressesAFocusedButton() {
        ScriptedPrompt prompt;
        QDialog window;
        CPage_Form page;
        page.Create(&window);
        page.ParseBlock(FactoryWith(73, "1"));
        window.resize(page.size());
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto* button = page.DlgItem<QPushButton>(CPage_Form::IDC_FORM_BUTTON);
        QVERIFY(button->isEnabled());
        QLineEdit* edit = Edit(page, IDC_FORM_PAGE_LENGTH);
        Press(edit, Qt::Key_Return);
        button->setFocus(Qt::TabFocusReason);
        Press(edit, Qt::Key_Return);
        QCOMPARE(prompt.modalRuns, 0);
        QVERIFY(window.isVisible());
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter})
            Press(button, key);
        QCOMPARE(prompt.modalRuns, 2);
    }
    // Every number edit of the pages and of the form setup dialog keeps, typed as a user would,
    // exactly the values `set` takes for its setting: the ends of the range `set` accepts stay,
    // one beyond each does not, and the up-down control spans the same range, its up arrow
    // stopping at the maximum.
    void editsTakeWhatSetTakes() {
        FakeMainWindow win;
        const std::tuple<CPropertyPage*, int, const char*> fields[] = {
            // null: the setup dialog
            {&win.form, IDC_FORM_CONT_POSITION, "ContinuousLoadPosition"},
            {&win.form, IDC_FORM_CUT_POSITION, "CutSheetLoadPosition"},
            {&win.form, IDC_FORM_POSTCARD_POSITION, "PostcardLoadPosition"},
            {&win.form, IDC_FORM_PAGE_LENGTH, "PageLength"},
            {&win.form, IDC_FORM_CORRECTION, "CutSheetPositionCorrection"},
            {&win.param, IDC_PARAM_CONT_CENTERING, "ContinuousCentering"},
            {&win.param, IDC_PARAM_CUT_CENTERING, "CutSheetCentering"},
            {&win.param, IDC_PARAM_LOAD_TIME, "SheetGuideLoadTime"},
            {nullptr, IDC_SETUP_PAGE_LENGTH, "Form1.PageLength"},
            {nullptr, IDC_SETUP_LEFT_MARGIN, "Form1.LeftMargin"},
            {nullptr, IDC_SETUP_RIGHT_MARGIN, "Form1.RightMargin"},
            {nullptr, IDC_SETUP_CONT_POSITION, "Form1.ContinuousLoadPosition"},
            {nullptr, IDC_SETUP_CUT_POSITION, "Form1.CutSheetLoadPosition"},
            {nullptr, IDC_SETUP_POSTCARD_POSITION, "Form1.PostcardLoadPosition"},
            {nullptr, IDC_SETUP_CORRECTION, "Form1.CutSheetPositionCorrection"},
        };
        int numbers = 0;
        for (const NamedSetting& n : NamedSettings())
            numbers += KindOf(n) == EntryKind::Integer && FormOf(n) <= 1;
        QCOMPARE(int(std::size(fields)), numbers); // every number field, stored form 1's too
        QStringList differ;
        for (auto [page, id, name] : fields) {
            win.Load(FactoryDefaults); // the other margin as the factory has it
            const auto i = static_cast<std::size_t>(FindNamedSetting(name));
            QList<int> taken; // by `set`, found by trying it
            for (int v = -5; v <= 1000; ++v)
                if (SettingValues::Decode(FactoryDefaults).Set(i, std::to_string(v)).empty())
                    taken << v;
            QVERIFY2(!taken.isEmpty() && taken.last() - taken.first() + 1 == taken.size(), name);
            for (int v : {taken.first() - 1, taken.first(), taken.last(), taken.last() + 1}) {
                const auto type = [&, id = id, name = name](CDialogBase& d) {
                    auto* edit = d.DlgItem<CNumberEdit>(id);
                    TypeInto(edit, QString::number(v));
                    CUpDown* upDown = edit->UpDown();
                    if (v == taken.last()) { // its up arrow, clicked with the focus elsewhere
                        edit->clearFocus();
                        upDown->Step(1);
                    }
                    if (upDown->Lower() != taken.first() || upDown->Upper() != taken.last())
                        differ << QString::asprintf("%s: up-down %d to %d", name, upDown->Lower(),
                                                    upDown->Upper());
                };
                if (page) {
                    win.ShowPage(*page);
                    type(*page);
                } else {
                    OpenForm(win, 1, [&](CFormSetupDlg& d) {
                        type(d);
                        QTest::mouseClick(d.DlgItem<QPushButton>(res::IDOK), Qt::LeftButton);
                    });
                    win.doc.CollectFromPages();
                }
                const bool kept =
                    SettingValues::Decode(win.doc.m_current).Get(i) == SettingValue(v);
                if (kept != taken.contains(v))
                    differ << QString::asprintf("%s=%d: the window %s it, set %s it", name, v,
                                                kept ? "keeps" : "refuses",
                                                taken.contains(v) ? "takes" : "refuses");
            }
        }
        QCOMPARE(differ.join(u'\n'), QString());
        QVERIFY(win.prompt.shown.isEmpty());
    }
};

QTEST_MAIN(FormSetupTest)
#include "tst_form_setup.moc"
