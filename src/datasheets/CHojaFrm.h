#pragma once

#include "datasheets/FormControls.h"
#include "datasheets/IHojaDat.h"

#include <utility>
#include <vector>

namespace tresol {

// A data sheet on a window: every named value is the control whose tag is the value's name
// (letter case aside); a table is a control array sharing one tag. Names can be qualified by
// the open object's name ("Material.nombre") and, at initialisation, by a prefix.
// The window must outlive the sheet.
class CHojaFrm : public IHojaDat {
  public:
    CHojaFrm() = default;
    ~CHojaFrm() override;
    CHojaFrm(const CHojaFrm&) = delete;
    CHojaFrm& operator=(const CHojaFrm&) = delete;

    // Binds the window; answers whether its tags are valid (checked before preTag is added).
    bool Ini(FormControls& formActi, std::optional<bool> UnloadAlSalir = std::nullopt,
             const std::optional<std::string>& preTag = std::nullopt,
             const std::optional<std::string>& subRefObjeto = std::nullopt);

    using IHojaDat::GetVarBoolean;
    using IHojaDat::GetVarFloat;
    using IHojaDat::GetVariableDeHoja;

    std::string GetSubRefObjeto() override { return subRefObjeto_; }
    void SetUsaNombre(bool usaN) override { usaNombre_ = usaN; }
    void SetNombreObj(const std::string&) override {}
    void SetObjetoIni(std::string nombreObj, bool esResultado,
                      const std::optional<std::string>& descripcion = std::nullopt) override;
    void SetObjetoFin() override {}
    void LetIncrementa(std::string nombreVar, float fIncre) override;
    void LetIncrePorcen(std::string nombreVar, float fPorcen) override;
    void SetVariable(std::string nombreVar, const Value& vaux,
                     const std::optional<std::string>& descripcion = std::nullopt) override;
    void GetCeldaDeHoja(const std::string&, std::int32_t&, std::int32_t&,
                        const std::string&) override;
    bool GetVarBoolean(std::string& nombreVar) override;
    float GetVarFloat(std::string& nombreVar,
                      std::optional<bool> alertaSiCero = std::nullopt) override;
    Value GetVariableDeHoja(std::string& nombreVar,
                            std::optional<bool> alertaSiVacio = std::nullopt) override;
    bool SeleccionaHoja(const std::string& nombre, FormControls* frm = nullptr) override;
    void MuestraHojaActiva(const std::optional<std::string>& = std::nullopt) override;
    Value GetValorCelda(std::int32_t, std::int32_t) override;
    // filIni is the number of columns per row of the control array.
    void PoneTablaEnHoja(const std::string& nombreHoja, std::int32_t colIni, std::int32_t filIni,
                         const Array2<float>& matriz, bool poneIndice) override;
    void LlenaTablaNoRefSingle(std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                               Array2<float>&) override;
    void LlenaDeTablaSingle(const std::string& refIni, const std::string& refFin,
                            std::int32_t numCampos, Array2<float>& matizDatos, bool saltoH,
                            bool puedeSerVacia) override;
    void GetRango(const std::string&, const std::string&, std::int32_t&, std::int32_t&,
                  std::int32_t&, std::int32_t&, const std::string&) override;
    Value CompruebaCeldaNumerica(std::int32_t, std::int32_t, bool) override;
    std::string GetDirHoja() override;
    std::string GetNombreHoja() override;
    void LetFormatoVariable(const std::string& saux) override { formato_ = saux; }
    void BorraHoja(const std::string&) override;
    void LetValcelda(std::int32_t, std::int32_t, const Value&) override;
    void LetMatriz1D(const Array1<float>&, std::int32_t, std::int32_t, bool) override;
    void LetSumaColumnas(const std::string&, std::int32_t, std::int32_t, std::int32_t,
                         std::int32_t) override;

  private:
    bool CompruebaTags();
    // The last control in window order whose tag is `name`; nothing when none is.
    std::optional<std::int32_t> BuscaControl(const std::string& name);
    std::optional<std::int32_t> firstControl(const std::string& name);
    // Control-array members tagged `name`, as (index, position) pairs.
    std::vector<std::pair<std::int32_t, std::int32_t>> arrayMembers(const std::string& name);
    FormControls& window();
    std::string qualified(const std::string& nombreVar) const;

    FormControls* ventana_ = nullptr;
    std::string formato_;
    std::string nombreObj_;
    bool usaNombre_ = false;
    std::string subRefObjeto_;
    bool unloadAlSalir_ = false;
    bool esResultado_ = false;
};

} // namespace tresol
