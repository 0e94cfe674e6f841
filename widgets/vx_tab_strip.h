// The tabs of the coloured page control, drawn by the control itself: in
// several rows of fixed width, or in one row that scrolls to the active tab.
#pragma once

#include <QRect>
#include <QWidget>
#include <vector>

class TvxPageControl;

// The rectangles of the tabs, page by page, for tabs of `widths` (0: the
// page shows no tab, and gets an empty rectangle) and `height` pixels.
// Several lines: as many tabs in a row as fit in `available` pixels, at
// least one. One line: a single row, moved left as far as needed to show
// the tab of page `active` whole.
std::vector<QRect> LayOutTabs(const std::vector<int>& widths, int height, int available, bool multiLine,
                              int active);

class TvxTabStrip : public QWidget {
    Q_OBJECT
public:
    explicit TvxTabStrip(TvxPageControl* control);

    // Lays the tabs out again for the strip's width; returns the height they need.
    int Relayout(int width);
    // The rectangle of page `index`'s tab (empty when it shows none).
    QRect TabRect(int index) const;
    // The page whose tab is at `point`; -1 for none.
    int TabAt(const QPoint& point) const;
    int TabHeight() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The page of the tab a row above (rows < 0) or below the active one.
    int TabInRow(int rows) const;

    TvxPageControl* control_;
    std::vector<QRect> rects_;
};
