#pragma once

#include "platform/BoundedArray.h"
#include "platform/GridControl.h"
#include "reinforcement/Cdiametro.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tresol {

// The arrangement search: for every diameter of a catalogue, the number of bars that provides a
// required area, brought up to a multiple, kept when the excess area is moderate and the bar
// spacing lies within limits. At most one candidate per diameter, smallest diameter first.
class CArmador {
  public:
    // `lado` and `recub` are zeroed for the caller when the cover does not fit the width.
    // Answers false when the multiple or the count limits were refused (with a message). A
    // fractional multiple is rounded to a whole number (halves to even) as any count is.
    bool Ini(float area, std::shared_ptr<const Cdiametro> diametros, float& lado, bool cerrado,
             std::optional<float> separMin, std::optional<float> separMax, std::int32_t nMin,
             std::int32_t nMax, float& recub, double multiplo);

    std::int32_t GetNumRedondos() const;
    // Writes the candidates into rows 1…k of a grid with a fixed header row and column.
    void PasaRedondosGrid(platform::GridControl& gridAux) const;
    // Centre-to-centre spacing of n bars of that diameter.
    float GetSeparacion(std::int32_t n, float diametro) const;
    // The arrangement line of candidate i (1…k), e.g. '5 fi 16'.
    std::string GetLinea(std::int32_t i) const;
    // Candidate i (1…k): its bar count and catalogue index.
    std::int32_t GetNumero(std::int32_t i) const { return candidate(i).numero; }
    std::int32_t GetIndiDiam(std::int32_t i) const { return candidate(i).indiDiam; }

  private:
    struct Armado {
        std::int32_t numero = 0;
        std::int32_t indiDiam = 0;
    };

    void BuscaArmados();
    void AnyadeArmado(std::int32_t indiDiam, std::int32_t numero);
    const Armado& candidate(std::int32_t i) const;
    const Cdiametro& catalogue() const;

    Array1<Armado> armados;
    float area = 0.0f;
    std::int32_t nMax = 0;
    std::int32_t nMin = 0;
    float multiplo = 0.0f;
    std::int32_t multiploEntero = 0;
    float recub = 0.0f;
    float lado = 0.0f;
    bool cerrado = false;
    float separMin = 0.0f;
    float separMax = 0.0f;
    std::shared_ptr<const Cdiametro> diametros;
    bool multiploValido = false;
};

} // namespace tresol
