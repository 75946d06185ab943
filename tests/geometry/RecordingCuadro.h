#pragma once

#include "drawing/ICuadro.h"

#include <gtest/gtest.h>

#include <vector>

namespace tresol {

// A drawing surface that keeps the polylines drawn through DibuGener2; any other call fails the
// test, since the geometry classes use no other operation.
class RecordingCuadro : public ICuadro {
public:
    struct Polyline {
        std::vector<float> x, y;
    };
    std::vector<Polyline> polylines;

    void DibuGener2(std::int32_t NP, const Array1<float>& x, const Array1<float>& y,
                    DrawingTarget*, std::optional<std::int16_t>, std::optional<bool>) override {
        Polyline line;
        for (std::int32_t i = 1; i <= NP; ++i) {
            line.x.push_back(x(i));
            line.y.push_back(y(i));
        }
        polylines.push_back(line);
    }

    bool bolita(float, float, float, std::optional<float>, std::optional<std::int16_t>) override {
        return unexpected();
    }
    void PoneText(float, float, float, const std::string&, std::optional<float>,
                  std::optional<bool>, std::optional<bool>) override {
        unexpected();
    }
    void MargenSinPic(float, float, float, float) override { unexpected(); }
    void Margen(DrawingTarget&, float, float, float, float) override { unexpected(); }
    void escala(float) override { unexpected(); }
    void PoneQBColor(std::int16_t) override { unexpected(); }
    bool DibuUnePtos2D(const PointArray&, const PointArray&, std::optional<bool>) override {
        return unexpected();
    }
    bool DibuGener(std::int32_t, const PointArray&, DrawingTarget*,
                   std::optional<bool>) override {
        return unexpected();
    }
    void DibuGener3(std::int32_t, const Array1<float>&, const Array1<float>&,
                    const Array1<float>&, std::optional<std::int16_t>,
                    std::optional<bool>) override {
        unexpected();
    }
    bool Iniciado() const override { return unexpected(); }
    void Iniciado(bool) override { unexpected(); }
    void Borra() override { unexpected(); }
    float MinX() const override { return unexpected(); }
    float MaxX() const override { return unexpected(); }
    float MinY() const override { return unexpected(); }
    float MaxY() const override { return unexpected(); }
    void DibuGener3D(std::int32_t, const PointArray&, const Array1<float>&, bool) override {
        unexpected();
    }
    void DibuUnePtos3D(const PointArray&, const PointArray&, const Array1<float>&,
                       const Array1<float>&) override {
        unexpected();
    }
    void MaxMinMargenNoPic(const PointArray&, std::int16_t) override { unexpected(); }

private:
    static bool unexpected() {
        ADD_FAILURE() << "unexpected drawing call";
        return false;
    }
};

} // namespace tresol
