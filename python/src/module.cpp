// The Python face of the design run: members are checked by the batch program's row rules,
// designed by the front door, and handed back as plain Python values.

// Python's headers first: Qt's keyword macros ('slots') would break them.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include "batch/MemberInput.h"
#include "design/Design.h"
#include "drawing/Canvas.h"
#include "drawing/CanvasSvg.h"
#include "platform/BoundedArray.h"
#include "platform/Messages.h"
#include "platform/ProgrammingError.h"
#include "platform/Single.h"
#include "reinforcement/Cdiametro.h"
#include "sections/CSeccG.h"

#ifdef TRESOL_PYTHON_DXF
#include "design/SectionDxf.h"
#endif

#ifdef TRESOL_PYTHON_PNG
#include "app/CanvasExport.h"

#include <QBuffer>
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
#include <vector>

namespace py = pybind11;

namespace tresol::python {
namespace {

using batch::Column;
using batch::RawValue;

// A row as the batch program's checks take it, with the texts it points into.
struct Row {
    batch::RawRow raw;
    std::array<std::string, batch::kColumnCount> texts;

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

// The member of a checked row; the batch program's message as a ValueError otherwise.
design::Member memberOf(std::int64_t number, const Row& row, const std::string& label) {
    batch::InputRow in = batch::checkRow(number, row.raw, label, "campo", '.');
    if (!in.member)
        throw py::value_error(in.error);
    return std::move(*in.member);
}

// One candidate as Python sees it, with whether the schedule takes it.
struct PyCandidate {
    design::Candidate c;
    bool chosen = false;

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

class PyResult {
  public:
    explicit PyResult(design::DesignResult r) : r_(std::move(r)) {}

    const design::DesignResult& result() const { return r_; }

    std::vector<PyCandidate> candidates() const {
        std::vector<PyCandidate> out;
        out.reserve(r_.candidates().size());
        for (std::size_t i = 0; i < r_.candidates().size(); ++i)
            out.push_back({r_.candidates()[i], r_.chosen() == i});
        return out;
    }

    std::optional<PyCandidate> chosen() const {
        if (!r_.chosen())
            return std::nullopt;
        return PyCandidate{r_.candidates()[*r_.chosen()], true};
    }

    py::list candidatesDicts() const {
        py::list out;
        for (const PyCandidate& c : candidates())
            out.append(c.asDict());
        return out;
    }

    // The table row to draw: the one asked for (a row number or a candidate), by default the
    // chosen one, and without any the bare outline.
    std::int32_t rowOf(const py::object& candidate) const {
        const auto k = static_cast<std::int64_t>(r_.candidates().size());
        if (candidate.is_none())
            return r_.chosen() ? static_cast<std::int32_t>(*r_.chosen() + 1) : 0;
        std::int64_t row = 0;
        if (py::isinstance<PyCandidate>(candidate))
            row = candidate.cast<const PyCandidate&>().c.row;
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

    Canvas drawing(const py::object& candidate, double width, double height) const {
        checkSize(width, height);
        Canvas canvas(static_cast<float>(width), static_cast<float>(height));
        design::DesignResult::draw(r_.place(rowOf(candidate)), canvas);
        return canvas;
    }

    std::string svgText(const py::object& candidate, double width, double height) const {
        return canvasSvg(drawing(candidate, width, height), width, height);
    }

  private:
    design::DesignResult r_;
};

PyResult designMember(const design::Member& m) {
    if (m.series != "Euro" && m.series != "Mex")
        throw py::value_error("serie desconocida «" + m.series + "» (se espera Euro o Mex)");
    return PyResult(design::design(m));
}

// The module's face of design(): the arguments as one member row.
PyResult designArgs(py::handle kind, py::handle series, py::handle area, py::handle cover,
                    py::handle width, py::handle height, py::handle multiple, py::handle id,
                    py::handle lengthM) {
    Row row;
    row.set(Column::Kind, kind);
    row.set(Column::Series, series);
    row.set(Column::Area, area);
    row.set(Column::Cover, cover);
    row.set(Column::Width, width);
    row.set(Column::Height, height);
    row.set(Column::Multiple, multiple);
    if (!id.is_none())
        row.set(Column::Id, id);
    if (!lengthM.is_none())
        row.set(Column::Length, lengthM);
    return designMember(memberOf(1, row, "Miembro"));
}

// design_many: rows from any iterable, designed one at a time as they are asked for.
class DesignMany {
  public:
    DesignMany(py::object rows, bool returnErrors)
        : rows_(std::move(rows)), returnErrors_(returnErrors) {}

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
            return py::cast(designRow(item));
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
    PyResult designRow(py::handle item) const {
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
                    batch::columnByName(std::string_view(name, static_cast<std::size_t>(size))))
                row.set(*column, kv[py::int_(1)]);
        }
        return designMember(memberOf(number_, row, label));
    }

    py::object rows_;
    bool returnErrors_;
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
    const QImage image = app::canvasImage(
        canvas, QSize(static_cast<int>(std::lround(width)), static_cast<int>(std::lround(height))));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "PNG"))
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
            "Spacing between bar centres (cm).")
        .def_property_readonly(
            "clear_spacing_cm", [](const PyCandidate& c) { return c.c.clearSpacingCm; },
            "Clear spacing between bars, the spacing less one diameter (cm).")
        .def_property_readonly(
            "placeable", [](const PyCandidate& c) { return c.c.placeable; },
            "Whether all the bars fit on the section.")
        .def_property_readonly(
            "placed", [](const PyCandidate& c) { return c.c.placed; },
            "How many of the bars fit on the section.")
        .def_property_readonly(
            "chosen", [](const PyCandidate& c) { return c.chosen; },
            "Whether the schedule takes this candidate.")
        .def("as_dict", &PyCandidate::asDict,
             "The candidate as a dict with the schedule's column names.")
        .def("__repr__", [](const PyCandidate& c) {
            return "<Candidate " + std::to_string(c.c.row) + ": " + c.c.line +
                   (c.c.placeable ? "" : " (no cabe)") + (c.chosen ? ", elegido" : "") + ">";
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

    auto memberValue = [](auto f) {
        return [f](const PyResult& r) { return f(r.result().member()); };
    };
    py::class_<PyResult>(m, "DesignResult", "The design of one member.")
        .def_property_readonly("id", memberValue([](const Member& x) { return x.id; }),
                               "The member's id.")
        .def_property_readonly("kind", memberValue([](const Member& x) {
                                   return std::string(tresol::batch::kindName(x.kind));
                               }),
                               "'viga' or 'pilar'.")
        .def_property_readonly("series", memberValue([](const Member& x) { return x.series; }),
                               "'Euro' or 'Mex'.")
        .def_property_readonly("area_cm2", memberValue([](const Member& x) { return x.areaCm2; }),
                               "Required area (cm²).")
        .def_property_readonly("cover_cm", memberValue([](const Member& x) { return x.coverCm; }),
                               "Cover (cm).")
        .def_property_readonly("width_cm", memberValue([](const Member& x) { return x.widthCm; }),
                               "Width (cm).")
        .def_property_readonly("height_cm", memberValue([](const Member& x) { return x.heightCm; }),
                               "Height (cm).")
        .def_property_readonly("multiple", memberValue([](const Member& x) { return x.multiple; }),
                               "A beam's faces sharing the bars, or a column's sides.")
        .def_property_readonly("length_m", memberValue([](const Member& x) { return x.lengthM; }),
                               "The member's length (m), or None.")
        .def_property_readonly("candidates", &PyResult::candidates,
                               "The candidates in the order of the search (list of Candidate).")
        .def_property_readonly("chosen", &PyResult::chosen,
                               "The placeable candidate of least steel area (ties to fewer "
                               "bars), or None.")
        .def_property_readonly(
            "messages", [](const PyResult& r) { return r.result().messages(); },
            "What the design run raised, in order (list of Message).")
        .def("candidates_dicts", &PyResult::candidatesDicts,
             "The candidates as a list of dicts with the schedule's column names, ready for "
             "pandas.DataFrame(...).")
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
                const tresol::design::Placement p = r.result().place(r.rowOf(candidate));
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
            const Member& x = r.result().member();
            std::string s = "<DesignResult " + std::string(tresol::batch::kindName(x.kind));
            if (!x.id.empty())
                s += " " + x.id;
            s += ": " + std::to_string(r.result().candidates().size()) + " candidatos";
            if (const auto c = r.chosen())
                s += ", elegido " + c->c.line;
            return s + ">";
        });

    py::class_<DesignMany>(m, "DesignMany",
                           "Results of design_many(), designed one at a time as they are asked "
                           "for.")
        .def("__iter__", [](DesignMany& d) -> DesignMany& { return d; })
        .def("__next__", &DesignMany::next);

    m.def("design", &designArgs, py::arg("kind"), py::arg("series"), py::arg("area_cm2"),
          py::arg("cover_cm"), py::arg("width_cm"), py::arg("height_cm"), py::arg("multiple") = 1,
          py::arg("id") = py::none(), py::arg("length_m") = py::none(),
          "Designs one member: kind 'viga' or 'pilar', series 'Euro' or 'Mex', required area "
          "(cm²), cover, width and height (cm), multiple (a beam's faces, 1…10; a column's "
          "sides, 4…10), an optional id and length (m). Bad arguments raise ValueError with the "
          "batch program's text.");
    m.def(
        "design_many",
        [](const py::iterable& rows, bool returnErrors) {
            return DesignMany(py::reinterpret_borrow<py::object>(py::iter(rows)), returnErrors);
        },
        py::arg("rows"), py::arg("return_errors") = false,
        "Designs members given as dicts with the batch program's column names (id, kind, "
        "series, area_cm2, cover_cm, width_cm, height_cm, multiple, length_m), lazily. A bad "
        "member raises ValueError naming it ('Miembro 3, campo cover_cm: …') and ends the "
        "iteration; with return_errors=True the ValueError is yielded in its place and the "
        "others are still designed.");
    m.def("catalogue", &catalogue, py::arg("series"),
          "The bars of a series ('Euro' or 'Mex'): a list of dicts with reference, diameter_mm "
          "and area_cm2.");
    m.def("section_properties", &sectionProperties, py::arg("points"),
          "Area, centroid (y, z) and second moments about the centroidal axes (iy about y, iz "
          "about z) of the polygon through `points`, pairs (y, z), closed if it is not. A "
          "clockwise contour gives negated area and moments.");
}
