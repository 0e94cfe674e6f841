#include "drivers/weather_columns.h"

#include <array>
#include <cctype>

#include "drivers/calendar.h"

namespace drivers {

namespace {

constexpr std::array<std::string_view, FieldCount> Symbols = {
    "Ca",         "Tamax",     "Tamin",      "Ts",         "Ppt",       "II",        "DNH4",
    "DNO3",       "DlambdaCF", "DlambdaCSW", "DlambdaCHW", "DlambdaCR", "DlambdaNF", "DlambdaNSW",
    "DlambdaNHW", "DlambdaNR", "DNnh4",      "DNno3",      "Ta",        "Ndep"};

enum class Kind { Temperature, Length, Shortwave, Flux, Stock, Concentration };

Kind KindOf(Field field) {
    switch (field) {
        case Field::Tamax:
        case Field::Tamin:
        case Field::Ts:
        case Field::Ta:
            return Kind::Temperature;
        case Field::Ppt:
            return Kind::Length;
        case Field::II:
            return Kind::Shortwave;
        case Field::Ca:
            return Kind::Concentration;
        case Field::DNnh4:
        case Field::DNno3:
            return Kind::Stock;
        default:
            return Kind::Flux;
    }
}

Kind KindOf(Unit unit) {
    switch (unit) {
        case Unit::DegC:
        case Unit::Kelvin:
        case Unit::DegF:
            return Kind::Temperature;
        case Unit::Mm:
        case Unit::Inch:
            return Kind::Length;
        case Unit::MJPerDay:
        case Unit::WattsPerM2:
        case Unit::MJPerRecord:
            return Kind::Shortwave;
        case Unit::KgNPerHaYear:
        case Unit::GNPerM2Day:
            return Kind::Flux;
        case Unit::GNPerM2:
            return Kind::Stock;
        case Unit::Ppm:
            return Kind::Concentration;
    }
    return Kind::Flux;
}

// Unit texts after Squeeze, with the unit they name.
struct UnitName {
    std::string_view Text;
    Unit What;
};
constexpr UnitName UnitNames[] = {
    {"degc", Unit::DegC},
    {"c", Unit::DegC},
    {"oc", Unit::DegC},
    {"celsius", Unit::DegC},
    {"k", Unit::Kelvin},
    {"kelvin", Unit::Kelvin},
    {"degf", Unit::DegF},
    {"f", Unit::DegF},
    {"of", Unit::DegF},
    {"fahrenheit", Unit::DegF},
    {"mm", Unit::Mm},
    {"mmday-1", Unit::Mm},
    {"mm/day", Unit::Mm},
    {"mm/d", Unit::Mm},
    {"mmd-1", Unit::Mm},
    {"mmh2oday-1", Unit::Mm},
    {"in", Unit::Inch},
    {"inch", Unit::Inch},
    {"inches", Unit::Inch},
    {"mjm-2day-1", Unit::MJPerDay},
    {"mjm-2d-1", Unit::MJPerDay},
    {"mj/m2/day", Unit::MJPerDay},
    {"mj/m2/d", Unit::MJPerDay},
    {"mjm-2/day", Unit::MJPerDay},
    {"wm-2", Unit::WattsPerM2},
    {"w/m2", Unit::WattsPerM2},
    {"mjm-2", Unit::MJPerRecord},
    {"mj/m2", Unit::MJPerRecord},
    {"kgnha-1yr-1", Unit::KgNPerHaYear},
    {"kgn/ha/yr", Unit::KgNPerHaYear},
    {"kg/ha/yr", Unit::KgNPerHaYear},
    {"kgnha-1a-1", Unit::KgNPerHaYear},
    {"gnm-2day-1", Unit::GNPerM2Day},
    {"gnm-2d-1", Unit::GNPerM2Day},
    {"gm-2day-1", Unit::GNPerM2Day},
    {"g/m2/day", Unit::GNPerM2Day},
    {"gcm-2day-1", Unit::GNPerM2Day},
    {"gnm-2", Unit::GNPerM2},
    {"g/m2", Unit::GNPerM2},
    {"ppm", Unit::Ppm},
    {"umol/mol", Unit::Ppm},
    {"umolmol-1", Unit::Ppm},
};

// Column names after Squeeze, with what they hold.
struct ColumnName {
    std::string_view Text;
    Field What;
    Unit Default;
};
constexpr ColumnName ColumnNames[] = {
    {"tamax", Field::Tamax, Unit::DegC},
    {"tmax", Field::Tamax, Unit::DegC},
    {"temp_max", Field::Tamax, Unit::DegC},
    {"t_max", Field::Tamax, Unit::DegC},
    {"max_temp", Field::Tamax, Unit::DegC},
    {"tasmax", Field::Tamax, Unit::DegC},
    {"temperature_max", Field::Tamax, Unit::DegC},
    {"maximum_temperature", Field::Tamax, Unit::DegC},
    {"tx", Field::Tamax, Unit::DegC},
    {"ta_max", Field::Tamax, Unit::DegC},
    {"air_temp_max", Field::Tamax, Unit::DegC},
    {"tamin", Field::Tamin, Unit::DegC},
    {"tmin", Field::Tamin, Unit::DegC},
    {"temp_min", Field::Tamin, Unit::DegC},
    {"t_min", Field::Tamin, Unit::DegC},
    {"min_temp", Field::Tamin, Unit::DegC},
    {"tasmin", Field::Tamin, Unit::DegC},
    {"temperature_min", Field::Tamin, Unit::DegC},
    {"minimum_temperature", Field::Tamin, Unit::DegC},
    {"tn", Field::Tamin, Unit::DegC},
    {"ta_min", Field::Tamin, Unit::DegC},
    {"air_temp_min", Field::Tamin, Unit::DegC},
    {"ta", Field::Ta, Unit::DegC},
    {"ta_f", Field::Ta, Unit::DegC},
    {"tair", Field::Ta, Unit::DegC},
    {"t_air", Field::Ta, Unit::DegC},
    {"air_temperature", Field::Ta, Unit::DegC},
    {"air_temp", Field::Ta, Unit::DegC},
    {"temperature", Field::Ta, Unit::DegC},
    {"temp", Field::Ta, Unit::DegC},
    {"tas", Field::Ta, Unit::DegC},
    {"ts", Field::Ts, Unit::DegC},
    {"ts_f", Field::Ts, Unit::DegC},
    {"ts_f_mds_1", Field::Ts, Unit::DegC},
    {"tsoil", Field::Ts, Unit::DegC},
    {"t_soil", Field::Ts, Unit::DegC},
    {"soil_temp", Field::Ts, Unit::DegC},
    {"soil_temperature", Field::Ts, Unit::DegC},
    {"ppt", Field::Ppt, Unit::Mm},
    {"p", Field::Ppt, Unit::Mm},
    {"p_f", Field::Ppt, Unit::Mm},
    {"precip", Field::Ppt, Unit::Mm},
    {"precipitation", Field::Ppt, Unit::Mm},
    {"prcp", Field::Ppt, Unit::Mm},
    {"prec", Field::Ppt, Unit::Mm},
    {"pr", Field::Ppt, Unit::Mm},
    {"rain", Field::Ppt, Unit::Mm},
    {"rainfall", Field::Ppt, Unit::Mm},
    {"ii", Field::II, Unit::MJPerDay},
    {"sw_in_f", Field::II, Unit::WattsPerM2},
    {"sw_in", Field::II, Unit::WattsPerM2},
    {"sw_in_f_mds", Field::II, Unit::WattsPerM2},
    {"rg", Field::II, Unit::WattsPerM2},
    {"rsds", Field::II, Unit::WattsPerM2},
    {"shortwave", Field::II, Unit::MJPerDay},
    {"radiation", Field::II, Unit::MJPerDay},
    {"solar_radiation", Field::II, Unit::MJPerDay},
    {"global_radiation", Field::II, Unit::MJPerDay},
    {"rs", Field::II, Unit::MJPerDay},
    {"ca", Field::Ca, Unit::Ppm},
    {"co2", Field::Ca, Unit::Ppm},
    {"co2_f_mds", Field::Ca, Unit::Ppm},
    {"ndep", Field::Ndep, Unit::KgNPerHaYear},
    {"n_deposition", Field::Ndep, Unit::KgNPerHaYear},
    {"dnh4", Field::DNH4, Unit::GNPerM2Day},
    {"nh4_deposition", Field::DNH4, Unit::GNPerM2Day},
    {"dno3", Field::DNO3, Unit::GNPerM2Day},
    {"no3_deposition", Field::DNO3, Unit::GNPerM2Day},
};

// Lower case without blanks, degree signs (UTF-8 or Latin-1) and carets, so
// that "MJ m^-2 day^-1", "°C" and "deg C" read as "mjm-2day-1", "c", "degc".
std::string Squeeze(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0xB0) {
            ++i;
            continue;
        }
        if (c == 0xB0 || c == ' ' || c == '^' || c == '\t') continue;
        out += static_cast<char>(std::tolower(c));
    }
    return out;
}

// Column names compare with blanks, points and hyphens as underscores.
std::string NameKey(std::string_view name) {
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if (c == ' ' || c == '.' || c == '-')
            out += '_';
        else if (c != '"')
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    while (!out.empty() && out.back() == '_') out.pop_back();
    while (!out.empty() && out.front() == '_') out.erase(out.begin());
    return out;
}

}  // namespace

std::string_view FieldSymbol(Field field) { return Symbols[static_cast<int>(field) - 1]; }

std::optional<Field> FieldOfSymbol(std::string_view symbol) {
    for (int i = 0; i < FieldCount; ++i)
        if (Symbols[i] == symbol) return static_cast<Field>(i + 1);
    return std::nullopt;
}

std::string_view UnitText(Unit unit) {
    switch (unit) {
        case Unit::DegC:
            return "degC";
        case Unit::Kelvin:
            return "K";
        case Unit::DegF:
            return "degF";
        case Unit::Mm:
            return "mm";
        case Unit::Inch:
            return "inch";
        case Unit::MJPerDay:
            return "MJ m-2 day-1";
        case Unit::WattsPerM2:
            return "W m-2";
        case Unit::MJPerRecord:
            return "MJ m-2";
        case Unit::KgNPerHaYear:
            return "kg N ha-1 yr-1";
        case Unit::GNPerM2Day:
            return "g N m-2 day-1";
        case Unit::GNPerM2:
            return "g N m-2";
        case Unit::Ppm:
            return "ppm";
    }
    return "";
}

Unit DefaultUnit(Field field) {
    switch (KindOf(field)) {
        case Kind::Temperature:
            return Unit::DegC;
        case Kind::Length:
            return Unit::Mm;
        case Kind::Shortwave:
            return Unit::MJPerDay;
        case Kind::Concentration:
            return Unit::Ppm;
        case Kind::Stock:
            return Unit::GNPerM2;
        case Kind::Flux:
            return field == Field::Ndep ? Unit::KgNPerHaYear : Unit::GNPerM2Day;
    }
    return Unit::DegC;
}

std::optional<Unit> ParseUnit(Field field, std::string_view text) {
    const std::string key = Squeeze(text);
    for (const UnitName& u : UnitNames)
        if (u.Text == key && KindOf(u.What) == KindOf(field)) return u.What;
    return std::nullopt;
}

std::string KnownUnits(Field field) {
    switch (KindOf(field)) {
        case Kind::Temperature:
            return "degC, K, degF";
        case Kind::Length:
            return "mm, inch";
        case Kind::Shortwave:
            return "MJ m-2 day-1, W m-2 (daily mean), MJ m-2 (per record)";
        case Kind::Concentration:
            return "ppm";
        case Kind::Stock:
            return "g N m-2";
        case Kind::Flux:
            return "kg N ha-1 yr-1, g N m-2 day-1";
    }
    return "";
}

HeaderText SplitHeader(std::string_view header) {
    while (!header.empty() && header.back() == ' ') header.remove_suffix(1);
    while (!header.empty() && header.front() == ' ') header.remove_prefix(1);
    if (!header.empty() && (header.back() == ')' || header.back() == ']')) {
        const char open = header.back() == ')' ? '(' : '[';
        const std::size_t at = header.rfind(open);
        if (at != std::string_view::npos && at > 0) {
            std::string_view name = header.substr(0, at);
            while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
            return {std::string(name), std::string(header.substr(at + 1, header.size() - at - 2))};
        }
    }
    return {std::string(header), ""};
}

std::optional<KnownColumn> RecogniseColumn(std::string_view name) {
    const std::string key = NameKey(name);
    for (const ColumnName& c : ColumnNames)
        if (c.Text == key) return KnownColumn{c.What, c.Default};
    // The drivers' own symbols, as an exported file writes them.
    for (int i = FirstOverrideDriver; i <= DriverCount; ++i)
        if (Symbols[i - 1] == name) return KnownColumn{static_cast<Field>(i), DefaultUnit(static_cast<Field>(i))};
    return std::nullopt;
}

DateColumn RecogniseDateColumn(std::string_view name) {
    const std::string key = NameKey(name);
    for (const std::string_view n : {"date", "timestamp", "timestamp_start", "datetime", "date_time", "time", "day"})
        if (key == n) return DateColumn::Date;
    for (const std::string_view n : {"year", "yr", "yyyy"})
        if (key == n) return DateColumn::Year;
    for (const std::string_view n : {"doy", "yday", "day_of_year", "dayofyear", "jday", "julian_day"})
        if (key == n) return DateColumn::DayOfYear;
    return DateColumn::None;
}

double ToModelUnit(Unit unit, double value, double recordsPerDay) {
    switch (unit) {
        case Unit::Kelvin:
            return value - 273.15;
        case Unit::DegF:
            return (value - 32.0) * 5.0 / 9.0;
        case Unit::Inch:
            return value * 25.4;
        case Unit::WattsPerM2:
            return value * 0.0864;  // J s-1 over 86400 s, in MJ
        case Unit::MJPerRecord:
            return value * recordsPerDay;
        // Over the model year of 366 days, so that a year receives the annual amount.
        case Unit::KgNPerHaYear:
            return value * 0.1 / ModelYearDays;
        default:
            return value;
    }
}

}  // namespace drivers
