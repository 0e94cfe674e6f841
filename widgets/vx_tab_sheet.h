// A page of the coloured page control: its tab's caption and colours, and the
// ready-made layout for one group of parameters (a top strip with a symbol,
// a value and a units label, and a four-column grid below it).
#pragma once

#include <QColor>
#include <QWidget>

class QFrame;
class QLabel;
class TvxGrid;
class TvxPageControl;

// Default width of the grid's columns for a font of `points` points.
int DefaultColumnWidth(double points);

class TvxTabSheet : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor TabColor READ TabColor WRITE SetTabColor)
    Q_PROPERTY(QColor TabFontColor READ TabFontColor WRITE SetTabFontColor)
public:
    // A new page at the end of `owner`'s pages (none: a page of no control yet).
    explicit TvxTabSheet(TvxPageControl* owner);
    ~TvxTabSheet() override;

    TvxPageControl* PageControl() const { return pageControl_; }
    // Moves the page to the end of `control`'s pages (nullptr: out of any control).
    void SetPageControl(TvxPageControl* control);
    int PageIndex() const;

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    // Background of the tab; the palette's button colour by default.
    QColor TabColor() const { return tabColor_; }
    void SetTabColor(const QColor& color);
    // Colour of the tab's caption; black by default.
    QColor TabFontColor() const { return tabFontColor_; }
    void SetTabFontColor(const QColor& color);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index) { imageIndex_ = index; }
    bool TabVisible() const { return tabVisible_; }
    void SetTabVisible(bool visible);

    QFrame* TopStrip;
    QLabel* SymbolLabel;
    QLabel* ValueLabel;
    QLabel* UnitsLabel;
    TvxGrid* Grid;

private:
    friend class TvxPageControl;
    void TabChanged();

    TvxPageControl* pageControl_ = nullptr;
    QString caption_;
    QColor tabColor_;
    QColor tabFontColor_ = Qt::black;
    int imageIndex_ = -1;
    bool tabVisible_ = true;
};
