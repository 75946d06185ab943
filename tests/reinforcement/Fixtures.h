#pragma once

#include "reinforcement/Cdiametro.h"
#include "reinforcement/CodeSearch.h"

#include <memory>
#include <string>

namespace tresol::fixtures {

// The design window's catalogue of a series, in metres, as sections and searches share it.
inline std::shared_ptr<Cdiametro> windowCatalogue(const char* series) {
    auto c = std::make_shared<Cdiametro>();
    c->Ini(series, "m");
    return c;
}

} // namespace tresol::fixtures

// Members and options of the code searches as the tests write them: areas in cm², lengths in cm,
// bars and links in mm.
namespace tresol::code::fixtures {

inline Cdiametro catalogue(const char* series) {
    Cdiametro c;
    c.IniCodeSizes(series);
    return c;
}

inline Member beam(double area, double cover, double width, double height, double link = 0) {
    Member m;
    m.areaCm2 = area;
    m.coverCm = cover;
    m.widthCm = width;
    m.heightCm = height;
    m.linkMm = link;
    return m;
}

inline Member column(double area, double cover, double width, std::int32_t sides, double height = 0,
                     double link = 0) {
    Member m = beam(area, cover, width, height, link);
    m.column = true;
    m.sides = sides;
    return m;
}

inline Options options(Code c, std::int32_t top = 0, double aggregate = 20) {
    Options o;
    o.code = c;
    o.top = top;
    o.aggregateMm = aggregate;
    return o;
}

inline const Arrangement* find(const Result& r, const std::string& line) {
    for (const auto& a : r.arrangements)
        if (a.line == line)
            return &a;
    return nullptr;
}

} // namespace tresol::code::fixtures
