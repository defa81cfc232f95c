// SPDX-License-Identifier: Apache-2.0
// The yardstick of the start-up benchmark: the smallest Qt Widgets program that shows a window,
// one dialog with one label, ending right after the dialog's first paint, as the program does
// with VELLMARK_EXIT_AFTER_PAINT=1.
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QTimer>

namespace {

class Dialog : public QDialog {
public:
    Dialog() : m_label(QStringLiteral("ヴェルマーク"), this) { resize(300, 200); }

protected:
    bool event(QEvent* event) override {
        const bool handled = QDialog::event(event);
        if (event->type() == QEvent::Paint && !m_painted) {
            m_painted = true;
            QTimer::singleShot(0, this, &QDialog::accept);
        }
        return handled;
    }

private:
    QLabel m_label;
    bool m_painted = false;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Dialog dialog;
    dialog.exec();
    return 0;
}
