// SPDX-License-Identifier: Apache-2.0
// The mouse wheel over each kind of control that a turn could change: it acts on the control
// that has the keyboard focus and leaves every other one (and the focus) as it was.
#include "CComboBox.h"
#include "CNumberEdit.h"
#include "CSlider.h"
#include "CUpDown.h"

#include <QPushButton>
#include <QTest>
#include <QWheelEvent>

using namespace vellmark;

class TestWheel : public QObject {
    Q_OBJECT

private slots:
    void onlyTheFocusedControlTurns_data();
    void onlyTheFocusedControlTurns();
};

namespace {

// A dialog with one control of each kind, each at 1 of 0..5, and a button that can hold the
// focus instead.
struct Controls {
    QWidget dialog;
    QPushButton* other = new QPushButton(QStringLiteral("other"), &dialog);
    CComboBox* combo = new CComboBox(&dialog);
    CSlider* slider = new CSlider(&dialog);
    CNumberEdit* edit = new CNumberEdit(&dialog);
    CUpDown* upDown = new CUpDown(&dialog);

    Controls() {
        combo->addItems({"0", "1", "2", "3", "4", "5"});
        combo->setCurrentIndex(1);
        slider->setRange(0, 5);
        slider->setValue(1);
        upDown->SetBuddy(edit);
        upDown->SetRange(0, 5);
        edit->setText(QStringLiteral("1"));
        int y = 0;
        for (QWidget* w : std::initializer_list<QWidget*>{other, combo, slider, edit, upDown})
            w->setGeometry(0, (y += 30), 100, 24);
    }
    // The value each control shows.
    QList<int> Values() const {
        return {combo->currentIndex(), slider->value(), edit->text().toInt()};
    }
};

} // namespace

// The control under the pointer, the control with the focus, and combo, slider and edit after
// two notches turned away from the user: a drop-down list goes up the list, the others go up.
const struct {
    const char* name;
    const char *over, *focused;
    QList<int> after;
} kRows[] = {
    {"combo, focused", "combo", "combo", {0, 1, 1}},
    {"combo, not focused", "combo", "other", {1, 1, 1}},
    {"slider, focused", "slider", "slider", {1, 3, 1}},
    {"slider, not focused", "slider", "other", {1, 1, 1}},
    {"edit, focused", "edit", "edit", {1, 1, 3}},
    {"edit, not focused", "edit", "other", {1, 1, 1}},
    {"up-down, its edit focused", "upDown", "edit", {1, 1, 3}},
    {"up-down, not focused", "upDown", "combo", {1, 1, 1}},
};

void TestWheel::onlyTheFocusedControlTurns_data() {
    QTest::addColumn<int>("row");
    for (int i = 0; i < int(std::size(kRows)); ++i)
        QTest::newRow(kRows[i].name) << i;
}

void TestWheel::onlyTheFocusedControlTurns() {
    QFETCH(int, row);
    const auto& [name, over, focused, after] = kRows[row];
    Controls c;
    const QHash<QString, QWidget*> named{{"other", c.other},
                                         {"combo", c.combo},
                                         {"slider", c.slider},
                                         {"edit", c.edit},
                                         {"upDown", c.upDown}};
    c.dialog.show();
    c.dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&c.dialog));
    named[focused]->setFocus();
    QVERIFY(named[focused]->hasFocus());

    QWidget* target = named[over];
    for (int notch = 0; notch < 2; ++notch) {
        const QPointF at(target->width() / 2.0, target->height() / 2.0);
        QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &wheel);
    }
    QCOMPARE(c.Values(), after);
    // The wheel gives nobody the focus.
    QVERIFY(named[focused]->hasFocus());
}

QTEST_MAIN(TestWheel)
#include "tst_wheel.moc"
