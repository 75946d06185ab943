#pragma once

#include "drawing/DrawingTarget.h"
#include "drawing/ICuadro.h"
#include "platform/Value.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tresol {

// The picture-box plotter: draws on a picture box or on the printer (a DrawingTarget) in world
// coordinates, mapped onto the target by a fitted user scale with equal scales on both axes and
// y upwards. Point arrays are drawn with column 2 across and column 1 up.
//
// The target is never owned: the caller keeps it alive while the plotter draws on it. Operations
// that draw need a target (IniciaAPelo or any operation that takes one); drawing without one,
// an NP below 1 or beyond the rows of its array, and a palette index outside 0…15 are
// programming errors.
class CCuadroDibujo : public ICuadro {
  public:
    CCuadroDibujo() = default;

    // Own operations.
    void TipoLinea(std::int16_t varAux);
    void GrosorLinea(std::int16_t varAux);
    void MaxMinMargen(DrawingTarget& DIBUJO, const PointArray& pto2d, std::int32_t NP);
    void MargenInvY(DrawingTarget& DIBUJO);
    void DibujaMarco(DrawingTarget& pintur, std::optional<Value> Marcoaux = std::nullopt);
    void titulo(DrawingTarget& pintur, const std::string& titul);
    void Leyenda(DrawingTarget& pintur, const std::string& titul);
    void DibuTrianEq(DrawingTarget& picact, float xnudo, float ynudo, float ltri,
                     std::optional<bool> Rayado = std::nullopt);
    void IniciaAPelo(DrawingTarget& pintur);
    void color(std::int16_t r, std::int16_t G, std::int16_t b, DrawingTarget* picact = nullptr);
    void DibuEjes();
    void LineaHorizontal(float y);
    bool LineaParal(float x0, float y0, float x1, float y1, float L);
    void MaxMinMargen2(DrawingTarget& DIBUJO, const Array1<float>& x, const Array1<float>& y,
                       std::int16_t NP);
    // Segment k of the next full polyline is drawn in the highlight pen when bolaux[k − 1] is
    // false (element 0 is segment 1).
    void activo(std::int32_t NP, const std::vector<bool>& bolaux);
    void Punto(float x, float y, float lado, DrawingTarget* DIBUJO = nullptr);
    bool dentro(float xcor, float ycor) const;
    bool PoneMaxYd(const PointArray& pto2d, std::int32_t NP);
    void Cruz(float x, float y, float lado, DrawingTarget* DIBUJO = nullptr);
    bool Circulos(float radio, const PointArray& pto2d, std::int16_t NP);
    void PoneMaxMin(bool baux) { marcaExtremos_ = baux; }
    bool DibuGenerRapido(std::int32_t NP, const PointArray& pto2d,
                         std::optional<std::int32_t> iini = std::nullopt,
                         std::optional<std::int32_t> ifin = std::nullopt);
    float MaximizaZ(std::int32_t NP, PointArray& pto2d, float escala,
                    std::optional<bool> centrado = std::nullopt);
    float MaximizaX(std::int32_t NP, PointArray& pto2d, float escala,
                    std::optional<bool> centrado = std::nullopt);
    void DibujaPost(PointArray& pto2d, std::int32_t NP, std::optional<bool> rapido = std::nullopt,
                    DrawingTarget* DIBUJO = nullptr, std::optional<bool> CentraZ = std::nullopt,
                    std::optional<bool> LineaHoriz = std::nullopt,
                    std::optional<bool> Borra = std::nullopt,
                    std::optional<std::int32_t> salta = std::nullopt);

    // ICuadro
    bool bolita(float xcor, float ycor, float radio, std::optional<float> z = std::nullopt,
                std::optional<std::int16_t> color = std::nullopt) override;
    void PoneText(float xcor, float ycor, float zcor, const std::string& saux,
                  std::optional<float> tamanyo = std::nullopt,
                  std::optional<bool> enxy = std::nullopt,
                  std::optional<bool> ponedos = std::nullopt) override;
    void MargenSinPic(float xmax, float xmin, float ymax, float ymin) override;
    void Margen(DrawingTarget& DIBUJO, float xmax, float xmin, float ymax, float ymin) override;
    void escala(float faux) override { factorMargen_ = faux; }
    void PoneQBColor(std::int16_t color) override;
    bool DibuUnePtos2D(const PointArray& Pto2d1, const PointArray& Pto2d2,
                       std::optional<bool> rapido = std::nullopt) override;
    bool DibuGener(std::int32_t NP, const PointArray& pto2d, DrawingTarget* DIBUJO = nullptr,
                   std::optional<bool> rapido = std::nullopt) override;
    void DibuGener2(std::int32_t NP, const Array1<float>& x, const Array1<float>& y,
                    DrawingTarget* DIBUJO = nullptr,
                    std::optional<std::int16_t> color = std::nullopt,
                    std::optional<bool> rapido = std::nullopt) override;
    void DibuGener3(std::int32_t NP, const Array1<float>& x2d, const Array1<float>& y2d,
                    const Array1<float>& Z2d, std::optional<std::int16_t> color = std::nullopt,
                    std::optional<bool> rapido = std::nullopt) override;
    bool Iniciado() const override { return iniciado_; }
    void Iniciado(bool baux) override { iniciado_ = baux; }
    void Borra() override;
    float MinX() const override;
    float MaxX() const override;
    float MinY() const override;
    float MaxY() const override;
    void DibuGener3D(std::int32_t NP, const PointArray& Pnt2d1, const Array1<float>& Pnt1d1,
                     bool rapido) override;
    void DibuUnePtos3D(const PointArray& Pnt2d1, const PointArray& Pnt2d2,
                       const Array1<float>& Pnt1d1, const Array1<float>& Pnt1d2) override;
    void MaxMinMargenNoPic(const PointArray& pto2d, std::int16_t NP) override;

    // The current target (nullptr before one is given) and the window applied by the last fit.
    DrawingTarget* target() const { return dibujoAct_; }
    float factorMargen() const { return factorMargen_; }
    float xDerecha() const { return xDerecha_; }
    float yArriba() const { return yArriba_; }
    float xIzquierda() const { return xIzquierda_; }
    float yAbajo() const { return yAbajo_; }
    float marco() const { return marco_; }

  private:
    struct Extents {
        float xmax, xmin, ymax, ymin;
        // Rows of ymin, ymax, xmin, xmax.
        std::int32_t rowYmin = 1, rowYmax = 1, rowXmin = 1, rowXmax = 1;
    };
    struct Window {
        float left, top, right, bottom;
    };

    DrawingTarget& act() const;
    static Extents MaxMinPuntos(const PointArray& P, std::int32_t n);
    static Window CalculaVentana(const DrawingTarget& target, double xmax, double ymax, double xmin,
                                 double ymin, double factor);
    bool AplicaVentana(DrawingTarget& target, const Window& w);
    bool LineaHasta(float x, float y, bool primero = false);
    bool TrazaPoligonal(std::int32_t NP, const PointArray& P, DrawingTarget* DIBUJO,
                        std::optional<bool> rapido);
    void PoneColorQB(std::int16_t index) { act().ForeColor(qbColor(index)); }
    void segmento(float xa, float ya, float xb, float yb);
    float Maximiza(std::int32_t NP, PointArray& P, float escala, bool centrado, bool enX);

    DrawingTarget* dibujoAct_ = nullptr;
    float factorMargen_ = 1.0f;
    float xDerecha_ = 0, yArriba_ = 0, xIzquierda_ = 0, yAbajo_ = 0;
    std::vector<bool> segActivos_;
    bool usaActivos_ = false;
    bool marcaExtremos_ = false;
    bool iniciado_ = false;
    float marco_ = 0;
};

} // namespace tresol
