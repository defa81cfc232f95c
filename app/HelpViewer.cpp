#include "IHelpViewer.h"

#include <QDesktopServices>
#include <QUrl>

namespace vellmark {
namespace {

class DesktopViewer : public IHelpViewer {
public:
    bool Open(const QString& path) override {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }
};

IHelpViewer* g_viewer = nullptr;

} // namespace

IHelpViewer& HelpViewer() {
    static DesktopViewer desktop;
    return g_viewer ? *g_viewer : desktop;
}

void SetHelpViewer(IHelpViewer* viewer) {
    g_viewer = viewer;
}

} // namespace vellmark
