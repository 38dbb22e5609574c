#pragma once

#include "QRCode/generators/GeneratorRegistry.h"

#include <gtest/gtest.h>

#include <ostream>
#include <span>
#include <string>
#include <utility>
#include <vector>

// One shape family as the shared registry suite checks it: which registry,
// the family's own class list (when it has one) and every class's Name and
// Title in that list's order. Each family's suite instantiates ShapeFamily
// with its data; the checks live in RegisteredShapesTest.cpp.
namespace shapefamilytest {

enum class Kind { pixel, eye, pupil };

struct Family {
    std::string label;
    Kind kind;
    std::vector<std::pair<std::string, std::string>> classes;
    // The family's class list as its module hands it to the registry; empty
    // when the family is the whole registry.
    std::vector<std::pair<std::string, std::string>> listed;
};

// Names and titles of a class list.
template <class Generator>
std::vector<std::pair<std::string, std::string>> namesAndTitles(
    std::span<const QRCode::GeneratorClass<Generator>> list) {
    std::vector<std::pair<std::string, std::string>> out;
    for (const auto& type : list) out.emplace_back(type.name, type.title);
    return out;
}

class ShapeFamily : public testing::TestWithParam<Family> {};

inline void PrintTo(const Family& family, std::ostream* os) { *os << family.label; }

inline std::string familyLabel(const testing::TestParamInfo<Family>& info) { return info.param.label; }

} // namespace shapefamilytest
