#include "widgets/vx_page_control.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStackedWidget>
#include <algorithm>

#include "widgets/vx_tab_sheet.h"
#include "widgets/vx_tab_strip.h"

namespace {
// The caption's distance from the tab's left and top edges.
constexpr int CaptionInset = 4;
}  // namespace

TvxPageControl::TvxPageControl(QWidget* parent)
    : QWidget(parent), strip_(new TvxTabStrip(this)), stack_(new QStackedWidget(this)) {
    setObjectName("PageControl");
    stack_->setObjectName("Pages");
    stack_->setFrameShape(QFrame::StyledPanel);
}

TvxPageControl::~TvxPageControl() {
    for (TvxTabSheet* page : pages_) page->pageControl_ = nullptr;
    pages_.clear();
    active_ = nullptr;
}

TvxTabSheet* TvxPageControl::Pages(int index) const {
    return index >= 0 && index < PageCount() ? pages_[static_cast<std::size_t>(index)] : nullptr;
}

int TvxPageControl::IndexOf(const TvxTabSheet* page) const {
    const auto at = std::find(pages_.begin(), pages_.end(), page);
    return at == pages_.end() || page == nullptr ? -1 : static_cast<int>(at - pages_.begin());
}

void TvxPageControl::SetActivePage(TvxTabSheet* page) {
    if (page == active_ || (page != nullptr && IndexOf(page) < 0)) return;
    active_ = page;
    if (page) stack_->setCurrentWidget(page);
    PlaceChildren();
    emit Change();
}

void TvxPageControl::SetMultiLine(bool multiLine) {
    multiLine_ = multiLine;
    TabsChanged();
}

void TvxPageControl::SetTabWidth(int width) {
    tabWidth_ = std::max(0, width);
    TabsChanged();
}

int TvxPageControl::NeighbourPage(int step, bool wrap, int from) const {
    const int n = PageCount();
    for (int k = 1; k <= n; ++k) {
        int i = from + k * step;
        if (wrap) i = ((i % n) + n) % n;
        if (i < 0 || i >= n) return -1;
        if (pages_[static_cast<std::size_t>(i)]->TabVisible() && CanShowTab(i)) return i;
    }
    return -1;
}

void TvxPageControl::ShowControl(QWidget* control) {
    const auto page = std::find(pages_.begin(), pages_.end(), control);
    if (page != pages_.end()) SetActivePage(*page);
    else if (control) control->show();
}

bool TvxPageControl::CanShowTab(int index) const {
    const TvxTabSheet* page = Pages(index);
    return page != nullptr && page->isEnabled();
}

void TvxPageControl::DrawTab(QPainter& painter, int index, const QRect& rect, bool /*active*/) {
    const TvxTabSheet* page = Pages(index);
    if (!page) return;
    painter.save();
    painter.fillRect(rect, page->TabColor());
    painter.setClipRect(rect);
    painter.setPen(page->TabFontColor());
    painter.setFont(strip_->font());
    const QRect text = rect.adjusted(CaptionInset, CaptionInset, 0, 0);
    painter.drawText(text, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, page->Caption());
    QPen dotted(page->TabFontColor(), 1, Qt::DotLine);
    painter.setPen(dotted);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.restore();
}

int TvxPageControl::GetImageIndex(int index) const {
    const TvxTabSheet* page = Pages(index);
    return page ? page->ImageIndex() : -1;
}

void TvxPageControl::keyPressEvent(QKeyEvent* event) {
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    int step = 0;
    if (ctrl && (event->key() == Qt::Key_Tab || event->key() == Qt::Key_PageDown)) step = +1;
    if (ctrl && (event->key() == Qt::Key_Backtab || event->key() == Qt::Key_PageUp)) step = -1;
    if (ctrl && event->key() == Qt::Key_Tab && (event->modifiers() & Qt::ShiftModifier)) step = -1;
    if (step == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    const int page = NeighbourPage(step, true);
    if (page >= 0) SetActivePageIndex(page);
    event->accept();
}

void TvxPageControl::resizeEvent(QResizeEvent*) { PlaceChildren(); }

void TvxPageControl::PlaceChildren() {
    const int stripHeight = strip_->Relayout(width());
    strip_->setGeometry(0, 0, width(), stripHeight);
    stack_->setGeometry(0, stripHeight, width(), std::max(0, height() - stripHeight));
}

QSize TvxPageControl::sizeHint() const {
    const QSize page = stack_->sizeHint();
    return {std::max(page.width(), 400), page.height() + 4 * strip_->TabHeight()};
}

QSize TvxPageControl::minimumSizeHint() const { return {200, 2 * strip_->TabHeight() + 60}; }

void TvxPageControl::InsertPage(TvxTabSheet* page) {
    pages_.push_back(page);
    stack_->addWidget(page);
    if (!active_) SetActivePage(page);
    TabsChanged();
}

void TvxPageControl::RemovePage(TvxTabSheet* page, bool destroying) {
    const int index = IndexOf(page);
    if (index < 0) return;
    pages_.erase(pages_.begin() + index);
    stack_->removeWidget(page);
    if (!destroying) page->setParent(nullptr);
    if (active_ == page) {
        active_ = nullptr;
        SetActivePage(Pages(std::min(index, PageCount() - 1)));
    }
    TabsChanged();
}

void TvxPageControl::TabsChanged() {
    PlaceChildren();
    strip_->update();
}
