#pragma once

#include "drawing/ICuadro.h"
#include "platform/BoundedArray.h"

#include <gmock/gmock.h>

#include <array>
#include <initializer_list>
#include <vector>

namespace tresol::test {

inline PointArray points(std::initializer_list<std::array<float, 2>> rows) {
    PointArray p = makePointArray(static_cast<std::int32_t>(rows.size()));
    std::int32_t i = 0;
    for (const auto& r : rows) {
        ++i;
        p(i, 1) = r[0];
        p(i, 2) = r[1];
    }
    return p;
}

inline std::vector<std::array<float, 2>> rowsOf(const PointArray& p) {
    std::vector<std::array<float, 2>> out;
    for (std::int32_t i = 1; i <= p.upper(1); ++i)
        out.push_back({p(i, 1), p(i, 2)});
    return out;
}

inline std::vector<float> valuesOf(const Array1<float>& a) {
    std::vector<float> out;
    for (std::int32_t i = 1; i <= a.upper(); ++i)
        out.push_back(a(i));
    return out;
}

using A = const Array1<float>&;
using P = const PointArray&;
using OB = std::optional<bool>;
using OC = std::optional<std::int16_t>;

class MockCuadro : public ICuadro {
public:
    MOCK_METHOD(bool, bolita, (float, float, float, std::optional<float>, OC), (override));
    MOCK_METHOD(void, PoneText,
                (float, float, float, const std::string&, std::optional<float>, OB, OB),
                (override));
    MOCK_METHOD(void, MargenSinPic, (float, float, float, float), (override));
    MOCK_METHOD(void, Margen, (DrawingTarget&, float, float, float, float), (override));
    MOCK_METHOD(void, escala, (float), (override));
    MOCK_METHOD(void, PoneQBColor, (std::int16_t), (override));
    MOCK_METHOD(bool, DibuUnePtos2D, (P, P, OB), (override));
    MOCK_METHOD(bool, DibuGener, (std::int32_t, P, DrawingTarget*, OB), (override));
    MOCK_METHOD(void, DibuGener2, (std::int32_t, A, A, DrawingTarget*, OC, OB), (override));
    MOCK_METHOD(void, DibuGener3, (std::int32_t, A, A, A, OC, OB), (override));
    MOCK_METHOD(bool, Iniciado, (), (const, override));
    MOCK_METHOD(void, Iniciado, (bool), (override));
    MOCK_METHOD(void, Borra, (), (override));
    MOCK_METHOD(float, MinX, (), (const, override));
    MOCK_METHOD(float, MaxX, (), (const, override));
    MOCK_METHOD(float, MinY, (), (const, override));
    MOCK_METHOD(float, MaxY, (), (const, override));
    MOCK_METHOD(void, DibuGener3D, (std::int32_t, P, A, bool), (override));
    MOCK_METHOD(void, DibuUnePtos3D, (P, P, A, A), (override));
    MOCK_METHOD(void, MaxMinMargenNoPic, (P, std::int16_t), (override));
};

} // namespace tresol::test
