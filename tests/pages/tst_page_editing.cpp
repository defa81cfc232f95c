// Editing the pages as a user would: number edits with their width rewrite and clamping, the
// centering edits with their pending marks, sliders and edits following each other, the data
// check that every change raises, and the validation messages of the rebuild it starts.
#include "PageHarness.h"

#include "CDataExchange.h"
#include "CNumberEdit.h"
#include "CUpDown.h"

#include <QClipboard>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QWheelEvent>

#include <cstdlib>

using namespace vellmark;
using namespace vellmark::test;

namespace {

const QString kIntegerMessage = QStringLiteral("整数を入力してください。");

std::string BlockText(const SettingsBlock& b, std::size_t offset, std::size_t width) {
    return std::string(reinterpret_cast<const char*>(b.data() + offset), width);
}

} // namespace

class PageEditingTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() {
        for (QWidget* w : QApplication::topLevelWidgets())
            w->close();
    }

    // Three-digit edit (cut-sheet loading position, 0 to 130): leading zeros, the width limit
    // of 4 and clamping at the maximum while typing.
    void numberEditWidthAndClamping() {
        ScriptedPrompt prompt;
        FakeMainWindow win;
        win.ShowPage(win.form);
        QLineEdit* edit = Edit(win.form, 1062);

        TypeInto(edit, QStringLiteral("0012"));
        QCOMPARE(edit->text(), QStringLiteral("0012")); // four characters, within range
        QCOMPARE(BlockText(win.doc.m_current, 49, 3), std::string("012"));

        // Pasted at once: the rewrite to 12 is a change of its own, run inside the first, and
        // each raises its data check.
        qsizetype before = win.checks.size();
        edit->selectAll();
        edit->insert(QStringLiteral("0000012"));
        QCOMPARE(edit->text(), QStringLiteral("12"));
        QCOMPARE(win.checks.size(), before + 2);
        QCOMPARE(BlockText(win.checks[before].block, 49, 3), std::string("012"));
        QCOMPARE(win.form.DlgItem<QSlider>(1095)->value(), 1); // 15 is the nearest stop

        TypeInto(edit, QStringLiteral("130"));
        QCOMPARE(edit->text(), QStringLiteral("130"));
        QTest::keyClick(edit, Qt::Key_0);
        QCOMPARE(edit->text(), QStringLiteral("130")); // 1300 is above the maximum
        QCOMPARE(BlockText(win.doc.m_current, 49, 3), std::string("130"));

        TypeInto(edit, QStringLiteral("125"));
        QCOMPARE(win.form.DlgItem<QSlider>(1095)->value(), 9);
        TypeInto(edit, QStringLiteral("19"));
        QCOMPARE(win.form.DlgItem<QSlider>(1095)->value(), 2);
        QVERIFY(prompt.messages.isEmpty());
    }

    // An edit whose minimum is 1 or more gets the minimum at once when emptied.
    void emptyEditWithMinimumAboveZero() {
        ScriptedPrompt prompt;
        FakeMainWindow win;
        win.ShowPage(win.form);
        TypeInto(Edit(win.form, 1054), QString());
        QCOMPARE(Edit(win.form, 1054)->text(), QStringLiteral("1"));
        TypeInto(Edit(win.form, 1054), QStringLiteral("100"));
        QCOMPARE(Edit(win.form, 1054)->text(), QStringLiteral("99"));
        QCOMPARE(BlockText(win.doc.m_current, 38, 2), std::string("99"));

        win.ShowPage(win.param);
        TypeInto(Edit(win.param, 1063), QString());
        QCOMPARE(Edit(win.param, 1063)->text(), QStringLiteral("2"));
        TypeInto(Edit(win.param, 1063), QStringLiteral("7"));
        QCOMPARE(Edit(win.param, 1063)->text(), QStringLiteral("5"));
        QCOMPARE(win.doc.m_current[172], std::uint8_t{'5'});
        QCOMPARE(win.doc.m_current[171], std::uint8_t{'0'});
        QVERIFY(prompt.messages.isEmpty());
    }

    // Emptying an edit whose minimum is 0: it stays empty, its slider goes to stop 0, the
    // rebuild reports the missing integer with the focus back in the edit, and the block
    // keeps the previous value. Members before the failing control are read, those after
    // it keep their values.
    void emptyEditWithMinimumZero() {
        ScriptedPrompt prompt;
        FakeMainWindow win;
        win.ShowPage(win.form);
        {
            const QSignalBlocker quiet(Edit(win.form, 1054));
            Edit(win.form, 1054)->setText(QStringLiteral("12")); // after 1060 in exchange order
        }
        QLineEdit* edit = Edit(win.form, 1060);
        TypeInto(edit, QString());
        QCOMPARE(edit->text(), QString());
        QCOMPARE(win.form.DlgItem<QSlider>(1094)->value(), 0);
        QCOMPARE(prompt.messages.size(), 1);
        QCOMPARE(prompt.messages[0].text, kIntegerMessage);
        QCOMPARE(prompt.messages[0].caption, ApplicationName());
        QVERIFY(!ApplicationName().isEmpty());
        QVERIFY(prompt.messages[0].icon == PromptIcon::Warning);
        QCOMPARE(QApplication::focusWidget(), edit);
        QCOMPARE(BlockText(win.doc.m_current, 41, 3), std::string("120"));
        QCOMPARE(win.form.m_nContinuousStop, 0);       // before: read
        QCOMPARE(win.form.m_nContinuousPosition, 120); // failing, not an integer: kept
        QCOMPARE(win.form.m_nPageLength, 66);          // after: kept
        QCOMPARE(BlockText(win.doc.m_current, 38, 2), std::string("66"));

        // The correction edit (after the page length) fails the same way.
        prompt.messages.clear();
        TypeInto(Edit(win.form, 1060), QStringLiteral("60"));
        QCOMPARE(win.form.m_nPageLength, 12);
        TypeInto(Edit(win.form, 1058), QString());
        QCOMPARE(prompt.messages.size(), 1);
        QCOMPARE(prompt.messages[0].text, kIntegerMessage);
        QCOMPARE(BlockText(win.doc.m_current, 41, 3), std::string("060"));
    }

    // A range failure stores the value before it is tested; the edit gets the focus with its
    // text selected.
    void rangeFailureFocusAndMembers() {
        ScriptedPrompt prompt;
        FakeMainWindow win;
        SettingsBlock b = FactoryDefaults;
        b[172] = '7'; // a sheet-guide load time outside 2 to 5, from a loaded block
        win.Load(b);
        QVERIFY(prompt.messages.isEmpty()); // showing does not check
        QCOMPARE(Edit(win.param, 1063)->text(), QStringLiteral("7"));
        win.ShowPage(win.param);

        Combo(win.param, 1058)->setCurrentIndex(1); // before 1063: read
        Combo(win.param, 1067)->setCurrentIndex(0); // after 1063: kept
        QTest::mouseClick(win.param.DlgItem<QRadioButton>(1018), Qt::LeftButton); // after

        QCOMPARE(prompt.messages.size(), 1);
        QCOMPARE(prompt.messages[0].text,
                 QStringLiteral("2 から 5 までの整数を入力してください。"));
        QCOMPARE(prompt.messages[0].caption, ApplicationName());
        QLineEdit* edit = Edit(win.param, 1063);
        QCOMPARE(QApplication::focusWidget(), edit);
        QCOMPARE(edit->selectedText(), QStringLiteral("7"));
        QCOMPARE(win.param.m_nLoadTime, 7);
        QCOMPARE(win.param.m_strFont1, QStringLiteral("イタリック"));
        QCOMPARE(win.param.m_strAutoReturn, QStringLiteral("15秒"));
        QCOMPARE(win.param.m_nPostcardMode, 0);
        QCOMPARE(win.doc.m_current[16], std::uint8_t{'1'});
        QCOMPARE(win.doc.m_current[24], std::uint8_t{'0'});
        QCOMPARE(BlockText(win.doc.m_current, 168, 2), std::string("15"));

        // Focus into a combo box: one data check, one message, although the failed check
        // takes the focus away from the combo box again.
        prompt.messages.clear();
        const qsizetype before = win.checks.size();
        Combo(win.param, 1059)->setFocus(Qt::MouseFocusReason);
        QCOMPARE(win.checks.size(), before + 1);
        QCOMPARE(prompt.messages.size(), 1);
        QCOMPARE(QApplication::focusWidget(), Edit(win.param, 1063));
    }

    // Centering edits: 1 to 6 stand and are marked pending; 0 and 7 to 9 become 10, above 68
    // becomes 68.
    void centeringEdits() {
        ScriptedPrompt prompt;
        FakeMainWindow win;
        win.ShowPage(win.param);
        QLineEdit* cut = Edit(win.param, 1061);
        TypeInto(cut, QStringLiteral("1"));
        QCOMPARE(cut->text(), QStringLiteral("1"));
        QCOMPARE(win.param.CutSheetPending(), 1);
        QCOMPARE(BlockText(win.doc.m_current, 28, 2), std::string("01"));
        QTest::keyClick(cut, Qt::Key_5);
        QCOMPARE(cut->text(), QStringLiteral("15"));
        QCOMPARE(win.param.CutSheetPending(), 0);
        QCOMPARE(BlockText(win.doc.m_current, 28, 2), std::string("15"));

        for (const QString& typed : {QStringLiteral("7"), QStringLiteral("0"), QString()}) {
            TypeInto(cut, typed);
            QCOMPARE(cut->text(), QStringLiteral("10"));
            QCOMPARE(win.param.CutSheetPending(), 0);
        }
        TypeInto(cut, QStringLiteral("69"));
        QCOMPARE(cut->text(), QStringLiteral("68"));
        QCOMPARE(BlockText(win.doc.m_current, 28, 2), std::string("68"));

        QLineEdit* cont = Edit(win.param, 1062);
        TypeInto(cont, QStringLiteral("9"));
        QCOMPARE(cont->text(), QStringLiteral("10"));
        QVERIFY(prompt.messages.isEmpty());
    }

    // Both marks pending: each attempt runs one check, the cut-sheet one first.
    void pendingCenteringChecks() {
        ScriptedPrompt prompt;
        FakeMainWindow win;
        win.ShowPage(win.param);
        TypeInto(Edit(win.param, 1061), QStringLiteral("5"));
        TypeInto(Edit(win.param, 1062), QStringLiteral("3"));
        QCOMPARE(win.param.CutSheetPending(), 1);
        QCOMPARE(win.param.ContinuousPending(), 1);
        QCOMPARE(BlockText(win.doc.m_current, 28, 2), std::string("05"));
        QCOMPARE(BlockText(win.doc.m_current, 31, 2), std::string("03"));
        win.select.setFocus(); // the user goes elsewhere (a menu command)

        auto attempt = [&] {
            if (win.param.CutSheetPending())
                win.param.CheckCutSheetCentering();
            else if (win.param.ContinuousPending())
                win.param.CheckContinuousCentering();
        };
        const qsizetype checksBefore = win.checks.size();
        attempt();
        QCOMPARE(prompt.messages.size(), 1);
        QCOMPARE(
            prompt.messages[0].text,
            QStringLiteral(
                "カット紙のセンタリング位置の値が設定範囲を超えています。\n適正値に変更します。"));
        QCOMPARE(prompt.messages[0].caption,
                 QStringLiteral("パラメータ設定－カット紙のセンタリング位置"));
        QCOMPARE(prompt.messages[0].owner, &win.param);
        QCOMPARE(Edit(win.param, 1061)->text(), QStringLiteral("10"));
        QCOMPARE(QApplication::focusWidget(), Edit(win.param, 1061));
        QCOMPARE(win.param.CutSheetPending(), 0);
        QCOMPARE(win.param.ContinuousPending(), 1);
        QCOMPARE(win.checks.size(), checksBefore + 1);
        QCOMPARE(BlockText(win.doc.m_current, 28, 2), std::string("10"));

        attempt();
        QCOMPARE(prompt.messages.size(), 2);
        QCOMPARE(
            prompt.messages[1].text,
            QStringLiteral(
                "連続紙のセンタリング位置の値が設定範囲を超えています。\n適正値に変更します。"));
        QCOMPARE(prompt.messages[1].caption,
                 QStringLiteral("パラメータ設定－連続紙のセンタリング位置"));
        QCOMPARE(Edit(win.param, 1062)->text(), QStringLiteral("10"));
        QCOMPARE(QApplication::focusWidget(), Edit(win.param, 1062));
        QCOMPARE(win.param.ContinuousPending(), 0);
        QCOMPARE(BlockText(win.doc.m_current, 31, 2), std::string("10"));

        // A mark never survives a new block: the loaded value stands.
        TypeInto(Edit(win.param, 1061), QStringLiteral("4"));
        QCOMPARE(win.param.CutSheetPending(), 1);
        SettingsBlock loaded = FactoryDefaults;
        loaded[28] = '0';
        loaded[29] = '5'; // outside 10 to 68, from a file: shown and written back unchanged
        win.Load(loaded);
        QCOMPARE(win.param.CutSheetPending(), 0);
        QCOMPARE(Edit(win.param, 1061)->text(), QStringLiteral("5"));
        win.doc.CollectFromPages();
        QCOMPARE(BlockText(win.doc.m_current, 28, 2), std::string("05"));
        QCOMPARE(prompt.messages.size(), 2);
    }

    // Sliders write their stop's value into their edit; the edits move the sliders.
    void slidersAndEditsFollowEachOther() {
        ScriptedPrompt prompt;
        FakeMainWindow win;
        SettingsBlock b = FactoryDefaults;
        b[53] = '1';
        b[54] = '2';
        b[55] = '0'; // postcard 120, stop 9
        win.Load(b);
        win.ShowPage(win.form);
        auto* postcard = win.form.DlgItem<QSlider>(1096);
        QCOMPARE(postcard->value(), 9);
        postcard->setFocus(Qt::TabFocusReason);
        QTest::keyClick(postcard, Qt::Key_Left);
        QTest::keyClick(postcard, Qt::Key_Left);
        QCOMPARE(postcard->value(), 7);
        QCOMPARE(Edit(win.form, 1064)->text(), QStringLiteral("54"));
        QCOMPARE(BlockText(win.doc.m_current, 53, 3), std::string("054"));

        auto* cut = win.form.DlgItem<QSlider>(1095);
        cut->setFocus(Qt::TabFocusReason);
        QTest::keyClick(cut, Qt::Key_Home);
        QCOMPARE(Edit(win.form, 1062)->text(), QStringLiteral("0"));
        for (int i = 0; i < 7; ++i)
            QTest::keyClick(cut, Qt::Key_Right);
        QCOMPARE(cut->value(), 7);
        QCOMPARE(Edit(win.form, 1062)->text(), QStringLiteral("46"));

        // A slider without the focus does nothing to its edit.
        auto* continuous = win.form.DlgItem<QSlider>(1094);
        continuous->triggerAction(QAbstractSlider::SliderToMinimum);
        QCOMPARE(Edit(win.form, 1060)->text(), QStringLiteral("120"));
        QVERIFY(prompt.messages.isEmpty());
    }

    // The up-down control steps within its range and writes its position into the edit.
    void upDownSteps() {
        ScriptedPrompt prompt;
        FakeMainWindow win;
        win.ShowPage(win.form);
        QLineEdit* edit = Edit(win.form, 1054); // page length, 1 to 99
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Up);
        QCOMPARE(edit->text(), QStringLiteral("67"));
        TypeInto(edit, QStringLiteral("99"));
        QTest::keyClick(edit, Qt::Key_Up);
        QCOMPARE(edit->text(), QStringLiteral("99"));
        auto* upDown = win.form.DlgItem<CUpDown>(1097);
        QCOMPARE(static_cast<QLineEdit*>(upDown->Buddy()), edit);
        upDown->Step(-1);
        QCOMPARE(edit->text(), QStringLiteral("98"));
        QCOMPARE(BlockText(win.doc.m_current, 38, 2), std::string("98"));
    }

    // Every notification of a forwarded control raises one data check, before the control's
    // own handling and with the new state already readable; edits raise one per change.
    void dataCheckPerNotification() {
        ScriptedPrompt prompt;
        FakeMainWindow win;
        QVERIFY(win.checks.isEmpty()); // none while the pages showed the factory settings
        win.ShowPage(win.select);
        // Activating the window put the focus into the first combo box; that is no move of
        // the user's.
        QCOMPARE(QApplication::focusWidget(), Combo(win.select, 1045));
        QCOMPARE(win.checks.size(), 0);

        auto* on = win.select.DlgItem<QRadioButton>(1012);
        on->setFocus(Qt::TabFocusReason); // the combo box loses the focus
        QCOMPARE(win.checks.size(), 1);
        QTest::mouseClick(on, Qt::LeftButton);
        QCOMPARE(win.checks.size(), 2);
        QCOMPARE(win.checks[1].block[22], std::uint8_t{'1'});
        QTest::mouseClick(on, Qt::LeftButton); // already checked: a check all the same
        QCOMPARE(win.checks.size(), 3);
        QVERIFY(win.checks[2].block == win.checks[1].block);

        QComboBox* reduction = Combo(win.select, 1057);
        reduction->setFocus(Qt::TabFocusReason); // focus gained
        QCOMPARE(win.checks.size(), 4);
        QTest::keyClick(reduction, Qt::Key_End); // selection change
        QCOMPARE(win.checks.size(), 5);
        QCOMPARE(win.checks[4].block[62], std::uint8_t{'5'});
        reduction->showPopup();
        reduction->hidePopup();
        QCOMPARE(win.checks.size(), 7);                        // drop-down and close-up
        Combo(win.select, 1045)->setFocus(Qt::TabFocusReason); // focus lost, and gained
        QCOMPARE(win.checks.size(), 9);

        // The window losing and regaining the activation (a message box, another program)
        // moves no focus inside the window: no check.
        QFocusEvent deactivated(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(Combo(win.select, 1045), &deactivated);
        QFocusEvent activated(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(Combo(win.select, 1045), &activated);
        QCOMPARE(win.checks.size(), 9);

        // Showing a block raises none.
        win.Load(FactoryDefaults);
        QCOMPARE(win.checks.size(), 9);

        // One per change of an edit's text; edits forward nothing else.
        win.ShowPage(win.form);
        Edit(win.form, 1058)->setFocus(); // the combo box that had the focus loses it
        const qsizetype before = win.checks.size();
        TypeInto(Edit(win.form, 1058), QStringLiteral("12"));
        QCOMPARE(win.checks.size(), before + 2);
        QCOMPARE(BlockText(win.checks.last().block, 57, 2), std::string("12"));
    }

    // Arrow keys move through a radio pair as clicks do.
    void radioArrowKeys() {
        ScriptedPrompt prompt;
        FakeMainWindow win;
        win.ShowPage(win.msw4);
        auto* first = win.msw4.DlgItem<QRadioButton>(1035);
        first->setFocus(Qt::TabFocusReason);
        const qsizetype before = win.checks.size();
        QTest::keyClick(first, Qt::Key_Right);
        auto* second = win.msw4.DlgItem<QRadioButton>(1023);
        QVERIFY(second->isChecked() && !first->isChecked());
        QCOMPARE(QApplication::focusWidget(), second);
        QCOMPARE(win.checks.size(), before + 1);
        QCOMPARE(win.doc.m_current[14], std::uint8_t{0x01});
    }

    // The form button follows the selected form name; choosing a form writes it at once.
    void formButtonFollowsSelection() {
        ScriptedPrompt prompt;
        FakeMainWindow win;
        win.ShowPage(win.form);
        QComboBox* forms = Combo(win.form, 1056);
        auto* button = win.form.DlgItem<QPushButton>(1002);
        forms->setFocus(Qt::TabFocusReason);
        QTest::keyClick(forms, Qt::Key_End);
        QCOMPARE(forms->currentText(), QStringLiteral("書式３"));
        QVERIFY(button->isEnabled());
        QCOMPARE(button->text(), QStringLiteral("書式３の設定(&D)"));
        QCOMPARE(win.doc.m_current[73], std::uint8_t{'3'});
        QTest::keyClick(forms, Qt::Key_Up);
        QCOMPARE(button->text(), QStringLiteral("書式２の設定(&D)"));
        QTest::keyClick(forms, Qt::Key_Home);
        QVERIFY(!button->isEnabled());
        QCOMPARE(button->text(), QStringLiteral("書式の設定(&D)"));
        QCOMPARE(win.doc.m_current[73], std::uint8_t{'0'});
    }

    // ParseBlock shows values as they stand: no width rewrite, clamping or slider move, and no
    // handler runs.
    void parseRunsNoHandler() {
        ScriptedPrompt prompt;
        FakeMainWindow win;
        win.ShowPage(win.form);
        Edit(win.form, 1060)->setFocus();
        SettingsBlock b = FactoryDefaults;
        b[41] = '2';
        b[42] = '0';
        b[43] = '0'; // 200, above the edit's maximum
        win.Load(b);
        QCOMPARE(Edit(win.form, 1060)->text(), QStringLiteral("200"));
        QCOMPARE(win.form.DlgItem<QSlider>(1094)->value(), 9);
        QVERIFY(win.checks.isEmpty());
        // The next rebuild reports the range.
        win.doc.CollectFromPages();
        QCOMPARE(prompt.messages.size(), 1);
        QCOMPARE(prompt.messages[0].text,
                 QStringLiteral("0 から 130 までの整数を入力してください。"));
        QCOMPARE(BlockText(win.doc.m_current, 41, 3), std::string("200"));
    }

    // A long paste into any number edit ends: the width rewrite stops once it can shorten the
    // text no more, and the clamp leaves the edit's maximum (the value saturates at the largest
    // integer). Every number edit of every page and of the form setup dialog.
    void longPastesEndInRange() {
        ScriptedPrompt prompt;
        FakeMainWindow win;
        const QString pastes[] = {QStringLiteral("1234567890"), QStringLiteral("99999999999"),
                                  QString(30, u'7')};
        QStringList wrong;
        int edits = 0;
        auto pasteInto = [&](CDialogBase& dialog) {
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
                        wrong << QStringLiteral("template %1: %2 digits gave %3, not %4")
                                     .arg(dialog.TemplateId())
                                     .arg(digits.size())
                                     .arg(edit->text(), upper);
                }
            }
        };
        for (CPropertyPage* page : win.pages.All()) {
            win.ShowPage(*page);
            pasteInto(*page);
        }
        QCOMPARE(edits, 8);
        QCOMPARE(BlockText(win.doc.m_current, 41, 3), std::string("130"));
        QCOMPARE(BlockText(win.doc.m_current, 28, 2), std::string("68"));
        win.ShowPage(win.form);
        Combo(win.form, CPage_Form::IDC_FORM_SELECT)->setCurrentIndex(1);
        win.form.FormSetupDialog().SetFormName(QStringLiteral("書式１"));
        prompt.modalScript = [&](QDialog& d) { pasteInto(static_cast<CDialogBase&>(d)); };
        win.form.FormSetupDialog().DoModal(&win.form);
        QCOMPARE(edits, 8 + 7);
        QCOMPARE(wrong, QStringList());
        QVERIFY(prompt.messages.isEmpty());
    }

    // Hiding a page or the window is no change of the user's: no data check, no message, even
    // with a page that cannot be read (a loaded load time of 7) and the focus in a combo box.
    void hidingRaisesNoDataCheck() {
        ScriptedPrompt prompt;
        FakeMainWindow win;
        win.ShowPage(win.select);
        QCOMPARE(QApplication::focusWidget(), Combo(win.select, 1045));
        SettingsBlock b = FactoryDefaults;
        b[172] = '7';
        win.Load(b);
        for (std::size_t n : {1, 2, 3, 4, 5, 6, 0, 3, 0})
            win.pages.ShowOnly(n);
        win.hide();
        win.show();
        win.showMinimized();
        win.showNormal();
        win.activateWindow();
        QApplication::processEvents();
        QCOMPARE(win.checks.size(), 0);
        QCOMPARE(prompt.messages.size(), 0);
        // A list that was open reports its close-up.
        QComboBox* combo = Combo(win.select, 1046);
        combo->showPopup();
        combo->hidePopup();
        QCOMPARE(win.checks.size(), 2);
    }

    // The wheel over a slider gives it the focus first, so its edit follows; clicks on the
    // track or on the tick marks under it move it one stop towards the click.
    void sliderWheelAndClicks() {
        ScriptedPrompt prompt;
        FakeMainWindow win;
        win.ShowPage(win.form);
        auto* slider = win.form.DlgItem<QSlider>(1095);
        QLineEdit* edit = Edit(win.form, 1062);
        QCOMPARE(slider->value(), 7);

        Edit(win.form, 1054)->setFocus(Qt::MouseFocusReason);
        const QPointF centre = QRectF(slider->rect()).center();
        QWheelEvent down(centre, slider->mapToGlobal(centre), QPoint(), QPoint(0, -120),
                         Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(slider, &down);
        QCOMPARE(QApplication::focusWidget(), slider);
        QCOMPARE(edit->text(),
                 QString::number(kStandardStops[static_cast<std::size_t>(slider->value())]));
        QCOMPARE(std::abs(slider->value() - 7), 1);

        QStyleOptionSlider opt;
        opt.initFrom(slider);
        opt.orientation = Qt::Horizontal;
        opt.minimum = slider->minimum();
        opt.maximum = slider->maximum();
        opt.tickPosition = slider->tickPosition();
        opt.tickInterval = slider->tickInterval();
        opt.subControls = QStyle::SC_All;
        struct Click {
            const char* where;
            bool ticks;
            int direction;
        };
        const Click clicks[] = {{"track, right", false, 1},
                                {"track, left", false, -1},
                                {"ticks, right", true, 1},
                                {"ticks, left", true, -1}};
        for (const Click& c : clicks) {
            Edit(win.form, 1054)->setFocus(Qt::MouseFocusReason);
            TypeInto(edit, QStringLiteral("46"));
            QCOMPARE(slider->value(), 7);
            opt.sliderPosition = opt.sliderValue = slider->value();
            const QRect handle = slider->style()->subControlRect(QStyle::CC_Slider, &opt,
                                                                 QStyle::SC_SliderHandle, slider);
            const QRect groove = slider->style()->subControlRect(QStyle::CC_Slider, &opt,
                                                                 QStyle::SC_SliderGroove, slider);
            const int x = c.direction > 0 ? handle.right() + 6 : handle.left() - 6;
            const int y =
                c.ticks ? std::max(handle.bottom(), groove.bottom()) + 2 : groove.center().y();
            QVERIFY2(y < slider->height(), c.where);
            QTest::mouseClick(slider, Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
            QVERIFY2(slider->value() == 7 + c.direction,
                     qPrintable(QStringLiteral("%1: stop %2").arg(c.where).arg(slider->value())));
            QCOMPARE(edit->text(),
                     QString::number(kStandardStops[static_cast<std::size_t>(slider->value())]));
        }
        QVERIFY(prompt.messages.isEmpty());
    }

    void multiByteLength() {
        QCOMPARE(CDataExchange::MultiByteLength(QStringLiteral("JIS1978年度版")), 13);
        QCOMPARE(CDataExchange::MultiByteLength(QStringLiteral("ｱｲｳ")), 3);
        int v = 0;
        QVERIFY(CDataExchange::ParseInt(QStringLiteral(" 0012 "), v) && v == 12);
        QVERIFY(!CDataExchange::ParseInt(QString(), v));
        QVERIFY(!CDataExchange::ParseInt(QStringLiteral("1x"), v));
    }
};

QTEST_MAIN(PageEditingTest)
#include "tst_page_editing.moc"
