// The text data-sheet reader on any bytes: a file that is not well-formed is refused with a
// message, and from one that is, values, a table and a material are read without failing.

#include "FuzzSupport.h"
#include "datasheets/CHojaText.h"
#include "pieces/Cmateria.h"
#include "platform/Numbers.h"

#include <cmath>
#include <fstream>
#include <string>
#include <unistd.h>

using namespace tresol;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::CountingSink sink;
    static const std::string file = "/tmp/tresol-fuzz-sheet-" + std::to_string(getpid()) + ".xml";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    CHojaText hoja;
    if (!hoja.IniLectura(file)) {
        FUZZ_CHECK(sink.count == 1 && sink.last.rfind("Parser Error: ", 0) == 0, "%s",
                   sink.last.c_str());
        return 0;
    }
    for (const char* objeto : {"datos", "Diametros", "Calculo"}) {
        hoja.SetObjetoIni(objeto, objeto == std::string("Calculo"));
        for (const char* nombre : {"refTipo", "refUnidades", "x", "valor", "nombre"}) {
            (void)hoja.GetVariableDeHoja(nombre);
            FUZZ_CHECK(std::isfinite(hoja.GetVarFloat(nombre)), "%s.%s", objeto, nombre);
        }
        hoja.SetObjetoFin();
    }
    Array2<float> tabla;
    CHojaText otra;
    if (otra.IniLectura(file)) {
        otra.LlenaDeTablaSingle("Tabla", "", 2, tabla, false, false);
        for (std::size_t k = 0; tabla.allocated() && k < tabla.size(); ++k)
            FUZZ_CHECK(std::isfinite(tabla.data()[k]), "table cell %zu", k);
    }
    CHojaText material;
    if (material.IniLectura(file)) {
        Cmateria m;
        (void)m.IniDesdeHoja(material);
    }
    return 0;
}
