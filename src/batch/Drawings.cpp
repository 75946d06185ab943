#include "batch/Drawings.h"

#include "batch/AtomicFile.h"
#include "batch/DxfDrawing.h"
#include "render/CanvasPaint.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <system_error>

namespace tresol::batch {

bool parseDrawingFormats(std::string_view text, DrawingFormats& formats, std::string& error) {
    formats = {};
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        std::string word(text.substr(start, comma - start));
        for (char& c : word)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (word == "svg")
            formats.svg = true;
        else if (word == "png")
            formats.png = true;
        else if (word == "pdf")
            formats.pdf = true;
        else if (word == "dxf")
            formats.dxf = true;
        else if (!word.empty()) {
            error = "formato de dibujo desconocido «" + word + "» (se espera svg, png, pdf o dxf)";
            return false;
        }
        start = comma + 1;
    }
    if (!formats.any()) {
        error = "no se ha pedido ningún formato de dibujo (svg, png, pdf o dxf)";
        return false;
    }
    return true;
}

DrawingWriter::DrawingWriter(std::string folder, DrawingFormats formats)
    : folder_(std::move(folder)), formats_(formats) {
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);
    if (ec || !std::filesystem::is_directory(folder_))
        throw OutputError("No se puede crear la carpeta de dibujos «" + folder_ + "»" +
                          (ec ? ": " + ec.message() : std::string()) + ".");
}

void DrawingWriter::write(std::int64_t row, const design::Member& member,
                          const design::Placement& placement, const Canvas& canvas) {
    const std::string stem =
        (std::filesystem::path(folder_) / names_.take(member.id, row)).string();
    const QSize size(static_cast<int>(std::lround(canvas.Width())),
                     static_cast<int>(std::lround(canvas.Height())));

    // Writes through a hidden name beside the target, renamed only when complete.
    auto save = [](const std::string& target, const std::function<bool(const std::string&)>& writer,
                   std::string& error) {
        std::error_code ec;
        if (std::filesystem::exists(target, ec) && !std::filesystem::is_regular_file(target, ec)) {
            error = "No se puede escribir el dibujo «" + target + "»: no es un archivo.";
            return false;
        }
        const std::string temp = createTempBeside(target);
        const bool ok = writer(temp) && std::rename(temp.c_str(), target.c_str()) == 0;
        if (!ok)
            std::remove(temp.c_str());
        releaseTempName(temp);
        if (!ok && error.empty())
            error = "No se puede escribir el dibujo «" + target + "».";
        return ok;
    };

    std::string error;
    bool ok = true;
    if (formats_.svg)
        ok = ok && save(
                       stem + ".svg",
                       [&](const std::string& p) {
                           return render::exportSvg(canvas, QString::fromStdString(p), size);
                       },
                       error);
    if (formats_.png)
        ok = ok && save(
                       stem + ".png",
                       [&](const std::string& p) {
                           return render::exportPng(canvas, QString::fromStdString(p), size, 2.0);
                       },
                       error);
    if (formats_.pdf)
        ok = ok && save(
                       stem + ".pdf",
                       [&](const std::string& p) {
                           return render::exportPdf(canvas, QString::fromStdString(p), size);
                       },
                       error);
    if (formats_.dxf && dxfDrawingAvailable())
        ok = ok &&
             save(
                 stem + ".dxf",
                 [&](const std::string& p) { return writeDxfDrawing(p, placement, error); }, error);
    if (!ok)
        throw OutputError(error);
}

} // namespace tresol::batch
