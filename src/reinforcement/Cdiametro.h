#pragma once

#include "platform/BoundedArray.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tresol {

class IHojaDat;

// The catalogue of reinforcing-bar sizes of one series ("Euro" in millimetres written "fi",
// "Mex" numbered bars written "#"). It converts between entry index, reference text, diameter
// and area, and reads an arrangement line such as '4 fi 16'.
class Cdiametro {
  public:
    // Always answers false (callers ignore it). An unknown series or unit is a programming error.
    bool Ini(const std::string& reftipo, const std::string& refUnidades,
             std::optional<bool> fi14Valido = {}, std::optional<bool> num7Valido = {});
    // The standard sizes a design code's search draws from, in metres: Euro the EN 10080 / B500
    // diameters 6…40 mm, Mex the ASTM A615 numbered bars #3…#11, #14 and #18 with the standard's
    // nominal diameters and areas. An unknown series is a programming error.
    void IniCodeSizes(const std::string& reftipo);

    std::string GetDiamRefer(std::int32_t indice) const;
    float GetAreaIndice(std::int32_t indice) const;
    void LetRefUnidades(const std::string& refUnidades);
    std::int32_t GetIndiMin() const;
    std::int32_t GetIndiMax() const;
    // Index of the entry whose reference equals the trimmed text; 0 (with a message) when none.
    std::int32_t GetIndiceDeDiametro(const std::string& referAux) const;
    float GetDiametroMetros(std::int32_t indice) const;
    std::string GetRefGener() const;
    // Reads 'count generalRef barRef'. A line without two spaces, with non-numeric words or with
    // a bar the catalogue does not hold is a programming error (after the not-found message).
    void GetNumArmaRefDiam(const std::string& linearef, std::int32_t& numArma,
                           std::string& refDiametro, std::int32_t& indiDiam, float& diametro) const;
    std::string GetTipo() const { return tipo; }
    // Switches series (dropping the optional bars) and answers true when it changed.
    bool LetTipo(const std::string& reftipo);
    std::string GetUnidades() const { return unidades; }
    // Writes the series and unit, from which the table is rebuilt, as the object "Diametros",
    // left open so that its owner may go on writing in it.
    void OutDatHoja(IHojaDat& hojaDat) const;
    // Taken afresh whenever the table is set, and unique in the process (a copy keeps its
    // original's until either is set again): what was worked out from a catalogue may be kept
    // under its stamp.
    std::uint64_t stamp() const { return stamp_; }

  private:
    struct DiametroRef {
        float diametro = 0.0f;
        std::string ref;
        float area = 0.0f; // m²; 0: that of the circle of the diameter
    };

    void IniEuro(bool fi14Valido);
    void IniMex(bool num7Valido);
    void AnyadeDiametro(std::int32_t& indice, double diametro, const std::string& ref,
                        double area = 0);
    const DiametroRef& entry(std::int32_t indice) const;

    std::string tipo;
    std::string unidades;
    Array1<DiametroRef> tabla;
    std::uint64_t stamp_ = nextStamp();

    static std::uint64_t nextStamp();
};

} // namespace tresol
