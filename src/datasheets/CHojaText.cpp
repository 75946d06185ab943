#include "datasheets/CHojaText.h"

#include "datasheets/SheetSupport.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/ProgrammingError.h"
#include "platform/Single.h"

#include <pugixml.hpp>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace tresol {
namespace {

constexpr std::string_view kSheet = "the text data sheet";
constexpr const char* CRLF = "\r\n";

// Position of the first byte that is not part of a well-formed UTF-8 sequence.
std::optional<std::size_t> firstInvalidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t len = 0;
        unsigned char lo = 0x80, hi = 0xBF; // range of the second byte
        if (c < 0x80)
            len = 1;
        else if (c >= 0xC2 && c <= 0xDF)
            len = 2;
        else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            lo = c == 0xE0 ? 0xA0 : 0x80;
            hi = c == 0xED ? 0x9F : 0xBF; // no surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            lo = c == 0xF0 ? 0x90 : 0x80;
            hi = c == 0xF4 ? 0x8F : 0xBF;
        } else
            return i;
        if (i + len > s.size())
            return i;
        for (std::size_t k = 1; k < len; ++k) {
            const auto b = static_cast<unsigned char>(s[i + k]);
            if (k == 1 ? (b < lo || b > hi) : (b < 0x80 || b > 0xBF))
                return i;
        }
        i += len;
    }
    return std::nullopt;
}

// Element and attribute names as XML carries them without a namespace: a letter, '_' or a
// non-ASCII character first, then also digits, '-' and '.'.
bool isXmlName(std::string_view s) {
    if (s.empty() || firstInvalidUtf8(s))
        return false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        const bool letter =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c >= 0x80;
        const bool other = (c >= '0' && c <= '9') || c == '-' || c == '.';
        if (!(letter || (i > 0 && other)))
            return false;
    }
    return true;
}

void requireName(const std::string& name, const char* what) {
    if (!isXmlName(name))
        throw ProgrammingError(std::string(what) + " '" + name + "' cannot be an XML name");
}

// What written text must escape to read back as written: the markup characters everywhere; in
// an attribute value also the quote, and the line breaks and tabs a parser turns into blanks.
std::string escapeXml(std::string_view s, bool attribute) {
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        const char* entity = nullptr;
        switch (c) {
        case '&':
            entity = "&amp;";
            break;
        case '<':
            entity = "&lt;";
            break;
        case '>':
            entity = "&gt;";
            break;
        case '"':
            entity = attribute ? "&quot;" : nullptr;
            break;
        case '\r':
            entity = attribute ? "&#13;" : nullptr;
            break;
        case '\n':
            entity = attribute ? "&#10;" : nullptr;
            break;
        case '\t':
            entity = attribute ? "&#9;" : nullptr;
            break;
        default:
            break;
        }
        if (entity)
            out += entity;
        else
            out += c;
    }
    return out;
}

std::string escapeAttribute(std::string_view s) {
    return escapeXml(s, true);
}
std::string escapeText(std::string_view s) {
    return escapeXml(s, false);
}

// The file is read back with the point as decimal separator, so it is written with it too,
// whatever the user's locale, and with every digit a single holds.
std::string fileText(const Value& v) {
    return sheets::exactText(v, '.');
}

std::string fileUrl(const std::string& fileName) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(fileName, ec);
    if (ec)
        p = fileName;
    const std::string path = p.generic_string();
    std::string url = "file://";
    if (path.empty() || path.front() != '/')
        url += '/';
    static constexpr char hex[] = "0123456789ABCDEF";
    for (char ch : path) {
        const auto c = static_cast<unsigned char>(ch);
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '/' || c == '-' || c == '_' || c == '.' ||
                           c == '~' || c == ':';
        if (plain) {
            url += ch;
        } else {
            url += '%';
            url += hex[c >> 4];
            url += hex[c & 0xF];
        }
    }
    return url;
}

struct ParseFailure {
    std::string reason;
    std::size_t line = 0, linePos = 0, filePos = 0;
};

// Line and position (from 1) of byte `offset` of `text`.
ParseFailure failureAt(std::string reason, std::string_view text, std::size_t offset) {
    offset = std::min(offset, text.size());
    ParseFailure f{std::move(reason)};
    const std::string_view before = text.substr(0, offset);
    f.line = 1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
    const auto lastBreak = before.rfind('\n');
    f.linePos = offset - (lastBreak == std::string_view::npos ? 0 : lastBreak + 1) + 1;
    f.filePos = offset + 1;
    return f;
}

} // namespace

struct CHojaText::Document {
    pugi::xml_document doc;
    pugi::xml_node nodo;
};

CHojaText::CHojaText() : documento_(std::make_unique<Document>()) {}
CHojaText::~CHojaText() = default;

bool CHojaText::IniLectura(const std::string& fileName) {
    // Nothing of an earlier document may be reached again.
    documento_->doc.reset();
    documento_->nodo = pugi::xml_node();
    positioned_ = false;

    std::optional<ParseFailure> failure;
    std::string content;
    std::error_code ec;
    // Only a regular file is read: a device or a pipe could block or never end.
    if (!std::filesystem::is_regular_file(fileName, ec)) {
        failure = ParseFailure{std::filesystem::exists(fileName, ec) ? "Not a regular file"
                                                                     : "File was not found"};
    } else {
        std::ifstream in(fileName, std::ios::binary);
        content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (!in && !in.eof())
            failure = ParseFailure{"File could not be read"};
    }
    if (!failure) {
        // Only the predefined entities and character references are replaced; a document type
        // is skipped, so no entity of the file is ever expanded or fetched.
        const pugi::xml_parse_result r = documento_->doc.load_buffer(
            content.data(), content.size(), pugi::parse_default, pugi::encoding_auto);
        if (!r) {
            failure = failureAt(r.description(), content, static_cast<std::size_t>(r.offset));
        } else if (r.encoding == pugi::encoding_utf8) {
            if (auto bad = firstInvalidUtf8(content))
                failure = failureAt("Invalid UTF-8 byte sequence", content, *bad);
        }
    }
    if (!failure)
        return true;
    documento_->doc.reset();
    platform::messages().show(
        "Parser Error: " + failure->reason + "\rLinea: " + std::to_string(failure->line) +
            "\rPos. linea: " + std::to_string(failure->linePos) + "\rURL: " + fileUrl(fileName) +
            "\rPos. fichero : " + std::to_string(failure->filePos),
        platform::MsgIcon::None);
    return false;
}

void CHojaText::IniEscritura(const std::string& sCabecera) {
    indent_.clear();
    esResultado_ = false;
    tagOpen_ = false;
    attributes_.clear();
    if (sCabecera.empty())
        return;
    if (sCabecera.find("--") != std::string::npos || sCabecera.back() == '-')
        throw ProgrammingError("a header cannot hold '--' or end in '-' inside an XML comment");
    texto_ = "<!-- " + sCabecera + "-->" + CRLF;
}

std::string CHojaText::GetTexto(std::optional<bool> vacia) {
    std::string out = texto_;
    if (vacia.value_or(false))
        texto_.clear();
    return out;
}

void CHojaText::ApilaObjeto(const std::string& name) {
    if (!objectStack_.empty())
        indent_ = "   " + indent_;
    objectStack_.push_back(name);
}

// The outermost name stays: later objects are written and searched inside it.
std::string CHojaText::DesapilaObjeto() {
    if (objectStack_.empty())
        throw ProgrammingError("SetObjetoFin without an open object");
    std::string name = objectStack_.back();
    if (objectStack_.size() > 1) {
        objectStack_.pop_back();
        indent_.erase(0, std::min<std::size_t>(3, indent_.size()));
    }
    return name;
}

void CHojaText::closeStartTag() {
    if (tagOpen_) {
        texto_ += ">";
        texto_ += CRLF;
        tagOpen_ = false;
    }
}

void CHojaText::SetObjetoIni(std::string nombreObj, bool esResultado,
                             const std::optional<std::string>&) {
    const std::string name = esResultado ? "resultado-" + nombreObj : nombreObj;
    requireName(name, "object name");
    closeStartTag();
    texto_ += CRLF;
    ApilaObjeto(name);
    esResultado_ = esResultado;
    positioned_ = false;
    texto_ += indent_ + MarcaEtiqueta(false) + name + " ";
    tagOpen_ = true;
    attributes_.clear();
}

void CHojaText::SetVariable(std::string nombreVar, const Value& vaux,
                            const std::optional<std::string>& descripcion) {
    requireName(nombreVar, "value name");
    // Outside a start tag the value would be text of the element and never be read back; twice
    // in one tag the file would not be well-formed.
    if (!tagOpen_)
        throw ProgrammingError("value " + nombreVar + " written outside an object's start tag");
    if (std::find(attributes_.begin(), attributes_.end(), nombreVar) != attributes_.end())
        throw ProgrammingError("value " + nombreVar + " written twice in one object");
    attributes_.push_back(nombreVar);
    const std::string text = fileText(vaux);
    if (descripcion && !descripcion->empty())
        notas_ += escapeText(*descripcion + " = " + text);
    texto_ += CRLF + indent_ + nombreVar + "= \"" + escapeAttribute(text) + "\"";
}

void CHojaText::SetObjetoFin() {
    const std::string saved = indent_;
    const std::string name = DesapilaObjeto();
    if (tagOpen_) {
        texto_ += ">";
        texto_ += CRLF + notas_ + CRLF;
        notas_.clear();
        tagOpen_ = false;
    }
    texto_ += saved + MarcaEtiqueta(true) + name + "> " + CRLF;
    if (name != "celda")
        texto_ += CRLF;
    positioned_ = false;
}

bool CHojaText::SeleccionaHoja(const std::string& nombre, FormControls*) {
    closeStartTag(); // inside a start tag the heading would break the element
    texto_ +=
        std::string(CRLF) + CRLF + "    " + escapeText(nombre) + ":" + CRLF + std::string(34, '-');
    return true;
}

void CHojaText::PoneTablaEnHoja(const std::string& nombreHoja, std::int32_t, std::int32_t,
                                const Array2<float>& matriz, bool) {
    const std::int32_t upper1 = matriz.upper(1);
    const std::int32_t upper2 = matriz.upper(2);
    SetObjetoIni(nombreHoja, esResultado_);
    for (std::int32_t j = 1; j <= upper2; ++j) {
        for (std::int32_t i = 0; i <= upper1; ++i)
            texto_ += indent_ + "celda_" + std::to_string(j) + "_" + std::to_string(i) + "=\"" +
                      fileText(matriz(i, j)) + "\"  ";
        texto_ += CRLF;
    }
    SetObjetoFin();
}

void CHojaText::LocalizaNodo() {
    pugi::xml_node nodo = documento_->doc.document_element();
    for (const std::string& name : objectStack_) {
        pugi::xml_node next;
        for (pugi::xml_node child : nodo.children()) {
            if (child.type() == pugi::node_element && name == child.name()) {
                next = child;
                break;
            }
        }
        nodo = next;
    }
    documento_->nodo = nodo;
    positioned_ = true;
}

std::string CHojaText::BuscaAtributo(const std::string& name) {
    for (pugi::xml_attribute a : documento_->nodo.attributes()) {
        const std::string_view full = a.name();
        const auto colon = full.find(':');
        const std::string_view base =
            colon == std::string_view::npos ? full : full.substr(colon + 1);
        if (base == name)
            return a.value();
    }
    platform::showError("Error grave: no se ha encontrado el parámetro " + name);
    return {};
}

Value CHojaText::GetVariableDeHoja(std::string& nombreVar, std::optional<bool>) {
    if (!positioned_)
        LocalizaNodo();
    return BuscaAtributo(nombreVar);
}

float CHojaText::GetVarFloat(std::string& nombreVar, std::optional<bool>) {
    const Value v = GetVariableDeHoja(nombreVar);
    return platform::toSingle(platform::leadingNumber(valueText(v))).value_or(0.0f);
}

void CHojaText::LlenaDeTablaSingle(const std::string& refIni, const std::string&,
                                   std::int32_t numCampos, Array2<float>& matizDatos, bool, bool) {
    if (numCampos <= 0)
        throw ProgrammingError("a table needs at least one field per row");
    SetObjetoIni(refIni, esResultado_);
    LocalizaNodo();
    const auto attributes =
        std::distance(documento_->nodo.attributes_begin(), documento_->nodo.attributes_end());
    const auto rows = platform::roundToInt32(static_cast<double>(attributes) / numCampos);
    if (!rows)
        throw ProgrammingError("table " + refIni + " too large");
    matizDatos.redim(0, numCampos - 1, 1, *rows);
    for (std::int32_t j = 1; j <= *rows; ++j)
        for (std::int32_t i = 0; i < numCampos; ++i)
            matizDatos(i, j) =
                platform::toSingle(platform::leadingNumber(BuscaAtributo(
                                       "celda_" + std::to_string(j) + "_" + std::to_string(i))))
                    .value_or(0.0f);
    SetObjetoFin();
}

void CHojaText::LetIncrementa(std::string, float) {
    sheets::refuseOperation(kSheet, "LetIncrementa");
}
void CHojaText::LetIncrePorcen(std::string, float) {
    sheets::refuseOperation(kSheet, "LetIncrePorcen");
}
bool CHojaText::GetVarBoolean(std::string&) {
    sheets::refuseOperation(kSheet, "GetVarBoolean");
}
std::string CHojaText::GetNombreHoja() {
    sheets::refuseOperation(kSheet, "GetNombreHoja");
}
void CHojaText::GetCeldaDeHoja(const std::string&, std::int32_t&, std::int32_t&,
                               const std::string&) {
    sheets::refuseOperation(kSheet, "GetCeldaDeHoja");
}
void CHojaText::MuestraHojaActiva(const std::optional<std::string>&) {
    sheets::refuseOperation(kSheet, "MuestraHojaActiva");
}
Value CHojaText::GetValorCelda(std::int32_t, std::int32_t) {
    sheets::refuseOperation(kSheet, "GetValorCelda");
}
void CHojaText::LlenaTablaNoRefSingle(std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                                      Array2<float>&) {
    sheets::refuseOperation(kSheet, "LlenaTablaNoRefSingle");
}
void CHojaText::GetRango(const std::string&, const std::string&, std::int32_t&, std::int32_t&,
                         std::int32_t&, std::int32_t&, const std::string&) {
    sheets::refuseOperation(kSheet, "GetRango");
}
Value CHojaText::CompruebaCeldaNumerica(std::int32_t, std::int32_t, bool) {
    sheets::refuseOperation(kSheet, "CompruebaCeldaNumerica");
}
std::string CHojaText::GetDirHoja() {
    sheets::refuseOperation(kSheet, "GetDirHoja");
}
void CHojaText::BorraHoja(const std::string&) {
    sheets::refuseOperation(kSheet, "BorraHoja");
}
void CHojaText::LetValcelda(std::int32_t, std::int32_t, const Value&) {
    sheets::refuseOperation(kSheet, "LetValcelda");
}
void CHojaText::LetMatriz1D(const Array1<float>&, std::int32_t, std::int32_t, bool) {
    sheets::refuseOperation(kSheet, "LetMatriz1D");
}
void CHojaText::LetSumaColumnas(const std::string&, std::int32_t, std::int32_t, std::int32_t,
                                std::int32_t) {
    sheets::refuseOperation(kSheet, "LetSumaColumnas");
}

} // namespace tresol
