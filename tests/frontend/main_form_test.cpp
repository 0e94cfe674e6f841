// The main window: file choices, times, Run gating, saving and closing.
#include <QAction>
#include <QPushButton>
#include <QtTest>
#include <fstream>
#include <sstream>

#include "fileio/fileio.h"
#include "frontend/main_form.h"
#include "scripted_notifier.h"
#include "window_test_support.h"

using namespace windows_test;

namespace {

std::vector<std::string> Lines(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    std::vector<std::string> lines;
    std::string text = all.str(), line;
    for (std::size_t start = 0, end; start < text.size(); start = end + 2) {
        end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

bool AllValuesZero() {
    for (int i = 1; i <= ModelDef.NumStates; ++i)
        if (States[i].Value != 0) return false;
    for (int i = 1; i <= ModelDef.NumParams; ++i)
        if (Params[i].Value != 0) return false;
    return true;
}

}  // namespace

class MainFormTest : public QObject {
    Q_OBJECT
private slots:
    void RunIsEnabledOnceThreeNewFilesAreNamed() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        QVERIFY(!MainForm->BtnRun->isEnabled());

        // A parameter file that does not exist is made from the values in
        // memory, which are then all 0.
        ReadParamFile(SamplePath("forest.par"), ModelDef.NumParams, Params, ModelDef.NumStates, States);
        TypeAndEnter(MainForm->ParamBox, QString::fromStdString(dir.File("new.par")));
        QCOMPARE(ParamFileName, dir.File("new.par"));
        QVERIFY(NewParamFile);
        QCOMPARE(Lines(dir.File("new.par")).size(), std::size_t(1 + 55 + 114));
        QVERIFY(AllValuesZero());
        QVERIFY(!MainForm->BtnRun->isEnabled());
        QVERIFY(MainForm->MISaveParam->isEnabled());

        // A new driver file: two title lines and one record of zeros at time 0.
        TypeAndEnter(MainForm->DriverBox, QString::fromStdString(dir.File("new.drr")));
        QVERIFY(NewDriverFile);
        const auto driverLines = Lines(dir.File("new.drr"));
        QCOMPARE(driverLines.size(), std::size_t(3));
        QVERIFY(driverLines[0].starts_with("Time "));
        std::istringstream record(driverLines[2]);
        double v, sum = 0;
        int count = 0;
        while (record >> v) sum += std::fabs(v), ++count;
        QCOMPARE(count, 19);
        QCOMPARE(sum, 0.0);
        QVERIFY(!MainForm->BtnRun->isEnabled());

        TypeAndEnter(MainForm->OutputBox, QString::fromStdString(dir.File("run.out")));
        QVERIFY(MainForm->BtnRun->isEnabled());
        QVERIFY(RunReady);
        QVERIFY(ask.Messages.empty());
    }

    void EqualStartAndStopKeepRunDisabled() {
        Workbench bench;
        ScriptedNotifier ask;
        TypeAndEnter(MainForm->MEStartTime, "5");
        TypeAndEnter(MainForm->MEStopTime, "5");
        TypeAndEnter(MainForm->ParamBox, QString::fromStdString(SamplePath("forest.par")));
        TypeAndEnter(MainForm->DriverBox, QString::fromStdString(SamplePath("weather.drr")));
        TypeAndEnter(MainForm->OutputBox, "x.out");
        QCOMPARE(StartTime, 5.0);
        QCOMPARE(StopTime, 5.0);
        QVERIFY(!MainForm->BtnRun->isEnabled());
        TypeAndEnter(MainForm->MEStopTime, "6");
        QVERIFY(MainForm->BtnRun->isEnabled());
    }
};

QTEST_MAIN(MainFormTest)
#include "main_form_test.moc"
