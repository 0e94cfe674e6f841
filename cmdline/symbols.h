// Variables of the catalogue named on the command line. A symbol that the
// catalogue gives to more than one entry (the driver and the process "Ts",
// the two processes "RrmetL", the three "none") is qualified wherever it is
// written, as SYM.KINDINDEX ("Ts.driver4", "RrmetL.process100"), and the
// qualified form is taken wherever a symbol is.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

enum class VarKind { Driver, State, Derivative, Process, Parameter };

struct Variable {
    VarKind kind;
    int index;  // in its table, from 1
    bool operator==(const Variable&) const = default;
};

// Insertions, deletions, substitutions and swaps of two neighbours that make
// b of a: the distance of every suggestion for a mistyped name.
std::size_t EditDistance(std::string_view a, std::string_view b);
// The same regardless of letter case.
std::size_t EditDistanceIgnoringCase(std::string_view a, std::string_view b);

// A name that could be meant for `wanted`, and how it is shown ("Ts" shown
// as "Ts.driver4").
struct Candidate {
    std::string Text, Shown;
};
// The one suggestion rule for mistyped names: the candidates with the same
// letters in another case, or one or two edits apart (one for names of up
// to five letters), nearest first, at most three. "" when none is near,
// else "; did you mean A, B or C?".
std::string DidYouMean(std::string_view wanted, const std::vector<Candidate>& candidates);

const char* KindName(VarKind kind);  // "driver", "state", ...
std::string SymbolOf(Variable v);
// The symbol, qualified when another entry of the catalogue shares it.
std::string QualifiedSymbol(Variable v);

// Every entry of the catalogue, in the order of --list-variables: states,
// derivatives, processes, parameters by owning process, drivers.
std::vector<Variable> Catalogue();

// The variable `text` names among the kinds allowed. Throws std::invalid_argument
// with the reason: an unknown symbol (with the nearest symbols as
// suggestions), a symbol of another kind ("mF is a parameter; --hold takes
// state variables", where `takes` is "--hold takes state variables"), or a
// symbol shared by several entries without its qualification.
Variable FindVariable(std::string_view text, std::initializer_list<VarKind> allowed, const std::string& takes);
