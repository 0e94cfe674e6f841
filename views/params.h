// The parameter editor: every parameter, page by page for each process that
// owns parameters, with the process's current value beside them; the process
// values can be recalculated from the edited parameters at once.
#pragma once

#include <QColor>
#include <QDialog>
#include <optional>
#include <vector>

class QPushButton;
class TvxPageControl;

// The colours of a page's tab for its process's TabCategory.
struct TabColours {
    QColor Tab;
    QColor Font;
};
TabColours TabColoursOf(int category);

class TFmParameter : public QDialog {
    Q_OBJECT
public:
    explicit TFmParameter(QWidget* owner);

    // Prepares a showing; with BtnUpdateProc as sender only refreshes the pages
    // within the showing under way.
    void FormShow(const QObject* sender);
    // Copies every "Parameter Value" cell into Params. A cell that holds no
    // number is shown to the user with the cursor on it, and nothing is
    // stored: false.
    bool updateparams();
    // The process values at CalcTime from the drivers of that time.
    void CalculateProcesses();
    // The two process buttons' action; false when nothing was done.
    bool UpdateProcesses();
    void BtnUpdateProcClick();
    void BtnShowAllProcessClick();
    void BtnOKClick();
    void BtnCloseClick();
    // Only the "Parameter Value" column takes the cursor.
    static bool StringGridSelectCell(int column, int row);

    // The process-table entry that page `page` belongs to.
    int PageProcess(int page) const { return processes_.at(static_cast<std::size_t>(page)); }

    // The user has agreed, in this showing, to apply the cells to the parameters.
    bool ValuesApplied = false;

    TvxPageControl* PageControl;
    QWidget* PnButtons;
    QPushButton* BtnUpdateProc;
    QPushButton* BtnShowAllProcess;
    QPushButton* BtnOK;
    QPushButton* BtnClose;

public slots:
    // Every way of closing without OK: the process list goes too.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void RefreshPages();
    // The numbers of all value cells, page by page and row by row; nothing
    // when one is no number (the user is told, and the cursor put on it).
    std::optional<std::vector<double>> CellValues();
    void StoreValues(const std::vector<double>& values);

    std::vector<int> processes_;  // page by page
};
