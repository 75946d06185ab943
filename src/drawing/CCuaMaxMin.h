#pragma once

#include "drawing/ICuadro.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tresol {

// The extent collector: a drawing surface that draws nothing but records, as 3D points, what it
// is asked to draw, so that a caller can learn the extents of a drawing before fitting a real
// surface to it. Points map as on the picture-box plotter: x = column 2, y = column 1, z the
// third coordinate (0 where there is none).
//
// `Ini` must come before anything is recorded. Operations that make no sense without a picture
// (fits, `Borra`, the window edges, `DibuGener2`) are programming errors here.
class CCuaMaxMin : public ICuadro {
  public:
    void Ini(std::int32_t tipoOrienta);

    // The extents of every recorded point; the result is their number. An empty store reports 0
    // and sets every extent to 0.
    std::int32_t GetMaxMinXYZ(float& xmax, float& xmin, float& ymax, float& ymin, float& zmax,
                              float& zmin) const;

    // ICuadro
    bool bolita(float xcor, float ycor, float radio, std::optional<float> z = std::nullopt,
                std::optional<std::int16_t> color = std::nullopt) override;
    void PoneText(float xcor, float ycor, float zcor, const std::string& saux,
                  std::optional<float> tamanyo = std::nullopt,
                  std::optional<bool> enxy = std::nullopt,
                  std::optional<bool> ponedos = std::nullopt) override;
    void MargenSinPic(float xmax, float xmin, float ymax, float ymin) override;
    void Margen(DrawingTarget& DIBUJO, float xmax, float xmin, float ymax, float ymin) override;
    void escala(float) override {}
    void PoneQBColor(std::int16_t) override {}
    bool DibuUnePtos2D(const PointArray&, const PointArray&,
                       std::optional<bool> = std::nullopt) override {
        return false;
    }
    bool DibuGener(std::int32_t NP, const PointArray& pto2d, DrawingTarget* DIBUJO = nullptr,
                   std::optional<bool> rapido = std::nullopt) override;
    void DibuGener2(std::int32_t NP, const Array1<float>& x, const Array1<float>& y,
                    DrawingTarget* DIBUJO = nullptr,
                    std::optional<std::int16_t> color = std::nullopt,
                    std::optional<bool> rapido = std::nullopt) override;
    void DibuGener3(std::int32_t NP, const Array1<float>& x2d, const Array1<float>& y2d,
                    const Array1<float>& Z2d, std::optional<std::int16_t> color = std::nullopt,
                    std::optional<bool> rapido = std::nullopt) override;
    bool Iniciado() const override { return false; }
    void Iniciado(bool) override {}
    void Borra() override;
    float MinX() const override;
    float MaxX() const override;
    float MinY() const override;
    float MaxY() const override;
    void DibuGener3D(std::int32_t NP, const PointArray& Pnt2d1, const Array1<float>& Pnt1d1,
                     bool rapido) override;
    void DibuUnePtos3D(const PointArray&, const PointArray&, const Array1<float>&,
                       const Array1<float>&) override {}
    void MaxMinMargenNoPic(const PointArray&, std::int16_t) override {}

    // The recorded points in drawing order, as (x, y, z).
    using Point = std::array<float, 3>;
    const std::vector<Point>& puntos() const { return puntos_; }

  private:
    std::vector<Point>& store(const char* what);
    [[noreturn]] static void unsupported(const char* what);

    std::vector<Point> puntos_;
    std::int32_t orientacion_ = 0;
    bool iniciado_ = false; // Ini was called
};

} // namespace tresol
