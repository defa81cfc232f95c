#include "IFileChooser.h"

#include "ResourceIds.h"
#include "StringTable.h"
#include "TextConvert.h"

#include <QFileDialog>

namespace vellmark {
namespace {

// Settings files only, "dat" added to a name typed without it, the read-only box hidden
// (Qt's dialogs have none), overwrite confirmation on.
class DialogChooser : public IFileChooser {
public:
    QString OpenFileName(QWidget* owner, const QString& directory) override {
        QFileDialog dialog(owner, QString(), directory, Filter());
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setDefaultSuffix(QStringLiteral("dat"));
        return Run(dialog);
    }

    QString SaveFileName(QWidget* owner, const QString& directory) override {
        QFileDialog dialog(owner, QString(), directory, Filter());
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(QStringLiteral("dat"));
        return Run(dialog);
    }

private:
    static QString Filter() { return ResourceText(res::IDS_FILE_FILTER); }

    static QString Run(QFileDialog& dialog) {
        if (dialog.exec() != QDialog::Accepted)
            return {};
        const QStringList files = dialog.selectedFiles();
        return files.isEmpty() ? QString() : files.first();
    }
};

IFileChooser* g_chooser = nullptr;

} // namespace

IFileChooser& FileChooser() {
    static DialogChooser dialogs;
    return g_chooser ? *g_chooser : dialogs;
}

void SetFileChooser(IFileChooser* chooser) {
    g_chooser = chooser;
}

} // namespace vellmark
