// SPDX-License-Identifier: Apache-2.0
// The icon menu as the main window uses it: building menu 142 and giving its items their
// pictures (start-up), and one full paint of the open File popup with an item selected and the
// Send item grayed (every hover repaints the popup; nothing is cached between items but the
// pictures). Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include "CIconMenu.h"
#include "MenuTemplate.h"
#include "ResourceIds.h"
#include "WidgetBenchMain.h"

#include <QImage>
#include <QMenu>

#include <benchmark/benchmark.h>

using namespace vellmark;

namespace {

void LoadPanelMenu(ui::CIconMenu& menu) {
    menu.LoadOwnerDrawMenu(res::IDR_PANEL_MENU);
    for (const res::MenuImage& image : res::PanelMenuImages())
        menu.SetItemImage(image.commandId, image.bitmapId);
}

void BM_LoadMenuWithImages(benchmark::State& state) {
    for (auto _ : state) {
        ui::CIconMenu menu;
        LoadPanelMenu(menu);
        benchmark::DoNotOptimize(menu.RecordCount());
    }
}
BENCHMARK(BM_LoadMenuWithImages)->Unit(benchmark::kMicrosecond);

void BM_PaintFilePopup(benchmark::State& state) {
    ui::CIconMenu menu;
    LoadPanelMenu(menu);
    menu.FindCommandAction(res::ID_SEND_SETTINGS)->setEnabled(false);
    QMenu* popup = menu.Submenu(0)->Popup();
    popup->popup(QPoint(0, 0));
    popup->setActiveAction(popup->actions().at(3)); // the grayed Send item, embossed
    QImage target(popup->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        popup->render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
    popup->hide();
    state.counters["items"] = static_cast<double>(popup->actions().size());
}
BENCHMARK(BM_PaintFilePopup)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    return vellmark::bench::RunWidgetBenchmarks(argc, argv);
}
