#pragma once

#include "platform/BoundedArray.h"
#include "platform/Value.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tresol {

class FormControls;

// A data sheet: named values grouped into objects (data or results), and tables of numbers.
// Engineering objects read their input and write their data through it without knowing where
// the values live. A sheet refuses the operations it does not support with a ProgrammingError.
//
// The readers take the value's name by reference: a sheet that qualifies names with the open
// object's name hands the qualified name back. The overloads taking a const name read through
// a copy, so literals can be passed.
class IHojaDat {
  public:
    virtual ~IHojaDat() = default;

    virtual std::string GetSubRefObjeto() = 0;
    virtual void SetUsaNombre(bool usaN) = 0;
    virtual void SetNombreObj(const std::string& nombreObj) = 0;
    virtual void SetObjetoIni(std::string nombreObj, bool esResultado,
                              const std::optional<std::string>& descripcion = std::nullopt) = 0;
    virtual void SetObjetoFin() = 0;
    virtual void LetIncrementa(std::string nombreVar, float fIncre) = 0;
    virtual void LetIncrePorcen(std::string nombreVar, float fPorcen) = 0;
    virtual void SetVariable(std::string nombreVar, const Value& vaux,
                             const std::optional<std::string>& descripcion = std::nullopt) = 0;
    virtual void GetCeldaDeHoja(const std::string& nombreVar, std::int32_t& colpos,
                                std::int32_t& filpos, const std::string& hojaName) = 0;
    virtual bool GetVarBoolean(std::string& nombreVar) = 0;
    virtual float GetVarFloat(std::string& nombreVar,
                              std::optional<bool> alertaSiCero = std::nullopt) = 0;
    virtual Value GetVariableDeHoja(std::string& nombreVar,
                                    std::optional<bool> alertaSiVacio = std::nullopt) = 0;
    virtual bool SeleccionaHoja(const std::string& nombre, FormControls* frm = nullptr) = 0;
    virtual void MuestraHojaActiva(const std::optional<std::string>& nombre = std::nullopt) = 0;
    virtual Value GetValorCelda(std::int32_t col, std::int32_t fil) = 0;
    virtual void PoneTablaEnHoja(const std::string& nombreHoja, std::int32_t colIni,
                                 std::int32_t filIni, const Array2<float>& matriz,
                                 bool poneIndice) = 0;
    // Reads the cells colIni…colFin × filIni…filFin into matizDatos.
    virtual void LlenaTablaNoRefSingle(std::int32_t colIni, std::int32_t filIni,
                                       std::int32_t colFin, std::int32_t filFin,
                                       Array2<float>& matizDatos) = 0;
    virtual void LlenaDeTablaSingle(const std::string& refIni, const std::string& refFin,
                                    std::int32_t numCampos, Array2<float>& matizDatos, bool saltoH,
                                    bool puedeSerVacia) = 0;
    virtual void GetRango(const std::string& refIni, const std::string& refFin,
                          std::int32_t& colposIni, std::int32_t& colposFinAux,
                          std::int32_t& filposIni, std::int32_t& filposFin,
                          const std::string& hojaName) = 0;
    virtual Value CompruebaCeldaNumerica(std::int32_t col, std::int32_t fil,
                                         bool puedeSerVacia) = 0;
    virtual std::string GetDirHoja() = 0;
    virtual std::string GetNombreHoja() = 0;
    virtual void LetFormatoVariable(const std::string& saux) = 0;
    virtual void BorraHoja(const std::string& hojaName) = 0;
    virtual void LetValcelda(std::int32_t col, std::int32_t fil, const Value& varAux) = 0;
    // Writes vector from the cell (col, fil) on, down a column or along a row.
    virtual void LetMatriz1D(const Array1<float>& vector, std::int32_t col, std::int32_t fil,
                             bool enColumna) = 0;
    virtual void LetSumaColumnas(const std::string& nombreHoja, std::int32_t colIni,
                                 std::int32_t filIni, std::int32_t numColAnte,
                                 std::int32_t NumP) = 0;

    bool GetVarBoolean(const std::string& nombreVar) {
        std::string name = nombreVar;
        return GetVarBoolean(name);
    }
    float GetVarFloat(const std::string& nombreVar,
                      std::optional<bool> alertaSiCero = std::nullopt) {
        std::string name = nombreVar;
        return GetVarFloat(name, alertaSiCero);
    }
    Value GetVariableDeHoja(const std::string& nombreVar,
                            std::optional<bool> alertaSiVacio = std::nullopt) {
        std::string name = nombreVar;
        return GetVariableDeHoja(name, alertaSiVacio);
    }
};

} // namespace tresol
