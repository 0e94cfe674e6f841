#include "chart/chart_file.h"

#include <QApplication>
#include <QFileInfo>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <iostream>
#include <memory>
#include <qcustomplot.h>
#include <stdexcept>

#include "chart/decimal_point.h"

namespace {

std::runtime_error CannotWrite(const QString& fileName, const QString& why) {
    return std::runtime_error(("Cannot write " + fileName + ": " + why).toStdString());
}

// Draws the chart as vectors on `device`; false when the device refuses.
bool DrawVectors(QCustomPlot& chart, QPaintDevice& device, int width, int height) {
    QCPPainter painter;
    if (!painter.begin(&device)) return false;
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNoCaching);
    chart.toPainter(&painter, width, height);
    return painter.end();
}

// The toolkit's own notes (a missing runtime folder and the like) are no
// concern of the user of a command line.
void QuietToolkit(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << message.toStdString() << "\n";
}

}  // namespace

std::unique_ptr<QApplication> OffscreenApplication(int& argc, char** argv) {
    if (QCoreApplication::instance()) return nullptr;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietToolkit);
    auto application = std::make_unique<QApplication>(argc, argv);
    KeepDecimalPoint();
    return application;
}

void SaveChart(QCustomPlot& chart, const QString& fileName, int width, int height, const QString& title) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix != "png" && suffix != "svg" && suffix != "pdf")
        throw CannotWrite(fileName, "the name must end in .png, .svg or .pdf");
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) throw CannotWrite(fileName, file.errorString());
    bool drawn = false;
    if (suffix == "png") {
        drawn = chart.toPixmap(width, height, 2.0).save(&file, "PNG");
    } else if (suffix == "svg") {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(QSize(width, height));
        svg.setViewBox(QRect(0, 0, width, height));
        svg.setTitle(title);
        drawn = DrawVectors(chart, svg, width, height);
    } else {
        QPdfWriter pdf(&file);
        pdf.setTitle(title);
        pdf.setResolution(96);
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setPageSize(QPageSize(QSizeF(width, height) * 72.0 / 96.0, QPageSize::Point));
        drawn = DrawVectors(chart, pdf, width, height);
    }
    if (!drawn) {
        file.cancelWriting();
        throw CannotWrite(fileName, "the chart could not be drawn");
    }
    if (!file.commit()) throw CannotWrite(fileName, file.errorString());
}

QCPTextElement* AddChartTitle(QCustomPlot& chart, const QString& text) {
    chart.plotLayout()->insertRow(0);
    const QFont font = chart.font();
    auto* title = new QCPTextElement(&chart, text, QFont(font.family(), font.pointSize() + 2, QFont::Bold));
    chart.plotLayout()->addElement(0, 0, title);
    chart.legend->setVisible(true);
    chart.legend->setFont(font);
    // Tick labels with the decimal point, whatever the desktop's locale.
    chart.setLocale(QLocale::c());
    return title;
}
