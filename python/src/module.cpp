// The Python face of the design run: members are checked by the design run's row rules (the
// texts the batch program gives too), designed by the front door, and handed back as plain
// Python values.

// Python's headers first: Qt's keyword macros ('slots') would break them.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include "design/CodeDesign.h"
#include "design/Design.h"
#include "design/MemberRow.h"
#include "design/SteelMass.h"
#include "drawing/Canvas.h"
#include "drawing/CanvasSvg.h"
#include "platform/BoundedArray.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/ProgrammingError.h"
#include "platform/Single.h"
#include "platform/Version.h"
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
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <variant>
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

// A checked row (its member, search and aggregate size); the checks' message as a ValueError
// otherwise.
design::InputRow checkedRow(std::int64_t number, const Row& row, const std::string& label) {
    design::InputRow in = design::checkRow(number, row.raw, label, "campo", '.');
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

// The gaps of bars as placed, under the schedule's names.
void putGaps(py::dict& d, const std::optional<design::BarGaps>& gaps) {
    d["centre_spacing_cm"] = gaps ? py::object(py::float_(gaps->centreCm)) : py::none();
    d["clear_gap_cm"] = gaps ? py::object(py::float_(gaps->clearCm)) : py::none();
}

// One candidate as Python sees it, with whether the schedule takes it.
struct PyCandidate {
    design::Candidate c;
    bool chosen = false;

    std::optional<design::BarGaps> gaps() const {
        if (!c.centreSpacingCm || !c.clearGapCm)
            return std::nullopt;
        return design::BarGaps{*c.centreSpacingCm, *c.clearGapCm};
    }

    py::dict asDict() const {
        py::dict d;
        d["candidate"] = c.row;
        d["line"] = c.line;
        d["bars"] = c.bars;
        d["diameter_mm"] = c.diameterMm;
        d["bar_area_cm2"] = c.barAreaCm2;
        d["total_area_cm2"] = c.totalAreaCm2;
        d["excess_pct"] = c.excessPct;
        d["spacing_cm"] = c.spacingCm;
        d["clear_spacing_cm"] = c.clearSpacingCm;
        d["placeable"] = c.placeable;
        d["placed"] = c.placed;
        d["chosen"] = chosen;
        d["short"] = c.isShort;
        putGaps(d, gaps());
        return d;
    }
};

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

// One arrangement of a code search as Python sees it: the batch schedule's JSON fields.
struct PyCodeCandidate {
    code::Arrangement a;
    std::int64_t row = 0;
    bool chosen = false;
    bool isShort = false;
    std::optional<design::BarGaps> gaps;

    static py::list layersOf(const code::Arrangement& a) {
        py::list layers;
        for (const code::Layer& layer : a.layers) {
            py::list groups;
            for (const code::Group& g : layer.groups) {
                py::dict d;
                d["count"] = g.count;
                d["diameter_mm"] = g.diameterMm;
                d["ref"] = g.ref;
                groups.append(std::move(d));
            }
            py::dict l;
            l["groups"] = std::move(groups);
            l["clear_spacing_mm"] = layer.clearSpacingMm;
            l["min_clear_mm"] = layer.minClearMm;
            layers.append(std::move(l));
        }
        return layers;
    }

    py::dict asDict() const {
        py::dict d;
        d["candidate"] = row;
        d["line"] = a.line;
        d["bars"] = a.bars;
        d["total_area_cm2"] = a.totalAreaCm2;
        d["excess_pct"] = a.excessPct;
        d["layers"] = layersOf(a);
        d["effective_depth_cm"] = a.effectiveDepthCm;
        d["ratio_pct"] = a.ratioPct;
        d["flags"] = a.flags;
        d["chosen"] = chosen;
        d["short"] = isShort;
        putGaps(d, gaps);
        return d;
    }
};

// The design of one member: the described run or a code search.
class PyResult {
  public:
    explicit PyResult(design::DesignResult r) : r_(std::move(r)) {}
    explicit PyResult(design::CodeDesignResult r) : r_(std::move(r)) {}

    const design::Member& member() const {
        return std::visit([](const auto& r) -> const design::Member& { return r.member(); }, r_);
    }
    // As the batch program's schedule gives them: a described member's with the note of a
    // short choice.
    std::vector<design::Message> messages() const {
        if (const auto* d = described())
            return d->scheduleMessages();
        return code()->messages();
    }
    const design::CodeDesignResult* code() const {
        return std::get_if<design::CodeDesignResult>(&r_);
    }
    const design::DesignResult* described() const { return std::get_if<design::DesignResult>(&r_); }

    std::string search() const {
        return code() ? (code()->options().code == code::Code::ACI ? "aci" : "ec2") : "described";
    }
    std::optional<double> aggregateMm() const {
        return code() ? std::optional<double>(code()->options().aggregateMm) : std::nullopt;
    }

    std::size_t count() const {
        return code() ? code()->arrangements().size() : described()->candidates().size();
    }

    // The row number (1…k) of the chosen candidate, 0 without one.
    std::int32_t chosenRow() const {
        if (const auto* c = code())
            return c->chosen() ? static_cast<std::int32_t>(*c->chosen() + 1) : 0;
        const auto* d = described();
        return d->chosen() ? d->candidates()[*d->chosen()].row : 0;
    }

    py::object candidate(std::size_t i) const {
        if (const auto* c = code())
            return py::cast(codeCandidate(*c, i));
        const auto* d = described();
        return py::cast(PyCandidate{d->candidates()[i], d->chosen() == i});
    }

    py::list candidates() const {
        py::list out;
        for (std::size_t i = 0; i < count(); ++i)
            out.append(candidate(i));
        return out;
    }

    py::object chosen() const {
        const std::int32_t row = chosenRow();
        return row > 0 ? candidate(static_cast<std::size_t>(row - 1)) : py::none();
    }

    // Rows for a table of many members: each names its member and carries its mass.
    py::list candidatesDicts() const {
        const design::Member& m = member();
        auto row = [&m](const py::dict& fields, std::optional<double> mass) {
            py::dict d;
            d["id"] = m.id;
            for (const auto& [key, value] : fields)
                d[key] = value;
            d["mass_kg"] = optionalFloat(mass);
            return d;
        };
        py::list out;
        if (const auto* c = code()) {
            for (std::size_t i = 0; i < c->arrangements().size(); ++i)
                out.append(row(codeCandidate(*c, i).asDict(),
                               design::steelMassKg(c->arrangements()[i], m)));
            return out;
        }
        const auto* d = described();
        for (std::size_t i = 0; i < d->candidates().size(); ++i)
            out.append(row(PyCandidate{d->candidates()[i], d->chosen() == i}.asDict(),
                           design::steelMassKg(d->candidates()[i], m)));
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
            row = candidate.cast<const PyCandidate&>().c.row;
        else if (py::isinstance<PyCodeCandidate>(candidate))
            row = candidate.cast<const PyCodeCandidate&>().row;
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

    design::Placement place(std::int32_t row) const {
        return std::visit([row](const auto& r) { return r.place(row); }, r_);
    }

    Canvas drawing(const py::object& candidate, double width, double height) const {
        checkSize(width, height);
        Canvas canvas(static_cast<float>(width), static_cast<float>(height));
        design::DesignResult::draw(place(rowOf(candidate)), canvas);
        return canvas;
    }

    std::string svgText(const py::object& candidate, double width, double height) const {
        return canvasSvg(drawing(candidate, width, height), width, height);
    }

  private:
    static PyCodeCandidate codeCandidate(const design::CodeDesignResult& c, std::size_t i) {
        return {c.arrangements()[i], static_cast<std::int64_t>(i + 1), c.chosen() == i,
                c.isShort(i), c.gaps(i)};
    }

    std::variant<design::DesignResult, design::CodeDesignResult> r_;
};

// The design run of a checked row: the row's own search and aggregate size over the run's, as
// the batch program takes them.
PyResult designRow(const design::InputRow& in, const RunOptions& run) {
    const design::Member& m = *in.member;
    if (m.series != "Euro" && m.series != "Mex")
        throw py::value_error("serie desconocida «" + m.series + "» (se espera Euro o Mex)");
    const design::SearchKind search = in.search.value_or(run.search);
    if (search == design::SearchKind::Described)
        return PyResult(design::design(m));
    code::Options o = run.code;
    o.code = search == design::SearchKind::ACI ? code::Code::ACI : code::Code::EC2;
    if (in.aggregateMm)
        o.aggregateMm = *in.aggregateMm;
    if (in.concreteMpa)
        o.concreteMpa = *in.concreteMpa;
    if (in.steelMpa)
        o.steelMpa = *in.steelMpa;
    design::CodeDesignResult r = design::designCode(m, o);
    // What the search cannot take is refused as the batch program refuses it.
    if (r.refused())
        throw py::value_error(in.label + ": " + r.messages().front().text + ".");
    return PyResult(std::move(r));
}

// The module's face of design(): the arguments as one member row, the search and aggregate
// size among its fields so that they are checked with the batch program's texts.
PyResult designArgs(py::handle kind, py::handle series, py::handle area, py::handle cover,
                    py::handle width, py::handle height, py::handle multiple, py::handle id,
                    py::handle lengthM, py::handle search, py::handle aggregateMm, py::handle top,
                    py::handle minDiameterMm, py::handle maxSpacingMm, py::handle maxDiameterMm,
                    py::handle concrete, py::handle steelMpa) {
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
    // One member: its faults name their fields alone.
    const design::InputRow in = checkedRow(1, row, "");
    const RunOptions run = runOptions(py::none(), py::float_(20.0), top, minDiameterMm,
                                      maxSpacingMm, maxDiameterMm, concrete, steelMpa);
    return designRow(in, run);
}

// design_many: rows from any iterable, designed one at a time as they are asked for.
class DesignMany {
  public:
    DesignMany(py::object rows, bool returnErrors, RunOptions run)
        : rows_(std::move(rows)), returnErrors_(returnErrors), run_(std::move(run)) {}

    py::object next() {
        if (done_)
            throw py::stop_iteration();
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
    PyResult designItem(py::handle item) const {
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
        return designRow(checkedRow(number_, row, label), run_);
    }

    py::object rows_;
    bool returnErrors_;
    RunOptions run_;
    bool done_ = false;
    std::int64_t number_ = 0;
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
void ensureGuiApplication() {
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tresol";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}

py::bytes png(const PyResult& r, const py::object& candidate, double width, double height) {
    const Canvas canvas = r.drawing(candidate, width, height);
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

    py::class_<PyCandidate>(m, "Candidate",
                            "One arrangement of bars for a member: a line of the schedule.")
        .def_property_readonly(
            "candidate", [](const PyCandidate& c) { return c.c.row; },
            "Its number, 1…k, in the order of the search.")
        .def_property_readonly(
            "line", [](const PyCandidate& c) { return c.c.line; }, "The line, e.g. '5 fi 16'.")
        .def_property_readonly(
            "bars", [](const PyCandidate& c) { return c.c.bars; }, "Number of bars.")
        .def_property_readonly(
            "diameter_mm", [](const PyCandidate& c) { return c.c.diameterMm; },
            "Bar diameter (mm).")
        .def_property_readonly(
            "bar_area_cm2", [](const PyCandidate& c) { return c.c.barAreaCm2; },
            "Area of one bar (cm²).")
        .def_property_readonly(
            "total_area_cm2", [](const PyCandidate& c) { return c.c.totalAreaCm2; },
            "Area of all the bars (cm²).")
        .def_property_readonly(
            "excess_pct", [](const PyCandidate& c) { return c.c.excessPct; },
            "Steel beyond the required area, in % of it.")
        .def_property_readonly(
            "spacing_cm", [](const PyCandidate& c) { return c.c.spacingCm; },
            "The search's spacing of the line (cm): its bar line shared out between the bars, "
            "the window's figure; not always the bars' as placed (see centre_spacing_cm).")
        .def_property_readonly(
            "clear_spacing_cm", [](const PyCandidate& c) { return c.c.clearSpacingCm; },
            "The line's spacing less one diameter (cm), the window's figure.")
        .def_property_readonly(
            "centre_spacing_cm", [](const PyCandidate& c) { return c.c.centreSpacingCm; },
            "The least distance between the centres of two bars as placed on the section (cm); "
            "None with fewer than two bars placed.")
        .def_property_readonly(
            "clear_gap_cm", [](const PyCandidate& c) { return c.c.clearGapCm; },
            "The least clear gap between two bars as placed (cm): their centre distance less "
            "both radii; None with fewer than two bars placed.")
        .def_property_readonly(
            "short", [](const PyCandidate& c) { return c.c.isShort; },
            "Whether its area is less than the required one (the search lists rows up to 1 % "
            "short).")
        .def_property_readonly(
            "placeable", [](const PyCandidate& c) { return c.c.placeable; },
            "Whether all the bars fit on the section.")
        .def_property_readonly(
            "placed", [](const PyCandidate& c) { return c.c.placed; },
            "How many of the bars fit on the section.")
        .def_property_readonly(
            "chosen", [](const PyCandidate& c) { return c.chosen; },
            "Whether the schedule takes this candidate: the placeable one of least area at or "
            "above the required area; only when there is none, the least short.")
        .def("as_dict", &PyCandidate::asDict,
             "The candidate as a dict with the schedule's column names.")
        .def("__repr__", [](const PyCandidate& c) {
            return "<Candidate " + std::to_string(c.c.row) + ": " + c.c.line +
                   (c.c.placeable ? "" : " (no cabe)") + (c.c.isShort ? " (corto)" : "") +
                   (c.chosen ? ", elegido" : "") + ">";
        });

    py::class_<PyCodeCandidate>(
        m, "CodeCandidate",
        "One arrangement of a code search (EN 1992-1-1 or ACI 318 clear spacing, up to two "
        "neighbouring sizes and two layers): a line of the schedule.")
        .def_property_readonly(
            "candidate", [](const PyCodeCandidate& c) { return c.row; },
            "Its number, 1…k: the preferred arrangement first, then the others by area.")
        .def_property_readonly(
            "line", [](const PyCodeCandidate& c) { return c.a.line; },
            "The line: groups joined by ' + ', layers by ' / ' ('2 fi 20 + 2 fi 16', "
            "'3 fi 20 / 2 fi 20').")
        .def_property_readonly(
            "bars", [](const PyCodeCandidate& c) { return c.a.bars; }, "Number of bars.")
        .def_property_readonly(
            "total_area_cm2", [](const PyCodeCandidate& c) { return c.a.totalAreaCm2; },
            "Area of all the bars (cm²).")
        .def_property_readonly(
            "excess_pct", [](const PyCodeCandidate& c) { return c.a.excessPct; },
            "Steel beyond the required area, in % of it.")
        .def_property_readonly(
            "layers", [](const PyCodeCandidate& c) { return PyCodeCandidate::layersOf(c.a); },
            "The layers, the first at the face (a column has one: corners and sides): dicts "
            "with groups (count, diameter_mm, ref), clear_spacing_mm (the equal clear gap; a "
            "column's least over its sides) and min_clear_mm (the code's least).")
        .def_property_readonly(
            "effective_depth_cm", [](const PyCodeCandidate& c) { return c.a.effectiveDepthCm; },
            "A beam's effective depth to the centroid of its bars (cm); None for a column.")
        .def_property_readonly(
            "ratio_pct", [](const PyCodeCandidate& c) { return c.a.ratioPct; },
            "Steel area in % of the gross concrete area.")
        .def_property_readonly(
            "flags", [](const PyCodeCandidate& c) { return c.a.flags; },
            "The code's ratio warnings (texts); they flag, never refuse.")
        .def_property_readonly(
            "centre_spacing_cm",
            [](const PyCodeCandidate& c) {
                return optionalFloat(c.gaps ? std::optional(c.gaps->centreCm) : std::nullopt);
            },
            "The least distance between the centres of two bars as placed (cm), over every "
            "layer and side.")
        .def_property_readonly(
            "clear_gap_cm",
            [](const PyCodeCandidate& c) {
                return optionalFloat(c.gaps ? std::optional(c.gaps->clearCm) : std::nullopt);
            },
            "The least clear gap between two bars as placed (cm), over every layer and side.")
        .def_property_readonly(
            "short", [](const PyCodeCandidate& c) { return c.isShort; },
            "Whether its area is less than the required one (never, as the code search goes).")
        .def_property_readonly(
            "chosen", [](const PyCodeCandidate& c) { return c.chosen; },
            "Whether the schedule takes this candidate (the preferred one).")
        .def("as_dict", &PyCodeCandidate::asDict,
             "The candidate as a dict with the schedule's JSON field names.")
        .def("__repr__", [](const PyCodeCandidate& c) {
            return "<CodeCandidate " + std::to_string(c.row) + ": " + c.a.line +
                   (c.chosen ? ", elegido" : "") + ">";
        });

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
            [](const PyResult& r, const py::object& candidate, double width, double height) {
                return py::bytes(r.svgText(candidate, width, height));
            },
            py::arg("candidate") = py::none(), py::arg("width") = 400, py::arg("height") = 300,
            "The section with the bars of a candidate (its number or the Candidate; by default "
            "the chosen one) as SVG bytes.")
#ifdef TRESOL_PYTHON_PNG
        .def("png", &png, py::arg("candidate") = py::none(), py::arg("width") = 400,
             py::arg("height") = 300,
             "The section with the bars of a candidate (by default the chosen one) as PNG bytes.")
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
                if (!tresol::design::writeSectionDxf(path.cast<std::string>(), *p.section, p.line,
                                                     error))
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
            if (r.code())
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

    m.def("design", &designArgs, py::arg("kind"), py::arg("series"), py::arg("area_cm2"),
          py::arg("cover_cm"), py::arg("width_cm"), py::arg("height_cm"),
          py::arg("multiple") = py::none(), py::arg("id") = py::none(),
          py::arg("length_m") = py::none(), py::kw_only(), py::arg("search") = "described",
          py::arg("aggregate_mm") = 20, py::arg("top") = 10,
          py::arg("min_diameter_mm") = py::none(), py::arg("max_spacing_mm") = py::none(),
          py::arg("max_diameter_mm") = py::none(), py::arg("concrete") = py::none(),
          py::arg("steel_mpa") = py::none(),
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
          "under EN, 28 MPa under ACI) and steel_mpa (fyk / fy; None: 500 or 420). Bad "
          "arguments raise ValueError with the batch program's text, naming each faulty field "
          "('campo cover_cm: …').");
    m.def(
        "design_many",
        [](const py::iterable& rows, bool returnErrors, py::handle search, py::handle aggregateMm,
           py::handle top, py::handle minDiameterMm, py::handle maxSpacingMm,
           py::handle maxDiameterMm, py::handle concrete, py::handle steelMpa) {
            RunOptions run = runOptions(search, aggregateMm, top, minDiameterMm, maxSpacingMm,
                                        maxDiameterMm, concrete, steelMpa);
            return DesignMany(py::reinterpret_borrow<py::object>(py::iter(rows)), returnErrors,
                              run);
        },
        py::arg("rows"), py::arg("return_errors") = false, py::kw_only(),
        py::arg("search") = "described", py::arg("aggregate_mm") = 20, py::arg("top") = 10,
        py::arg("min_diameter_mm") = py::none(), py::arg("max_spacing_mm") = py::none(),
        py::arg("max_diameter_mm") = py::none(), py::arg("concrete") = py::none(),
        py::arg("steel_mpa") = py::none(),
        "Designs members given as dicts with the batch program's column names (id, kind, "
        "series, area_cm2, cover_cm, width_cm, height_cm, multiple, length_m, search, "
        "aggregate_mm, concrete, steel_mpa), lazily. search, aggregate_mm, top, "
        "min_diameter_mm, max_spacing_mm, max_diameter_mm, concrete and steel_mpa are the "
        "run's, as tresol-batch's options of those names; a row's own search, aggregate_mm, "
        "concrete and steel_mpa fields, when filled, take their place for that row. A bad "
        "member raises ValueError naming it ('Miembro 3, campo cover_cm: …'; rows are numbered "
        "1, 2, … as tresol-batch numbers the members of a JSON file) and ends the iteration; with "
        "return_errors=True the ValueError is yielded in its place and the others are still "
        "designed.");
    m.def("catalogue", &catalogue, py::arg("series"),
          "The bars of a series ('Euro' or 'Mex'): a list of dicts with reference, diameter_mm "
          "and area_cm2.");
    m.def("section_properties", &sectionProperties, py::arg("points"),
          "Area, centroid (y, z) and second moments about the centroidal axes (iy about y, iz "
          "about z) of the polygon through `points`, pairs (y, z), closed if it is not. A "
          "clockwise contour gives negated area and moments.");
}
