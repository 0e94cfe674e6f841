// ostrel [PARAMFILE [DRIVERFILE [OUTPUTFILE]]]: the workbench. Names given on
// the command line are taken in order, as choosing them in the window would.
#include <QApplication>
#include <QLineEdit>
#include <QStringList>

#include "chart/decimal_point.h"
#include "widgets/error_report.h"
#include "frontend/main_form.h"
#include "frontend/qt_notifier.h"
#include "frontend/workbench.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    KeepDecimalPoint();
    QtNotifier notifier;
    SetNotifier(&notifier);
    const QStringList args = QApplication::arguments();
    CreateWindows(args.isEmpty() ? std::string() : args.first().toStdString());
    MainForm->show();
    const auto take = [&args](int i, QLineEdit* box, auto handler) {
        if (args.size() <= i) return;
        box->setText(args[i]);
        Guarded([&] { (MainForm->*handler)(true); });
    };
    take(1, MainForm->ParamBox, &TMainForm::ChooseParamFile);
    take(2, MainForm->DriverBox, &TMainForm::ChooseDriver);
    take(3, MainForm->OutputBox, &TMainForm::ChooseOutputFile);
    const int status = app.exec();
    DestroyWindows();
    SetNotifier(nullptr);
    return status;
}
