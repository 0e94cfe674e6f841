#include "widgets/file_dialogs.h"

#include <utility>

namespace {

FileDialogRequest Request(std::string_view name, std::string_view title, std::string_view filter,
                          std::string_view ext, FileDialogMode mode, std::string startName) {
    FileDialogRequest r;
    r.Name = name;
    r.Title = title;
    r.Filter = filter;
    r.DefaultExt = ext;
    r.Mode = mode;
    r.StartName = std::move(startName);
    return r;
}

constexpr std::string_view OutputFilter = "Output Files (*.out)|*.out|All Files (*.*)|*.*";

}  // namespace

FileDialogRequest DlgOpenParam(std::string startName) {
    auto r = Request("DlgOpenParam", "Choose Parameter File", "Parameter FIles (*.par)|*.par|All Files|*.*", "par",
                     FileDialogMode::Open, std::move(startName));
    r.ConfirmCreate = true;
    return r;
}

FileDialogRequest DlgSaveParam(std::string startName) {
    auto r = Request("DlgSaveParam", "Save Parameter File", "Parameter Files (*.par)|*.par|All Files|*.*", "par",
                     FileDialogMode::Save, std::move(startName));
    r.ConfirmOverwrite = true;
    return r;
}

FileDialogRequest DlgOpenDriver(std::string startName) {
    auto r = Request("DlgOpenDriver", "Open Driver File", "Driver files (*.drr)|*.drr|All files|*.*", "drr",
                     FileDialogMode::Open, std::move(startName));
    r.ConfirmCreate = true;
    return r;
}

FileDialogRequest DlgSaveDriver(std::string startName) {
    auto r = Request("DlgSaveDriver", "Save Driver File as", "Driver Files (*.drr)|*.drr|All Files (*.*)|*.*", "drr",
                     FileDialogMode::Save, std::move(startName));
    r.ConfirmOverwrite = true;
    return r;
}

FileDialogRequest DlgSaveOutput(std::string startName) {
    auto r = Request("DlgSaveOutput", "Save Output File as", OutputFilter, "out", FileDialogMode::Save,
                     std::move(startName));
    r.ConfirmOverwrite = true;
    return r;
}

FileDialogRequest DlgOpenObservations(std::string startName) {
    auto r = Request("DlgOpenObservations", "Open Observations",
                     "Observation Files (*.csv;*.tsv;*.txt)|*.csv;*.tsv;*.txt|All Files (*.*)|*.*", "csv",
                     FileDialogMode::Open, std::move(startName));
    r.FileMustExist = true;
    return r;
}

FileDialogRequest DlgOpenOutput(std::string startName) {
    auto r = Request("DlgOpenOutput", "Open Output File", OutputFilter, "out", FileDialogMode::Open,
                     std::move(startName));
    r.FileMustExist = true;
    return r;
}

FileDialogRequest DlgOpenWeather(std::string startName) {
    auto r = Request("DlgOpenWeather", "Open Weather File",
                     "Weather Files (*.csv;*.tsv;*.txt)|*.csv;*.tsv;*.txt|All Files (*.*)|*.*", "csv",
                     FileDialogMode::Open, std::move(startName));
    r.FileMustExist = true;
    return r;
}
