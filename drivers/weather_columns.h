// What the columns of a weather file hold: the one table of the names and
// units by which a column is recognised, and the conversion of its values
// into the units of the model's drivers.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace drivers {

// The quantities a column can hold: the model's 18 drivers by their position
// in the driver table, then the air temperature of sub-daily records (whose
// daily maximum and minimum become Tamax and Tamin) and the total nitrogen
// deposition (split into DNH4 and DNO3).
enum class Field : int {
    Ca = 1,
    Tamax,
    Tamin,
    Ts,
    Ppt,
    II,
    DNH4,
    DNO3,
    DlambdaCF,
    DlambdaCSW,
    DlambdaCHW,
    DlambdaCR,
    DlambdaNF,
    DlambdaNSW,
    DlambdaNHW,
    DlambdaNR,
    DNnh4,
    DNno3,
    Ta,
    Ndep,
};
inline constexpr int FieldCount = 20;
inline constexpr int DriverCount = 18;
// The drivers 9..18 are "not measured" (-1) unless a column gives them.
inline constexpr int FirstOverrideDriver = 9;

enum class Unit {
    DegC,
    Kelvin,
    DegF,  // temperatures
    Mm,
    Inch,  // precipitation per record
    MJPerDay,
    WattsPerM2,
    MJPerRecord,  // shortwave
    KgNPerHaYear,
    GNPerM2Day,  // deposition and the override fluxes
    GNPerM2,     // soil nitrogen overrides
    Ppm,
};

// The symbol by which options and reports name a field ("Tamax", "Ta", "Ndep").
std::string_view FieldSymbol(Field field);
std::optional<Field> FieldOfSymbol(std::string_view symbol);
// How a report and an exported file write a unit ("degC", "MJ m-2 day-1").
std::string_view UnitText(Unit unit);

// The unit a field's column has when its header names none.
Unit DefaultUnit(Field field);
// A unit text as headers and --column write it ("°C", "degC", "K", "W/m2",
// "MJ m-2 day-1", "kg N ha-1 yr-1"...); nothing when it is unknown or not a
// unit of this field's kind.
std::optional<Unit> ParseUnit(Field field, std::string_view text);
// The units a field's column may have, for a refusal.
std::string KnownUnits(Field field);

// A column header split into its name and the unit written beside it
// ("Tmax (°C)", "TA_F [degC]"); the unit is empty when none is written.
struct HeaderText {
    std::string Name;
    std::string Unit;
};
HeaderText SplitHeader(std::string_view header);

// The field a column of this name holds by the common names of station and
// tower files, with the unit such files use; nothing for other names.
struct KnownColumn {
    Field What;
    Unit DefaultUnit;
};
std::optional<KnownColumn> RecogniseColumn(std::string_view name);

// Names of date columns.
enum class DateColumn { None, Date, Year, DayOfYear };
DateColumn RecogniseDateColumn(std::string_view name);

// A value in the unit of the model's driver. Shortwave per record becomes a
// daily rate through the records per day; precipitation stays per record (the
// day's records are summed).
double ToModelUnit(Unit unit, double value, double recordsPerDay);

}  // namespace drivers
