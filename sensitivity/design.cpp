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

Design Begun(Method kind, std::vector<Factor> factors) {
    Design design;
    design.Kind = kind;
    design.Factors = std::move(factors);
    return design;
}

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
    if (!(delta > 0 && delta < 1))
        throw InputError("--delta " + fileio::ExactText(delta) +
                         ": the one-at-a-time step must be above 0 and below 1");
    Design design = Begun(Method::Oat, std::move(factors));
    std::vector<double> base;
    for (const Factor& f : design.Factors) base.push_back(Centre(f));
    AddMember(design, 0, "base", base);
    for (std::size_t i = 0; i < design.Factors.size(); ++i) {
        const Factor& f = design.Factors[i];
        // A relative step from 0 would not move at all.
        const double step = base[i] != 0 ? base[i] * delta : (f.High - f.Low) * delta;
        if (base[i] == 0)
            design.Notes.push_back(f.Symbol + ": the centre of its range is 0, so it steps by " +
                                   fileio::ExactText(delta) + " of the range's width (" + fileio::ExactText(step) +
                                   ") instead");
        for (const double sign : {-1.0, 1.0}) {
            std::vector<double> values = base;
            values[i] = base[i] + sign * step;
            AddMember(design, static_cast<int>(i) + 1, (sign < 0 ? "minus:" : "plus:") + f.Symbol, std::move(values));
        }
    }
    return design;
}

Design MorrisDesign(std::vector<Factor> factors, int trajectories, int levels, std::uint64_t seed) {
    if (levels < 2 || levels % 2 != 0)
        throw InputError("--levels " + std::to_string(levels) +
                         ": the Morris grid needs an even number of levels, 2 or more");
    if (trajectories < 1)
        throw InputError("--samples " + std::to_string(trajectories) + ": Morris needs 1 trajectory or more");
    Design design = Begun(Method::Morris, std::move(factors));
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

std::vector<std::vector<double>> SobolPoints(std::size_t dimensions, std::size_t count) {
    boost::random::sobol sequence(dimensions);
    std::vector<std::vector<double>> points(count, std::vector<double>(dimensions));
    for (auto& point : points)
        for (double& x : point) x = static_cast<double>(sequence()) / 18446744073709551616.0;  // 2^64
    return points;
}

namespace {

// The top 52 bits of a 64-bit value as a share, centred in their cell: never
// 0 or 1, and exact (53 bits with the half).
double Share(std::uint64_t bits) { return (static_cast<double>(bits >> 12) + 0.5) / 4503599627370496.0; }

void AddBlock(Design& design, int group, const std::vector<double>& point) {
    const std::size_t k = design.Factors.size();
    std::vector<double> a(k), bv(k);
    for (std::size_t i = 0; i < k; ++i) {
        a[i] = ValueAt(design.Factors[i], point[i]);
        bv[i] = ValueAt(design.Factors[i], point[k + i]);
    }
    AddMember(design, group, "A", a);
    AddMember(design, group, "B", bv);
    for (std::size_t i = 0; i < k; ++i) {
        std::vector<double> ab = a;
        ab[i] = bv[i];
        AddMember(design, group, "AB:" + design.Factors[i].Symbol, std::move(ab));
    }
}

}  // namespace

Design SobolDesign(std::vector<Factor> factors, int samples, std::uint64_t seed, int replicates, bool random) {
    if (samples < 1)
        throw InputError("--samples " + std::to_string(samples) + ": Sobol needs 1 block or more in each replicate");
    if (replicates < 1) throw InputError("--replicates " + std::to_string(replicates) + ": 1 or more are needed");
    Design design = Begun(Method::Sobol, std::move(factors));
    design.Replicates = replicates;
    design.Random = random;
    const std::size_t dimensions = 2 * design.Factors.size();
    std::mt19937_64 draw(seed);
    std::vector<double> point(dimensions);
    int group = 0;
    for (int r = 0; r < replicates; ++r) {
        // Every replicate starts the sequence afresh at its first point,
        // (1/2, ..., 1/2), and XORs all 64 bits of it with its own shift.
        boost::random::sobol sequence(dimensions);
        std::vector<std::uint64_t> shift(dimensions);
        for (auto& s : shift) s = draw();
        for (int b = 0; b < samples; ++b) {
            for (std::size_t j = 0; j < dimensions; ++j)
                point[j] = Share(random ? draw() : static_cast<std::uint64_t>(sequence()) ^ shift[j]);
            AddBlock(design, ++group, point);
        }
    }
    if (replicates == 1 && !random)
        design.Notes.push_back(
            "one quasi-random replicate: its indices will have no 95 % intervals "
            "(--replicates 2 or more gives them)");
    return design;
}

Design MakeDesign(std::vector<Factor> factors, const DesignChoices& c) {
    if (c.Kind != Method::Sobol && (c.Replicates || c.Random))
        throw InputError(std::string(c.Random ? "--random" : "--replicates") + " applies to sobol designs only");
    if (c.Kind == Method::Oat && c.Samples) throw InputError("--samples applies to morris and sobol designs only");
    switch (c.Kind) {
        case Method::Oat:
            return OatDesign(std::move(factors), c.Delta);
        case Method::Morris:
            return MorrisDesign(std::move(factors), c.Samples.value_or(20), c.Levels, c.Seed);
        case Method::Sobol:
            break;
    }
    // By default about 512 blocks in all, however many replicates share them.
    const int replicates = c.Replicates.value_or(c.Random ? 1 : 8);
    return SobolDesign(std::move(factors), c.Samples.value_or(std::max(1, 512 / std::max(1, replicates))), c.Seed,
                       replicates, c.Random);
}

int BlocksPerReplicate(const Design& design) {
    int blocks = 0;
    for (const Member& m : design.Members) blocks = std::max(blocks, m.Group);
    return std::max(1, blocks / std::max(1, design.Replicates));
}

int ReplicateOf(const Design& design, int group, int blocksPerReplicate) {
    if (blocksPerReplicate < 1) blocksPerReplicate = BlocksPerReplicate(design);
    return std::clamp((group - 1) / blocksPerReplicate + 1, 1, std::max(1, design.Replicates));
}

void WriteDesign(const Design& design, std::ostream& out) {
    out << "# method " << MethodName(design.Kind) << "\r\n";
    if (design.Kind == Method::Sobol)
        out << "# replicates " << design.Replicates << "\r\n# sampling " << (design.Random ? "random" : "quasi")
            << "\r\n";
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

// One "# ..." line of a design file's head: its method, replicates, sampling or a factor.
static void ReadDesignComment(const std::string& text, const std::string& fileName, int line, Design& design,
                              bool& haveMethod) {
    std::istringstream words(text.substr(1));
    std::string what;
    words >> what;
    if (what == "method") {
        std::string name;
        words >> name;
        if (name == "oat")
            design.Kind = Method::Oat;
        else if (name == "morris")
            design.Kind = Method::Morris;
        else if (name == "sobol")
            design.Kind = Method::Sobol;
        else
            throw InputError(Place(fileName, line) + ": unknown method '" + name + "'");
        haveMethod = true;
    } else if (what == "replicates") {
        std::string count, rest;
        words >> count >> rest;
        double r = 0;
        if (!ParseDouble(count, r) || r < 1 || r != std::floor(r) || r > 1e6 || !rest.empty())
            throw InputError(Place(fileName, line) + ": a replicates line is '# replicates COUNT', COUNT 1 or more");
        design.Replicates = static_cast<int>(r);
    } else if (what == "sampling") {
        std::string how;
        words >> how;
        if (how != "quasi" && how != "random")
            throw InputError(Place(fileName, line) + ": the sampling is 'quasi' or 'random', not '" + how + "'");
        design.Random = how == "random";
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

// One member's row, checked against the header and the members before it.
static Member ReadMember(const std::vector<std::string>& fields, const Design& design, const std::string& fileName,
                         int first, std::map<std::string, int>& ids) {
    if (fields.size() != 3 + design.Factors.size())
        throw InputError(Place(fileName, first) + ": " + std::to_string(fields.size()) +
                         " fields where the header has " + std::to_string(3 + design.Factors.size()));
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
    return m;
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
        ReadDesignComment(text, fileName, line, design, haveMethod);
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
        design.Members.push_back(ReadMember(fields, design, fileName, first, ids));
    }
    if (!haveHeader) throw InputError(fileName + ": no header line");
    int blocks = 0;
    for (const Member& m : design.Members) blocks = std::max(blocks, m.Group);
    if (design.Kind == Method::Sobol && blocks % design.Replicates != 0)
        throw InputError(fileName + ": its " + std::to_string(blocks) + " blocks do not split into " +
                         std::to_string(design.Replicates) + " replicates of equal size");
    return design;
}

}  // namespace sensitivity
