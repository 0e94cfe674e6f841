#include "widgets/vx_tab_sheet.h"

#include <QApplication>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>
#include <cmath>

#include "widgets/vx_grid.h"
#include "widgets/vx_page_control.h"

namespace {

// The labels stand 14 pixels from the strip's top, at fixed distances from its left.
constexpr int LabelTop = 14;
constexpr int SymbolLeft = 80;
constexpr int ValueLeft = 182;
constexpr int UnitsLeft = 310;

QLabel* StripLabel(const char* name, int left, QWidget* strip) {
    auto* label = new QLabel(strip);
    label->setObjectName(name);
    label->move(left, LabelTop);
    return label;
}

double PointSize(const QFont& font) {
    if (font.pointSizeF() > 0) return font.pointSizeF();
    return font.pixelSize() * 72.0 / 96.0;
}

}  // namespace

int DefaultColumnWidth(double points) { return static_cast<int>(std::lround(17.5 * points)); }

TvxTabSheet::TvxTabSheet(TvxPageControl* owner) : tabColor_(QApplication::palette().color(QPalette::Button)) {
    TopStrip = new QFrame(this);
    TopStrip->setObjectName("TopStrip");
    SymbolLabel = StripLabel("SymbolLabel", SymbolLeft, TopStrip);
    ValueLabel = StripLabel("ValueLabel", ValueLeft, TopStrip);
    UnitsLabel = StripLabel("UnitsLabel", UnitsLeft, TopStrip);
    TopStrip->setFixedHeight(LabelTop * 2 + SymbolLabel->sizeHint().height());

    Grid = new TvxGrid({"Parameter", "Parameter Name", "Parameter Value", "Parameter Units"}, this);
    Grid->setObjectName("Grid");
    Grid->horizontalHeader()->setDefaultSectionSize(DefaultColumnWidth(PointSize(Grid->font())));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(TopStrip);
    layout->addWidget(Grid, 1);
    hide();
    SetPageControl(owner);
}

TvxTabSheet::~TvxTabSheet() {
    if (pageControl_) pageControl_->RemovePage(this, true);
}

void TvxTabSheet::SetPageControl(TvxPageControl* control) {
    if (pageControl_ == control) return;
    if (pageControl_) pageControl_->RemovePage(this, false);
    pageControl_ = control;
    if (pageControl_) pageControl_->InsertPage(this);
}

int TvxTabSheet::PageIndex() const { return pageControl_ ? pageControl_->IndexOf(this) : -1; }

void TvxTabSheet::SetCaption(const QString& caption) {
    caption_ = caption;
    TabChanged();
}

void TvxTabSheet::SetTabColor(const QColor& color) {
    tabColor_ = color;
    TabChanged();
}

void TvxTabSheet::SetTabFontColor(const QColor& color) {
    tabFontColor_ = color;
    TabChanged();
}

void TvxTabSheet::SetTabVisible(bool visible) {
    tabVisible_ = visible;
    TabChanged();
}

void TvxTabSheet::TabChanged() {
    if (pageControl_) pageControl_->TabsChanged();
}
