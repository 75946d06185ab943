#pragma once

#include "datasheets/IHojaDat.h"

#include <memory>
#include <vector>

namespace tresol {

// A data sheet on text. Writing builds an XML text in memory, one element per object and one
// attribute per value, taken with GetTexto; reading loads an XML file and answers each value from
// the attribute of the element named by the open objects, below the document element.
class CHojaText : public IHojaDat {
  public:
    CHojaText();
    ~CHojaText() override;
    CHojaText(const CHojaText&) = delete;
    CHojaText& operator=(const CHojaText&) = delete;

    // Loads an XML file for reading. A file that is missing or not well-formed is reported
    // ("Parser Error: …", with line and position from 1 and the file position in bytes from 1)
    // and answered with false.
    bool IniLectura(const std::string& fileName);
    // Starts writing; a header replaces the text written so far with a comment, an empty header
    // keeps it.
    void IniEscritura(const std::string& sCabecera);
    std::string GetTexto(std::optional<bool> vacia = std::nullopt);

    using IHojaDat::GetVarBoolean;
    using IHojaDat::GetVarFloat;
    using IHojaDat::GetVariableDeHoja;

    std::string GetSubRefObjeto() override { return {}; }
    void SetUsaNombre(bool usaN) override { usaNombre_ = usaN; }
    void SetNombreObj(const std::string&) override {}
    void SetObjetoIni(std::string nombreObj, bool esResultado,
                      const std::optional<std::string>& descripcion = std::nullopt) override;
    void SetObjetoFin() override;
    void LetIncrementa(std::string, float) override;
    void LetIncrePorcen(std::string, float) override;
    void SetVariable(std::string nombreVar, const Value& vaux,
                     const std::optional<std::string>& descripcion = std::nullopt) override;
    void GetCeldaDeHoja(const std::string&, std::int32_t&, std::int32_t&,
                        const std::string&) override;
    bool GetVarBoolean(std::string&) override;
    float GetVarFloat(std::string& nombreVar,
                      std::optional<bool> alertaSiCero = std::nullopt) override;
    Value GetVariableDeHoja(std::string& nombreVar,
                            std::optional<bool> alertaSiVacio = std::nullopt) override;
    bool SeleccionaHoja(const std::string& nombre, FormControls* frm = nullptr) override;
    void MuestraHojaActiva(const std::optional<std::string>& = std::nullopt) override;
    Value GetValorCelda(std::int32_t, std::int32_t) override;
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
    struct Document;

    void ApilaObjeto(const std::string& name);
    std::string DesapilaObjeto();
    static const char* MarcaEtiqueta(bool cierre) { return cierre ? "</" : "<"; }
    void LocalizaNodo();
    std::string BuscaAtributo(const std::string& name);
    void closeStartTag();

    std::string formato_;
    bool positioned_ = false;
    std::vector<std::string> objectStack_;
    std::string indent_;
    std::string texto_;
    std::string notas_;
    bool usaNombre_ = false;
    bool esResultado_ = false;
    std::unique_ptr<Document> documento_;
    bool tagOpen_ = false;
    std::vector<std::string> attributes_; // written in the open start tag
};

} // namespace tresol
