// SPDX-License-Identifier: Apache-2.0
// ParseBlock and BuildBlock of every page: what the factory settings and another set of valid
// values show, that building gives the block back byte for byte, and that a page writes its
// own bytes and nothing else.
#include "PageHarness.h"

#include "../CutTexts.h"

#include "CDialogLayout.h"
#include "KnownDialogUnits.h"

#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QStyleFactory>

#include <memory>
#include <utility>

using namespace vellmark;
using namespace vellmark::test;
using namespace vellmark::res;

namespace {

using Ranges = std::vector<std::pair<std::size_t, std::size_t>>; // first, last (inclusive)

const Ranges kSelectBytes = {{22, 22}, {60, 60}, {62, 62}, {64, 65}, {67, 68}, {70, 71}};
const Ranges kFormBytes = {{38, 39}, {41, 43},  {49, 51},   {53, 55},  {57, 58},
                           {73, 73}, {75, 103}, {105, 133}, {135, 163}};
const Ranges kParamBytes = {{16, 16}, {18, 18}, {20, 20},   {24, 24},
                            {28, 29}, {31, 32}, {168, 169}, {172, 172}};

// Switch bytes 7, 10 and 11 include the bits without a control; country code 4 is ドイツ.
const std::pair<std::size_t, const char*> kOtherFields[] = {
    {2, "Z"},    {4, "\x0C\x0F"}, {7, "\x0D\x0F"}, {10, "\x0F\x0F"}, {13, "\x03\x0F"}, {16, "4"},
    {18, "2"},   {20, "2"},       {22, "1"},       {24, "1"},        {26, "X"},        {28, "68"},
    {31, "10"},  {34, "ABC"},     {38, "12"},      {41, "015"},      {45, "DEF"},      {49, "019"},
    {53, "130"}, {57, "68"},      {60, "1"},       {62, "5"},        {64, "12"},       {67, "FA"},
    {70, "FD"},  {73, "3"},       {165, "GH"},     {168, "08"},      {171, "9"},       {172, "5"}};

SettingsBlock OtherValues() {
    SettingsBlock b = FactoryDefaults;
    for (auto [offset, text] : kOtherFields)
        Put(b, offset, text);
    Put(b, 75, "01,000,001,000,XYZ,130,015,68");
    Put(b, 105, "99,135,136,060,000,018,054,00");
    Put(b, 135, "50,010,080,046,0Q0,028,040,33");
    return b;
}

} // namespace

class PageBlocksTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { CDialogStyle::Install(); } // the style app/ installs at start-up
    void cleanup() { CloseTopLevels(); }

    // What every page shows for the factory settings and for a block where every field holds
    // another valid value, control by control: every control Tab reaches, in template order;
    // every radio pair shows one button checked.
    void blocksShow() {
        const std::pair<const char*, const char*> rows[] = {
            {"オート 0 0 縮小なし 1 0 1 0", "12 -6 -1.3 ４／５縮小 0 1 0 1"},
            {"9 120 7 46 7 54 66 0 選択なし 書式の設定(&D)(off)",
             "1 15 2 19 9 130 12 68 書式３ 書式３の設定(&D)"}, // 19: 18 and 20 equally near
            {"40 36 JIS1978年度版 2 15秒 標準 標準 1 0",
             "68 10 JIS1990年度版 5 8秒 OCR-B クーリエ 0 1"},
            {"日本 1 0 1 0 1 0 1 0 1 0", "ドイツ 0 1 0 1 0 1 0 1 0 1"},
            {"0 0 1 1 0 1 0 1 0 1 0 1 0", "1 1 0 0 1 0 1 0 1 0 1 0 1"},
            {"1 0 1 0 1 0 0 1 0", "0 1 0 1 0 1 1 0 1"},
            {"1 0 1 0 0 1 0 1 1 0 1 0 1 0 1 0", "0 1 0 1 1 0 1 0 0 1 0 1 0 1 0 1"},
        };
        FakeMainWindow win;
        for (bool other : {false, true}) {
            if (other)
                win.Load(OtherValues());
            for (std::size_t n = 0; n < kPageCount; ++n) {
                CPropertyPage& page = *win.All()[n];
                QList<int> ids;
                for (const res::ControlTemplate& c : page.Template().controls)
                    if (c.style & res::kTabStop)
                        ids << c.id;
                const QString name = QStringLiteral("page %1: ").arg(n);
                QCOMPARE(name + Shown(page, ids),
                         name + QString::fromUtf8(other ? rows[n].second : rows[n].first));
            }
        }
    }

    // Parsing a block and building into a copy of the factory settings gives the block back.
    // Each block is built into the other one, so every field must be written.
    void roundTrip() {
        for (bool other : {false, true}) {
            const SettingsBlock source = other ? OtherValues() : FactoryDefaults;
            const SettingsBlock target = other ? FactoryDefaults : OtherValues();
            FakeMainWindow win;
            win.Load(source);
            win.doc.m_current = target;
            win.doc.CollectFromPages();
            // No page writes the unassigned bytes: they keep the target's.
            SettingsBlock expected = source;
            for (std::size_t i : {2, 26, 34, 35, 36, 45, 46, 47, 165, 166, 171})
                expected[i] = target[i];
            QCOMPARE(win.doc.m_current, expected);
            QVERIFY(win.prompt.shown.isEmpty());
        }
    }

    // Each page writes exactly its own bytes: every other byte of the target stays as it was.
    void buildWritesOwnBytesOnly() {
        FakeMainWindow win;
        const SettingsBlock source = OtherValues();
        win.Load(source);
        const std::pair<CPropertyPage*, Ranges> pages[] = {
            {&win.select, kSelectBytes}, {&win.form, kFormBytes}, {&win.param, kParamBytes},
            {&win.msw1, {{4, 5}}},       {&win.msw2, {{7, 8}}},   {&win.msw3, {{10, 11}}},
            {&win.msw4, {{13, 14}}}};
        for (const auto& [page, own] : pages) {
            SettingsBlock target, expected;
            target.fill(0xA5);
            expected.fill(0xA5);
            for (auto [first, last] : own)
                std::copy(&source[first], &source[last] + 1, &expected[first]);
            page->BuildBlock(target);
            QVERIFY2(target == expected, qPrintable(QString::number(page->TemplateId())));
        }
    }

    // Pages built on demand, as the main window has them, against pages built at once: the
    // block their members give before any is built, and what each shows once built. A block
    // other than the factory settings builds every page at once.
    void pagesBuiltOnDemandShowAndBuildTheSame() {
        FakeMainWindow eager;
        for (const SettingsBlock& block : {FactoryDefaults, OtherValues()}) {
            QWidget host;
            SettingsDocument doc;
            CPageSet lazy;
            lazy.CreateOnDemand(&host, doc, {}, [&lazy](std::size_t, CPropertyPage& page) {
                if (&page == &lazy.form)
                    lazy.form.RefreshFormButton();
            });
            eager.Load(block);
            doc.m_current = block;
            doc.ShowInPages();
            for (std::size_t n = 0; n < kPageCount; ++n)
                QCOMPARE(lazy.IsBuilt(n), block != FactoryDefaults || n == 0);
            eager.doc.m_current.fill(0xA5);
            eager.doc.CollectFromPages();
            doc.m_current.fill(0xA5);
            doc.CollectFromPages();
            QCOMPARE(doc.m_current, eager.doc.m_current);
            for (std::size_t n = 0; n < kPageCount; ++n) {
                CPropertyPage& page = lazy.Page(n);
                QList<int> ids;
                for (const res::ControlTemplate& c : page.Template().controls)
                    ids << c.id;
                QCOMPARE(Shown(page, ids), Shown(*eager.All()[n], ids));
            }
        }
        QVERIFY(eager.prompt.shown.isEmpty());
    }

    // Switch bits without a control, and the upper bits of a switch byte.
    void switchBitsCarriedAndUpperBitsDropped() {
        FakeMainWindow win;
        SettingsBlock b = FactoryWith(4, "\xF1\xF5"); // country code 1 is not offered; upper bits
        Put(b, 7, "\x08");                            // only MSW2-4
        Put(b, 10, "\x01\x03");                       // MSW3-1, MSW3-5, MSW3-6
        win.Load(b);
        QCOMPARE(Combo(win.msw1, IDC_MSW1_COUNTRY)->currentText(), QStringLiteral("日本"));

        win.ShowPage(win.msw2);
        QTest::mouseClick(win.msw2.DlgItem<QAbstractButton>(IDC_MSW2_1_CHECK), Qt::LeftButton);
        QCOMPARE(win.doc.m_current[7], std::uint8_t{0x09});

        win.ShowPage(win.msw3);
        for (int id : {IDC_MSW3_2_SECOND, IDC_MSW3_3_SECOND, IDC_MSW3_4_SECOND, IDC_MSW3_7_CHECK,
                       IDC_MSW3_8_SECOND})
            QTest::mouseClick(win.msw3.DlgItem<QAbstractButton>(id), Qt::LeftButton);
        QCOMPARE(BlockText(win.doc.m_current, 10, 2), std::string("\x0F\x0F"));
        QTest::mouseClick(win.msw3.DlgItem<QAbstractButton>(IDC_MSW3_2_FIRST), Qt::LeftButton);
        QCOMPARE(win.doc.m_current[10], std::uint8_t{0x0D}); // back to the first button
        QCOMPARE(BlockText(win.doc.m_current, 4, 2), std::string("\x00\x05", 2));

        // イギリス: bits 0 and 1 of offset 4; bit 3 follows the MSW1-4 pair.
        win.ShowPage(win.msw1);
        QTest::mouseClick(win.msw1.DlgItem<QAbstractButton>(IDC_MSW1_4_SECOND), Qt::LeftButton);
        Press(Combo(win.msw1, IDC_MSW1_COUNTRY), Qt::Key_Down, 2);
        QCOMPARE(Combo(win.msw1, IDC_MSW1_COUNTRY)->currentText(), QStringLiteral("イギリス"));
        QCOMPARE(win.doc.m_current[4], std::uint8_t{0x0B});
    }

    // Codes that no entry or button shows leave the page's value; the next build writes what
    // the controls then show. A paper thickness of 1 selects "1", not "10" to "12".
    void unlistedCodesKeepTheSelection() {
        FakeMainWindow win;
        SettingsBlock b = OtherValues();
        Put(b, 16, "5");  // Font1: no such font
        Put(b, 64, "13"); // paper thickness 13: no entry
        Put(b, 67, "FC"); // print pressure -4
        Put(b, 70, "F0"); // no position step
        Put(b, 62, "2");  // no reduction code
        Put(b, 22, "2");  // quiet printing: no button
        Put(b, 168, "10");
        win.Load(b);
        QCOMPARE(Shown(win.param, {IDC_PARAM_FONT1, IDC_PARAM_AUTO_RETURN}),
                 QStringLiteral("標準 15秒"));
        QCOMPARE(Shown(win.select, {IDC_SELECT_PAPER_THICKNESS, IDC_SELECT_PRINT_PRESSURE,
                                    IDC_SELECT_PRINT_POSITION, IDC_SELECT_REDUCTION,
                                    IDC_SELECT_QUIET_FIRST, IDC_SELECT_QUIET_SECOND}),
                 QStringLiteral("オート -4 0 縮小なし 0 0"));

        SettingsBlock expected = b;
        for (auto [offset, text] : {std::pair{16, "0"},
                                    {64, "00"},
                                    {70, "00"},
                                    {62, "0"},
                                    {168, "15"}}) // no button checked: code 22 is kept
            Put(expected, static_cast<std::size_t>(offset), text);
        win.doc.m_current = b;
        win.doc.CollectFromPages();
        QCOMPARE(win.doc.m_current, expected);

        win.Load(FactoryWith(64, "01"));
        QCOMPARE(Combo(win.select, IDC_SELECT_PAPER_THICKNESS)->currentIndex(), 1);
    }

    // Every control shows its text whole at the dialog font, and a group frame's top line runs
    // through no label placed inside the frame: on every page and in the form setup dialog, as
    // drawn.
    void layoutsShowWholeTextsAndFramesCrossNoLabel() {
        FakeMainWindow win;
        QStringList crossed;
        int frames = 0;
        QStringList clipped;
        int checked = 0;
        ForEveryDialog(win, [&](CDialogBase& dialog) {
            ++checked;
            clipped += Cut(dialog, QString::number(dialog.TemplateId()));
            const QImage image = dialog.grab().toImage();
            const QRgb background = image.pixel(0, 0);
            for (QGroupBox* box : dialog.findChildren<QGroupBox*>()) {
                ++frames;
                const QRect r = box->geometry();
                // The frame's top line, found at its right end, clear of the title.
                int line = r.bottom();
                for (int x = r.right() - 3; x <= r.right(); ++x)
                    for (int y = r.top(); y < line; ++y)
                        if (image.pixel(x, y) != background) {
                            line = y;
                            break;
                        }
                for (QLabel* label : dialog.findChildren<QLabel*>()) {
                    const QRect l = label->geometry();
                    if (label->isHidden() || !r.contains(l.center()))
                        continue;
                    if (l.top() <= line + 1 && l.bottom() >= line)
                        crossed << QString::asprintf("%d: %s (line %d, label %d..%d)",
                                                     dialog.TemplateId(), qPrintable(label->text()),
                                                     line, l.top(), l.bottom());
                }
            }
        });
        QCOMPARE(checked, 8);
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QStringLiteral("; "))));
        QCOMPARE(frames, 29);
        QVERIFY2(crossed.isEmpty(), qPrintable(crossed.join(QStringLiteral("; "))));
    }

    // The table of known fitted units holds what the measuring code finds: every entry's face,
    // as the package installs it, is recognised and measured again at its size; the program's
    // own dialog font is found in it; a size outside it, or another style, is measured.
    void knownDialogUnitsAreTheMeasuredOnes() {
        const CDialogStyle style;
        const auto row = [](const QFont& font, const QSize& unit) {
            const std::optional<KnownDialogUnit> k = DialogUnitKey(font);
            return k ? QString::asprintf("{\"%s\", 0x%08xU, 0x%08xU, %d, %d, {%d, %d}}",
                                         qPrintable(font.family()), k->fileChecksum,
                                         k->fileRevision, k->pixelSize, k->lettersAdvance,
                                         unit.width(), unit.height())
                     : QStringLiteral("no head table");
        };
        for (const KnownDialogUnit& known : AllKnownDialogUnits()) {
            QFont font(QString::fromLatin1(known.face));
            font.setPixelSize(known.pixelSize);
            const QSize measured = CDialogLayout::MeasuredBaseUnits(font, style);
            QVERIFY2(KnownDialogUnits(font, style) == measured, qPrintable(row(font, measured)));
            QCOMPARE(known.unit, measured);
        }
        const QFont dialog = CDialogLayout::DialogFont();
        const QSize measured = CDialogLayout::MeasuredBaseUnits(dialog, style);
        QVERIFY2(KnownDialogUnits(dialog, style) == measured, qPrintable(row(dialog, measured)));
        QCOMPARE(CDialogLayout::FittedBaseUnits(dialog, style), measured);

        QFont other = dialog; // a size no screen of the table gives it
        other.setPixelSize(13);
        QVERIFY(!KnownDialogUnits(other, style));
        const std::unique_ptr<QStyle> windows(QStyleFactory::create(QStringLiteral("Windows")));
        QVERIFY(!KnownDialogUnits(dialog, *windows));
        QCOMPARE(CDialogLayout::FittedBaseUnits(other, style),
                 CDialogLayout::MeasuredBaseUnits(other, style));
    }
};

QTEST_MAIN(PageBlocksTest)
#include "tst_page_blocks.moc"
