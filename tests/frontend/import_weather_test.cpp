// Files > Import Weather...: the bundled station file imported from the
// window, the refusals shown as messages, and the new driver file taken for
// the runs.
#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "frontend/import_weather.h"
#include "frontend/main_form.h"
#include "scripted_notifier.h"
#include "window_test_support.h"

using namespace windows_test;

class ImportWeatherTest : public QObject {
    Q_OBJECT
private slots:
    void ImportsTheStationFileAndShowsTheReport() {
        Workbench windows;
        ScratchFolder dir;
        ScriptedNotifier notifier;
        TDlgImportWeather dialog(nullptr);
        notifier.Files.push_back(SamplePath("station_daily.csv"));
        dialog.BtnWeatherFile->click();
        QCOMPARE(notifier.Dialogs.at(0).Name, std::string("DlgOpenWeather"));
        QCOMPARE(dialog.EdDriverFile->text(), QString::fromStdString(SamplePath("station_daily.drr")));
        notifier.Files.push_back(dir / "site.drr");
        dialog.BtnDriverFile->click();
        QCOMPARE(notifier.Dialogs.at(1).Name, std::string("DlgSaveDriver"));
        dialog.EdLatitude->setText("47.3");
        dialog.BtnImport->click();
        QCOMPARE(notifier.Texts(), std::vector<std::string>{});
        QVERIFY(std::filesystem::exists(dir / "site.drr"));
        const QString report = dialog.MoReport->toPlainText();
        QVERIFY(report.startsWith("Warning: Ppt: no value on 2020-03-17 (1 day): set to 0 mm\n"));
        QVERIFY(report.contains("\nRun with: --start 0 --stop 1830 --repeat-drivers 1829\n"));
        QVERIFY(dialog.BtnUseDriver->isEnabled());
        QCOMPARE(dialog.ImportedFile(), dir / "site.drr");
    }

    void RefusalsAreErrorMessagesAndWriteNothing() {
        Workbench windows;
        ScratchFolder dir;
        ScriptedNotifier notifier;
        TDlgImportWeather dialog(nullptr);
        dialog.BtnImport->click();
        dialog.EdWeatherFile->setText(QString::fromStdString(SamplePath("forest.par")));
        dialog.BtnImport->click();
        dialog.EdDriverFile->setText(QString::fromStdString(dir / "x.drr"));
        dialog.EdLatitude->setText("north");
        dialog.BtnImport->click();
        dialog.EdLatitude->setText("47");
        dialog.BtnImport->click();
        const std::vector<std::string> expected{
            "Choose the weather file to import.", "Choose the driver file to write.",
            "'north' is not a valid floating point value",
            SamplePath("forest.par") +
                ": no date column: a column 'date' (YYYY-MM-DD) or the columns 'year' and 'doy' "
                "are needed (columns found: Ostrel                    6.4.2)"};
        QCOMPARE(notifier.Texts().size(), std::size_t{4});
        for (std::size_t i = 0; i < 4; ++i) QCOMPARE(notifier.Texts()[i], expected[i]);
        for (const AskedMessage& m : notifier.Messages)
            QVERIFY(m.Kind == MsgKind::Error && m.Buttons == MsgButtons::Ok);
        QVERIFY(!dialog.BtnUseDriver->isEnabled());
        QCOMPARE(dir.Entries(), std::size_t{0});
    }

    void TheImportedFileBecomesTheDriverFileOfTheRuns() {
        Workbench windows;
        ScratchFolder dir;
        ScriptedNotifier notifier;
        auto* entry = MainForm->findChild<QAction*>("MIImportWeather");
        QVERIFY(entry != nullptr);
        QCOMPARE(entry->text(), QString("Import &Weather..."));
        QString opened;
        QTimer::singleShot(20, [&] {
            auto* dialog = qobject_cast<TDlgImportWeather*>(QApplication::activeModalWidget());
            if (!dialog) return;
            opened = dialog->objectName();
            dialog->EdWeatherFile->setText(QString::fromStdString(SamplePath("station_daily.csv")));
            dialog->EdDriverFile->setText(QString::fromStdString(dir / "site.drr"));
            dialog->EdLatitude->setText("47.3");
            dialog->BtnImport->click();
            dialog->BtnUseDriver->click();
        });
        entry->trigger();
        QCOMPARE(opened, QString("DlgImportWeather"));
        QCOMPARE(DriverFileName, dir / "site.drr");
    }
};

QTEST_MAIN(ImportWeatherTest)
#include "import_weather_test.moc"
