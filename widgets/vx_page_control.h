// A page control whose tabs are drawn in the colours of their pages
// (TvxTabSheet): the pages in order, one shown at a time, the tabs in one
// row or several. A click on a tab shows its page; Ctrl+Tab and
// Ctrl+Shift+Tab (Ctrl+PgDown, Ctrl+PgUp) anywhere in the control move to the
// next and previous page, the arrow keys do on the focused tabs.
#pragma once

#include <QWidget>
#include <vector>

class QPainter;
class QStackedWidget;
class TvxTabSheet;
class TvxTabStrip;

class TvxPageControl : public QWidget {
    Q_OBJECT
public:
    explicit TvxPageControl(QWidget* parent);
    // Detaches the pages first, so that none of them calls back while it goes.
    ~TvxPageControl() override;

    int PageCount() const { return static_cast<int>(pages_.size()); }
    // The page at `index`, counted from 0 in page order; nullptr outside.
    TvxTabSheet* Pages(int index) const;
    int IndexOf(const TvxTabSheet* page) const;

    TvxTabSheet* ActivePage() const { return active_; }
    int ActivePageIndex() const { return IndexOf(active_); }
    void SetActivePage(TvxTabSheet* page);
    void SetActivePageIndex(int index) { SetActivePage(Pages(index)); }

    bool MultiLine() const { return multiLine_; }
    void SetMultiLine(bool multiLine);
    // Width of every tab in pixels; 0 fits each tab to its caption.
    int TabWidth() const { return tabWidth_; }
    void SetTabWidth(int width);

    // The page `step` places from page `from` whose tab can be shown, going
    // round the ends when `wrap`; -1 for none.
    int NeighbourPage(int step, bool wrap, int from) const;
    int NeighbourPage(int step, bool wrap) const { return NeighbourPage(step, wrap, ActivePageIndex()); }

    // Makes `control` the active page when it is one of the pages.
    virtual void ShowControl(QWidget* control);
    // A tab can be shown when its page is enabled.
    virtual bool CanShowTab(int index) const;
    // Draws tab `index` in `rect`: its page's TabColor, the caption in its
    // TabFontColor 4 pixels in from the left and the top and cut at the tab's
    // edges, and a dotted focus rectangle around it, active or not.
    virtual void DrawTab(QPainter& painter, int index, const QRect& rect, bool active);
    virtual int GetImageIndex(int index) const;

    TvxTabStrip* TabStrip() const { return strip_; }

signals:
    // The active page has changed.
    void Change();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    friend class TvxTabSheet;
    void InsertPage(TvxTabSheet* page);
    // `destroying`: the page is being freed and keeps its parent until it is gone.
    void RemovePage(TvxTabSheet* page, bool destroying);
    // A caption, a colour or the visibility of a tab has changed.
    void TabsChanged();
    void PlaceChildren();

    std::vector<TvxTabSheet*> pages_;
    TvxTabSheet* active_ = nullptr;
    TvxTabStrip* strip_;
    QStackedWidget* stack_;
    bool multiLine_ = false;
    int tabWidth_ = 0;
};
