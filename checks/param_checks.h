// Checks of a parameter file and of the parameter values in force that the
// reader cannot make: lines out of place, values the 25-character name field
// cut or swallowed, a file that ends early, and parameters whose order the
// equations need (field capacity above wilting point). Warnings, not
// refusals: the file format allows all of it.
#pragma once

#include <string>
#include <vector>

// Warnings about a parameter file of this model (its header already read):
// lines whose name differs from the catalogue's name at that position, lines
// whose value the name field ended inside or took in whole (with the value
// as read and the text taken for the name), and a file that ends before
// every value. `subject` names the file in the texts.
std::vector<std::string> ParamFileWarnings(const std::string& fileName, const std::string& subject);

// Pairs of parameters in `Params` that the equations need in one order
// (field capacity Wf above wilting point Ww, optimum temperatures below
// their maxima, degree days of a season starting before they stop).
// `subject` names where the values come from.
std::vector<std::string> ParamOrderWarnings(const std::string& subject);
