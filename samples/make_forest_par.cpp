// make_forest_par: builds a parameter file from a table of values by symbol.
//
//   make_forest_par VALUES.tsv OUTPUT.par
//
// The table format is described in value_table.h.
#include <exception>
#include <fstream>
#include <iostream>
#include <string>

#include "core/stypes.h"
#include "fileio/fileio.h"
#include "model/equations.h"
#include "samples/value_table.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: make_forest_par VALUES.tsv OUTPUT.par\n";
        return 2;
    }
    const std::string valuesFile = argv[1], outputFile = argv[2];
    try {
        DefineModel();
        std::ifstream in(valuesFile, std::ios::binary);
        if (!in) throw ValueTableError(valuesFile + ": cannot be opened");
        LoadValueTable(in, valuesFile, States, Params);
        WriteParamFile(outputFile, ModelDef.NumParams, Params, ModelDef.NumStates, States);
    } catch (const ValueTableError& e) {
        std::cerr << "make_forest_par: " << e.what() << "\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "make_forest_par: " << outputFile << ": " << e.what() << "\n";
        return 1;
    }
    return 0;
}
