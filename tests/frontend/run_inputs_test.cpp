// The main window's Run with input files that would mislead the run: the
// warnings in one question before the run, which goes on only on Yes; a
// driver file without one whole record refused; a failure that names what
// the checks found.
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <functional>
#include <sstream>

#include "frontend/main_form.h"
#include "frontend/trouble.h"
#include "scripted_notifier.h"
#include "window_test_support.h"

using namespace windows_test;

namespace {

// The sample weather's first `records` records, each line changed by `edit`
// (its fields, the time first).
std::string Weather(const std::string& file, std::size_t records,
                    const std::function<void(std::size_t, std::vector<std::string>&)>& edit) {
    const std::string sample = ReadBytes(SamplePath("weather.drr"));
    std::size_t start = sample.find("\r\n", sample.find("\r\n") + 2) + 2;
    std::string text = sample.substr(0, start);
    for (std::size_t i = 0; i < records; ++i) {
        const std::size_t end = sample.find("\r\n", start);
        std::istringstream line(sample.substr(start, end - start));
        std::vector<std::string> fields;
        for (std::string f; line >> f;) fields.push_back(f);
        edit(i, fields);
        for (const std::string& f : fields) text += f + ' ';
        text += "\r\n";
        start = end + 2;
    }
    WriteBytes(file, text);
    return file;
}

void NameFiles(const std::string& par, const std::string& drivers, const std::string& output) {
    TypeAndEnter(MainForm->MEStartTime, "0");
    TypeAndEnter(MainForm->MEStopTime, "5");
    TypeAndEnter(MainForm->ParamBox, QString::fromStdString(par));
    TypeAndEnter(MainForm->DriverBox, QString::fromStdString(drivers));
    TypeAndEnter(MainForm->OutputBox, QString::fromStdString(output));
}

}  // namespace

class RunInputsTest : public QObject {
    Q_OBJECT
private slots:
    void WarningsAreAskedAboutOnceAndTheRunGoesOnOnlyOnYes() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        const std::string kelvin = Weather(dir.File("kelvin.drr"), 10, [](std::size_t i, std::vector<std::string>& f) {
            f[2] = "285.2";
            if (i == 4) f[5] = "-2";
        });
        const std::string output = dir.File("run.out");
        NameFiles(SamplePath("forest.par"), kelvin, output);
        QString shown;
        ModalCloser closer([&shown](QWidget* w) {
            if (w == FmTrouble) shown = FmTrouble->MmError->toPlainText();
        });
        const std::string subject = "driver file '" + kelvin + "'";
        ask.Messages.clear();
        ask.Answers = {MsgResult::No};
        MainForm->BtnRun->click();
        QCOMPARE(ask.Messages.size(), std::size_t(1));
        QCOMPARE(ask.Messages[0].Kind, MsgKind::Warning);
        QCOMPARE(ask.Messages[0].Buttons, MsgButtons::YesNo);
        QCOMPARE(ask.Messages[0].Text, "The input files may mislead this run:\n\n" + subject +
                                           ": Tamax 285.2 on line 3: looks like kelvin; the model takes °C; also on 9 "
                                           "more lines\n\n" +
                                           subject +
                                           ": Ppt -2 on line 7: negative precipitation\n\n"
                                           "Run anyway?");
        QVERIFY(!std::filesystem::exists(output));
        QVERIFY(MainForm->BtnRun->isEnabled());

        ask.Answers = {MsgResult::Yes};
        MainForm->BtnRun->click();
        QCOMPARE(ask.Messages.size(), std::size_t(2));
        QCOMPARE(ask.Messages[1].Text, ask.Messages[0].Text);
        QVERIFY(std::filesystem::exists(output));
        // Temperatures in kelvin do not get the model far.
        QCOMPARE(shown, QString::fromStdString("Floating point division by zero; likely at fault: " + subject +
                                               ": Tamax 285.2 on line 3: looks like kelvin; the model takes °C; also "
                                               "on 9 more lines (and 1 more warning)"));
    }

    void ADriverFileWithoutOneWholeRecordIsRefused() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        const std::string cols18 =
            Weather(dir.File("cols18.drr"), 10, [](std::size_t, std::vector<std::string>& f) { f.pop_back(); });
        const std::string output = dir.File("run.out");
        NameFiles(SamplePath("forest.par"), cols18, output);
        ask.Messages.clear();
        MainForm->BtnRun->click();
        QCOMPARE(ask.Texts(), std::vector<std::string>{"driver file '" + cols18 +
                                                       "': every record line holds 18 values where a record has 19 "
                                                       "(time and 18 drivers)"});
        QCOMPARE(ask.Messages[0].Kind, MsgKind::Error);
        QVERIFY(!std::filesystem::exists(output));
    }

    void AFailingRunNamesWhatTheChecksFound() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        const std::string output = dir.File("run.out");
        NameFiles(SamplePath("forest.par"), SamplePath("weather.drr"), output);
        // Field capacity edited down to the wilting point.
        Params[FindSymbol(2, "Wf")].Value = Params[FindSymbol(2, "Ww")].Value;
        ParamsModified = true;
        QString shown;
        ModalCloser closer([&shown](QWidget* w) {
            if (w == FmTrouble) shown = FmTrouble->MmError->toPlainText();
        });
        ask.Messages.clear();
        MainForm->BtnRun->click();
        const std::string finding =
            "the parameters in force: Wf 70 is not above Ww 70: field capacity must be above "
            "wilting point";
        QCOMPARE(ask.Texts(),
                 std::vector<std::string>{"The input files may mislead this run:\n\n" + finding + "\n\nRun anyway?"});
        QCOMPARE(shown, QString::fromStdString("Floating point division by zero; likely at fault: " + finding));
    }

    void EveryMistakeOfTheFilesStandsInTheOneQuestion() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        // A parameter name typed two characters short, read as the window reads it.
        std::string par = ReadBytes(SamplePath("forest.par"));
        const std::size_t tas = par.find("critical Ta for snowfall");
        par.replace(tas, par.find("\r\n", tas) - tas, "critical Ta oC snowfall 5.00000000000000E-0001 oC");
        WriteBytes(dir.File("cut.par"), par);
        // One value missing on line 7, shortwave in W m-2, deposition 1800 times too large.
        const std::string drivers = Weather(dir.File("mixed.drr"), 10, [](std::size_t i, std::vector<std::string>& f) {
            f[6] = "180";
            f[7] = "0.62";
            if (i == 4) f.erase(f.begin() + 10);
        });
        NameFiles(dir.File("cut.par"), drivers, dir.File("run.out"));
        ask.Messages.clear();
        ask.Answers = {MsgResult::No};
        MainForm->BtnRun->click();
        const std::string subject = "driver file '" + drivers + "'";
        QCOMPARE(ask.Texts(),
                 std::vector<std::string>{
                     "The input files may mislead this run:\n\nparameter file '" + dir.File("cut.par") +
                     "' line 58: Tas is read as 0 from '.00000000000000E-0001'; 'critical Ta oC snowfall 5' was taken "
                     "for the name, and the name field of 25 characters ends inside the number "
                     "'5.00000000000000E-0001'\n\n" +
                     subject +
                     " line 7: 18 values where a record has 19 (time and 18 drivers); the record continues "
                     "on the next line\n\n" +
                     subject +
                     ": II 180 on line 3: looks like W m-2; the model takes MJ m-2 day-1 (multiply by "
                     "0.0864); also on 8 more lines\n\n" +
                     subject +
                     ": DNH4 0.62 on line 3: outside the range of real sites, 0 to 0.1 g N m-2 day-1; also "
                     "on 8 more lines\n\nRun anyway?"});
        QVERIFY(!std::filesystem::exists(dir.File("run.out")));
    }
};

QTEST_MAIN(RunInputsTest)
#include "run_inputs_test.moc"
