#include "datasheets/CHojaFrm.h"

#include "datasheets/SheetSupport.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/ProgrammingError.h"
#include "platform/Single.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <map>

namespace tresol {
namespace {

constexpr std::string_view kSheet = "the window-bound data sheet";

// Tags compare without regard to letter case: ASCII letters, and the Latin-1 letters of Spanish
// names (Ñ, Á …) in their UTF-8 form.
std::string foldCase(std::string_view s) {
    std::string out(s);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        if (c >= 'A' && c <= 'Z') {
            out[i] = static_cast<char>(c + ('a' - 'A'));
        } else if (c == 0xC3 && i + 1 < out.size()) {
            const auto d = static_cast<unsigned char>(out[i + 1]);
            if (d >= 0x80 && d <= 0x9E && d != 0x97) // 0x97 is the multiplication sign
                out[i + 1] = static_cast<char>(d + 0x20);
            ++i;
        }
    }
    return out;
}

// A value as written under a number format: numbers and numeric texts are formatted, anything
// else is left as it is.
Value formatted(const Value& v, const std::string& formato) {
    if (formato.empty() || isEmpty(v))
        return v;
    std::optional<double> n;
    if (const auto* s = std::get_if<std::string>(&v))
        n = platform::parseNumber(*s);
    else
        n = valueNumber(v);
    if (!n)
        return v;
    return platform::formatNumber(*n, formato);
}

// A computed number kept as a single when it fits one.
Value computed(double v) {
    if (auto f = platform::toSingle(v))
        return *f;
    return v;
}

} // namespace

CHojaFrm::~CHojaFrm() {
    if (unloadAlSalir_ && ventana_)
        ventana_->unload();
}

bool CHojaFrm::Ini(FormControls& formActi, std::optional<bool> UnloadAlSalir,
                   const std::optional<std::string>& preTag,
                   const std::optional<std::string>& subRefObjeto) {
    ventana_ = &formActi;
    unloadAlSalir_ = UnloadAlSalir.value_or(false);
    const bool valid = CompruebaTags();
    if (preTag && !preTag->empty()) {
        for (std::int32_t c = 0; c < formActi.controlCount(); ++c) {
            const std::string tag = formActi.tag(c);
            if (!tag.empty())
                formActi.setTag(c, *preTag + "." + tag);
        }
    }
    esResultado_ = false;
    if (subRefObjeto)
        subRefObjeto_ = *subRefObjeto;
    return valid;
}

FormControls& CHojaFrm::window() {
    if (!ventana_)
        throw ProgrammingError("window-bound data sheet used before Ini");
    return *ventana_;
}

bool CHojaFrm::CompruebaTags() {
    FormControls& w = window();
    const std::int32_t n = w.controlCount();
    std::vector<std::string> folded(static_cast<std::size_t>(n));
    for (std::int32_t c = 0; c < n; ++c)
        folded[static_cast<std::size_t>(c)] = foldCase(w.tag(c));
    for (std::int32_t a = 0; a < n; ++a) {
        const std::string& key = folded[static_cast<std::size_t>(a)];
        if (key.empty())
            continue;
        int found = 0;
        for (std::int32_t b = 0; b < n; ++b) {
            if (folded[static_cast<std::size_t>(b)] != key)
                continue;
            // Members of one control array share their tag legitimately.
            if (++found >= 2 && !w.index(b)) {
                platform::showError("Formulario no válido, hay 2 tags iguales (" + w.tag(a) + ")");
                return false;
            }
        }
    }
    return true;
}

std::optional<std::int32_t> CHojaFrm::BuscaControl(const std::string& name) {
    FormControls& w = window();
    const std::string key = foldCase(name);
    std::optional<std::int32_t> last;
    if (key.empty())
        return last;
    for (std::int32_t c = 0; c < w.controlCount(); ++c)
        if (foldCase(w.tag(c)) == key)
            last = c;
    return last;
}

std::optional<std::int32_t> CHojaFrm::firstControl(const std::string& name) {
    FormControls& w = window();
    const std::string key = foldCase(name);
    if (key.empty()) // an untagged control names no value
        return std::nullopt;
    for (std::int32_t c = 0; c < w.controlCount(); ++c)
        if (foldCase(w.tag(c)) == key)
            return c;
    return std::nullopt;
}

std::vector<std::pair<std::int32_t, std::int32_t>> CHojaFrm::arrayMembers(const std::string& name) {
    FormControls& w = window();
    const std::string key = foldCase(name);
    std::vector<std::pair<std::int32_t, std::int32_t>> members;
    for (std::int32_t c = 0; c < w.controlCount(); ++c) {
        if (key.empty() || foldCase(w.tag(c)) != key)
            continue;
        const auto index = w.index(c);
        if (!index)
            throw ProgrammingError("control tagged " + name + " is not in a control array");
        members.emplace_back(*index, c);
    }
    if (members.empty())
        throw ProgrammingError("no control array tagged " + name);
    return members;
}

std::string CHojaFrm::qualified(const std::string& nombreVar) const {
    return usaNombre_ ? nombreObj_ + "." + nombreVar : nombreVar;
}

void CHojaFrm::SetObjetoIni(std::string nombreObj, bool esResultado,
                            const std::optional<std::string>&) {
    nombreObj_ = std::move(nombreObj);
    esResultado_ = esResultado;
}

void CHojaFrm::SetVariable(std::string nombreVar, const Value& vaux,
                           const std::optional<std::string>& descripcion) {
    if (nombreVar.empty())
        return;
    const std::string name = qualified(nombreVar);
    const auto control = BuscaControl(name);
    if (!control)
        throw ProgrammingError("no control tagged " + name);
    FormControls& w = window();
    w.setValue(*control, formatted(vaux, formato_));
    if (descripcion && !descripcion->empty())
        w.setToolTip(*control, *descripcion);
}

Value CHojaFrm::GetVariableDeHoja(std::string& nombreVar, std::optional<bool> alertaSiVacio) {
    if (usaNombre_)
        nombreVar = qualified(nombreVar);
    const auto control = firstControl(nombreVar);
    if (!control) {
        platform::showError("Error grave: no se encuentra la referencia " + nombreVar);
        return std::string();
    }
    FormControls& w = window();
    if (!w.enabled(*control))
        platform::showError("Error grave: se toma un valor de un control desactivado." + nombreVar);
    Value v = w.value(*control);
    if (alertaSiVacio.value_or(false) && valueText(v).empty())
        platform::showError("Error : vacio no esperado en la referencia " + nombreVar);
    return v;
}

float CHojaFrm::GetVarFloat(std::string& nombreVar, std::optional<bool> alertaSiCero) {
    const Value v = GetVariableDeHoja(nombreVar);
    // What the sheet wrote in the user's locale reads back whole; anything else by its
    // leading number ("12.5 cm" is 12.5).
    const float n = platform::toSingle(platform::boxNumber(valueText(v))).value_or(0.0f);
    if (alertaSiCero.value_or(false) && n == 0.0f)
        platform::showError("Error : valor 0. no esperado en la referencia " + nombreVar);
    return n;
}

bool CHojaFrm::GetVarBoolean(std::string& nombreVar) {
    return GetVarFloat(nombreVar) != 0.0f;
}

// Both read through a copy of the name, so a qualified name is written back to the very
// control it was read from.
void CHojaFrm::LetIncrementa(std::string nombreVar, float fIncre) {
    std::string readName = nombreVar;
    const double v = static_cast<double>(GetVarFloat(readName)) + fIncre;
    SetVariable(std::move(nombreVar), computed(v));
}

void CHojaFrm::LetIncrePorcen(std::string nombreVar, float fPorcen) {
    std::string readName = nombreVar;
    const double v =
        (static_cast<double>(fPorcen) / 100.0 + 1.0) * static_cast<double>(GetVarFloat(readName));
    SetVariable(std::move(nombreVar), computed(v));
}

bool CHojaFrm::SeleccionaHoja(const std::string& nombre, FormControls* frm) {
    if (!frm)
        throw ProgrammingError("SeleccionaHoja needs the window of the sheet");
    const std::string sheetWindow = nombre + "frm";
    if (foldCase(frm->name()) == foldCase(sheetWindow)) {
        ventana_ = frm;
        return CompruebaTags();
    }
    platform::showError("Error grave: hoja no valida :" + sheetWindow);
    return false;
}

std::string CHojaFrm::GetNombreHoja() {
    return window().name();
}

void CHojaFrm::PoneTablaEnHoja(const std::string& nombreHoja, std::int32_t, std::int32_t filIni,
                               const Array2<float>& matriz, bool) {
    const std::int64_t nc = filIni;
    if (nc <= 0)
        throw ProgrammingError("a table needs at least one column per row");
    const auto members = arrayMembers(nombreHoja);
    const std::int64_t m = std::min_element(members.begin(), members.end())->first;
    FormControls& w = window();
    for (const auto& [index, control] : members) {
        const std::int64_t k = index - m;
        const std::int64_t row = k / nc + 1;
        const std::int64_t col = k - (row - 1) * nc;
        if (row > std::numeric_limits<std::int32_t>::max())
            throw ProgrammingError("control index beyond the table");
        w.setValue(control, matriz(static_cast<std::int32_t>(col), static_cast<std::int32_t>(row)));
    }
}

void CHojaFrm::LlenaDeTablaSingle(const std::string& refIni, const std::string&,
                                  std::int32_t numCampos, Array2<float>& matizDatos, bool, bool) {
    if (numCampos <= 0)
        throw ProgrammingError("a table needs at least one field per row");
    FormControls& w = window();
    std::map<std::int32_t, float> values;
    for (const auto& [index, control] : arrayMembers(refIni)) {
        const double n = platform::boxNumber(valueText(w.value(control)));
        if (!values.emplace(index, platform::toSingle(n).value_or(0.0f)).second)
            throw ProgrammingError("two controls tagged " + refIni + " share an index");
    }
    const std::int64_t m = values.begin()->first;
    const std::int64_t count = std::int64_t{values.rbegin()->first} - m + 1;
    if (count != static_cast<std::int64_t>(values.size()))
        throw ProgrammingError("the control array " + refIni + " has gaps in its indices");
    if (count % numCampos != 0)
        throw ProgrammingError("the control array " + refIni +
                               " does not hold whole rows of the table");
    const auto rows = static_cast<std::int32_t>(count / numCampos);
    matizDatos.redim(0, numCampos - 1, 1, rows);
    for (std::int32_t j = 1; j <= rows; ++j)
        for (std::int32_t i = 0; i < numCampos; ++i)
            matizDatos(i, j) =
                values.at(static_cast<std::int32_t>(m + std::int64_t{j - 1} * numCampos + i));
}

// Cell-addressed operations: a window has no cells.
void CHojaFrm::GetCeldaDeHoja(const std::string&, std::int32_t&, std::int32_t&,
                              const std::string&) {
    sheets::refuseOperation(kSheet, "GetCeldaDeHoja");
}
void CHojaFrm::MuestraHojaActiva(const std::optional<std::string>&) {
    sheets::refuseOperation(kSheet, "MuestraHojaActiva");
}
Value CHojaFrm::GetValorCelda(std::int32_t, std::int32_t) {
    sheets::refuseOperation(kSheet, "GetValorCelda");
}
void CHojaFrm::LlenaTablaNoRefSingle(std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                                     Array2<float>&) {
    sheets::refuseOperation(kSheet, "LlenaTablaNoRefSingle");
}
void CHojaFrm::GetRango(const std::string&, const std::string&, std::int32_t&, std::int32_t&,
                        std::int32_t&, std::int32_t&, const std::string&) {
    sheets::refuseOperation(kSheet, "GetRango");
}
Value CHojaFrm::CompruebaCeldaNumerica(std::int32_t, std::int32_t, bool) {
    sheets::refuseOperation(kSheet, "CompruebaCeldaNumerica");
}
std::string CHojaFrm::GetDirHoja() {
    sheets::refuseOperation(kSheet, "GetDirHoja");
}
void CHojaFrm::BorraHoja(const std::string&) {
    sheets::refuseOperation(kSheet, "BorraHoja");
}
void CHojaFrm::LetValcelda(std::int32_t, std::int32_t, const Value&) {
    sheets::refuseOperation(kSheet, "LetValcelda");
}
void CHojaFrm::LetMatriz1D(const Array1<float>&, std::int32_t, std::int32_t, bool) {
    sheets::refuseOperation(kSheet, "LetMatriz1D");
}
void CHojaFrm::LetSumaColumnas(const std::string&, std::int32_t, std::int32_t, std::int32_t,
                               std::int32_t) {
    sheets::refuseOperation(kSheet, "LetSumaColumnas");
}

} // namespace tresol
