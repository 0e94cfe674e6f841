// The coloured page control: tab colours and captions as drawn, tab rows,
// one page at a time, mouse and keyboard, and pages going away.
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QStackedWidget>
#include <QtTest>
#include <memory>

#include "widgets/vx_grid.h"
#include "widgets/vx_page_control.h"
#include "widgets/vx_tab_sheet.h"
#include "widgets/vx_tab_strip.h"

namespace {

const QColor Navy(0, 0, 128);

// A control of `count` pages captioned "Page 0", "Page 1", ..., laid out.
std::unique_ptr<TvxPageControl> Control(int count, int tabWidth, int width) {
    auto control = std::make_unique<TvxPageControl>(nullptr);
    control->SetMultiLine(true);
    control->SetTabWidth(tabWidth);
    for (int i = 0; i < count; ++i) (new TvxTabSheet(control.get()))->SetCaption(QString("Page %1").arg(i));
    control->resize(width, 300);
    control->show();
    return control;
}

QImage Strip(const TvxPageControl& control) { return control.TabStrip()->grab().toImage(); }

// How many pixels of `rect` in `image` have `color`, give or take the
// smoothing of text edges.
int Count(const QImage& image, const QRect& rect, const QColor& color) {
    int n = 0;
    const QRect area = rect.intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - color.red()) + std::abs(c.green() - color.green()) +
                    std::abs(c.blue() - color.blue()) < 60)
                ++n;
        }
    return n;
}

}  // namespace

class PageControlTest : public QObject {
    Q_OBJECT
private slots:
    void NavyTabShowsWhiteTextActiveOrNot() {
        auto control = Control(2, 120, 400);
        TvxTabSheet* page = control->Pages(1);
        page->SetTabColor(Navy);
        page->SetTabFontColor(Qt::white);
        for (int active : {0, 1}) {
            control->SetActivePageIndex(active);
            const QImage image = Strip(*control);
            const QRect tab = control->TabStrip()->TabRect(1);
            // Filled navy, a caption in white, a dotted white frame on its edge.
            QVERIFY2(Count(image, tab, Navy) > tab.width() * tab.height() / 2, "tab not navy");
            QVERIFY2(Count(image, tab.adjusted(4, 4, -4, -4), Qt::white) > 10, "no white caption");
            QVERIFY2(Count(image, QRect(tab.left(), tab.bottom(), tab.width(), 1), Qt::white) > 10,
                     "no dotted rectangle");
        }
    }

    void NeverColouredPageHasButtonColourAndBlackText() {
        auto control = Control(2, 120, 400);
        const TvxTabSheet* page = control->Pages(1);
        const QColor button = QApplication::palette().color(QPalette::Button);
        QCOMPARE(page->TabColor(), button);
        QCOMPARE(page->TabFontColor(), QColor(Qt::black));
        const QRect tab = control->TabStrip()->TabRect(1).adjusted(4, 4, -4, -4);
        QVERIFY(Count(Strip(*control), tab, Qt::black) > 10);
    }

    void CaptionLongerThanTheTabIsCutAtItsEdge() {
        auto control = Control(2, 60, 400);
        control->Pages(0)->SetCaption("Drought Litter C: Foliage");
        control->Pages(0)->SetTabFontColor(Qt::red);
        control->Pages(1)->SetCaption("");
        control->SetActivePageIndex(1);
        const QImage image = Strip(*control);
        const QRect first = control->TabStrip()->TabRect(0);
        QVERIFY(Count(image, first, Qt::red) > 10);
        QCOMPARE(Count(image, QRect(first.right() + 1, 0, image.width(), image.height()), Qt::red), 0);
    }

    void TabsFillRowsOfFixedWidth() {
        // 53 tabs of 140 pixels in 6 x 140 pixels: nine rows, six tabs a row.
        auto control = Control(53, 140, 6 * 140);
        const TvxTabStrip* strip = control->TabStrip();
        QCOMPARE(strip->TabRect(5).top(), strip->TabRect(0).top());
        QCOMPARE(strip->TabRect(6).left(), 0);
        QCOMPARE(strip->TabRect(6).top(), strip->TabRect(0).top() + strip->TabHeight());
        QCOMPARE(strip->TabRect(52).top(), strip->TabRect(0).top() + 8 * strip->TabHeight());
        QCOMPARE(strip->TabRect(17).width(), 140);
        // The pages start below the last row.
        QVERIFY(control->ActivePage()->mapTo(control.get(), QPoint(0, 0)).y() >= strip->TabRect(52).bottom());
        // One line: the row moves so that the active tab shows whole.
        control->SetMultiLine(false);
        control->SetActivePageIndex(52);
        QCOMPARE(strip->TabRect(52).right(), control->width() - 1);
    }

    void ClickAndKeysShowOnePageAtATime() {
        auto control = Control(13, 100, 400);
        QSignalSpy changes(control.get(), &TvxPageControl::Change);
        TvxTabStrip* strip = control->TabStrip();
        QTest::mouseClick(strip, Qt::LeftButton, Qt::NoModifier, strip->TabRect(5).center());
        QCOMPARE(control->ActivePageIndex(), 5);
        QCOMPARE(changes.count(), 1);
        for (int i = 0; i < control->PageCount(); ++i) QCOMPARE(control->Pages(i)->isVisible(), i == 5);

        // Ctrl+Tab from inside a page, round the ends.
        TvxGrid* grid = control->ActivePage()->Grid;
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(control->ActivePageIndex(), 6);
        QTest::keyClick(control->ActivePage()->Grid, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(control->ActivePageIndex(), 5);
        control->SetActivePageIndex(12);
        QTest::keyClick(control->ActivePage()->Grid, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(control->ActivePageIndex(), 0);

        // Arrows on the tabs: along a row, and a row down (four tabs a row).
        QTest::keyClick(strip, Qt::Key_Right);
        QCOMPARE(control->ActivePageIndex(), 1);
        QTest::keyClick(strip, Qt::Key_Down);
        QCOMPARE(control->ActivePageIndex(), 5);
        QTest::keyClick(strip, Qt::Key_Left);
        QCOMPARE(control->ActivePageIndex(), 4);
        QTest::keyClick(strip, Qt::Key_Left);
        QCOMPARE(control->ActivePageIndex(), 3);
        QTest::keyClick(strip, Qt::Key_End);
        QCOMPARE(control->ActivePageIndex(), 12);
        QTest::keyClick(strip, Qt::Key_Right);
        QCOMPARE(control->ActivePageIndex(), 12);

        // A disabled page's tab does not open it.
        control->Pages(2)->setEnabled(false);
        QTest::mouseClick(strip, Qt::LeftButton, Qt::NoModifier, strip->TabRect(2).center());
        QCOMPARE(control->ActivePageIndex(), 12);
    }

    void PageCarriesItsLayout() {
        auto control = Control(1, 100, 600);
        const TvxTabSheet* page = control->Pages(0);
        for (const auto& [label, left] :
             {std::pair{page->SymbolLabel, 80}, std::pair{page->ValueLabel, 182}, std::pair{page->UnitsLabel, 310}})
            QCOMPARE(label->mapTo(page->TopStrip, QPoint(0, 0)), QPoint(left, 14));
        const TvxGridModel* cells = page->Grid->Model();
        QStringList headers;
        for (int c = 0; c < cells->columnCount(); ++c) headers << cells->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        QCOMPARE(headers, QStringList({"Parameter", "Parameter Name", "Parameter Value", "Parameter Units"}));
        QCOMPARE(page->Grid->horizontalHeader()->defaultSectionSize(),
                 DefaultColumnWidth(page->Grid->font().pointSizeF()));
        QCOMPARE(DefaultColumnWidth(8), 140);
    }

    void PagesLeaveAndGoWithTheirControl() {
        auto control = Control(3, 100, 400);
        control->SetActivePageIndex(1);
        delete control->Pages(1);
        QCOMPARE(control->PageCount(), 2);
        QCOMPARE(control->ActivePageIndex(), 1);
        QCOMPARE(control->ActivePage()->Caption(), QString("Page 2"));
        TvxTabSheet* page = control->Pages(0);
        page->SetPageControl(nullptr);
        QCOMPARE(control->PageCount(), 1);
        QCOMPARE(page->PageIndex(), -1);
        delete page;
        control.reset();  // its last page goes with it
    }
};

QTEST_MAIN(PageControlTest)
#include "vx_page_control_test.moc"
