// The Python face of the design run: members are checked by the design run's row rules (the
// texts the batch program gives too), designed by the front door, and handed back as plain
// Python values.

// Python's headers first: Qt's keyword macros ('slots') would break them.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include "design/Diagram.h"
#include "design/MemberRow.h"
#include "design/RowFields.h"
#include "design/Run.h"
#include "drawing/Canvas.h"
#include "drawing/CanvasSvg.h"
#include "platform/BoundedArray.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/ProgrammingError.h"
#include "platform/Single.h"
#include "platform/Version.h"
#include "platform/WorkerPool.h"
#include "reinforcement/Cdiametro.h"
#include "sections/CSeccG.h"

#ifdef TRESOL_PYTHON_DXF
#include "design/SectionDxf.h"
#endif

#ifdef TRESOL_PYTHON_PNG
#include "render/CanvasPaint.h"

#include <QByteArray>
#include <QGuiApplication>
#endif

#include <array>
#include <cctype>
#include <cmath>
#include <deque>
#include <exception>
#include <future>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace py = pybind11;

namespace tresol::python {
namespace {

using design::Column;
using design::RawValue;

// A row as the member checks take it, with the texts it points into.
struct Row {
    design::RawRow raw;
    std::array<std::string, design::kColumnCount> texts;

    // A Python value as a JSON reader would see it: None is null, a str is text, a real number
    // (bool aside) is a number, anything else is neither.
    void set(Column column, py::handle value) {
        const auto i = static_cast<std::size_t>(column);
        RawValue& r = raw[i];
        PyObject* o = value.ptr();
        if (o == Py_None) {
            r.type = RawValue::Type::Null;
        } else if (PyBool_Check(o)) {
            r.type = RawValue::Type::Other;
        } else if (PyUnicode_Check(o)) {
            Py_ssize_t size = 0;
            const char* utf8 = PyUnicode_AsUTF8AndSize(o, &size);
            if (!utf8)
                throw py::error_already_set(); // a lone surrogate: UnicodeEncodeError
            texts[i].assign(utf8, static_cast<std::size_t>(size));
            r.type = RawValue::Type::Text;
            r.text = texts[i];
        } else if (PyFloat_Check(o) || PyLong_Check(o) || PyObject_HasAttrString(o, "__float__")) {
            double v = PyFloat_AsDouble(o);
            if (v == -1.0 && PyErr_Occurred()) {
                if (!PyErr_ExceptionMatches(PyExc_OverflowError))
                    throw py::error_already_set();
                // An integer beyond any double: absurdly large, and refused as not finite.
                PyErr_Clear();
                const int negative = PyObject_RichCompareBool(o, py::int_(0).ptr(), Py_LT);
                if (negative < 0)
                    throw py::error_already_set();
                v = negative ? -std::numeric_limits<double>::infinity()
                             : std::numeric_limits<double>::infinity();
            }
            r.type = RawValue::Type::Number;
            r.number = v;
        } else {
            r.type = RawValue::Type::Other;
        }
    }
};

// A checked row (its member, search and aggregate size), a link checked against the row's search
// or the run's; the checks' message as a ValueError otherwise.
design::InputRow checkedRow(std::int64_t number, const Row& row, const std::string& label,
                            design::SearchKind runSearch) {
    design::InputRow in = design::checkRow(number, row.raw, label, "campo", '.', {runSearch, 0});
    if (!in.member)
        throw py::value_error(in.error);
    return in;
}

// The run's search and code options, as the batch program's command line takes them; its
// checks, with texts of our own where its are the command-line library's.
struct RunOptions {
    design::SearchKind search = design::SearchKind::Described;
    code::Options code;
};

const char* const kSearchExpected = " (se espera described, ec2 o aci)";

design::SearchKind searchOf(py::handle value) {
    if (value.is_none())
        return design::SearchKind::Described;
    if (!PyUnicode_Check(value.ptr()))
        throw py::value_error(std::string("search: se espera un texto") + kSearchExpected);
    const std::string text = value.cast<std::string>();
    if (const auto kind = design::searchKindFromText(text))
        return *kind;
    throw py::value_error("search: búsqueda desconocida «" + text + "»" + kSearchExpected);
}

// A finite real number (bool aside), or nothing.
std::optional<double> realOf(py::handle value) {
    PyObject* o = value.ptr();
    if (PyBool_Check(o) || PyUnicode_Check(o) ||
        !(PyFloat_Check(o) || PyLong_Check(o) || PyObject_HasAttrString(o, "__float__")))
        return std::nullopt;
    const double v = PyFloat_AsDouble(o);
    if (v == -1.0 && PyErr_Occurred()) {
        PyErr_Clear();
        return std::nullopt;
    }
    return std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

// A length in millimetres within (lowest, largest], or [lowest, largest] when `lowestTaken`.
double lengthOf(py::handle value, const char* name, double lowest, bool lowestTaken,
                double largest) {
    const auto v = realOf(value);
    if (v && (*v > lowest || (lowestTaken && *v == lowest)) && *v <= largest)
        return *v;
    throw py::value_error(std::string(name) + ": se espera un número " +
                          (lowestTaken ? "entre " : "mayor que ") + platform::numberText(lowest) +
                          (lowestTaken ? " y " : " y hasta ") + platform::numberText(largest) +
                          " (" + py::repr(value).cast<std::string>() + ")");
}

RunOptions runOptions(py::handle search, py::handle aggregateMm, py::handle top,
                      py::handle minDiameterMm, py::handle maxSpacingMm,
                      py::handle maxDiameterMm = py::none(), py::handle concrete = py::none(),
                      py::handle steelMpa = py::none()) {
    RunOptions o;
    o.search = searchOf(search);
    o.code.code = o.search == design::SearchKind::ACI ? code::Code::ACI : code::Code::EC2;
    o.code.aggregateMm =
        lengthOf(aggregateMm, "aggregate_mm", 0, false, design::kLargestAggregateMm);
    // The batch program's limit on rows: 0 is every row, and the search stops at 2000 anyway.
    int overflow = 0;
    const long long rows = PyLong_Check(top.ptr()) && !PyBool_Check(top.ptr())
                               ? PyLong_AsLongLongAndOverflow(top.ptr(), &overflow)
                               : -1;
    if (rows < 0 || rows > 2000 || overflow)
        throw py::value_error("top: se espera un número entero entre 0 y 2000, 0 para todos (" +
                              py::repr(top).cast<std::string>() + ")");
    o.code.top = static_cast<std::int32_t>(rows);
    if (!minDiameterMm.is_none())
        o.code.minDiameterMm = lengthOf(minDiameterMm, "min_diameter_mm", 0, true, 1000);
    if (!maxSpacingMm.is_none())
        o.code.maxSpacingMm = lengthOf(maxSpacingMm, "max_spacing_mm", 0, false, 1e4);
    if (!maxDiameterMm.is_none())
        o.code.maxDiameterMm = lengthOf(maxDiameterMm, "max_diameter_mm", 0, true, 1000);
    if (!steelMpa.is_none())
        o.code.steelMpa = lengthOf(steelMpa, "steel_mpa", 0, false, 1e4);
    if (!concrete.is_none()) {
        std::optional<double> fc;
        if (py::isinstance<py::str>(concrete))
            fc = code::rules::concreteFromText(concrete.cast<std::string>());
        else if (const auto v = realOf(concrete))
            fc = *v;
        if (!fc || !(*fc > 0))
            throw py::value_error("concrete: se espera una clase como 'C30/37' o un número de "
                                  "MPa (" +
                                  py::repr(concrete).cast<std::string>() + ")");
        o.code.concreteMpa = *fc;
    }
    return o;
}

py::object optionalFloat(const std::optional<double>& v) {
    return v ? py::object(py::float_(*v)) : py::object(py::none());
}

const char* iconName(platform::MsgIcon icon) {
    switch (icon) {
    case platform::MsgIcon::Critical:
        return "critical";
    case platform::MsgIcon::Information:
        return "information";
    case platform::MsgIcon::None:
        break;
    }
    return "none";
}

// The largest drawing taken, in pixels a side: beyond it an image would only exhaust memory.
constexpr double kLargestPixels = 10000;

void checkSize(double width, double height) {
    if (!(width >= 1 && width <= kLargestPixels && height >= 1 && height <= kLargestPixels))
        throw py::value_error("El tamaño del dibujo debe estar entre 1 y 10000 píxeles por lado");
}

// A field of a row as a Python value; nothing is left out.
class PySink : public design::FieldSink {
  public:
    py::object value(const design::Field& f, const design::RowView& view) {
        value_ = py::none();
        design::readField(f, *this, view);
        return std::move(value_);
    }

    void empty() override { value_ = py::none(); }
    void number(double v) override { value_ = py::float_(v); }
    void integer(std::int64_t v) override { value_ = py::int_(v); }
    void boolean(bool v) override { value_ = py::bool_(v); }
    void text(std::string_view t) override { value_ = py::str(t.data(), t.size()); }
    void texts(const std::vector<std::string>& list) override { value_ = py::cast(list); }
    void layered(const std::vector<design::RowLayer>&, design::LayerFigure) override {
        value_ = py::none(); // the layers themselves say it
    }
    void layers(const std::vector<design::RowLayer>& layers) override {
        py::list out;
        for (const design::RowLayer& layer : layers) {
            py::list groups;
            for (const design::RowGroup& g : layer.groups) {
                py::dict d;
                d["count"] = g.count;
                d["diameter_mm"] = g.diameterMm;
                d["ref"] = g.ref;
                groups.append(std::move(d));
            }
            py::dict l;
            l["groups"] = std::move(groups);
            l["clear_spacing_mm"] = layer.clearSpacingMm;
            l["min_clear_mm"] = optionalFloat(layer.minClearMm);
            out.append(std::move(l));
        }
        value_ = std::move(out);
    }

  private:
    py::object value_;
};

// One row of a member's table as Python sees it: the batch schedule's fields.
struct PyCandidate {
    std::shared_ptr<const design::RunResult> result;
    std::size_t index = 0;

    const design::Row& row() const { return result->rows()[index]; }
    bool chosen() const { return result->chosen() == index; }

    // The schedule's JSON fields of the row, but its mass (a row of many members carries it).
    py::dict asDict() const {
        const design::RowView view{*result, &row(), chosen(), {}};
        PySink sink;
        py::dict d;
        for (const design::Field* f : design::layout(
                 result->coded() ? design::Layout::JsonCode : design::Layout::JsonDescribed))
            if (f->name != "mass_kg")
                d[py::str(f->name.data(), f->name.size())] = sink.value(*f, view);
        if (result->checked())
            for (const design::Field* f : design::strengthFields())
                d[py::str(f->name.data(), f->name.size())] = sink.value(*f, view);
        if (result->member().linkMm > 0)
            for (const design::Field* f : design::linkFields())
                d[py::str(f->name.data(), f->name.size())] = sink.value(*f, view);
        return d;
    }

    std::optional<double> gap(double design::BarGaps::*which) const {
        const auto& g = row().gaps;
        return g ? std::optional<double>((*g).*which) : std::nullopt;
    }
};

// The design of one member, whichever search listed its rows.
class PyResult {
  public:
    explicit PyResult(design::RunResult r)
        : r_(std::make_shared<const design::RunResult>(std::move(r))) {}

    const design::RunResult& result() const { return *r_; }
    const design::Member& member() const { return r_->member(); }
    // As the batch program's schedule gives them: with the note of a short choice.
    std::vector<design::Message> messages() const { return r_->scheduleMessages(); }

    std::string search() const { return design::searchKindText(r_->search().kind); }
    std::optional<double> aggregateMm() const {
        return r_->coded() ? std::optional<double>(r_->search().code.aggregateMm) : std::nullopt;
    }

    std::size_t count() const { return r_->rows().size(); }

    // The row number (1…k) of the chosen candidate, 0 without one.
    std::int32_t chosenRow() const {
        const auto c = r_->chosen();
        return c ? r_->rows()[*c].number : 0;
    }

    py::list candidates() const {
        py::list out;
        for (std::size_t i = 0; i < count(); ++i)
            out.append(py::cast(PyCandidate{r_, i}));
        return out;
    }

    py::object chosen() const {
        const auto c = r_->chosen();
        return c ? py::cast(PyCandidate{r_, *c}) : py::none();
    }

    // Rows for a table of many members: each names its member and carries its mass.
    py::list candidatesDicts() const {
        py::list out;
        for (std::size_t i = 0; i < count(); ++i) {
            py::dict d;
            d["id"] = member().id;
            for (const auto& [key, value] : PyCandidate{r_, i}.asDict())
                d[key] = value;
            d["mass_kg"] = optionalFloat(r_->rows()[i].massKg);
            out.append(std::move(d));
        }
        return out;
    }

    // The table row to draw: the one asked for (a row number or a candidate), by default the
    // chosen one, and without any the bare outline.
    std::int32_t rowOf(const py::object& candidate) const {
        const auto k = static_cast<std::int64_t>(count());
        if (candidate.is_none())
            return chosenRow();
        std::int64_t row = 0;
        if (py::isinstance<PyCandidate>(candidate))
            row = candidate.cast<const PyCandidate&>().row().number;
        else if (PyLong_Check(candidate.ptr()) && !PyBool_Check(candidate.ptr())) {
            int overflow = 0;
            row = PyLong_AsLongLongAndOverflow(candidate.ptr(), &overflow);
            if (overflow)
                row = -1;
        } else {
            throw py::type_error("candidate: se espera un número de candidato o un Candidate");
        }
        if (row < 1 || row > k)
            throw py::value_error("No hay candidato " + py::str(candidate).cast<std::string>() +
                                  " (hay " + std::to_string(k) + ")");
        return static_cast<std::int32_t>(row);
    }

    design::Placement place(std::int32_t row) const { return r_->place(row); }

    Canvas drawing(const py::object& candidate, double width, double height) const {
        checkSize(width, height);
        Canvas canvas(static_cast<float>(width), static_cast<float>(height));
        design::DesignResult::draw(place(rowOf(candidate)), canvas);
        return canvas;
    }

    std::string svgText(const py::object& candidate, double width, double height,
                        bool diagram = false) const {
        if (!diagram)
            return canvasSvg(drawing(candidate, width, height), width, height);
        checkSize(width, height);
        Canvas canvas(static_cast<float>(width), static_cast<float>(height));
        design::drawDiagram(diagramOf(candidate, std::nullopt), canvas);
        return canvasSvg(canvas, width, height);
    }

    // The interaction diagram of a candidate (by default the chosen one).
    design::Diagram diagramOf(const py::object& candidate, std::optional<double> angleDeg) const {
        if (!r_->checked())
            throw py::value_error("El miembro no tiene acciones: se dan con n_ed_kn, my_ed_knm "
                                  "o mz_ed_knm");
        const std::int32_t row = rowOf(candidate);
        if (row < 1)
            throw py::value_error("No hay armado elegido: indique el candidato");
        design::Diagram d = design::interactionDiagram(*r_, row, angleDeg);
        if (!d.error.empty())
            throw py::value_error(d.error);
        return d;
    }

  private:
    // Shared with the candidates handed out, which outlive a result dropped by the caller.
    std::shared_ptr<const design::RunResult> r_;
};

// A checked row's design run, ready to go: plain C++ values that any thread may design without
// the interpreter.
struct Job {
    design::Member member;
    design::Search search;
    std::string label;

    design::RunResult operator()() const { return design::run(member, search); }
};

// The design run of a checked row: the row's own search and aggregate size over the run's, as
// the batch program takes them.
Job jobOf(const design::InputRow& in, const RunOptions& run) {
    const design::Member& m = *in.member;
    if (m.series != "Euro" && m.series != "Mex")
        throw py::value_error("serie desconocida «" + m.series + "» (se espera Euro o Mex)");
    return {m, design::searchOf(in, {run.search, run.code}), in.label};
}

PyResult resultOf(design::RunResult r, const std::string& label) {
    // What the search cannot take is refused as the batch program refuses it.
    if (r.refused())
        throw py::value_error(label + ": " + r.messages().front().text + ".");
    return PyResult(std::move(r));
}

PyResult designRow(const design::InputRow& in, const RunOptions& run) {
    const Job job = jobOf(in, run);
    std::optional<design::RunResult> r;
    {
        // The core touches no Python object: other Python threads run meanwhile.
        py::gil_scoped_release released;
        r.emplace(job());
    }
    return resultOf(std::move(*r), job.label);
}

// Most threads design_many() takes.
constexpr long kMostWorkers = 256;

unsigned workersOf(py::handle value) {
    long n = 0;
    // Any whole number (numpy's too), not a bool.
    if (PyIndex_Check(value.ptr()) && !PyBool_Check(value.ptr())) {
        const py::object whole = py::reinterpret_steal<py::object>(PyNumber_Index(value.ptr()));
        if (!whole)
            throw py::error_already_set();
        int overflow = 0;
        n = PyLong_AsLongAndOverflow(whole.ptr(), &overflow);
        if (overflow)
            n = 0;
    }
    if (n < 1 || n > kMostWorkers)
        throw py::value_error("workers: se espera un número entero de hilos entre 1 y " +
                              std::to_string(kMostWorkers));
    return static_cast<unsigned>(n);
}

// The module's face of design(): the arguments as one member row, the search and aggregate
// size among its fields so that they are checked with the batch program's texts.
PyResult designArgs(py::handle kind, py::handle series, py::handle area, py::handle cover,
                    py::handle width, py::handle height, py::handle multiple, py::handle id,
                    py::handle lengthM, py::handle search, py::handle aggregateMm, py::handle top,
                    py::handle minDiameterMm, py::handle maxSpacingMm, py::handle maxDiameterMm,
                    py::handle concrete, py::handle steelMpa, py::handle nEd, py::handle myEd,
                    py::handle mzEd, py::handle linkMm) {
    Row row;
    row.set(Column::Kind, kind);
    row.set(Column::Series, series);
    row.set(Column::Area, area);
    row.set(Column::Cover, cover);
    row.set(Column::Width, width);
    row.set(Column::Height, height);
    if (multiple.is_none()) {
        // Left out: a column's fewest sides, a beam's one face (as the window starts them).
        const RawValue& k = row.raw[static_cast<std::size_t>(Column::Kind)];
        std::string kindText;
        if (k.type == RawValue::Type::Text)
            for (char ch : k.text)
                if (ch != ' ' && ch != '\t')
                    kindText += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        row.set(Column::Multiple, py::int_(kindText == "pilar" ? 4 : 1));
    } else {
        row.set(Column::Multiple, multiple);
    }
    if (!id.is_none())
        row.set(Column::Id, id);
    if (!lengthM.is_none())
        row.set(Column::Length, lengthM);
    row.set(Column::Search, search);
    row.set(Column::Aggregate, aggregateMm);
    for (const auto& [column, value] :
         {std::pair{Column::NEd, nEd}, {Column::MyEd, myEd}, {Column::MzEd, mzEd}})
        if (!value.is_none())
            row.set(column, value);
    if (!linkMm.is_none())
        row.set(Column::Link, linkMm);
    // One member: its faults name their fields alone; its search is among them.
    const design::InputRow in = checkedRow(1, row, "", design::SearchKind::Described);
    const RunOptions run = runOptions(py::none(), py::float_(20.0), top, minDiameterMm,
                                      maxSpacingMm, maxDiameterMm, concrete, steelMpa);
    return designRow(in, run);
}

// design_many: rows from any iterable, designed one at a time as they are asked for; with more
// than one worker, designed on that many threads a few rows ahead of the one asked for, and
// still handed back in order.
class DesignMany {
  public:
    DesignMany(py::object rows, bool returnErrors, RunOptions run, unsigned workers)
        : rows_(std::move(rows)), returnErrors_(returnErrors), run_(std::move(run)),
          pool_(workers > 1 ? std::make_unique<platform::WorkerPool>(workers) : nullptr) {}

    py::object next() {
        if (done_)
            throw py::stop_iteration();
        if (pool_)
            return nextFromPool();
        // The next row only now, so a generator of rows is read as the results are.
        const py::object item = py::reinterpret_steal<py::object>(PyIter_Next(rows_.ptr()));
        if (!item) {
            if (PyErr_Occurred())
                throw py::error_already_set();
            done_ = true;
            throw py::stop_iteration();
        }
        ++number_;
        try {
            return py::cast(designItem(item));
        } catch (py::value_error& e) {
            if (!returnErrors_) {
                done_ = true; // as a generator that raised: nothing follows
                throw;
            }
            return py::reinterpret_steal<py::object>(
                PyObject_CallFunction(PyExc_ValueError, "s", e.what()));
        }
    }

  private:
    // Rows read ahead go to the workers a few at a time: waking a thread costs about as much as
    // designing a small member.
    struct Chunk {
        std::vector<Job> jobs; // until sent
        std::future<std::vector<design::RunResult>> future;
        std::optional<std::vector<design::RunResult>> results;
    };
    // A row read ahead: its place in a chunk, or what refused it (in order, when its turn comes).
    struct Ahead {
        std::shared_ptr<Chunk> chunk;
        std::size_t index = 0;
        std::string label;
        std::exception_ptr error;
    };
    static constexpr std::size_t kChunk = 8;
    // Chunks in flight per worker.
    static constexpr std::size_t kChunksPerWorker = 3;

    py::object nextFromPool() {
        while (!exhausted_ && ahead_.size() < kChunksPerWorker * kChunk * pool_->size())
            readAhead();
        // What is left of the rows once they are all read, or a chunk the next row waits for.
        if (exhausted_ || (!ahead_.empty() && ahead_.front().chunk == filling_))
            send();
        if (ahead_.empty()) {
            done_ = true;
            throw py::stop_iteration();
        }
        Ahead a = std::move(ahead_.front());
        ahead_.pop_front();
        try {
            if (a.error)
                std::rethrow_exception(a.error);
            if (!a.chunk->results) {
                py::gil_scoped_release released;
                a.chunk->results.emplace(a.chunk->future.get());
            }
            return py::cast(resultOf(std::move((*a.chunk->results)[a.index]), a.label));
        } catch (py::value_error& e) {
            return refused(e);
        } catch (...) {
            // Anything else ends the iteration, as a generator that raised.
            done_ = true;
            ahead_.clear();
            throw;
        }
    }

    void readAhead() {
        const py::object item = py::reinterpret_steal<py::object>(PyIter_Next(rows_.ptr()));
        if (!item) {
            exhausted_ = true;
            if (PyErr_Occurred())
                ahead_.push_back(
                    {nullptr, 0, {}, std::make_exception_ptr(py::error_already_set())});
            return;
        }
        ++number_;
        try {
            Job job = python::jobOf(itemRow(item), run_);
            if (!filling_)
                filling_ = std::make_shared<Chunk>();
            ahead_.push_back({filling_, filling_->jobs.size(), job.label, nullptr});
            filling_->jobs.push_back(std::move(job));
            if (filling_->jobs.size() == kChunk)
                send();
        } catch (...) {
            ahead_.push_back({nullptr, 0, {}, std::current_exception()});
        }
    }

    void send() {
        if (!filling_)
            return;
        // The jobs go with the work, which owns them: the rows' entries may be dropped first.
        auto jobs = std::make_shared<const std::vector<Job>>(std::move(filling_->jobs));
        filling_->future = pool_->submit([jobs] {
            std::vector<design::RunResult> out;
            out.reserve(jobs->size());
            for (const Job& job : *jobs)
                out.push_back(job());
            return out;
        });
        filling_.reset();
    }

    py::object refused(py::value_error& e) {
        if (!returnErrors_) {
            done_ = true; // as a generator that raised: nothing follows
            ahead_.clear();
            throw e;
        }
        return py::reinterpret_steal<py::object>(
            PyObject_CallFunction(PyExc_ValueError, "s", e.what()));
    }

    PyResult designItem(py::handle item) const { return designRow(itemRow(item), run_); }

    design::InputRow itemRow(py::handle item) const {
        const std::string label = "Miembro " + std::to_string(number_);
        // Kept for the life of the process: released before the interpreter would be gone.
        static const py::handle mapping =
            py::object(py::module_::import("collections.abc").attr("Mapping")).release();
        if (!PyDict_Check(item.ptr()) && !py::isinstance(item, mapping))
            throw py::value_error(label + ": no es un objeto con los campos de un miembro.");
        Row row;
        const py::object items = py::reinterpret_steal<py::object>(PyMapping_Items(item.ptr()));
        if (!items)
            throw py::error_already_set();
        for (const py::handle kv : items) {
            const py::handle key = kv[py::int_(0)];
            Py_ssize_t size = 0;
            const char* name =
                PyUnicode_Check(key.ptr()) ? PyUnicode_AsUTF8AndSize(key.ptr(), &size) : nullptr;
            if (!name) {
                PyErr_Clear(); // not a field name: ignored as an unknown column
                continue;
            }
            if (const auto column =
                    design::columnByName(std::string_view(name, static_cast<std::size_t>(size))))
                row.set(*column, kv[py::int_(1)]);
        }
        return checkedRow(number_, row, label, run_.search);
    }

    py::object rows_;
    bool returnErrors_;
    RunOptions run_;
    bool done_ = false;
    bool exhausted_ = false; // the rows have all been read
    std::int64_t number_ = 0;
    std::deque<Ahead> ahead_;
    std::shared_ptr<Chunk> filling_;
    // Last: destroyed first, it waits for the runs in flight, which use nothing above.
    std::unique_ptr<platform::WorkerPool> pool_;
};

py::list catalogue(const std::string& series) {
    // Named as the batch program reads a series: without regard to case.
    std::string lower;
    for (char ch : series)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (lower != "euro" && lower != "mex")
        throw py::value_error("serie desconocida «" + series + "» (se espera Euro o Mex)");
    const std::string name = lower == "euro" ? "Euro" : "Mex";
    const auto cat = design::standardCatalogue(name);
    py::list out;
    for (std::int32_t i = cat->GetIndiMin(); i <= cat->GetIndiMax(); ++i) {
        py::dict bar;
        bar["reference"] = cat->GetDiamRefer(i);
        bar["diameter_mm"] = static_cast<double>(cat->GetDiametroMetros(i)) * 1000.0;
        bar["area_cm2"] = static_cast<double>(cat->GetAreaIndice(i)) * 10000.0;
        out.append(bar);
    }
    return out;
}

// Most points a contour may have: the section's rows are counted in 32 bits.
constexpr std::size_t kMostPoints = 1'000'000;

py::dict sectionProperties(const py::iterable& points) {
    std::vector<std::array<float, 2>> pts;
    std::size_t n = 0;
    for (const py::handle p : points) {
        ++n;
        if (pts.size() >= kMostPoints)
            throw py::value_error("El contorno tiene más de 1000000 puntos");
        const std::string where = "Punto " + std::to_string(n);
        if (PyUnicode_Check(p.ptr()) || PyBytes_Check(p.ptr()) || !PySequence_Check(p.ptr()) ||
            PySequence_Size(p.ptr()) != 2) {
            PyErr_Clear();
            throw py::value_error(where + ": se espera un par (y, z)");
        }
        std::array<float, 2> xy{};
        for (int j = 0; j < 2; ++j) {
            const py::object v = py::reinterpret_steal<py::object>(PySequence_GetItem(p.ptr(), j));
            if (!v)
                throw py::error_already_set();
            std::optional<float> f;
            if (!PyBool_Check(v.ptr()) && !PyUnicode_Check(v.ptr()) &&
                (PyFloat_Check(v.ptr()) || PyLong_Check(v.ptr()) ||
                 PyObject_HasAttrString(v.ptr(), "__float__"))) {
                const double d = PyFloat_AsDouble(v.ptr());
                if (d == -1.0 && PyErr_Occurred())
                    PyErr_Clear();
                else
                    f = platform::toSingle(d);
            }
            if (!f)
                throw py::value_error(where + ": las coordenadas deben ser números finitos");
            xy[static_cast<std::size_t>(j)] = *f;
        }
        pts.push_back(xy);
    }
    // The polygonal section wants the contour closed; an open one is closed here.
    if (!pts.empty() && pts.front() != pts.back())
        pts.push_back(pts.front());
    if (pts.size() < 4)
        throw py::value_error("El contorno necesita al menos tres puntos distintos");

    const auto rows = static_cast<std::int32_t>(pts.size());
    PointArray a = makePointArray(rows);
    for (std::int32_t i = 1; i <= rows; ++i) {
        a(i, 1) = pts[static_cast<std::size_t>(i - 1)][0];
        a(i, 2) = pts[static_cast<std::size_t>(i - 1)][1];
    }
    CSeccG s;
    bool ok = false;
    std::vector<std::string> said;
    {
        platform::RecordingSink sink;
        ok = s.asigna_coor(rows, a);
        said = sink.texts();
    }
    if (!ok)
        throw py::value_error(said.empty() ? "El contorno no encierra área" : said.front());
    const double values[] = {s.area(), s.Yg(), s.Zg(), s.Iyg(), s.Izg()};
    for (double v : values)
        if (!std::isfinite(v))
            throw py::value_error("Las propiedades del contorno no caben en precisión simple");
    py::dict d;
    d["area"] = static_cast<double>(s.area());
    d["centroid"] = py::make_tuple(static_cast<double>(s.Yg()), static_cast<double>(s.Zg()));
    d["iy"] = static_cast<double>(s.Iyg());
    d["iz"] = static_cast<double>(s.Izg());
    return d;
}

#ifdef TRESOL_PYTHON_PNG
// Text needs a running Gui application; one on the offscreen platform is started the first time
// a picture is asked for, unless the process already has one.
// Qt wants its application made on the process's main thread: a picture asked for first from
// another thread is refused. Painting itself needs no particular thread, and png() keeps the
// interpreter's lock, so one picture is painted at a time.
void ensureGuiApplication() {
    if (QCoreApplication::instance())
        return;
    const py::module_ threading = py::module_::import("threading");
    if (!threading.attr("current_thread")().is(threading.attr("main_thread")()))
        throw std::runtime_error("La primera imagen PNG del proceso debe pedirse desde el hilo "
                                 "principal");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tresol";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}

py::bytes png(const PyResult& r, const py::object& candidate, double width, double height,
              bool diagram) {
    Canvas canvas = r.drawing(candidate, width, height);
    if (diagram)
        design::drawDiagram(r.diagramOf(candidate, std::nullopt), canvas);
    ensureGuiApplication();
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw std::runtime_error("La aplicación Qt del proceso no permite dibujar");
    const QByteArray bytes = render::canvasPng(
        canvas, QSize(static_cast<int>(std::lround(width)), static_cast<int>(std::lround(height))));
    if (bytes.isEmpty())
        throw std::runtime_error("No se ha podido dibujar la imagen PNG");
    return py::bytes(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}
#endif

} // namespace
} // namespace tresol::python

using namespace tresol::python;
using tresol::design::Member;
using tresol::design::MemberKind;

PYBIND11_MODULE(tresol, m) {
    m.doc() = "Tresol: longitudinal bars of reinforced-concrete beams and columns.\n\n"
              "design() designs one member, design_many() a schedule of them, catalogue() "
              "lists the bars of a series and section_properties() integrates a polygon.";
    m.attr("__version__") = TRESOL_VERSION;

    // A broken contract inside the core is a fault of ours, never a reason to end the
    // interpreter.
    static py::exception<tresol::ProgrammingError> internalError(m, "InternalError",
                                                                 PyExc_RuntimeError);
    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p)
                std::rethrow_exception(p);
        } catch (const tresol::ProgrammingError& e) {
            internalError(e.what());
        }
    });

    using tresol::design::BarGaps;
    auto rowValue = [](auto f) { return [f](const PyCandidate& c) { return f(c.row()); }; };
    using Row = tresol::design::Row;
    py::class_<PyCandidate>(m, "Candidate",
                            "One arrangement of bars for a member: a line of the schedule. A "
                            "described row is one size in one layer; a code search's row "
                            "(EN 1992-1-1 or ACI 318 clear spacing, up to two neighbouring "
                            "sizes and two layers) has its layers, depth, ratio and notes.")
        .def_property_readonly("candidate", rowValue([](const Row& r) { return r.number; }),
                               "Its number, 1…k, in the order of the search (a code search's "
                               "preferred arrangement first).")
        .def_property_readonly("line", rowValue([](const Row& r) { return r.line; }),
                               "The line, e.g. '5 fi 16'; a code row's groups joined by ' + ', "
                               "its layers by ' / ' ('2 fi 20 + 2 fi 16', '3 fi 20 / 2 fi 20').")
        .def_property_readonly("bars", rowValue([](const Row& r) { return r.bars; }),
                               "Number of bars.")
        .def_property_readonly("diameter_mm", rowValue([](const Row& r) { return r.diameterMm; }),
                               "Bar diameter (mm); a code row's largest (its corners).")
        .def_property_readonly("bar_area_cm2", rowValue([](const Row& r) { return r.barAreaCm2; }),
                               "Area of one bar (cm²); None for a row of several sizes.")
        .def_property_readonly("total_area_cm2",
                               rowValue([](const Row& r) { return r.totalAreaCm2; }),
                               "Area of all the bars (cm²).")
        .def_property_readonly("excess_pct", rowValue([](const Row& r) { return r.excessPct; }),
                               "Steel beyond the required area, in % of it.")
        .def_property_readonly(
            "spacing_cm", rowValue([](const Row& r) { return r.spacingCm; }),
            "The search's spacing of the line (cm): a described line's bar line shared out "
            "between the bars, the window's figure, not always the bars' as placed (see "
            "centre_spacing_cm); a code row's widest centre spacing.")
        .def_property_readonly("clear_spacing_cm",
                               rowValue([](const Row& r) { return r.clearSpacingCm; }),
                               "The line's spacing less one diameter (cm), the window's figure; "
                               "a code row's narrowest clear gap.")
        .def_property_readonly(
            "centre_spacing_cm", [](const PyCandidate& c) { return c.gap(&BarGaps::centreCm); },
            "The least distance between the centres of two bars as placed on the section (cm); "
            "None with fewer than two bars placed.")
        .def_property_readonly(
            "clear_gap_cm", [](const PyCandidate& c) { return c.gap(&BarGaps::clearCm); },
            "The least clear gap between two bars as placed (cm): their centre distance less "
            "both radii; None with fewer than two bars placed.")
        .def_property_readonly("short", rowValue([](const Row& r) { return r.isShort; }),
                               "Whether its area is less than the required one (the described "
                               "search lists rows up to 1 % short; a code search never).")
        .def_property_readonly("placeable", rowValue([](const Row& r) { return r.placeable; }),
                               "Whether all the bars fit on the section.")
        .def_property_readonly("placed", rowValue([](const Row& r) { return r.placed; }),
                               "How many of the bars fit on the section.")
        .def_property_readonly(
            "layers",
            [](const PyCandidate& c) {
                PySink sink;
                const tresol::design::RowView view{*c.result, &c.row(), c.chosen(), {}};
                return sink.value(tresol::design::field("layers"), view);
            },
            "The layers, the first at the face (a column has one: corners and sides): dicts "
            "with groups (count, diameter_mm, ref), clear_spacing_mm (the equal clear gap; a "
            "column's least over its sides) and min_clear_mm (the code's least; None for a "
            "described row).")
        .def_property_readonly("effective_depth_cm",
                               rowValue([](const Row& r) { return r.effectiveDepthCm; }),
                               "A code-checked beam's effective depth to the centroid of its "
                               "bars (cm); None otherwise.")
        .def_property_readonly("ratio_pct", rowValue([](const Row& r) { return r.ratioPct; }),
                               "A code row's steel area in % of the gross concrete area; None "
                               "for a described row.")
        .def_property_readonly("flags", rowValue([](const Row& r) { return r.flags; }),
                               "A code row's notes (texts): the code minimum when it governed, "
                               "advice; they never mean a refusal.")
        .def_property_readonly(
            "chosen", [](const PyCandidate& c) { return c.chosen(); },
            "Whether the schedule takes this candidate: described, the placeable one of least "
            "area at or above the required area, only when there is none the least short; a "
            "code search's preferred one.")
        .def_property_readonly("utilisation", rowValue([](const Row& r) { return r.utilisation; }),
                               "Design action over resistance when the member has actions "
                               "(≤ 1 carries them), else None.")
        .def_property_readonly("governing", rowValue([](const Row& r) { return r.governing; }),
                               "The governing strength check, as text ('' without actions).")
        .def_property_readonly("m_rd_knm", rowValue([](const Row& r) { return r.mRdKnm; }),
                               "The moment resistance at N_Ed in the direction of the design "
                               "moment (kN·m), or None.")
        .def_property_readonly("x_d", rowValue([](const Row& r) { return r.xOverD; }),
                               "A beam's neutral-axis depth over its effective depth at that "
                               "state, or None.")
        .def_property_readonly("phi", rowValue([](const Row& r) { return r.phi; }),
                               "ACI 318's strength-reduction factor at that state, or None.")
        .def("as_dict", &PyCandidate::asDict,
             "The candidate as a dict with the schedule's field names.")
        .def("__repr__", [](const PyCandidate& c) {
            const Row& r = c.row();
            if (c.result->coded())
                return "<CodeCandidate " + std::to_string(r.number) + ": " + r.line +
                       (c.chosen() ? ", elegido" : "") + ">";
            return "<Candidate " + std::to_string(r.number) + ": " + r.line +
                   (r.placeable ? "" : " (no cabe)") + (r.isShort ? " (corto)" : "") +
                   (c.chosen() ? ", elegido" : "") + ">";
        });
    // The rows of a code search are candidates like the others; the older name stays.
    m.attr("CodeCandidate") = m.attr("Candidate");

    py::class_<tresol::design::Message>(m, "Message", "A message the core raised, as data.")
        .def_readonly("text", &tresol::design::Message::text, "The message as the user reads it.")
        .def_property_readonly(
            "icon", [](const tresol::design::Message& msg) { return iconName(msg.icon); },
            "'critical', 'information' or 'none'.")
        .def("__str__", [](const tresol::design::Message& msg) { return msg.text; })
        .def("__eq__", [](const tresol::design::Message& a,
                          const tresol::design::Message& b) { return a == b; })
        .def("__repr__", [](const tresol::design::Message& msg) {
            return "<Message " + std::string(iconName(msg.icon)) + ": " + msg.text + ">";
        });

    auto memberValue = [](auto f) { return [f](const PyResult& r) { return f(r.member()); }; };
    py::class_<PyResult>(m, "DesignResult", "The design of one member.")
        .def_property_readonly("id", memberValue([](const Member& x) { return x.id; }),
                               "The member's id.")
        .def_property_readonly("kind", memberValue([](const Member& x) {
                                   return std::string(tresol::design::kindName(x.kind));
                               }),
                               "'viga' or 'pilar'.")
        .def_property_readonly("series", memberValue([](const Member& x) { return x.series; }),
                               "'Euro' or 'Mex'.")
        .def_property_readonly("area_cm2", memberValue([](const Member& x) { return x.areaCm2; }),
                               "Required area (cm²).")
        .def_property_readonly("cover_cm", memberValue([](const Member& x) { return x.coverCm; }),
                               "Cover (cm).")
        .def_property_readonly("width_cm", memberValue([](const Member& x) { return x.widthCm; }),
                               "Width (cm); of a column of more than four sides, the "
                               "circumradius of its regular polygon.")
        .def_property_readonly("height_cm", memberValue([](const Member& x) { return x.heightCm; }),
                               "Height (cm).")
        .def_property_readonly("multiple", memberValue([](const Member& x) { return x.multiple; }),
                               "A beam's faces sharing the bars, or a column's sides.")
        .def_property_readonly("length_m", memberValue([](const Member& x) { return x.lengthM; }),
                               "The member's length (m), or None.")
        .def_property_readonly("link_mm", memberValue([](const Member& x) { return x.linkMm; }),
                               "The link's diameter (mm); 0 without a link.")
        .def_property_readonly("search", &PyResult::search,
                               "The search that designed the member: 'described', 'ec2' or 'aci'.")
        .def_property_readonly("aggregate_mm", &PyResult::aggregateMm,
                               "The aggregate size of a code search (mm); None for the "
                               "described one.")
        .def_property_readonly("candidates", &PyResult::candidates,
                               "The candidates in the order of the search: a list of Candidate "
                               "(described) or of CodeCandidate (ec2, aci; the preferred first).")
        .def_property_readonly("chosen", &PyResult::chosen,
                               "The candidate the schedule takes, or None: described, the "
                               "placeable one of least steel area at or above the required "
                               "area (ties to fewer bars), and only when there is none the "
                               "least short one, said in messages; ec2 and aci, the preferred "
                               "arrangement, the first row.")
        .def_property_readonly(
            "messages", [](const PyResult& r) { return r.messages(); },
            "What the design run raised, in order, and the shortfall of a short chosen "
            "candidate, as the batch schedule's messages (list of Message).")
        .def("candidates_dicts", &PyResult::candidatesDicts,
             "The candidates as a list of dicts with the schedule's column names, each with the "
             "member's id first and its mass_kg (None without a length) last, ready for "
             "pandas.DataFrame(...) over many members.")
        .def(
            "svg",
            [](const PyResult& r, const py::object& candidate, double width, double height,
               bool diagram) { return py::bytes(r.svgText(candidate, width, height, diagram)); },
            py::arg("candidate") = py::none(), py::arg("width") = 400, py::arg("height") = 300,
            py::arg("diagram") = false,
            "The section with the bars of a candidate (its number or the Candidate; by default "
            "the chosen one) as SVG bytes; with diagram=True its interaction diagram instead "
            "(a member with actions).")
#ifdef TRESOL_PYTHON_PNG
        .def("png", &png, py::arg("candidate") = py::none(), py::arg("width") = 400,
             py::arg("height") = 300, py::arg("diagram") = false,
             "The section with the bars of a candidate (by default the chosen one) as PNG bytes; "
             "with diagram=True its interaction diagram.")
#endif
#ifdef TRESOL_PYTHON_DXF
        .def(
            "dxf",
            [](const PyResult& r, const py::object& where, const py::object& candidate) {
                const py::object path = py::module_::import("os").attr("fspath")(where);
                if (!PyUnicode_Check(path.ptr()))
                    throw py::type_error("path: se espera una ruta de texto");
                const tresol::design::Placement p = r.place(r.rowOf(candidate));
                if (!p.section)
                    throw py::value_error("El miembro no tiene sección que dibujar");
                std::string error;
                if (!tresol::design::writeSectionDxf(path.cast<std::string>(), p, error))
                    throw std::runtime_error(error);
            },
            py::arg("path"), py::arg("candidate") = py::none(),
            "Writes the section with the bars of a candidate (by default the chosen one) as a "
            "DXF drawing.")
#endif
        .def(
            "_repr_svg_", [](const PyResult& r) { return r.svgText(py::none(), 400, 300); },
            "The chosen candidate's section, for Jupyter.")
        .def("__repr__", [](const PyResult& r) {
            const Member& x = r.member();
            std::string s = "<DesignResult " + std::string(tresol::design::kindName(x.kind));
            if (!x.id.empty())
                s += " " + x.id;
            if (r.result().coded())
                s += " " + r.search();
            s += ": " + std::to_string(r.count()) + " candidatos";
            if (const py::object c = r.chosen(); !c.is_none())
                s += ", elegido " + c.attr("line").cast<std::string>();
            return s + ">";
        });

    py::class_<DesignMany>(m, "DesignMany",
                           "Results of design_many(), designed one at a time as they are asked "
                           "for.")
        .def("__iter__", [](DesignMany& d) -> DesignMany& { return d; })
        .def("__next__", &DesignMany::next);

    m.def(
        "design", &designArgs, py::arg("kind"), py::arg("series"), py::arg("area_cm2"),
        py::arg("cover_cm"), py::arg("width_cm"), py::arg("height_cm"),
        py::arg("multiple") = py::none(), py::arg("id") = py::none(),
        py::arg("length_m") = py::none(), py::kw_only(), py::arg("search") = "described",
        py::arg("aggregate_mm") = 20, py::arg("top") = 10, py::arg("min_diameter_mm") = py::none(),
        py::arg("max_spacing_mm") = py::none(), py::arg("max_diameter_mm") = py::none(),
        py::arg("concrete") = py::none(), py::arg("steel_mpa") = py::none(),
        py::arg("n_ed_kn") = py::none(), py::arg("my_ed_knm") = py::none(),
        py::arg("mz_ed_knm") = py::none(), py::arg("link_mm") = py::none(),
        "Designs one member: kind 'viga' or 'pilar', series 'Euro' or 'Mex', required area "
        "(cm²), cover, width and height (cm; a column of more than four sides is the regular "
        "polygon whose circumradius is width_cm), multiple (a beam's faces, 1…10, 1 when left "
        "out; a column's sides, 4…10, 4 when left out), an optional id and length (m).\n\n"
        "search 'described' (the default) lists one diameter per row; 'ec2' or 'aci' lists "
        "the arrangements that meet the clear spacing of EN 1992-1-1 or ACI 318 for the "
        "aggregate size aggregate_mm, the preferred first, at most top rows (0: all), with "
        "bars of at least min_diameter_mm (None: 10 in a beam, 12 in a column) and centres at "
        "most max_spacing_mm apart (None: 300), at most max_diameter_mm (None: the series' "
        "largest), for the concrete (a class 'C30/37' or fck / f'c in MPa; None: C25/30 "
        "under EN, 28 MPa under ACI) and steel_mpa (fyk / fy; None: 500 or 420).\n\n"
        "With actions n_ed_kn (compression positive), my_ed_knm (about the horizontal axis: "
        "a beam's moment, positive stretching its bars' face) and mz_ed_knm (about the vertical "
        "axis), each candidate is checked for strength (utilisation, m_rd_knm, x_d, phi), the "
        "chosen one carries them, and area_cm2 may be None: it is then found from the actions.\n\n"
        "link_mm is the diameter of the link (stirrup, tie) round the bars, one of the series' "
        "sizes (None or 0: no link): the cover is then to its outer face, the bars lie inside it "
        "and its corner bars in its bends, and each candidate's dict has link (its text, '1 cerco "
        "fi 8 + 2 horquillas fi 8'), crossties (how many a column's bars need) and "
        "link_spacing_mm (a column's largest link spacing; None for a beam). Bad arguments raise "
        "ValueError with the batch program's text, naming each faulty field ('campo cover_cm: "
        "…').");
    m.def(
        "design_many",
        [](const py::iterable& rows, bool returnErrors, py::handle search, py::handle aggregateMm,
           py::handle top, py::handle minDiameterMm, py::handle maxSpacingMm,
           py::handle maxDiameterMm, py::handle concrete, py::handle steelMpa, py::handle workers) {
            RunOptions run = runOptions(search, aggregateMm, top, minDiameterMm, maxSpacingMm,
                                        maxDiameterMm, concrete, steelMpa);
            const unsigned threads = workersOf(workers);
            return std::make_unique<DesignMany>(py::reinterpret_borrow<py::object>(py::iter(rows)),
                                                returnErrors, run, threads);
        },
        py::arg("rows"), py::arg("return_errors") = false, py::kw_only(),
        py::arg("search") = "described", py::arg("aggregate_mm") = 20, py::arg("top") = 10,
        py::arg("min_diameter_mm") = py::none(), py::arg("max_spacing_mm") = py::none(),
        py::arg("max_diameter_mm") = py::none(), py::arg("concrete") = py::none(),
        py::arg("steel_mpa") = py::none(), py::arg("workers") = 1,
        "Designs members given as dicts with the batch program's column names (id, kind, "
        "series, area_cm2, cover_cm, width_cm, height_cm, multiple, length_m, search, "
        "aggregate_mm, concrete, steel_mpa, n_ed_kn, my_ed_knm, mz_ed_knm, link_mm), lazily. "
        "search, aggregate_mm, top, "
        "min_diameter_mm, max_spacing_mm, max_diameter_mm, concrete and steel_mpa are the "
        "run's, as tresol-batch's options of those names; a row's own search, aggregate_mm, "
        "concrete and steel_mpa fields, when filled, take their place for that row. A bad "
        "member raises ValueError naming it ('Miembro 3, campo cover_cm: …'; rows are numbered "
        "1, 2, … as tresol-batch numbers the members of a JSON file) and ends the iteration; with "
        "return_errors=True the ValueError is yielded in its place and the others are still "
        "designed. workers > 1 designs on that many threads at once, reading up to four rows "
        "per worker ahead of the result asked for; the results are the same, in the same "
        "order.");
    m.def(
        "interaction",
        [](const PyResult& r, const py::object& candidate, const py::object& angleDeg) {
            std::optional<double> angle;
            if (!angleDeg.is_none()) {
                angle = realOf(angleDeg);
                if (!angle)
                    throw py::value_error("angle_deg: se espera un número finito");
            }
            const tresol::design::Diagram d = r.diagramOf(candidate, angle);
            py::list n, mm;
            for (const auto& p : d.curve) {
                n.append(p.nKn);
                mm.append(p.mKnm);
            }
            return py::make_tuple(n, mm);
        },
        py::arg("result"), py::arg("candidate") = py::none(), py::arg("angle_deg") = py::none(),
        "The interaction curve of a candidate (by default the chosen one) of a member designed "
        "with actions, as two lists (N in kN, compression positive; M in kN·m) ready for "
        "matplotlib: the closed curve in the plane of the design moment, or at angle_deg (the "
        "moment's direction in the section, degrees from its height's axis).");
    m.def("catalogue", &catalogue, py::arg("series"),
          "The bars of a series ('Euro' or 'Mex'): a list of dicts with reference, diameter_mm "
          "and area_cm2.");
    m.def("section_properties", &sectionProperties, py::arg("points"),
          "Area, centroid (y, z) and second moments about the centroidal axes (iy about y, iz "
          "about z) of the polygon through `points`, pairs (y, z), closed if it is not. A "
          "clockwise contour gives negated area and moments.");
}
