#include "drivers/driver_records.h"

#include "core/stypes.h"
#include "drivers/import_error.h"
#include "fileio/driver_file.h"
#include "fileio/file_replace.h"

namespace drivers {

std::vector<DriverRecord> ReadDriverRecords(const std::string& fileName) {
    std::vector<DriverRecord> records;
    std::int64_t line = 0;  // the line of the record being read; 0 before the file is open
    try {
        fileio::DriverReader reader(fileName);
        driverarray values{};
        double time = 0.0;
        line = reader.Line();
        while (reader.ReadRecord(time, DriverCount, values)) {
            DriverRecord r;
            r.Time = time;
            r.Line = line;
            for (int i = 1; i <= DriverCount; ++i) r.Value[i] = values[i].Value;
            records.push_back(r);
            line = reader.Line();
        }
    } catch (const fileio::EInvalidNumber& e) {
        throw ImportError(fileName + ":" + std::to_string(e.Line) + ": " + e.what());
    } catch (const EInOutError& e) {
        throw ImportError(fileName + (line > 0 ? ":" + std::to_string(line) : "") + ": " + e.what());
    }
    return records;
}

void SaveDriverRecords(const std::string& fileName, const std::vector<DriverRecord>& records) {
    try {
        fileio::WriteReplacing(fileName, [&](fileio::TextWriter& out) {
            fileio::PutDriverTitles(out, DriverCount, Drivers);
            driverarray values = Drivers;
            for (const DriverRecord& r : records) {
                for (int i = 1; i <= DriverCount; ++i) values[i].Value = r.Value[i];
                fileio::PutDriverRecord(out, r.Time, DriverCount, values);
            }
        });
    } catch (const EInOutError& e) {
        throw ImportError(fileName + ": " + e.what());
    }
}

}  // namespace drivers
