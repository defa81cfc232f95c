// SPDX-License-Identifier: Apache-2.0
// The main window's tab control: tabs with an image and a text in as many rows as their widths
// need, each row stretched to the full width, the row of the selected tab next to the display
// area, a frame around the display area below. It takes the focus when clicked; Left and Right
// move the selection. The pages themselves are the window's: they lie over the display area.
#pragma once

#include <QIcon>
#include <QList>
#include <QString>
#include <QWidget>

namespace vellmark {

class CTabControl : public QWidget {
    Q_OBJECT
public:
    explicit CTabControl(QWidget* parent);

    int AddTab(const QIcon& icon, const QString& text);
    int count() const { return static_cast<int>(m_tabs.size()); }
    QString tabText(int index) const { return m_tabs.value(index).text; }
    QIcon tabIcon(int index) const { return m_tabs.value(index).icon; }

    int currentIndex() const { return m_current; }
    // Selects a tab; emits currentChanged when the selection changes.
    void setCurrentIndex(int index);

    // Where a tab lies, in this widget's coordinates.
    QRect tabRect(int index) const;
    int RowCount() const { return m_rows; }
    // The bottom of the tab rows: the top of the display area.
    int TabAreaHeight() const { return m_rows * RowHeight(); }
    int tabAt(const QPoint& pos) const;

    QSize sizeHint() const override;

signals:
    void currentChanged(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Tab {
        QIcon icon;
        QString text;
        int row = 0;  // the row the tab was laid out in, 0 first
        int left = 0; // position within its row
        int width = 0;
    };

    int RowHeight() const;
    int NaturalWidth(const Tab& tab) const;
    void Layout();

    QList<Tab> m_tabs;
    int m_current = -1;
    int m_hover = -1;
    int m_rows = 1;
};

} // namespace vellmark
