// SPDX-License-Identifier: Apache-2.0
// Editing the pages as a user would: number edits with their width rewrite and clamping, the
// centering edits with their pending marks, sliders and edits following each other, the data
// check that every change raises, and the validation messages of the rebuild it starts.
#include "PageHarness.h"

#include "AccessibleNames.h"
#include "CDataExchange.h"
#include "CNumberEdit.h"
#include "CUpDown.h"
#include "MnemonicText.h"

#include <QClipboard>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QWheelEvent>

#include <cstdlib>
#include <cstring>
#include <tuple>

using namespace vellmark;
using namespace vellmark::test;
using namespace vellmark::res;

namespace {

enum : std::size_t { kSelect, kForm, kParam };

// Keys typed into a number edit of a page (after selecting its text; null: only focused), then
// one more key; what the edit shows and what the block holds from offset on. A slider, when
// given, shows stop; pending, when not -1, is the centering edit's mark.
struct Typing {
    const char* name;
    std::size_t page;
    int id;
    const char* typed;
    const char* shown;
    std::size_t offset;
    const char* bytes;
    int slider = -1, stop = 0, pending = -1;
    Qt::Key key = Qt::Key_unknown;
};

const Typing kTyping[] = {
    {"leading zeros within the width", kForm, IDC_FORM_CUT_POSITION, "0012", "0012", 49, "012",
     IDC_FORM_CUT_SLIDER, 1},
    {"above the maximum", kForm, IDC_FORM_CUT_POSITION, "1300", "130", 49, "130",
     IDC_FORM_CUT_SLIDER, 9},
    {"nearest stop", kForm, IDC_FORM_CUT_POSITION, "125", "125", 49, "125", IDC_FORM_CUT_SLIDER, 9},
    {"between two stops: the lower", kForm, IDC_FORM_CUT_POSITION, "19", "19", 49, "019",
     IDC_FORM_CUT_SLIDER, 2},
    {"emptied, minimum 1", kForm, IDC_FORM_PAGE_LENGTH, "", "1", 38, "01"},
    {"up key", kForm, IDC_FORM_PAGE_LENGTH, nullptr, "67", 38, "67", -1, 0, -1, Qt::Key_Up},
    {"up key at the maximum", kForm, IDC_FORM_PAGE_LENGTH, "99", "99", 38, "99", -1, 0, -1,
     Qt::Key_Up},
    {"down key", kForm, IDC_FORM_PAGE_LENGTH, "99", "98", 38, "98", -1, 0, -1, Qt::Key_Down},
    {"load time emptied, minimum 2", kParam, IDC_PARAM_LOAD_TIME, "", "2", 171, "02"},
    {"centering 1 may become 10 to 68", kParam, IDC_PARAM_CUT_CENTERING, "1", "1", 28, "01", -1, 0,
     1},
    {"centering 15", kParam, IDC_PARAM_CUT_CENTERING, "15", "15", 28, "15", -1, 0, 0},
    {"centering 7", kParam, IDC_PARAM_CUT_CENTERING, "7", "10", 28, "10", -1, 0, 0},
    {"centering 0", kParam, IDC_PARAM_CUT_CENTERING, "0", "10", 28, "10", -1, 0, 0},
    {"centering emptied", kParam, IDC_PARAM_CUT_CENTERING, "", "10", 28, "10", -1, 0, 0},
    {"continuous centering 3", kParam, IDC_PARAM_CONT_CENTERING, "3", "3", 31, "03", -1, 0, 1},
    // 6 may still become 60 to 68; 69 is above the range.
    {"centering 6", kParam, IDC_PARAM_CUT_CENTERING, "6", "6", 28, "06", -1, 0, 1},
    {"centering 69", kParam, IDC_PARAM_CUT_CENTERING, "69", "68", 28, "68", -1, 0, 0},
};

} // namespace

class PageEditingTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { CDialogStyle::Install(); } // the style app/ installs at start-up
    void cleanup() { CloseTopLevels(); }

    // Typing clamps, rewrites and moves the slider at once; nothing asks the user.
    void typingIntoNumberEdits_data() {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(kTyping)); ++i)
            QTest::newRow(kTyping[i].name) << i;
    }
    void typingIntoNumberEdits() {
        QFETCH(int, row);
        const Typing& r = kTyping[row];
        FakeMainWindow win;
        CPropertyPage& page = *win.All()[r.page];
        win.ShowPage(page);
        QLineEdit* edit = Edit(page, r.id);
        edit->setFocus();
        if (r.typed)
            TypeInto(edit, QString::fromUtf8(r.typed));
        if (r.key != Qt::Key_unknown)
            QTest::keyClick(edit, r.key);
        QCOMPARE(edit->text(), QString::fromUtf8(r.shown));
        QCOMPARE(BlockText(win.doc.m_current, r.offset, std::strlen(r.bytes)),
                 std::string(r.bytes));
        if (r.slider > 0)
            QCOMPARE(page.DlgItem<QSlider>(r.slider)->value(), r.stop);
        if (r.pending >= 0)
            QCOMPARE(r.id == IDC_PARAM_CUT_CENTERING ? win.param.CutSheetPending()
                                                     : win.param.ContinuousPending(),
                     r.pending);
        QVERIFY(win.prompt.shown.isEmpty());
    }

    // Emptying an edit whose minimum is 0: it stays empty, its slider goes to stop 0, the
    // rebuild reports the missing integer with the focus back in the edit, and the block
    // keeps the previous value. Members before the failing control are read, those after
    // it keep their values.
    void emptyEditWithMinimumZero() {
        FakeMainWindow win;
        win.ShowPage(win.form);
        {
            const QSignalBlocker quiet(Edit(win.form, IDC_FORM_PAGE_LENGTH));
            Edit(win.form, IDC_FORM_PAGE_LENGTH)
                ->setText(QStringLiteral("12")); // after the position in exchange order
        }
        QLineEdit* edit = Edit(win.form, IDC_FORM_CONT_POSITION);
        TypeInto(edit, QString());
        QCOMPARE(Shown(win.form, {IDC_FORM_CONT_POSITION, IDC_FORM_CONT_SLIDER}),
                 QStringLiteral(" 0"));
        win.prompt.ExpectOne(QStringLiteral("整数を入力してください。"));
        QVERIFY(win.prompt.shown[0].icon == PromptIcon::Warning);
        QCOMPARE(QApplication::focusWidget(), edit);
        QCOMPARE(BlockText(win.doc.m_current, 38, 6), std::string("66,120")); // length, position
        // Stop (before) read, position (failing) and page length (after) kept.
        QCOMPARE(QList<int>({win.form.m_nContinuousStop, win.form.m_nContinuousPosition,
                             win.form.m_nPageLength}),
                 QList<int>({0, 120, 66}));

        // The correction edit (after the page length) fails the same way.
        win.prompt.shown.clear();
        TypeInto(Edit(win.form, IDC_FORM_CONT_POSITION), QStringLiteral("60"));
        QCOMPARE(win.form.m_nPageLength, 12);
        TypeInto(Edit(win.form, IDC_FORM_CORRECTION), QString());
        win.prompt.ExpectOne(QStringLiteral("整数を入力してください。"));
        QCOMPARE(BlockText(win.doc.m_current, 41, 3), std::string("060"));
    }

    // A range failure stores the value before it is tested; the edit gets the focus with its
    // text selected.
    void rangeFailureFocusAndMembers() {
        FakeMainWindow win;
        win.Load(FactoryWith(172, "7"));     // a sheet-guide load time outside 2 to 5
        QVERIFY(win.prompt.shown.isEmpty()); // showing does not check
        win.ShowPage(win.param);

        Combo(win.param, IDC_PARAM_FONT1)->setCurrentIndex(1);       // before the load time: read
        Combo(win.param, IDC_PARAM_AUTO_RETURN)->setCurrentIndex(0); // after the load time: kept
        QTest::mouseClick(win.param.DlgItem<QRadioButton>(IDC_PARAM_POSTCARD_SECOND),
                          Qt::LeftButton); // after

        win.prompt.ExpectOne(QStringLiteral("2 から 5 までの整数を入力してください。"));
        QLineEdit* edit = Edit(win.param, IDC_PARAM_LOAD_TIME);
        QCOMPARE(QApplication::focusWidget(), edit);
        QCOMPARE(edit->selectedText(), QStringLiteral("7"));
        QCOMPARE(
            QStringList({QString::number(win.param.m_nLoadTime), win.param.m_strFont1,
                         win.param.m_strAutoReturn, QString::number(win.param.m_nPostcardMode)}),
            QStringList({"7", "イタリック", "15秒", "0"}));
        QCOMPARE(BlockText(win.doc.m_current, 16, 1) + BlockText(win.doc.m_current, 24, 1) +
                     BlockText(win.doc.m_current, 168, 2),
                 std::string("1015"));

        // Focus into a combo box: one data check, one message, although the failed check
        // takes the focus away from the combo box again.
        win.prompt.shown.clear();
        const qsizetype before = win.checks.size();
        Combo(win.param, IDC_PARAM_FONT2)->setFocus(Qt::MouseFocusReason);
        QCOMPARE(win.checks.size(), before + 1);
        QCOMPARE(win.prompt.shown.size(), 1);
        QCOMPARE(QApplication::focusWidget(), edit);
    }

    // Both marks pending: each attempt runs one check, the cut-sheet one first.
    void pendingCenteringChecks() {
        FakeMainWindow win;
        win.ShowPage(win.param);
        TypeInto(Edit(win.param, IDC_PARAM_CUT_CENTERING), QStringLiteral("5"));
        TypeInto(Edit(win.param, IDC_PARAM_CONT_CENTERING), QStringLiteral("3"));
        win.select.setFocus(); // the user goes elsewhere (a menu command)

        for (auto [id, paperName, offset] : {std::tuple{IDC_PARAM_CUT_CENTERING, "カット紙", 28},
                                             std::tuple{IDC_PARAM_CONT_CENTERING, "連続紙", 31}}) {
            const qsizetype checksBefore = win.checks.size();
            win.prompt.shown.clear();
            if (win.param.CutSheetPending())
                win.param.CheckCutSheetCentering();
            else if (win.param.ContinuousPending())
                win.param.CheckContinuousCentering();
            const QString paper = QString::fromUtf8(paperName);
            win.prompt.ExpectOne(
                paper + QStringLiteral("のセンタリング位置の値が設定範囲を超えています。\n適正値に"
                                       "変更します。"),
                QStringLiteral("パラメータ設定－%1のセンタリング位置").arg(paper));
            QCOMPARE(win.prompt.shown[0].owner, &win.param);
            QCOMPARE(Edit(win.param, id)->text(), QStringLiteral("10"));
            QCOMPARE(QApplication::focusWidget(), Edit(win.param, id));
            QCOMPARE(win.checks.size(), checksBefore + 1);
            QCOMPARE(BlockText(win.doc.m_current, std::size_t(offset), 2), std::string("10"));
        }
        QCOMPARE(win.param.CutSheetPending() + win.param.ContinuousPending(), 0);

        // A mark never survives a new block: the loaded value stands.
        TypeInto(Edit(win.param, IDC_PARAM_CUT_CENTERING), QStringLiteral("4"));
        QCOMPARE(win.param.CutSheetPending(), 1);
        win.prompt.shown.clear();
        win.Load(FactoryWith(28, "05")); // outside 10 to 68, from a file: written back unchanged
        QCOMPARE(win.param.CutSheetPending(), 0);
        QCOMPARE(Edit(win.param, IDC_PARAM_CUT_CENTERING)->text(), QStringLiteral("5"));
        win.doc.CollectFromPages();
        QCOMPARE(BlockText(win.doc.m_current, 28, 2), std::string("05"));
        QVERIFY(win.prompt.shown.isEmpty());
    }

    // Sliders write their stop's value into their edit (wheel, keys and clicks); the edits move
    // the sliders.
    void slidersAndEditsFollowEachOther() {
        FakeMainWindow win;
        win.Load(FactoryWith(53, "120")); // postcard 120, stop 9
        win.ShowPage(win.form);
        Press(win.form.DlgItem<QSlider>(IDC_FORM_POSTCARD_SLIDER), Qt::Key_Left, 2);
        QCOMPARE(Shown(win.form, {IDC_FORM_POSTCARD_SLIDER, IDC_FORM_POSTCARD_POSITION}),
                 QStringLiteral("7 54"));
        QCOMPARE(BlockText(win.doc.m_current, 53, 3), std::string("054"));

        auto* cut = win.form.DlgItem<QSlider>(IDC_FORM_CUT_SLIDER);
        Press(cut, Qt::Key_Home);
        QCOMPARE(Edit(win.form, IDC_FORM_CUT_POSITION)->text(), QStringLiteral("0"));
        Press(cut, Qt::Key_Right, 7);
        QCOMPARE(Shown(win.form, {IDC_FORM_CUT_SLIDER, IDC_FORM_CUT_POSITION}),
                 QStringLiteral("7 46"));

        // A cut without the focus does nothing to its edit.
        auto* continuous = win.form.DlgItem<QSlider>(IDC_FORM_CONT_SLIDER);
        continuous->triggerAction(QAbstractSlider::SliderToMinimum);
        QCOMPARE(Edit(win.form, IDC_FORM_CONT_POSITION)->text(), QStringLiteral("120"));

        // The wheel over a cut that has the focus moves it, and its edit follows; clicks on the
        // track or on the tick marks under it move it one stop towards the click.
        QLineEdit* edit = Edit(win.form, IDC_FORM_CUT_POSITION);

        cut->setFocus(Qt::MouseFocusReason);
        const QPointF centre = QRectF(cut->rect()).center();
        QWheelEvent down(centre, cut->mapToGlobal(centre), QPoint(), QPoint(0, -120), Qt::NoButton,
                         Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(cut, &down);
        const auto stopText = [cut] {
            return QString::number(kStandardStops[static_cast<std::size_t>(cut->value())]);
        };
        QCOMPARE(edit->text(), stopText());
        QCOMPARE(std::abs(cut->value() - 7), 1);

        QStyleOptionSlider opt;
        opt.initFrom(cut);
        opt.orientation = Qt::Horizontal;
        opt.maximum = cut->maximum();
        opt.tickPosition = cut->tickPosition();
        opt.subControls = QStyle::SC_All;
        for (auto [where, ticks, direction] :
             {std::tuple{"track, right", false, 1}, std::tuple{"track, left", false, -1},
              std::tuple{"ticks, right", true, 1}, std::tuple{"ticks, left", true, -1}}) {
            Edit(win.form, IDC_FORM_PAGE_LENGTH)->setFocus(Qt::MouseFocusReason);
            TypeInto(edit, QStringLiteral("46"));
            QCOMPARE(cut->value(), 7);
            opt.sliderPosition = opt.sliderValue = cut->value();
            const QRect handle =
                cut->style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, cut);
            const QRect groove =
                cut->style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderGroove, cut);
            const int x = direction > 0 ? handle.right() + 6 : handle.left() - 6;
            const int y =
                ticks ? std::max(handle.bottom(), groove.bottom()) + 2 : groove.center().y();
            QVERIFY2(y < cut->height(), where);
            QTest::mouseClick(cut, Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
            QVERIFY2(cut->value() == 7 + direction,
                     qPrintable(QStringLiteral("%1: stop %2").arg(where).arg(cut->value())));
            QCOMPARE(edit->text(), stopText());
        }
        QVERIFY(win.prompt.shown.isEmpty());
    }

    // Every notification of a forwarded control raises one data check, before the control's
    // own handling and with the new state already readable; edits raise one per change.
    void dataCheckPerNotification() {
        FakeMainWindow win;
        win.ShowPage(win.select);
        // Activating the window put the focus into the first combo box; that is no move of
        // the user's.
        QCOMPARE(QApplication::focusWidget(), Combo(win.select, IDC_SELECT_PAPER_THICKNESS));
        QCOMPARE(win.checks.size(), 0);

        auto* on = win.select.DlgItem<QRadioButton>(IDC_SELECT_QUIET_SECOND);
        on->setFocus(Qt::TabFocusReason); // the combo box loses the focus
        QCOMPARE(win.checks.size(), 1);
        QTest::mouseClick(on, Qt::LeftButton);
        QCOMPARE(win.checks.size(), 2);
        QCOMPARE(win.checks[1][22], std::uint8_t{'1'});
        QTest::mouseClick(on, Qt::LeftButton); // already checked: a check all the same
        QCOMPARE(win.checks.size(), 3);
        QVERIFY(win.checks[2] == win.checks[1]);

        QComboBox* reduction = Combo(win.select, IDC_SELECT_REDUCTION);
        reduction->setFocus(Qt::TabFocusReason); // focus gained
        QCOMPARE(win.checks.size(), 4);
        QTest::keyClick(reduction, Qt::Key_End); // selection change
        QCOMPARE(win.checks.size(), 5);
        QCOMPARE(win.checks[4][62], std::uint8_t{'5'});
        reduction->showPopup();
        reduction->hidePopup();
        QCOMPARE(win.checks.size(), 7); // drop-down and close-up
        Combo(win.select, IDC_SELECT_PAPER_THICKNESS)
            ->setFocus(Qt::TabFocusReason); // focus lost, and gained
        QCOMPARE(win.checks.size(), 9);

        // The window losing and regaining the activation (a message box, another program)
        // moves no focus inside the window: no check.
        QFocusEvent deactivated(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(Combo(win.select, IDC_SELECT_PAPER_THICKNESS), &deactivated);
        QFocusEvent activated(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(Combo(win.select, IDC_SELECT_PAPER_THICKNESS), &activated);
        QCOMPARE(win.checks.size(), 9);

        // Showing a block raises none, nor does hiding a page or the window, even with a page
        // that cannot be read (a loaded load time of 7) and the focus in a combo box.
        win.Load(FactoryWith(172, "7"));
        for (std::size_t n : {1, 2, 3, 4, 5, 6, 0, 3, 0})
            win.ShowOnly(n);
        win.hide();
        win.show();
        win.showMinimized();
        win.showNormal();
        win.activateWindow();
        QApplication::processEvents();
        QCOMPARE(win.checks.size(), 9);
        QCOMPARE(win.prompt.shown.size(), 0);
        // A list that was open reports its close-up.
        QComboBox* pressure = Combo(win.select, IDC_SELECT_PRINT_PRESSURE);
        pressure->showPopup();
        pressure->hidePopup();
        QCOMPARE(win.checks.size(), 11);
        win.Load(FactoryDefaults);
        win.prompt.shown.clear();

        // One per change of an edit's text; edits forward nothing else.
        win.ShowPage(win.form);
        Edit(win.form, IDC_FORM_CORRECTION)
            ->setFocus(); // the combo box that had the focus loses it
        const qsizetype before = win.checks.size();
        TypeInto(Edit(win.form, IDC_FORM_CORRECTION), QStringLiteral("12"));
        QCOMPARE(win.checks.size(), before + 2);
        QCOMPARE(BlockText(win.checks.last(), 57, 2), std::string("12"));

        // A paste rewritten to its value is a change of its own, run inside the first.
        QLineEdit* cut = Edit(win.form, IDC_FORM_CUT_POSITION);
        cut->setFocus();
        cut->selectAll();
        const qsizetype atPaste = win.checks.size();
        cut->insert(QStringLiteral("0000012"));
        QCOMPARE(cut->text(), QStringLiteral("12"));
        QCOMPARE(win.checks.size(), atPaste + 2);
        QCOMPARE(BlockText(win.checks[atPaste], 49, 3), std::string("012"));
        QCOMPARE(win.form.DlgItem<QSlider>(IDC_FORM_CUT_SLIDER)->value(),
                 1); // 15 is the nearest stop

        // Arrow keys move through a radio pair as clicks do.
        win.ShowPage(win.msw4);
        auto* first = win.msw4.DlgItem<QRadioButton>(IDC_MSW4_5_FIRST);
        first->setFocus(Qt::TabFocusReason);
        const qsizetype beforeKey = win.checks.size();
        QTest::keyClick(first, Qt::Key_Right);
        QCOMPARE(Shown(win.msw4, {IDC_MSW4_5_FIRST, IDC_MSW4_5_SECOND}), QStringLiteral("0 1"));
        QCOMPARE(QApplication::focusWidget(), win.msw4.GetDlgItem(IDC_MSW4_5_SECOND));
        QCOMPARE(win.checks.size(), beforeKey + 1);
        QCOMPARE(win.doc.m_current[14], std::uint8_t{0x01});
    }

    // The form button follows the selected form name; choosing a form writes it at once.
    void formButtonFollowsSelection() {
        FakeMainWindow win;
        win.ShowPage(win.form);
        QComboBox* forms = Combo(win.form, IDC_FORM_SELECT);
        Press(forms, Qt::Key_End);
        QCOMPARE(Shown(win.form, {IDC_FORM_SELECT, IDC_FORM_BUTTON}),
                 QStringLiteral("書式３ 書式３の設定(&D)"));
        QCOMPARE(win.doc.m_current[73], std::uint8_t{'3'});
        QTest::keyClick(forms, Qt::Key_Up);
        QCOMPARE(Shown(win.form, {IDC_FORM_BUTTON}), QStringLiteral("書式２の設定(&D)"));
        QTest::keyClick(forms, Qt::Key_Home);
        QCOMPARE(Shown(win.form, {IDC_FORM_BUTTON}), QStringLiteral("書式の設定(&D)(off)"));
        QCOMPARE(win.doc.m_current[73], std::uint8_t{'0'});
    }

    // ParseBlock shows values as they stand: no width rewrite, clamping or slider move, and no
    // handler runs.
    void parseRunsNoHandler() {
        FakeMainWindow win;
        win.ShowPage(win.form);
        Edit(win.form, IDC_FORM_CONT_POSITION)->setFocus();
        win.Load(FactoryWith(41, "200")); // above the edit's maximum
        QCOMPARE(Shown(win.form, {IDC_FORM_CONT_POSITION, IDC_FORM_CONT_SLIDER}),
                 QStringLiteral("200 9"));
        QVERIFY(win.checks.isEmpty());
        // The next rebuild reports the range.
        win.doc.CollectFromPages();
        win.prompt.ExpectOne(QStringLiteral("0 から 130 までの整数を入力してください。"));
        QCOMPARE(BlockText(win.doc.m_current, 41, 3), std::string("200"));
    }

    // A long paste into any number edit ends: the width rewrite stops once it can shorten the
    // text no more, and the clamp leaves the edit's maximum (the value saturates at the largest
    // integer). Every number edit of every page and of the form setup dialog.
    void longPastesEndInRange() {
        FakeMainWindow win;
        const QString pastes[] = {QStringLiteral("1234567890"), QStringLiteral("99999999999"),
                                  QString(30, u'7')};
        QStringList wrong;
        int edits = 0;
        ForEveryDialog(win, [&](CDialogBase& dialog) {
            for (CNumberEdit* edit : dialog.findChildren<CNumberEdit*>()) {
                QVERIFY(edit->UpDown());
                ++edits;
                const QString upper = QString::number(edit->UpDown()->Upper());
                for (const QString& digits : pastes) {
                    QGuiApplication::clipboard()->setText(digits);
                    edit->setFocus(Qt::MouseFocusReason);
                    edit->selectAll();
                    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
                    if (edit->text() != upper)
                        wrong << QString::asprintf("%d: %d digits gave %s", dialog.TemplateId(),
                                                   int(digits.size()), qPrintable(edit->text()));
                }
            }
        });
        QCOMPARE(edits, 8 + 7);
        QCOMPARE(BlockText(win.doc.m_current, 41, 3), std::string("130"));
        QCOMPARE(BlockText(win.doc.m_current, 28, 2), std::string("68"));
        QCOMPARE(wrong, QStringList());
        QVERIFY(win.prompt.shown.isEmpty());
    }

    void multiByteLength() {
        QCOMPARE(CDataExchange::MultiByteLength(QStringLiteral("JIS1978年度版")), 13);
        QCOMPARE(CDataExchange::MultiByteLength(QStringLiteral("ｱｲｳ")), 3);
        int v = 0;
        QVERIFY(CDataExchange::ParseInt(QStringLiteral(" 0012 "), v) && v == 12);
        QVERIFY(!CDataExchange::ParseInt(QString(), v));
        QVERIFY(!CDataExchange::ParseInt(QStringLiteral("1x"), v));
    }

    // A template text as drawn (and measured) and as a screen reader says it: "&&" is one
    // ampersand, "&x" the letter alone; the reader also drops a Japanese "(&A)" and line breaks.
    void mnemonicMarks() {
        const char* const rows[][3] = {
            // marked, drawn, said
            {"&File", "File", "File"},
            {"Save && &quit", "Save & quit", "Save & quit"},
            {"&&&x&&", "&x&", "&x&"},
            {"A&", "A", "A"},
            {"&", "", ""},
            {"印刷(&P)", "印刷(P)", "印刷"},
            {" 二行の\n&文字 ", " 二行の\n文字 ", "二行の文字"},
        };
        for (const auto& [marked, drawn, said] : rows) {
            QCOMPARE(WithoutMnemonic(QString::fromUtf8(marked)), QString::fromUtf8(drawn));
            QCOMPARE(AccessibleText(QString::fromUtf8(marked)), QString::fromUtf8(said));
        }
    }
};

QTEST_MAIN(PageEditingTest)
#include "tst_page_editing.moc"
