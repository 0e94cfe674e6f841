// The results of a design's members from a function of their values.
#pragma once

#include <map>
#include <string>

#include "sensitivity/design.h"

namespace sensitivity_test {

template <class F>
std::map<std::string, double> RunAll(const sensitivity::Design& design, F f) {
    std::map<std::string, double> y;
    for (const sensitivity::Member& m : design.Members) y[m.Id] = f(m.Values);
    return y;
}

}  // namespace sensitivity_test
