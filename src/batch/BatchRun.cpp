#include "batch/BatchRun.h"

#include "batch/AtomicFile.h"
#include "batch/DxfDrawing.h"
#include "batch/PdfReport.h"
#include "batch/Progress.h"
#include "design/Diagram.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/WorkerPool.h"
#include "reinforcement/Cdiametro.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <future>
#include <iostream>
#include <memory>

namespace tresol::batch {
namespace {

std::string lowerExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

// A schedule file and its writer.
struct ScheduleOutput {
    AtomicFile file;
    BufferedWriter out;
    std::unique_ptr<ScheduleWriter> writer;

    ScheduleOutput(const std::string& path, OutputFormat format, const CsvDialect& dialect)
        : file(path), out((file.open(), file.fd()), path),
          writer(makeScheduleWriter(format, out, dialect)) {}
};

OutputFormat formatFor(const std::string& path, const std::optional<OutputFormat>& forced) {
    if (forced)
        return *forced;
    return lowerExtension(path) == ".json" ? OutputFormat::Json : OutputFormat::Csv;
}

// Roughly how many members a file holds, for the progress line: CSV lines after the header, or
// objects in the top array.
std::optional<std::int64_t> countMembers(const std::string& path, InputFormat format) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::array<char, 1 << 16> buffer;
    std::int64_t count = 0;
    int depth = 0;
    bool quoted = false, escaped = false;
    while (in.read(buffer.data(), buffer.size()) || in.gcount() > 0) {
        for (std::streamsize i = 0; i < in.gcount(); ++i) {
            const char c = buffer[static_cast<std::size_t>(i)];
            if (format == InputFormat::Csv) {
                if (c == '"')
                    quoted = !quoted;
                else if (c == '\n' && !quoted)
                    ++count;
                continue;
            }
            if (quoted) {
                if (escaped)
                    escaped = false;
                else if (c == '\\')
                    escaped = true;
                else if (c == '"')
                    quoted = false;
            } else if (c == '"') {
                quoted = true;
            } else if (c == '[' || c == '{') {
                if (++depth == 2 && c == '{')
                    ++count;
            } else if (c == ']' || c == '}') {
                --depth;
            }
        }
    }
    if (format == InputFormat::Csv)
        count = std::max<std::int64_t>(count - 1, 0);
    return count;
}

// What a worker made of one member. The core's messages that reach the thread's sink instead of
// the result are kept, to be shown on the writing thread where a single thread would show them:
// those of the design run, and those of the drawing.
struct Worked {
    std::optional<design::RunResult> result;
    design::Placement placement;
    std::optional<Canvas> canvas;
    std::optional<Canvas> diagram; // the chosen row's, when the member has actions
    std::vector<platform::RecordingSink::Entry> designSaid, drawSaid;
    // Its text in each schedule, made where it was designed (none when refused).
    std::vector<std::string> texts;
    // A run without drawings lets the result go where it was made, once its texts and its share
    // of the totals are taken: freed at once on that thread, its many small blocks cost far less.
    std::optional<SteelTotals::Share> share;
};

// Designs a member and, when the run draws, draws its chosen bars on a recorded canvas. Owns
// everything it uses, so that any thread may run it; the catalogue is only read.
Worked designMember(const design::Member& member, const design::Search& search,
                    std::shared_ptr<const Cdiametro> catalogue, bool drawn) {
    Worked w;
    {
        platform::RecordingSink said;
        w.result.emplace(design::run(member, search, std::move(catalogue)));
        w.designSaid = said.entries();
    }
    if (drawn && !w.result->refused()) {
        // The chosen bars drawn once for the drawings and the report page.
        platform::RecordingSink said;
        const auto chosen = w.result->chosen();
        w.placement = w.result->place(chosen ? w.result->rows()[*chosen].number : 0);
        w.canvas.emplace(kDrawingSize, kDrawingSize);
        design::DesignResult::draw(w.placement, *w.canvas);
        if (w.result->checked() && chosen) {
            w.diagram.emplace(kDrawingSize, kDrawingSize * 0.75f);
            design::drawDiagram(
                design::interactionDiagram(*w.result, w.result->rows()[*chosen].number),
                *w.diagram);
        }
        w.drawSaid = said.entries();
    }
    return w;
}

void showAgain(const std::vector<platform::RecordingSink::Entry>& said) {
    for (const auto& e : said)
        platform::messages().show(e.text, e.icon);
}

// A member read and not yet written, with the search and catalogue it is designed with (none
// for a row refused as it was read).
struct Pending {
    InputRow row;
    design::Search search;
    std::shared_ptr<const Cdiametro> catalogue;
};

// The designing thread's own copy of a catalogue (the same table under the same stamp): the
// count of a shared one, touched by every copy of its pointer, would go back and forth between
// the cores.
std::shared_ptr<const Cdiametro> ownCopy(const std::shared_ptr<const Cdiametro>& shared) {
    if (!shared)
        return shared;
    thread_local std::vector<std::shared_ptr<const Cdiametro>> copies;
    for (const auto& copy : copies)
        if (copy->stamp() == shared->stamp())
            return copy;
    if (copies.size() >= 16)
        copies.clear();
    return copies.emplace_back(std::make_shared<const Cdiametro>(*shared));
}

// Designs a batch and writes each member's schedule texts, on a designing thread: the writing
// thread then only puts them in place.
std::vector<Worked> designAll(const std::vector<Pending>& members, bool drawn,
                              const std::vector<const ScheduleWriter*>& schedules) {
    std::vector<Worked> out(members.size());
    for (std::size_t i = 0; i < members.size(); ++i) {
        const Pending& p = members[i];
        if (!p.row.member)
            continue;
        Worked& w = out[i] = designMember(*p.row.member, p.search, ownCopy(p.catalogue), drawn);
        if (w.result->refused())
            continue;
        w.texts.resize(schedules.size());
        for (std::size_t k = 0; k < schedules.size(); ++k)
            schedules[k]->format(p.row.number, *w.result, w.texts[k]);
        if (!drawn) {
            w.share = SteelTotals::shareOf(*w.result);
            w.result.reset();
        }
    }
    return out;
}

// Members handed to a designing thread together: waking a thread costs about as much as
// designing a small member, so they go in batches. The reading thread reads a batch again only
// once its future is ready.
struct Batch {
    std::shared_ptr<const std::vector<Pending>> members;
    std::future<std::vector<Worked>> worked;
    platform::WorkerPool* worker;
};
constexpr std::size_t kBatchSize = 32;
// Batches in flight per designing thread: enough to keep every thread busy while the writing
// thread catches up, few enough that a schedule of any length takes bounded memory.
constexpr std::size_t kBatchesPerThread = 3;

} // namespace

int runBatch(const BatchOptions& options) {
    const bool fromStdin = options.input == "-";
    const std::string inputName =
        fromStdin ? std::string("la entrada estándar") : "«" + options.input + "»";
    std::ifstream file;
    if (!fromStdin) {
        if (std::filesystem::is_directory(options.input)) {
            platform::showError("No se puede leer " + inputName + ": es una carpeta.");
            return kUsageOrFileError;
        }
        file.open(options.input, std::ios::binary);
        if (!file) {
            platform::showError("No se puede leer " + inputName + ": " + std::strerror(errno) +
                                ".");
            return kUsageOrFileError;
        }
    }
    std::istream& in = fromStdin ? std::cin : file;

    InputFormat inputFormat = InputFormat::Csv;
    if (options.inputFormat)
        inputFormat = *options.inputFormat;
    else if (const std::string ext = lowerExtension(options.input); ext == ".json")
        inputFormat = InputFormat::Json;
    else if (ext != ".csv")
        inputFormat = sniffFormat(in);

    try {
        // Every output is opened before the first member: a target that cannot be written stops
        // the run before any work.
        std::vector<std::unique_ptr<ScheduleOutput>> schedules;
        if (options.outputs.empty())
            schedules.push_back(std::make_unique<ScheduleOutput>("-", formatFor("", options.format),
                                                                 options.csvDialect));
        for (const auto& path : options.outputs)
            schedules.push_back(std::make_unique<ScheduleOutput>(
                path, formatFor(path, options.format), options.csvDialect));
        std::unique_ptr<AtomicFile> totalsFile;
        if (!options.totals.empty()) {
            totalsFile = std::make_unique<AtomicFile>(options.totals);
            totalsFile->open();
        }
        std::unique_ptr<DrawingWriter> drawings;
        if (!options.drawingsFolder.empty()) {
            if (options.drawingFormats.dxf && !dxfDrawingAvailable())
                platform::messages().show("Los dibujos DXF de la sección aún no están disponibles; "
                                          "se escriben los demás formatos.",
                                          platform::MsgIcon::Information);
            drawings =
                std::make_unique<DrawingWriter>(options.drawingsFolder, options.drawingFormats);
        }
        std::unique_ptr<DrawingWriter> diagrams;
        if (!options.diagramsFolder.empty()) {
            DrawingFormats formats = options.drawingFormats;
            formats.dxf = false;
            if (!formats.any())
                formats.svg = true;
            diagrams = std::make_unique<DrawingWriter>(options.diagramsFolder, formats);
        }
        std::unique_ptr<PdfReport> report;
        if (!options.report.empty())
            report = std::make_unique<PdfReport>(options.report);

        std::optional<std::int64_t> total;
        if (options.progress && !options.quiet && !fromStdin)
            total = countMembers(options.input, inputFormat);
        Progress progress(options.progress && !options.quiet, total);

        design::Catalogues catalogues;
        SteelTotals totals;
        const bool drawn = drawings || report || diagrams;

        // The designing threads, when the run has more than one: the reading thread hands them
        // the members and writes the results back in the order read.
        // Each batch goes to one thread in turn, which also frees it once written: the results'
        // many small blocks, freed on another thread than the one that made them, would contend
        // for its heap.
        std::vector<std::unique_ptr<platform::WorkerPool>> workers;
        if (options.jobs > 1)
            for (unsigned i = 0; i < options.jobs; ++i)
                workers.push_back(std::make_unique<platform::WorkerPool>(1));
        const bool pool = !workers.empty();
        const std::size_t window = kBatchesPerThread * workers.size();
        std::size_t sent = 0;
        std::vector<Pending> filling;
        std::deque<Batch> inFlight;
        // Read by the designing threads, which make the schedules' texts once the columns are
        // said (with the first member, before any batch is sent).
        std::vector<const ScheduleWriter*> writers;
        for (const auto& s : schedules)
            writers.push_back(s->writer.get());

        auto refuse = [&](const std::string& message) {
            platform::showError(message);
            totals.addRefused();
            if (report)
                report->refused(message);
            progress.step();
        };
        auto write = [&](const InputRow& row, Worked* worked) {
            if (!worked)
                return refuse(row.error);
            showAgain(worked->designSaid);
            if (worked->share) {
                for (std::size_t k = 0; k < schedules.size(); ++k)
                    schedules[k]->writer->written(worked->texts[k]);
                totals.add(*worked->share);
                progress.step();
                return;
            }
            const design::RunResult& result = *worked->result;
            // What the search cannot take is a refused row, as a bad field is.
            if (result.refused())
                return refuse(std::string(row.label) + ": " + result.messages().front().text + ".");
            for (std::size_t k = 0; k < schedules.size(); ++k)
                if (k < worked->texts.size())
                    schedules[k]->writer->written(worked->texts[k]);
                else
                    schedules[k]->writer->member(row.number, result);
            totals.add(result);
            if (drawn) {
                showAgain(worked->drawSaid);
                if (drawings)
                    drawings->write(row.number, result.member(), worked->placement,
                                    *worked->canvas);
                if (diagrams && worked->diagram)
                    diagrams->write(row.number, result.member(), {}, *worked->diagram);
                if (report)
                    report->member(row.number, result, *worked->canvas,
                                   worked->diagram ? &*worked->diagram : nullptr);
            }
            progress.step();
        };
        auto writeOldest = [&] {
            Batch oldest = std::move(inFlight.front());
            inFlight.pop_front();
            // A worker's exception (a broken contract) comes out here, as it would have on one
            // thread.
            auto worked = std::make_shared<std::vector<Worked>>(oldest.worked.get());
            for (std::size_t i = 0; i < worked->size(); ++i) {
                const InputRow& row = (*oldest.members)[i].row;
                write(row, row.member ? &(*worked)[i] : nullptr);
            }
            oldest.worker->post([worked = std::move(worked)]() mutable { worked.reset(); });
        };
        auto send = [&] {
            if (filling.empty())
                return;
            auto members = std::make_shared<const std::vector<Pending>>(std::move(filling));
            filling.clear();
            filling.reserve(kBatchSize);
            platform::WorkerPool* worker = workers[sent++ % workers.size()].get();
            auto worked = worker->submit(
                [members, drawn, writers] { return designAll(*members, drawn, writers); });
            inFlight.push_back({std::move(members), std::move(worked), worker});
            if (inFlight.size() >= window)
                writeOldest();
        };
        auto writeAll = [&] {
            if (pool)
                send();
            while (!inFlight.empty())
                writeOldest();
        };

        bool columnsSet = false;
        try {
            const RowSink onRow = [&](InputRow&& row) {
                // A CSV schedule has one header: the code columns when the run or the input asks
                // for a code search.
                if (!columnsSet) {
                    columnsSet = true;
                    for (auto& s : schedules) {
                        s->writer->codeColumns(options.search != design::SearchKind::Described ||
                                               row.searchField);
                        s->writer->strengthColumns(row.actionFields);
                        s->writer->linkColumns(options.linkMm.has_value() || row.linkField);
                    }
                }
                if (!pool && !row.member)
                    return write(row, nullptr);
                design::Search search;
                std::shared_ptr<const Cdiametro> catalogue;
                if (row.member) {
                    search = design::searchOf(row, {options.search, options.code});
                    catalogue = catalogues.get(row.member->series, search.kind);
                    if (!pool) {
                        Worked w = designMember(*row.member, search, std::move(catalogue), drawn);
                        return write(row, &w);
                    }
                }
                filling.push_back({std::move(row), search, std::move(catalogue)});
                if (filling.size() >= kBatchSize)
                    send();
            };
            readMembers(in, inputFormat, onRow, {options.search, options.linkMm.value_or(0)});
        } catch (const InputError&) {
            // The members read before the fault are written (and their messages shown) as a
            // single thread would have, before the fault is reported.
            writeAll();
            throw;
        }
        writeAll();
        progress.finish();
        if (in.bad())
            throw InputError("la lectura se ha interrumpido por un error del sistema");

        for (auto& s : schedules) {
            s->writer->finish();
            s->out.flush();
        }
        if (totalsFile) {
            BufferedWriter out(totalsFile->fd(), options.totals);
            writeTotals(formatFor(options.totals, options.format), totals, out, options.csvDialect);
            out.flush();
        }
        if (report)
            report->finish(totals);
        for (auto& s : schedules)
            s->file.commit();
        if (totalsFile)
            totalsFile->commit();

        if (!options.quiet) {
            std::string summary = std::to_string(totals.members()) + " miembros calculados";
            if (totals.refused() > 0)
                summary += ", " + std::to_string(totals.refused()) + " filas rechazadas";
            if (totals.withoutChoice() > 0)
                summary +=
                    ", " + std::to_string(totals.withoutChoice()) + " sin un armado que quepa";
            if (totals.weighed() > 0)
                summary += "; acero " + platform::formatNumber(totals.massKg(), "#0.0") + " kg";
            platform::messages().show(summary + ".", platform::MsgIcon::Information);
        }
        return totals.refused() > 0 ? kRowsRefused : kAllDesigned;
    } catch (const InputError& e) {
        platform::showError("No se puede usar " + inputName + ": " + e.what() + ".");
    } catch (const OutputError& e) {
        platform::showError(e.what());
    }
    return kUsageOrFileError;
}

} // namespace tresol::batch
