// tresol-batch: a member schedule at once, from the required areas a frame analysis exports.
#include "batch/AtomicFile.h"
#include "batch/BatchRun.h"
#include "platform/Version.h"
#include "platform/WorkerPool.h"

#include <CLI/CLI.hpp>
#include <QGuiApplication>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>

#include <unistd.h>

using namespace tresol::batch;

namespace {

// Qt's notes about the session (no runtime folder, no display) mean nothing to a batch run; only
// its real failures are passed on.
void qtMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::cerr << "Qt: " << text.toStdString() << '\n';
}

// More threads than this serve no machine the program runs on.
constexpr unsigned kMostJobs = 256;

} // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    BatchOptions options;
    std::string format, inputFormat, drawingFormats, csvDialect = "en";

    CLI::App cli{"Calcula el armado longitudinal de muchos pilares y vigas a la vez: lee sus datos "
                 "(CSV o JSON) y escribe el cuadro de armados, los dibujos de las secciones y un "
                 "informe PDF.",
                 "tresol-batch"};
    cli.add_option("entrada", options.input,
                   "Archivo de miembros, CSV o JSON ('-' para la entrada estándar)")
        ->required();
    cli.add_option("-o,--output", options.outputs,
                   "Cuadro de armados (repetible); CSV o JSON según la extensión. Sin él, la "
                   "salida estándar");
    cli.add_option("--format", format, "Formato del cuadro: csv o json")
        ->check(CLI::IsMember({"csv", "json"}, CLI::ignore_case));
    cli.add_option("--input-format", inputFormat,
                   "Formato de la entrada, si la extensión no lo dice: csv o json")
        ->check(CLI::IsMember({"csv", "json"}, CLI::ignore_case));
    cli.add_option("--csv-dialect", csvDialect,
                   "Forma de los CSV escritos: en (comas y punto decimal, si no se dice) o es "
                   "(punto y coma, coma decimal y marca de orden de bytes UTF-8, como los abre "
                   "una hoja de cálculo en español)")
        ->check(CLI::IsMember({"en", "es"}, CLI::ignore_case));
    cli.add_option("--totals", options.totals,
                   "Totales del acero elegido por diámetro (CSV o JSON según la extensión)");
    auto* drawings = cli.add_option("--drawings", options.drawingsFolder,
                                    "Carpeta para el dibujo de la sección de cada miembro");
    auto* diagrams =
        cli.add_option("--diagrams", options.diagramsFolder,
                       "Carpeta para el diagrama de interacción del armado elegido de cada miembro "
                       "con acciones");
    auto* as = cli.add_option("--as", drawingFormats,
                              "Formatos de los dibujos y diagramas: svg,png,pdf,dxf (svg si no se "
                              "dice; los diagramas no se escriben en DXF)");
    cli.add_option("--report", options.report,
                   "Informe PDF: una página por miembro y una de resumen");
    std::string search = "described";
    cli.add_option("--search", search,
                   "Búsqueda de armados: described (la lista de siempre), ec2 o aci (separación "
                   "libre según EN 1992-1-1 o ACI 318, dos diámetros vecinos, hasta dos capas)")
        ->check(CLI::IsMember({"described", "ec2", "aci"}, CLI::ignore_case));
    cli.add_option("--aggregate-mm", options.code.aggregateMm,
                   "Tamaño máximo del árido en mm (20 si no se dice)")
        ->check(CLI::Range(1e-9, kLargestAggregateMm));
    cli.add_option("--top", options.code.top,
                   "Armados por miembro con ec2 o aci (10 si no se dice; 0: todos)")
        ->check(CLI::Range(0, 2000));
    cli.add_option("--min-diameter-mm", options.code.minDiameterMm,
                   "Diámetro mínimo en mm con ec2 o aci (10 en vigas y 12 en pilares si no se "
                   "dice)")
        ->check(CLI::Range(0.0, 1000.0));
    cli.add_option("--max-spacing-mm", options.code.maxSpacingMm,
                   "Separación máxima entre ejes en mm con ec2 o aci (300 si no se dice)")
        ->check(CLI::Range(1e-9, 1e4));
    cli.add_option("--max-diameter-mm", options.code.maxDiameterMm,
                   "Diámetro máximo en mm con ec2 o aci (el mayor de la serie si no se dice)")
        ->check(CLI::Range(0.0, 1000.0));
    std::string concrete;
    cli.add_option("--concrete", concrete,
                   "Hormigón con ec2 o aci: una clase (C30/37) o fck / f'c en MPa (C25/30 con "
                   "ec2 y 28 MPa con aci si no se dice)");
    cli.add_option("--steel-mpa", options.code.steelMpa,
                   "Límite elástico del acero en MPa con ec2 o aci: fyk (500) o fy (420)")
        ->check(CLI::Range(1.0, 1e4));
    double linkMm = 0;
    auto* link = cli.add_option("--link-mm", linkMm,
                                "Diámetro en mm del cerco de los miembros sin columna link_mm "
                                "(0: sin cerco); el cuadro lleva entonces el cerco, las "
                                "horquillas y la separación de cercos")
                     ->check(CLI::Range(0.0, kLargestLinkMm));
    std::string jobs;
    cli.add_option("-j,--jobs", jobs,
                   "Hilos que calculan los miembros a la vez (uno por núcleo si no se dice; 1: "
                   "uno solo). Los resultados son los mismos y en el mismo orden")
        ->type_name("N");
    cli.add_flag("-q,--quiet", options.quiet, "Sin progreso ni resumen en la salida de errores");
    cli.set_version_flag("--version", "tresol-batch " TRESOL_VERSION);

    try {
        cli.parse(argc, argv);
        // A range check lets NaN through.
        for (const auto& [name, value] :
             {std::pair<const char*, double>{"--aggregate-mm", options.code.aggregateMm},
              {"--min-diameter-mm", options.code.minDiameterMm},
              {"--max-spacing-mm", options.code.maxSpacingMm},
              {"--max-diameter-mm", options.code.maxDiameterMm},
              {"--steel-mpa", options.code.steelMpa},
              {"--link-mm", linkMm}})
            if (!std::isfinite(value))
                throw CLI::ValidationError(name, "no es un número finito");
        if (!concrete.empty()) {
            const auto fc = tresol::code::rules::concreteFromText(concrete);
            if (!fc || !(*fc > 0))
                throw CLI::ValidationError("--concrete",
                                           "se espera una clase como C30/37 o un número de MPa");
            options.code.concreteMpa = *fc;
        }
        if (link->count() > 0)
            options.linkMm = linkMm;
        if (jobs.empty()) {
            options.jobs = tresol::platform::defaultThreadCount();
        } else {
            // Whole numbers only: CLI11 would take '2.5' or '0x4'.
            unsigned n = 0;
            const auto [end, ec] = std::from_chars(jobs.data(), jobs.data() + jobs.size(), n);
            if (ec != std::errc() || end != jobs.data() + jobs.size() || n < 1 || n > kMostJobs)
                throw CLI::ValidationError("-j", "se espera un número entero de hilos entre 1 y " +
                                                     std::to_string(kMostJobs));
            options.jobs = n;
        }
        if (as->count() > 0 && drawings->count() == 0 && diagrams->count() == 0)
            throw CLI::ValidationError("--as", "necesita --drawings o --diagrams");
        if (!options.drawingsFolder.empty() || !options.diagramsFolder.empty()) {
            std::string error;
            if (!parseDrawingFormats(drawingFormats.empty() ? "svg" : drawingFormats,
                                     options.drawingFormats, error))
                throw CLI::ValidationError("--as", error);
        }
    } catch (const CLI::ParseError& e) {
        const int status = cli.exit(e);
        return status == 0 ? kAllDesigned : kUsageOrFileError;
    }
    options.search =
        tresol::design::searchKindFromText(search).value_or(tresol::design::SearchKind::Described);
    options.csvDialect = csvDialectFromText(csvDialect).value_or(CsvDialect{});
    for (char& c : format)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (char& c : inputFormat)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (!format.empty())
        options.format = format == "json" ? OutputFormat::Json : OutputFormat::Csv;
    if (!inputFormat.empty())
        options.inputFormat = inputFormat == "json" ? InputFormat::Json : InputFormat::Csv;
    options.progress = ::isatty(STDERR_FILENO) == 1;

    installInterruptCleanup();

    // Drawings and the report are painted by Qt; a batch run never needs a display.
    std::unique_ptr<QGuiApplication> qt;
    int qtArgc = 1;
    if (!options.drawingsFolder.empty() || !options.diagramsFolder.empty() ||
        !options.report.empty()) {
        if (std::getenv("QT_QPA_PLATFORM") == nullptr)
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        qInstallMessageHandler(qtMessages);
        qt = std::make_unique<QGuiApplication>(qtArgc, argv);
    }
    return runBatch(options);
}
