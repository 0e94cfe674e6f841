// make_drivers: writes a synthetic daily driver file for a temperate
// deciduous forest stand at mid latitudes.
//
//   make_drivers OUTPUT.drr [--years N] [--seed S] [--latitude DEG]
//
// One record per day at the times 0, 1, 2, ...; a model year has 366 days
// (the model starts a new year whenever the integral part of the time is a
// multiple of 366), so the day of the year is time mod 366 and day 0 is the
// first of January. The series is the same for the same seed on every
// machine: the random numbers come from our own generator, not from the
// standard library's distributions, whose algorithms differ between
// implementations.
//
// What the weather looks like:
// - daily mean air temperature about -4 oC in mid January and 20 oC in mid
//   July, with persistent day-to-day anomalies (AR(1), sd 3 oC);
// - a diurnal range of about 10 oC, wider on clear days, narrower on wet ones;
// - soil temperature lagged and damped: a running mean of the air
//   temperature, held near freezing in winter as under a snowpack;
// - shortwave radiation from the potential daily radiation at the latitude
//   times a sunshine-dependent transmission (about 5 MJ m-2 day-1 in
//   December to 21 in June, 30 on clear June days);
// - wet and dry days from a two-state Markov chain, about 140 wet days and
//   1000 mm a year; rain or snow is left to the model's own snow threshold;
// - atmospheric CO2 near 400 ppm, rising 2.2 ppm a year, with a 3 ppm
//   seasonal cycle;
// - nitrogen deposition about 0.8 g N m-2 yr-1, a dry part every day and a
//   wet part with the precipitation, 45 % ammonium and 55 % nitrate;
// - the ten override drivers (litterfall and soil nitrogen) missing (-1), so
//   the model computes those quantities itself.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <numbers>
#include <string>
#include <string_view>

#include "core/stypes.h"
#include "fileio/fileio.h"
#include "model/equations.h"

namespace {

constexpr double DaysPerModelYear = 366.0;
constexpr double TwoPi = 2.0 * std::numbers::pi;

// xoshiro256** seeded through splitmix64: small, fast and fully specified.
class Random {
public:
    explicit Random(std::uint64_t seed) {
        for (auto& s : state_) {
            seed += 0x9E3779B97F4A7C15ULL;
            std::uint64_t z = seed;
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
            s = z ^ (z >> 31);
        }
    }
    // Uniform on [0, 1), 53 random bits.
    double Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
    // Standard normal (Box-Muller, one value per call).
    double Normal() {
        const double u1 = 1.0 - Uniform();  // (0, 1]
        const double u2 = Uniform();
        return std::sqrt(-2.0 * std::log(u1)) * std::cos(TwoPi * u2);
    }

private:
    static std::uint64_t Rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
    std::uint64_t Next() {
        const std::uint64_t result = Rotl(state_[1] * 5, 7) * 9;
        const std::uint64_t t = state_[1] << 17;
        state_[2] ^= state_[0];
        state_[3] ^= state_[1];
        state_[1] ^= state_[2];
        state_[0] ^= state_[3];
        state_[2] ^= t;
        state_[3] = Rotl(state_[3], 45);
        return result;
    }
    std::uint64_t state_[4]{};
};

struct Settings {
    std::string OutputFile;
    int Years = 10;
    std::uint64_t Seed = 44;
    double Latitude = 44.0;
};

// Potential daily shortwave radiation (MJ m-2 day-1) at the latitude on the
// given day of the year, from the same declination, day length and radiation
// formulas the model uses for its snowpack, so that the model's relative
// sunshine reads back the transmission chosen here.
double PotentialRadiation(double latitudeDeg, double dayOfYear) {
    const double lat = std::numbers::pi * latitudeDeg / 180.0;
    const double decl = 0.40934952276275 * std::cos(TwoPi * (dayOfYear - 171.25) / 365.25);
    const double x = std::tan(decl) * std::tan(lat);
    double hours = 0.0;
    if (x < -1.0)
        hours = 0.0;
    else if (x > 1.0)
        hours = 24.0;
    else
        hours = 24.0 * std::acos(-x) / std::numbers::pi;
    return 117.5 * (std::sin(lat) * std::sin(decl) * hours / 24.0 +
                    std::cos(lat) * std::sin(std::numbers::pi * hours / 24.0) / std::numbers::pi);
}

struct DayWeather {
    double Ca, Tamax, Tamin, Ts, Ppt, II, DNH4, DNO3;
};

class WeatherGenerator {
public:
    WeatherGenerator(std::uint64_t seed, double latitude) : rng_(seed), latitude_(latitude) {}

    DayWeather Next(long day) {
        const double doy = std::fmod(static_cast<double>(day), DaysPerModelYear);
        const double years = static_cast<double>(day) / DaysPerModelYear;
        const double season = TwoPi * (doy - 20.0) / DaysPerModelYear;  // coldest about 20 January

        // Wet or dry day.
        const double pWet = wet_ ? 0.55 : 0.28;
        wet_ = rng_.Uniform() < pWet;
        double ppt = 0.0;
        if (wet_) {
            // Slightly heavier falls in summer; exponential amounts.
            const double mean = 7.2 * (1.0 + 0.15 * std::cos(TwoPi * (doy - 200.0) / DaysPerModelYear));
            ppt = -mean * std::log(1.0 - rng_.Uniform());
        }
        const double sunshine = wet_ ? 0.3 * rng_.Uniform() : 0.4 + 0.55 * rng_.Uniform();

        // Air temperature: seasonal mean, persistent anomaly, diurnal range.
        anomaly_ = 0.7 * anomaly_ + std::sqrt(1.0 - 0.7 * 0.7) * 3.0 * rng_.Normal();
        const double tmean = 8.0 - 12.0 * std::cos(season) + anomaly_;
        const double range = 5.0 + 9.0 * sunshine;
        const double tamax = tmean + 0.5 * range;
        const double tamin = tmean - 0.5 * range;

        // Soil: a ten-day running mean of a damped air temperature, kept
        // from freezing hard in winter.
        const double soilTarget = std::fmax(9.5 + 0.75 * (tmean - 8.0), -1.0);
        if (first_) {
            soil_ = 9.5 + 0.75 * (-12.0 * std::cos(season - TwoPi * 12.0 / DaysPerModelYear));
            first_ = false;
        }
        soil_ += (soilTarget - soil_) / 10.0;

        const double ii = PotentialRadiation(latitude_, doy) * (0.23 + 0.48 * sunshine);

        const double ca = 400.0 + 2.2 * years + 3.0 * std::cos(TwoPi * (doy - 130.0) / DaysPerModelYear);

        // Nitrogen deposition: 0.28 g N m-2 yr-1 dry, 0.52 g N per 1000 mm wet.
        const double dep = 0.28 / DaysPerModelYear + 0.00052 * ppt;

        return DayWeather{ca, tamax, tamin, soil_, ppt, ii, 0.45 * dep, 0.55 * dep};
    }

private:
    Random rng_;
    double latitude_;
    bool wet_ = false;
    bool first_ = true;
    double anomaly_ = 0.0;
    double soil_ = 0.0;
};

[[noreturn]] void Usage(std::string_view problem) {
    std::cerr << "make_drivers: " << problem << "\n"
              << "usage: make_drivers OUTPUT.drr [--years N] [--seed S] [--latitude DEG]\n";
    std::exit(2);
}

double NumberArgument(std::string_view option, const char* text) {
    std::string_view t(text);
    if (t.size() > 1 && t[0] == '+') t.remove_prefix(1);  // from_chars takes no plus sign
    double v = 0;
    const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (t.empty() || error != std::errc() || end != t.data() + t.size() || !std::isfinite(v))
        Usage("'" + std::string(text) + "' is not a number for " + std::string(option));
    return v;
}

Settings ParseArguments(int argc, char** argv) {
    Settings s;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--years" || arg == "--seed" || arg == "--latitude") {
            if (i + 1 >= argc) Usage(std::string(arg) + " needs a value");
            const double v = NumberArgument(arg, argv[++i]);
            if (arg == "--years") {
                if (v < 1 || v > 1000 || v != std::floor(v)) Usage("--years must be a whole number from 1 to 1000");
                s.Years = static_cast<int>(v);
            } else if (arg == "--seed") {
                if (v < 0 || v != std::floor(v) || v > 9007199254740992.0) Usage("--seed must be a whole number >= 0");
                s.Seed = static_cast<std::uint64_t>(v);
            } else {
                if (v < -66 || v > 66) Usage("--latitude must lie between -66 and 66 degrees");
                s.Latitude = v;
            }
        } else if (!arg.empty() && arg[0] == '-') {
            Usage("unknown option " + std::string(arg));
        } else if (s.OutputFile.empty()) {
            s.OutputFile = arg;
        } else {
            Usage("only one output file may be named");
        }
    }
    if (s.OutputFile.empty()) Usage("no output file named");
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    const Settings settings = ParseArguments(argc, argv);
    try {
        DefineModel();
        driverarray values = Drivers;
        OpenDriverFile(settings.OutputFile, ModelDef.NumDrivers, Drivers, true);
        WeatherGenerator weather(settings.Seed, settings.Latitude);
        const long days = static_cast<long>(settings.Years) * static_cast<long>(DaysPerModelYear);
        for (long day = 0; day < days; ++day) {
            const DayWeather w = weather.Next(day);
            const double record[] = {w.Ca, w.Tamax, w.Tamin, w.Ts, w.Ppt, w.II, w.DNH4, w.DNO3};
            for (int i = 1; i <= ModelDef.NumDrivers; ++i) values[i].Value = -1.0;  // overrides missing
            for (int i = 1; i <= 8; ++i) values[i].Value = record[i - 1];
            WriteDriverRecord(static_cast<double>(day), ModelDef.NumDrivers, values);
        }
        CloseDriverFile();
    } catch (const std::exception& e) {
        std::cerr << "make_drivers: " << settings.OutputFile << ": " << e.what() << "\n";
        return 1;
    }
    return 0;
}
