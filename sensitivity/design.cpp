#include "sensitivity/design.h"

#include <algorithm>
#include <boost/random/sobol.hpp>
#include <charconv>
#include <cmath>
#include <istream>
#include <map>
#include <ostream>
#include <random>
#include <sstream>

#include "fileio/csv.h"

namespace sensitivity {

using fileio::CsvField;
using fileio::ParseDouble;
using fileio::ReadCsvRecord;

namespace {

std::string Place(const std::string& fileName, int line) { return fileName + " line " + std::to_string(line); }

void AddMember(Design& design, int group, std::string role, std::vector<double> values) {
    design.Members.push_back(
        {std::to_string(design.Members.size() + 1), group, std::move(role), std::move(values)});
}

}  // namespace

const char* MethodName(Method method) {
    switch (method) {
        case Method::Oat: return "oat";
        case Method::Morris: return "morris";
        case Method::Sobol: return "sobol";
    }
    return "";
}

double ValueAt(const Factor& f, double u) {
    if (f.Log) return std::exp(std::log(f.Low) + u * (std::log(f.High) - std::log(f.Low)));
    return f.Low + u * (f.High - f.Low);
}

double Centre(const Factor& f) { return f.Log ? std::sqrt(f.Low * f.High) : (f.Low + f.High) / 2; }

Design OatDesign(std::vector<Factor> factors, double delta) {
    Design design{Method::Oat, std::move(factors), {}};
    std::vector<double> base;
    for (const Factor& f : design.Factors) base.push_back(Centre(f));
    AddMember(design, 0, "base", base);
    for (std::size_t i = 0; i < design.Factors.size(); ++i) {
        for (const double sign : {-1.0, 1.0}) {
            std::vector<double> values = base;
            values[i] = base[i] * (1 + sign * delta);
            AddMember(design, static_cast<int>(i) + 1, (sign < 0 ? "minus:" : "plus:") + design.Factors[i].Symbol,
                      std::move(values));
        }
    }
    return design;
}

Design MorrisDesign(std::vector<Factor> factors, int trajectories, int levels, std::uint64_t seed) {
    Design design{Method::Morris, std::move(factors), {}};
    const std::size_t k = design.Factors.size();
    const double step = levels / (2.0 * (levels - 1));
    // Grid levels a move of one step keeps inside [0, 1].
    const int lowLevels = levels / 2;
    std::mt19937_64 random(seed);
    std::uniform_int_distribution<int> level(0, lowLevels - 1);
    std::bernoulli_distribution up(0.5);
    for (int t = 1; t <= trajectories; ++t) {
        std::vector<double> u(k);
        std::vector<bool> rising(k);
        for (std::size_t i = 0; i < k; ++i) {
            rising[i] = up(random);
            const double start = level(random) / double(levels - 1);
            u[i] = rising[i] ? start : 1.0 - start;
        }
        std::vector<std::size_t> order(k);
        for (std::size_t i = 0; i < k; ++i) order[i] = i;
        std::shuffle(order.begin(), order.end(), random);
        const auto values = [&design, &u] {
            std::vector<double> v;
            for (std::size_t i = 0; i < u.size(); ++i) v.push_back(ValueAt(design.Factors[i], u[i]));
            return v;
        };
        AddMember(design, t, "start", values());
        for (const std::size_t i : order) {
            u[i] += rising[i] ? step : -step;
            AddMember(design, t, "step:" + design.Factors[i].Symbol, values());
        }
    }
    return design;
}

Design SobolDesign(std::vector<Factor> factors, int samples, std::uint64_t seed) {
    Design design{Method::Sobol, std::move(factors), {}};
    const std::size_t k = design.Factors.size();
    boost::random::sobol sequence(2 * k);
    std::mt19937_64 random(seed);
    // The sequence's values fill 64 bits; the shift randomises every bit.
    std::vector<std::uint64_t> shift(2 * k);
    for (auto& s : shift) s = random();
    sequence.discard(2 * k);  // the first point is all zeros
    std::vector<double> point(2 * k);
    for (int b = 1; b <= samples; ++b) {
        for (std::size_t j = 0; j < 2 * k; ++j)
            point[j] = (static_cast<double>((static_cast<std::uint64_t>(sequence()) ^ shift[j]) >> 11) + 0.5) /
                       9007199254740992.0;  // 53 bits, centred in their cell: never 0 or 1
        std::vector<double> a(k), bv(k);
        for (std::size_t i = 0; i < k; ++i) {
            a[i] = ValueAt(design.Factors[i], point[i]);
            bv[i] = ValueAt(design.Factors[i], point[k + i]);
        }
        AddMember(design, b, "A", a);
        AddMember(design, b, "B", bv);
        for (std::size_t i = 0; i < k; ++i) {
            std::vector<double> ab = a;
            ab[i] = bv[i];
            AddMember(design, b, "AB:" + design.Factors[i].Symbol, std::move(ab));
        }
    }
    return design;
}

void WriteDesign(const Design& design, std::ostream& out) {
    out << "# method " << MethodName(design.Kind) << "\r\n";
    for (const Factor& f : design.Factors)
        out << "# factor " << f.Symbol << ' ' << fileio::ExactText(f.Low) << ' ' << fileio::ExactText(f.High) << (f.Log ? " log" : "")
            << "\r\n";
    out << "member,group,role";
    for (const Factor& f : design.Factors) out << ',' << CsvField(f.Symbol);
    out << "\r\n";
    for (const Member& m : design.Members) {
        out << CsvField(m.Id) << ',' << m.Group << ',' << CsvField(m.Role);
        for (const double v : m.Values) out << ',' << fileio::ExactText(v);
        out << "\r\n";
    }
}

Design ReadDesign(std::istream& in, const std::string& fileName) {
    Design design;
    bool haveMethod = false, haveHeader = false;
    std::map<std::string, int> ids;
    std::vector<std::string> fields;
    int line = 0, first = 0;
    while (in.peek() == '#') {
        std::string text;
        std::getline(in, text);
        ++line;
        if (!text.empty() && text.back() == '\r') text.pop_back();
        std::istringstream words(text.substr(1));
        std::string what;
        words >> what;
        if (what == "method") {
            std::string name;
            words >> name;
            if (name == "oat") design.Kind = Method::Oat;
            else if (name == "morris") design.Kind = Method::Morris;
            else if (name == "sobol") design.Kind = Method::Sobol;
            else throw InputError(Place(fileName, line) + ": unknown method '" + name + "'");
            haveMethod = true;
        } else if (what == "factor") {
            Factor f;
            std::string low, high, log;
            words >> f.Symbol >> low >> high >> log;
            if (!ParseDouble(low, f.Low) || !ParseDouble(high, f.High) || (!log.empty() && log != "log"))
                throw InputError(Place(fileName, line) + ": a factor line is '# factor SYMBOL LOW HIGH [log]'");
            f.Log = log == "log";
            design.Factors.push_back(f);
        }
    }
    if (!haveMethod) throw InputError(fileName + ": not a design file (no '# method' line)");
    while (ReadCsvRecord(in, fields, line, first)) {
        if (fields.size() == 1 && fields[0].empty()) continue;
        if (!haveHeader) {
            haveHeader = true;
            const std::size_t expected = 3 + design.Factors.size();
            if (fields.size() != expected || fields[0] != "member" || fields[1] != "group" || fields[2] != "role")
                throw InputError(Place(fileName, first) + ": the header must be member,group,role and the " +
                                 std::to_string(design.Factors.size()) + " factors");
            for (std::size_t i = 0; i < design.Factors.size(); ++i)
                if (fields[3 + i] != design.Factors[i].Symbol)
                    throw InputError(Place(fileName, first) + ", column " + std::to_string(4 + i) + ": '" +
                                     fields[3 + i] + "' where the factor lines have '" + design.Factors[i].Symbol +
                                     "'");
            continue;
        }
        if (fields.size() != 3 + design.Factors.size())
            throw InputError(Place(fileName, first) + ": " + std::to_string(fields.size()) + " fields where the header has " +
                             std::to_string(3 + design.Factors.size()));
        Member m;
        m.Id = fields[0];
        if (m.Id.empty()) throw InputError(Place(fileName, first) + ", column 1: the member id is empty");
        if (!ids.emplace(m.Id, first).second)
            throw InputError(Place(fileName, first) + ", column 1: member '" + m.Id + "' is also on line " +
                             std::to_string(ids[m.Id]));
        double group = 0;
        if (!ParseDouble(fields[1], group) || group != std::floor(group))
            throw InputError(Place(fileName, first) + ", column 2: '" + fields[1] + "' is not a whole number");
        m.Group = static_cast<int>(group);
        m.Role = fields[2];
        for (std::size_t i = 0; i < design.Factors.size(); ++i) {
            double v = 0;
            if (!ParseDouble(fields[3 + i], v))
                throw InputError(Place(fileName, first) + ", column " + std::to_string(4 + i) + " (" +
                                 design.Factors[i].Symbol + "): '" + fields[3 + i] + "' is not a number");
            m.Values.push_back(v);
        }
        design.Members.push_back(std::move(m));
    }
    if (!haveHeader) throw InputError(fileName + ": no header line");
    return design;
}

}  // namespace sensitivity
