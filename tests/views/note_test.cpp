// The driver editor: the text table, its columns and captions, saving with
// and without the dialog, closing with unsaved changes, and another file.
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <fstream>
#include <sstream>

#include "fileio/fileio.h"
#include "frontend/main_form.h"
#include "scripted_notifier.h"
#include "views/note.h"
#include "window_test_support.h"

using namespace windows_test;

namespace {

const std::string LoseChanges =
    "The changes you made to the drivers are about to be lost. Do you want to save the driver file before "
    "proceeding?";

std::string Bytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

void Write(const std::string& file, const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }

QStringList Lines() { return FmNote->MoDrivers->toPlainText().split('\n'); }

// A record line of a driver file: the time, then driver i's value i * `scale`.
std::string Record(const std::string& time, int scale) {
    std::string line = time;
    for (int i = 1; i <= 18; ++i) line += " " + std::to_string(i * scale);
    return line + "\r\n";
}

// A small driver file: a step at 1, a target at -5 (interpolated towards),
// the record of zeros that ends the data, and a record after it.
std::string SmallDriverFile() {
    return "titles\r\nunits\r\n" + Record("1", 1) + Record("-5", 3) + Record("0", 0) + Record("9", 9);
}

// The user types at the end of the table; "\n" is the Enter key.
void Edit(const QString& text) {
    FmNote->MoDrivers->moveCursor(QTextCursor::End);
    const QStringList lines = text.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0) QTest::keyClick(FmNote->MoDrivers, Qt::Key_Return);
        QTest::keyClicks(FmNote->MoDrivers, lines[i]);
    }
}

}  // namespace

class NoteTest : public QObject {
    Q_OBJECT
private slots:
    void TableOfTheSampleDriverFile() {
        Workbench bench;
        ScriptedNotifier ask;
        FmNote->show();
        QCOMPARE(FmNote->windowTitle(), QString("Driver Variables - No driver file selected"));
        QCOMPARE(Lines().size(), 2);
        FmNote->hide();

        DriverFileName = SamplePath("weather.drr");
        // A name longer than a column is cut to 26 characters.
        const std::string_view name = Drivers[1].Name;
        Drivers[1].Name = "Atmospheric CO2 concentration at the site";
        FmNote->show();
        Drivers[1].Name = name;
        QCOMPARE(FmNote->windowTitle(), "Driver Variables - " + QString::fromStdString(DriverFileName));
        const QStringList lines = Lines();
        QCOMPARE(lines.size(), 2 + 3660);
        for (const QString& line : lines) QCOMPARE(line.size(), 494);
        QCOMPARE(lines[0].mid(0, 52), QString("Time                      Atmospheric CO2 concentrat"));
        QCOMPARE(lines[1].left(26), QString("days").leftJustified(26));
        QVERIFY(lines[2].startsWith(QString("0").leftJustified(26) + "398.158431574"));
        QVERIFY(!FmNote->MoDrivers->document()->isModified());
        QCOMPARE(FmNote->MoDrivers->lineWrapMode(), QPlainTextEdit::NoWrap);
        QVERIFY(FmNote->MoDrivers->font().fixedPitch());
        QVERIFY(ask.Messages.empty());
    }

    void MinusSignKeptAndEndOfDataNotShown() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        Write(dir.File("small.drr"), SmallDriverFile());
        DriverFileName = dir.File("small.drr");
        NewDriverFile = true;
        FmNote->show();
        const QStringList lines = Lines();
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[3].left(52), QString("-5").leftJustified(26) + QString("3").leftJustified(26));

        // Saved under a new name as it stands, CR LF line ends, and read as a
        // driver file: the -5 record is still interpolated towards.
        ask.Files = {dir.File("saved.drr")};
        QTest::mouseClick(FmNote->BtnSaveFile, Qt::LeftButton);
        QCOMPARE(FmNote->result(), int(QDialog::Accepted));
        QCOMPARE(ask.Dialogs.size(), std::size_t(1));
        QCOMPARE(ask.Dialogs[0].Title, "Save Driver File as");
        QCOMPARE(ask.Dialogs[0].StartName, dir.File("small.drr"));
        QCOMPARE(DriverFileName, dir.File("saved.drr"));
        QVERIFY(!NewDriverFile);
        QCOMPARE(QString::fromStdString(Bytes(dir.File("saved.drr"))), lines.join("\r\n") + "\r\n");
        OpenDriverFile(DriverFileName, ModelDef.NumDrivers, Drivers, false);
        PrevDriverTime = NextDriverTime = 0;
        StopTime = 20;
        GetDrivers(Drivers, 3);
        CloseDriverFile();
        QCOMPARE(Drivers[1].Value, 2.0);
        QVERIFY(ask.Messages.empty());
    }

    void SaveCancelledClosesWithOkAndWritesNothing() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        Write(dir.File("small.drr"), SmallDriverFile());
        TypeAndEnter(MainForm->DriverBox, QString::fromStdString(dir.File("small.drr")));
        OutputAvailable = true;
        QTimer::singleShot(0, [] {
            Edit("\n2 x");
            QTest::mouseClick(FmNote->BtnSaveFile, Qt::LeftButton);
        });
        MainForm->MIEditDrvClick();
        QCOMPARE(FmNote->result(), int(QDialog::Accepted));
        QVERIFY(!OutputAvailable);
        QCOMPARE(Bytes(dir.File("small.drr")), SmallDriverFile());
        QVERIFY(ask.Messages.empty());
    }

    void CloseAsksAndNoLeavesTheFile() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        Write(dir.File("small.drr"), SmallDriverFile());
        DriverFileName = dir.File("small.drr");
        FmNote->show();
        QTest::mouseClick(FmNote->BtnClose, Qt::LeftButton);  // nothing changed, nothing asked
        QVERIFY(ask.Messages.empty());
        QCOMPARE(FmNote->result(), int(QDialog::Rejected));

        FmNote->show();
        Edit("7");
        ask.Answers = {MsgResult::No};
        QTest::mouseClick(FmNote->BtnClose, Qt::LeftButton);
        QCOMPARE(ask.Texts(), std::vector<std::string>({LoseChanges}));
        QCOMPARE(ask.Messages[0].Kind, MsgKind::Warning);
        QCOMPARE(ask.Messages[0].Buttons, MsgButtons::YesNo);
        QVERIFY(!FmNote->isVisible());
        QCOMPARE(FmNote->result(), int(QDialog::Rejected));
        QCOMPARE(Bytes(dir.File("small.drr")), SmallDriverFile());

        // The title bar's close button asks too; Yes saves over the file.
        FmNote->show();
        QVERIFY(!Lines().last().endsWith("7"));
        Edit("7");
        ask.Answers = {MsgResult::Yes};
        ask.Files = {dir.File("small.drr")};
        FmNote->close();
        QCOMPARE(ask.Texts().size(), std::size_t(2));
        QVERIFY(!FmNote->isVisible());
        QCOMPARE(FmNote->result(), int(QDialog::Accepted));
        QVERIFY(Bytes(dir.File("small.drr")).ends_with("7\r\n"));
    }

    void ChooseShowsTheNewFileAndCancelKeepsEdits() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        Write(dir.File("small.drr"), SmallDriverFile());
        DriverFileName = dir.File("small.drr");
        FmNote->show();
        Edit("\n12 3");
        QTest::mouseClick(FmNote->BtnChooseFile, Qt::LeftButton);  // dialog cancelled
        QVERIFY(Lines().last().endsWith("12 3"));

        ask.Files = {SamplePath("weather.drr")};
        QTest::mouseClick(FmNote->BtnChooseFile, Qt::LeftButton);
        QCOMPARE(ask.Dialogs.back().Name, "DlgOpenDriver");
        QCOMPARE(DriverFileName, SamplePath("weather.drr"));
        QCOMPARE(Lines().size(), 2 + 3660);
        QVERIFY(!FmNote->MoDrivers->document()->isModified());
        QVERIFY(ask.Messages.empty());
        QCOMPARE(Bytes(dir.File("small.drr")), SmallDriverFile());
    }

    void FailedSaveSaysWhyAndKeepsTheEdits() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        Write(dir.File("small.drr"), SmallDriverFile());
        std::filesystem::create_directory(dir.File("folder.drr"));
        DriverFileName = dir.File("small.drr");
        FmNote->show();
        Edit("\n12 abc");
        ask.Files = {dir.File("folder.drr")};
        QTest::mouseClick(FmNote->BtnSaveFile, Qt::LeftButton);
        QCOMPARE(ask.Texts(), std::vector<std::string>({"File access denied"}));
        QVERIFY(FmNote->isVisible());
        QVERIFY(Lines().last().endsWith("12 abc"));
        QCOMPARE(DriverFileName, dir.File("small.drr"));
        QVERIFY(std::filesystem::is_directory(dir.File("folder.drr")));
        QCOMPARE(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);

        // Text that is no number is saved as typed; the reader refuses it.
        ask.Files = {dir.File("small.drr")};
        QTest::mouseClick(FmNote->BtnSaveFile, Qt::LeftButton);
        QVERIFY(Bytes(dir.File("small.drr")).ends_with("12 abc\r\n"));
        OpenDriverFile(DriverFileName, ModelDef.NumDrivers, Drivers, false);
        double time = 0;
        while (true) {
            try {
                if (!ReadDriverRecord(time, ModelDef.NumDrivers, Drivers)) QFAIL("bad record read");
            } catch (const EInOutError& e) {
                QCOMPARE(std::string(e.what()), "Invalid numeric input");
                break;
            }
        }
        CloseDriverFile();

        // Opened again, the file is shown as it stands, with the reader's message.
        ask.Messages.clear();
        FmNote->show();
        QCOMPARE(ask.Texts(), std::vector<std::string>({"Invalid numeric input"}));
        QCOMPARE(FmNote->MoDrivers->toPlainText().toStdString(),
                 [&] {
                     std::string text = Bytes(dir.File("small.drr"));
                     std::erase(text, '\r');
                     return text;
                 }());
    }
};

QTEST_MAIN(NoteTest)
#include "note_test.moc"
