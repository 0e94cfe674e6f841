#include "widgets/vx_tab_strip.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "widgets/vx_page_control.h"
#include "widgets/vx_tab_sheet.h"

namespace {
// The tab of the active page stands this much higher than the others.
constexpr int Raise = 2;
}  // namespace

std::vector<QRect> LayOutTabs(const std::vector<int>& widths, int height, int available, bool multiLine,
                              int active) {
    std::vector<QRect> rects(widths.size());
    int x = 0, y = 0;
    for (std::size_t i = 0; i < widths.size(); ++i) {
        const int w = widths[i];
        if (w <= 0) continue;
        if (multiLine && x > 0 && x + w > available) {
            x = 0;
            y += height;
        }
        rects[i] = QRect(x, y, w, height);
        x += w;
    }
    if (!multiLine && active >= 0 && active < static_cast<int>(rects.size()) && !rects[active].isEmpty()) {
        const int shift = std::max(0, rects[active].right() + 1 - available);
        for (QRect& r : rects)
            if (!r.isEmpty()) r.translate(-shift, 0);
    }
    return rects;
}

TvxTabStrip::TvxTabStrip(TvxPageControl* control) : QWidget(control), control_(control) {
    setObjectName("TabStrip");
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int TvxTabStrip::TabHeight() const { return fontMetrics().height() + 8; }

int TvxTabStrip::Relayout(int width) {
    std::vector<int> widths;
    for (int i = 0; i < control_->PageCount(); ++i) {
        const TvxTabSheet* page = control_->Pages(i);
        int w = 0;
        if (page->TabVisible())
            w = control_->TabWidth() > 0 ? control_->TabWidth()
                                         : fontMetrics().horizontalAdvance(page->Caption()) + 16;
        widths.push_back(w);
    }
    rects_ = LayOutTabs(widths, TabHeight(), width, control_->MultiLine(), control_->ActivePageIndex());
    int bottom = 0;
    for (const QRect& r : rects_)
        if (!r.isEmpty()) bottom = std::max(bottom, r.bottom() + 1);
    for (QRect& r : rects_)
        if (!r.isEmpty()) r.translate(0, Raise);
    update();
    return bottom + Raise;
}

QRect TvxTabStrip::TabRect(int index) const {
    return index >= 0 && index < static_cast<int>(rects_.size()) ? rects_[static_cast<std::size_t>(index)] : QRect();
}

int TvxTabStrip::TabAt(const QPoint& point) const {
    for (std::size_t i = 0; i < rects_.size(); ++i)
        if (rects_[i].contains(point)) return static_cast<int>(i);
    return -1;
}

void TvxTabStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    const int active = control_->ActivePageIndex();
    for (int i = 0; i < static_cast<int>(rects_.size()); ++i) {
        const QRect& r = rects_[static_cast<std::size_t>(i)];
        if (i != active && !r.isEmpty()) control_->DrawTab(painter, i, r.adjusted(0, Raise, 0, 0), false);
    }
    const QRect activeRect = TabRect(active);
    if (activeRect.isEmpty()) return;
    const QRect raised = activeRect.adjusted(0, -Raise, 0, 0);
    control_->DrawTab(painter, active, raised, true);
    // The active tab is underlined in its caption's colour, inside its dotted
    // rectangle; with the keyboard on the tabs it is framed as well.
    const QColor mark = control_->Pages(active)->TabFontColor();
    painter.fillRect(QRect(raised.left() + 2, raised.bottom() - 2, raised.width() - 4, 2), mark);
    if (hasFocus()) {
        painter.setPen(mark);
        painter.drawRect(raised.adjusted(2, 2, -3, -3));
    }
}

void TvxTabStrip::mousePressEvent(QMouseEvent* event) {
    const int page = TabAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && page >= 0 && control_->CanShowTab(page))
        control_->SetActivePageIndex(page);
}

int TvxTabStrip::TabInRow(int rows) const {
    const QRect here = TabRect(control_->ActivePageIndex());
    if (here.isEmpty()) return -1;
    const QPoint target(here.center().x(), here.center().y() + rows * TabHeight());
    const int page = TabAt(target);
    if (page >= 0) return page;
    // A shorter last row: its last tab.
    int best = -1;
    for (std::size_t i = 0; i < rects_.size(); ++i)
        if (!rects_[i].isEmpty() && rects_[i].top() <= target.y() && rects_[i].bottom() >= target.y())
            best = static_cast<int>(i);
    return best;
}

void TvxTabStrip::keyPressEvent(QKeyEvent* event) {
    int page = -1;
    switch (event->key()) {
        case Qt::Key_Left: page = control_->NeighbourPage(-1, false); break;
        case Qt::Key_Right: page = control_->NeighbourPage(+1, false); break;
        case Qt::Key_Up: page = TabInRow(-1); break;
        case Qt::Key_Down: page = TabInRow(+1); break;
        case Qt::Key_Home: page = control_->NeighbourPage(+1, false, -1); break;
        case Qt::Key_End: page = control_->NeighbourPage(-1, false, control_->PageCount()); break;
        default: QWidget::keyPressEvent(event); return;
    }
    if (page >= 0 && control_->CanShowTab(page)) control_->SetActivePageIndex(page);
    event->accept();
}
