#pragma once

#include "design/Design.h"

// Members as the tests write them: areas in cm², lengths in cm.
namespace tresol::design::fixtures {

inline Member member(MemberKind kind, double area, double cover, double width, double height,
                     double multiple, const char* series = "Euro") {
    Member m;
    m.kind = kind;
    m.series = series;
    m.areaCm2 = area;
    m.coverCm = cover;
    m.widthCm = width;
    m.heightCm = height;
    m.multiple = multiple;
    return m;
}

inline Member beam(double area, double cover, double width, double height, double multiple = 1,
                   const char* series = "Euro") {
    return member(MemberKind::Beam, area, cover, width, height, multiple, series);
}

} // namespace tresol::design::fixtures
