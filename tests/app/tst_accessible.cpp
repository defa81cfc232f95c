// SPDX-License-Identifier: Apache-2.0
// The main window as a screen reader finds it: the controls of every page named after the label
// before them in their template (without the mnemonic), with the roles of what they are; the
// tabs as page tabs with their texts, which select their page; the pages named after their
// tabs; the toolbar buttons and the up-down arrows named.
#include "AppHarness.h"

#include "CUpDown.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QComboBox>
#include <QToolButton>

#include <optional>
#include <tuple>

using namespace vellmark;
using namespace vellmark::test;

class TestAccessible : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        CDialogStyle::Install(); // the style app/ installs at start-up
        m_service.AddQueue(ModelQueue("Solo", "socket://s"));
    }
    void init() { QVERIFY(m_w.emplace(m_service).Start()); }
    void cleanup() { m_w.reset(); } // the window and whatever it opened
    void controlNames();
    void valuesAndActions();
    void tabsAndPages();
    void toolButtonsAndArrows();

private:
    MemoryPrintService m_service;
    std::optional<Window> m_w;
    std::array<CPropertyPage*, kPageCount> Pages() { return AllPages(*m_w->dlg); }
};

namespace {

struct Said {
    QString name;
    QAccessible::Role role;
};

Said Describe(QObject* object) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    if (!iface)
        return {QStringLiteral("(none)"), QAccessible::NoRole};
    return {iface->text(QAccessible::Name), iface->role()};
}

} // namespace

// The controls are named after their own text or the label before them, with their roles;
// every control has a name, none with a mnemonic.
void TestAccessible::controlNames() {
    const std::array<CPropertyPage*, kPageCount> pages = Pages();

    using A = QAccessible;
    const std::tuple<int, int, const char*, QAccessible::Role> rows[] = {
        // tab, id, name, role
        {0, res::IDC_SELECT_PAPER_THICKNESS, "用紙厚調整の設定", A::ComboBox},
        {0, res::IDC_SELECT_PRINT_POSITION, "印刷位置の微調整", A::ComboBox},
        {0, res::IDC_SELECT_REDUCTION, "縮小印刷", A::ComboBox},
        {0, res::IDC_SELECT_QUIET_FIRST, "しない", A::RadioButton},
        {0, res::IDC_SELECT_TYPEFACE_SECOND, "ゴシック体", A::RadioButton},
        {1, res::IDC_FORM_CONT_SLIDER, "連続紙", A::Slider},
        {1, res::IDC_FORM_CUT_POSITION, "カット紙", A::EditableText},
        {1, res::IDC_FORM_CORRECTION, "カット紙位置補正", A::EditableText},
        {1, res::IDC_FORM_SELECT, "書式選択", A::ComboBox},
        {1, res::IDC_FORM_BUTTON, "書式の設定", A::Button},
        {2, res::IDC_PARAM_CONT_CENTERING, "連続紙のセンタリング位置", A::EditableText},
        {2, res::IDC_PARAM_LOAD_TIME, "シートガイドからの用紙吸入時間", A::EditableText},
        {2, res::IDC_PARAM_FONT2, "フォント２", A::ComboBox},
        {2, res::IDC_PARAM_POSTCARD_SECOND, "ON", A::RadioButton},
        {3, res::IDC_MSW1_COUNTRY, "各国文字の切り替え（MSW1-1/2/3）", A::ComboBox},
        {3, res::IDC_MSW1_7_SECOND, "ＣＲ，ＬＦ，ＶＴ，ＦＦ，ＵＳ，ＥＳＣ ａ，ＥＳＣ ｂ",
         A::RadioButton},
        {4, res::IDC_MSW2_1_CHECK, "１バイトコード系数字ゼロにスラッシュを付ける（MSW2-1）",
         A::CheckBox},
        {5, res::IDC_MSW3_8_SECOND, "スキップする", A::RadioButton},
        {6, res::IDC_MSW4_8_FIRST, "オート", A::RadioButton},
    };
    for (const auto& [page, id, name, role] : rows) {
        const QByteArray where = QStringLiteral("page %1 control %2").arg(page).arg(id).toUtf8();
        QWidget* control = pages[static_cast<std::size_t>(page)]->GetDlgItem(id);
        QVERIFY2(control, where);
        const Said said = Describe(control);
        QCOMPARE(said.name, QString::fromUtf8(name));
        QVERIFY2(said.role == role, where + " role " + QByteArray::number(said.role));
    }
    for (std::size_t p = 0; p < pages.size(); ++p)
        for (const res::ControlTemplate& c : pages[p]->Template().controls) {
            QWidget* control = pages[p]->GetDlgItem(c.id);
            if (!control)
                continue; // a label without an id
            const QString name = Describe(control).name;
            const QByteArray where =
                QStringLiteral("page %1 control %2 \"%3\"").arg(p).arg(c.id).arg(name).toUtf8();
            QVERIFY2(!name.isEmpty() && !name.contains(u'&'), where);
        }
}

// A drop-down list's value is its selection; a radio button says whether it is checked, and its
// action checks it.
void TestAccessible::valuesAndActions() {
    const std::array<CPropertyPage*, kPageCount> pages = Pages();
    auto* thickness = pages[0]->DlgItem<QComboBox>(res::IDC_SELECT_PAPER_THICKNESS);
    QCOMPARE(QAccessible::queryAccessibleInterface(thickness)->text(QAccessible::Value),
             thickness->currentText());
    QVERIFY(!thickness->currentText().isEmpty());
    QAbstractButton* unchecked = nullptr;
    for (int id : {res::IDC_SELECT_QUIET_FIRST, res::IDC_SELECT_QUIET_SECOND}) {
        auto* radio = pages[0]->DlgItem<QAbstractButton>(id);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(radio);
        QVERIFY(iface->state().checkable);
        QCOMPARE(bool(iface->state().checked), radio->isChecked());
        unchecked = radio->isChecked() ? unchecked : radio;
    }
    QVERIFY(unchecked);
    QAccessibleInterface* uncheckedIface = QAccessible::queryAccessibleInterface(unchecked);
    uncheckedIface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QVERIFY(unchecked->isChecked());
    QVERIFY(uncheckedIface->state().checked);
}

// The pages are panes named after their tabs; the tabs are page tabs with their texts, the
// current one selected and, while the tab row has the focus, the only one focused; pressing a
// tab shows its page.
void TestAccessible::tabsAndPages() {
    const std::array<CPropertyPage*, kPageCount> pages = Pages();
    const QStringList& names = kTabTexts;
    CTabControl* tabs = Tabs(*m_w->dlg);
    QAccessibleInterface* tabList = QAccessible::queryAccessibleInterface(tabs);
    QCOMPARE(tabList->role(), QAccessible::PageTabList);
    QCOMPARE(tabList->childCount(), names.size());
    tabs->setFocus();
    QTRY_VERIFY(tabs->hasFocus());
    for (int i = 0; i < tabList->childCount(); ++i) {
        QCOMPARE(Describe(pages[static_cast<std::size_t>(i)]).name, names[i]);
        QCOMPARE(Describe(pages[static_cast<std::size_t>(i)]).role, QAccessible::Pane);
        QAccessibleInterface* tab = tabList->child(i);
        QVERIFY(tab);
        QCOMPARE(tab->role(), QAccessible::PageTab);
        QCOMPARE(tab->text(QAccessible::Name), names[i]);
        QCOMPARE(tab->parent(), tabList);
        QCOMPARE(tabList->indexOfChild(tab), i);
        QCOMPARE(bool(tab->state().selected), i == tabs->currentIndex());
        QCOMPARE(bool(tab->state().focused), i == tabs->currentIndex());
        QVERIFY(tabs->rect().translated(tabs->mapToGlobal(QPoint(0, 0))).contains(tab->rect()));
    }
    tabList->child(2)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(tabs->currentIndex(), 2);
    QVERIFY(pages[2]->isVisible() && !pages[0]->isVisible());
    QVERIFY(tabList->child(2)->state().selected && !tabList->child(0)->state().selected);
    QVERIFY(tabList->child(2)->state().focused && !tabList->child(0)->state().focused);
    pages[2]->GetDlgItem(res::IDC_PARAM_LOAD_TIME)->setFocus();
    QTRY_VERIFY(!tabs->hasFocus());
    QVERIFY(!tabList->child(2)->state().focused);
}

// The toolbar buttons say their tooltips; the up-down arrows their direction.
void TestAccessible::toolButtonsAndArrows() {
    CPanelDlg& dlg = *m_w->dlg;
    QStringList toolNames;
    for (QAction* a : ToolBar(dlg)->actions())
        if (!a->isSeparator()) {
            const Said said = Describe(ToolBar(dlg)->widgetForAction(a));
            QCOMPARE(said.role, QAccessible::Button);
            toolNames.append(said.name);
        }
    QCOMPARE(toolNames,
             QStringList({"設定ファイルの読み込み", "設定ファイルへの書き込み",
                          "設定値をプリンタへ送信", "工場出荷設定を表示", "プリンタの選択"}));
    auto* upDown = Pages()[2]->DlgItem<CUpDown>(res::IDC_PARAM_LOAD_TIME_SPIN);
    QVERIFY(upDown);
    QCOMPARE(Describe(upDown).name, QStringLiteral("シートガイドからの用紙吸入時間"));
    QStringList arrows;
    for (QToolButton* arrow : upDown->findChildren<QToolButton*>())
        arrows.append(Describe(arrow).name);
    arrows.sort();
    QCOMPARE(arrows, QStringList({"上へ", "下へ"}));
}

QTEST_MAIN(TestAccessible)
#include "tst_accessible.moc"
