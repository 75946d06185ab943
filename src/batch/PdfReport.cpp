#include "batch/PdfReport.h"

#include "design/RowFields.h"

#include "batch/AtomicFile.h"
#include "batch/MemberInput.h"
#include "platform/Numbers.h"
#include "render/CanvasPaint.h"

#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>

#include <algorithm>
#include <numeric>
#include <vector>

namespace tresol::batch {
namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}
QString num(double v, const char* pattern = "#0.00") {
    return q(platform::formatNumber(v, pattern));
}

struct TableColumn {
    QString title;
    Qt::Alignment align = Qt::AlignRight;
};

// The smallest text a table is shrunk to before its columns wrap words apart.
constexpr double kSmallestPoints = 5.5;
// Room on each side of a cell's text.
constexpr double kCellPad = 2.5;

// The parts of a cell's text a wrap never splits: an arrangement's groups and layers with the
// sign that joins them to the next ('2 fi 12 +', '5 fi 10 /', '5 fi 10'; '96.0 /', '208.0'),
// the words of any other text.
QStringList unbreakable(const QString& text) {
    if (!text.contains(QStringLiteral(" + ")) && !text.contains(QStringLiteral(" / ")))
        return text.split(u' ', Qt::SkipEmptyParts);
    static const QRegularExpression joint(QStringLiteral("(?<=[+/]) +"));
    return text.split(joint, Qt::SkipEmptyParts);
}

// `text` in lines no wider than `width`, broken between its unbreakable parts; a part wider than
// the width on its own (only when the table could not be made to fit) is broken between
// characters.
QStringList wrapText(const QFontMetricsF& fm, const QString& text, double width) {
    QStringList lines;
    if (fm.horizontalAdvance(text) <= width) {
        lines.append(text);
        return lines;
    }
    QString current;
    auto add = [&](const QString& part) {
        const QString joined = current.isEmpty() ? part : current + u' ' + part;
        if (current.isEmpty() || fm.horizontalAdvance(joined) <= width) {
            current = joined;
            return;
        }
        lines.append(current);
        current = part;
    };
    for (const QString& part : unbreakable(text)) {
        if (fm.horizontalAdvance(part) <= width) {
            add(part);
            continue;
        }
        for (const QChar c : part) {
            if (!current.isEmpty() && fm.horizontalAdvance(current + c) > width) {
                lines.append(current);
                current.clear();
            }
            current += c;
        }
    }
    if (!current.isEmpty() || lines.isEmpty())
        lines.append(current);
    return lines;
}

} // namespace

struct PdfReport::Impl {
    AtomicFile file;
    QFile device;
    std::unique_ptr<QPdfWriter> writer;
    QPainter painter;
    bool firstPage = true;
    QRectF page; // the printable area, in points
    // The refused rows for the summary: the first ones in full, the rest counted.
    std::vector<std::string> refused;
    std::int64_t refusedNotListed = 0;

    explicit Impl(std::string path) : file(std::move(path)) {}

    void newPage() {
        if (!firstPage)
            writer->newPage();
        firstPage = false;
    }

    QFont fontOf(double points, bool bold) const {
        QFont f = painter.font();
        f.setPointSizeF(points);
        f.setBold(bold);
        // No ligatures: '5 fi 16' is found and copied from the PDF as typed.
        f.setStyleStrategy(QFont::PreferNoShaping);
        return f;
    }

    void font(double points, bool bold = false) { painter.setFont(fontOf(points, bold)); }

    // One line of text at `y`; returns the y below it.
    double line(double y, const QString& text, double points, bool bold = false,
                Qt::Alignment align = Qt::AlignLeft) {
        font(points, bold);
        const double h = points * 1.45;
        painter.drawText(QRectF(page.left(), y, page.width(), h), align | Qt::AlignVCenter, text);
        return y + h;
    }

    // Text wrapped to the page's width at `y`; returns the y below it.
    double paragraph(double y, const QString& text, double points) {
        font(points);
        QRectF used;
        painter.drawText(QRectF(page.left(), y, page.width(), page.bottom() - y),
                         Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text, &used);
        return used.bottom() + points * 0.3;
    }

    // How a table is laid out: its text size and its columns' widths, each column as wide as its
    // widest text (measured in bold, the wider) when the page allows it, else the widest ones
    // narrowed towards their widest unbreakable part, which then wrap; and when even those do
    // not fit, a smaller text. Never narrower than a part: nothing is cut.
    struct Layout {
        double points = 0;
        std::vector<double> widths;
    };

    Layout layout(const std::vector<TableColumn>& columns,
                  const std::vector<std::vector<QString>>& rows, double points) const {
        const std::size_t n = columns.size();
        const double room = page.width() - static_cast<double>(n) * (2 * kCellPad + 1);
        Layout l;
        std::vector<double> natural(n), minimal(n);
        for (l.points = points;; l.points -= 0.5) {
            const QFontMetricsF fm(fontOf(l.points, true), writer.get());
            auto measure = [&](std::size_t i, const QString& text) {
                natural[i] = std::max(natural[i], fm.horizontalAdvance(text));
                for (const QString& part : unbreakable(text))
                    minimal[i] = std::max(minimal[i], fm.horizontalAdvance(part));
            };
            std::fill(natural.begin(), natural.end(), 0.0);
            std::fill(minimal.begin(), minimal.end(), 0.0);
            for (std::size_t i = 0; i < n; ++i) {
                measure(i, columns[i].title);
                for (const auto& row : rows)
                    measure(i, row[i]);
            }
            if (std::accumulate(minimal.begin(), minimal.end(), 0.0) <= room ||
                l.points - 0.5 < kSmallestPoints)
                break;
        }
        auto width = [&](std::size_t i, double cap) {
            return std::max(minimal[i], std::min(natural[i], cap));
        };
        auto total = [&](double cap) {
            double sum = 0;
            for (std::size_t i = 0; i < n; ++i)
                sum += width(i, cap);
            return sum;
        };
        // The widest columns capped just enough for the table to fit the page.
        double cap = *std::max_element(natural.begin(), natural.end());
        if (total(cap) > room) {
            double lo = 0;
            for (int step = 0; step < 40; ++step) {
                const double mid = (lo + cap) / 2;
                (total(mid) <= room ? lo : cap) = mid;
            }
            cap = lo;
        }
        const double spare = std::max(0.0, room - total(cap)) / static_cast<double>(n);
        for (std::size_t i = 0; i < n; ++i)
            l.widths.push_back(width(i, cap) + 2 * kCellPad + 1 + spare);
        return l;
    }

    // A table with a header row from `y`, its rows as far as `bottom`; with `paginate` the rest
    // goes on new pages under the header again, otherwise it is left out. Returns the y below it
    // and the number of rows drawn.
    std::pair<double, std::size_t> table(double y, const std::vector<TableColumn>& columns,
                                         const std::vector<std::vector<QString>>& rows,
                                         const std::vector<bool>& bold, double points,
                                         double bottom, bool paginate = false) {
        const Layout l = layout(columns, rows, points);
        // A row's cells wrapped to their columns, and its height.
        auto wrap = [&](auto cellText, bool isBold) {
            const QFontMetricsF fm(fontOf(l.points, isBold), writer.get());
            std::vector<QString> cells;
            qsizetype lines = 1;
            for (std::size_t i = 0; i < columns.size(); ++i) {
                const QStringList wrapped = wrapText(fm, cellText(i), l.widths[i] - 2 * kCellPad);
                lines = std::max(lines, wrapped.size());
                cells.push_back(wrapped.join(u'\n'));
            }
            return std::pair{cells, fm.lineSpacing() * static_cast<double>(lines) + l.points * 0.6};
        };
        auto draw = [&](const std::vector<QString>& cells, bool isBold, double top, double h) {
            painter.setFont(fontOf(l.points, isBold));
            double x = page.left();
            for (std::size_t i = 0; i < columns.size(); ++i) {
                painter.drawText(QRectF(x + kCellPad, top, l.widths[i] - 2 * kCellPad, h),
                                 columns[i].align | Qt::AlignVCenter | Qt::TextDontClip, cells[i]);
                x += l.widths[i];
            }
        };
        auto header = [&](double top) {
            painter.setPen(Qt::black);
            const auto [cells, h] = wrap([&](std::size_t i) { return columns[i].title; }, true);
            draw(cells, true, top, h);
            painter.setPen(QPen(QColor(160, 160, 160), 0.5));
            painter.drawLine(QPointF(page.left(), top + h), QPointF(page.right(), top + h));
            painter.setPen(Qt::black);
            return top + h;
        };
        y = header(y);
        std::size_t drawn = 0;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const bool isBold = r < bold.size() && bold[r];
            const auto [cells, h] = wrap([&](std::size_t i) { return rows[r][i]; }, isBold);
            if (y + h > bottom) {
                if (!paginate)
                    break;
                newPage();
                y = header(page.top());
            }
            draw(cells, isBold, y, h);
            y += h;
            ++drawn;
        }
        return {y, drawn};
    }
};

PdfReport::PdfReport(std::string path) : d_(std::make_unique<Impl>(std::move(path))) {
    d_->file.open();
    if (!d_->device.open(d_->file.fd(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
        throw OutputError("No se puede escribir el informe «" + d_->file.path() + "».");
    d_->writer = std::make_unique<QPdfWriter>(&d_->device);
    QPdfWriter& w = *d_->writer;
    w.setCreator(QStringLiteral("Tresol"));
    w.setTitle(QStringLiteral("Cuadro de armados"));
    w.setResolution(72); // painter units are points
    w.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
    if (!d_->painter.begin(&w))
        throw OutputError("No se puede escribir el informe «" + d_->file.path() + "».");
    d_->page = QRectF(QPointF(0, 0), QSizeF(w.width(), w.height()));
}

PdfReport::~PdfReport() {
    if (d_->painter.isActive())
        d_->painter.end();
}

namespace {

// A length or size as typed: '45', '12.5' (no trailing separator, no padding zeros).
QString plain(double v) {
    return q(platform::numberText(v));
}

// The member's title and inputs at the top of a new page; returns the y below them.
double memberHead(PdfReport::Impl& d, std::int64_t row, const design::Member& m,
                  const QString& search) {
    const bool beam = m.kind == design::MemberKind::Beam;
    d.newPage();
    d.painter.setPen(Qt::black);
    double y = d.page.top();
    const QString title = (beam ? QStringLiteral("Viga ") : QStringLiteral("Pilar ")) +
                          (m.id.empty() ? QStringLiteral("(sin identificador)") : q(m.id));
    d.line(y, QStringLiteral("Fila %1").arg(row), 9, false, Qt::AlignRight);
    y = d.line(y, title, 15, true);
    y += 4;
    y = d.line(y,
               QStringLiteral("Serie %1   ·   Área necesaria %2 cm²   ·   Recubrimiento %3 cm")
                   .arg(q(m.series), num(m.areaCm2), num(m.coverCm)),
               10);
    QString dims;
    if (!beam && m.multiple != 4)
        // A column of other than four sides is the regular polygon whose circumradius is the
        // width: a width would read as twice too small.
        dims = QStringLiteral("Polígono regular: R = %1 cm, %2 lados")
                   .arg(plain(m.widthCm), num(m.multiple, "#0"));
    else
        dims =
            QStringLiteral("Ancho %1 cm   ·   %2 %3 cm   ·   %4 %5")
                .arg(num(m.widthCm), beam ? QStringLiteral("Canto") : QStringLiteral("Alto"),
                     num(m.heightCm), beam ? QStringLiteral("Múltiplo") : QStringLiteral("Lados"),
                     num(m.multiple, "#0"));
    if (m.lengthM)
        dims += QStringLiteral("   ·   Longitud %1 m").arg(num(*m.lengthM));
    y = d.line(y, dims, 10);
    if (!search.isEmpty())
        y = d.line(y, search, 10);
    return y + 8;
}

// The messages under the table; returns the y below them.
double memberMessages(PdfReport::Impl& d, double y, const std::vector<design::Message>& messages) {
    for (const auto& msg : messages)
        y = d.paragraph(y + 2, QStringLiteral("Aviso: ") + q(msg.text), 9);
    return y;
}

// The drawing in the room left (with the diagram beside it when there is one), the chosen line
// and its mass at the foot.
void memberFoot(PdfReport::Impl& d, double y, const Canvas& drawing, const Canvas* diagram,
                const QString& chosenText, const QString& massText) {
    QPainter& p = d.painter;
    const double foot = d.page.bottom() - 40;
    const double room = std::max(60.0, foot - y - 12);
    if (diagram) {
        const double half = d.page.width() / 2 - 6;
        const double side = std::min(room, half);
        render::paintCanvas(p, drawing, QRectF(d.page.left(), y + 6, side, side), p.font());
        const double dh = std::min(room, half * diagram->Height() / diagram->Width());
        render::paintCanvas(p, *diagram, QRectF(d.page.right() - half, y + 6, half, dh), p.font());
    } else {
        const double side = std::min(room, d.page.width());
        const QRectF area(d.page.center().x() - side / 2, y + 6, side, side);
        render::paintCanvas(p, drawing, area, p.font());
    }
    p.setPen(Qt::black);
    double yf = d.line(foot, chosenText, 13, true, Qt::AlignHCenter);
    if (!massText.isEmpty())
        d.line(yf, massText, 10, false, Qt::AlignHCenter);
}

// However long the table, the drawing keeps the lower half of the page.
constexpr std::size_t kTableRows = 24;
double tableBottom(const PdfReport::Impl& d) {
    return d.page.top() + d.page.height() * 0.5;
}

// A field of a row as a cell of the report's table.
class CellSink : public design::FieldSink {
  public:
    QString cell(const design::Field& f, const design::RowView& view) {
        field_ = &f;
        cell_.clear();
        design::readField(f, *this, view);
        return cell_;
    }

    void empty() override {}
    void number(double v) override { cell_ = figure(v); }
    void integer(std::int64_t v) override { cell_ = QString::number(v); }
    void boolean(bool v) override { cell_ = v ? QStringLiteral("sí") : QString(); }
    void text(std::string_view t) override {
        cell_ = QString::fromUtf8(t.data(), qsizetype(t.size()));
    }
    void texts(const std::vector<std::string>& list) override {
        for (const auto& t : list)
            cell_ += (cell_.isEmpty() ? QString() : QStringLiteral("; ")) + q(t);
    }
    void layered(const std::vector<design::RowLayer>& layers, design::LayerFigure which) override {
        for (std::size_t l = 0; l < layers.size(); ++l) {
            if (l > 0)
                cell_ += QStringLiteral(" / ");
            const design::RowLayer& layer = layers[l];
            if (which == design::LayerFigure::ClearSpacing)
                cell_ += figure(layer.clearSpacingMm);
            else if (which == design::LayerFigure::MinClear && layer.minClearMm)
                cell_ += figure(*layer.minClearMm);
            else if (which == design::LayerFigure::GroupDiameters)
                for (std::size_t g = 0; g < layer.groups.size(); ++g)
                    cell_ += (g > 0 ? QStringLiteral(" + ") : QString()) +
                             figure(layer.groups[g].diameterMm);
        }
    }
    void layers(const std::vector<design::RowLayer>& layers) override {
        cell_ = QString::number(layers.size());
    }

  private:
    QString figure(double v) const {
        return field_->pattern.empty() ? num(v) : num(v, std::string(field_->pattern).c_str());
    }

    const design::Field* field_ = nullptr;
    QString cell_;
};

Qt::Alignment alignmentOf(design::Align a) {
    switch (a) {
    case design::Align::Left:
        return Qt::AlignLeft;
    case design::Align::Centre:
        return Qt::AlignCenter;
    case design::Align::Right:
        break;
    }
    return Qt::AlignRight;
}

} // namespace

void PdfReport::member(std::int64_t row, const design::RunResult& result, const Canvas& drawing,
                       const Canvas* diagram) {
    Impl& d = *d_;
    const design::Member& m = result.member();
    QString searchText;
    if (result.coded())
        searchText =
            QStringLiteral("Separación libre según %1, árido de %2 mm")
                .arg(result.search().kind == design::SearchKind::ACI ? QStringLiteral("ACI 318")
                                                                     : QStringLiteral("EC2"),
                     plain(result.search().code.aggregateMm));
    double y = memberHead(d, row, m, searchText);

    const auto chosen = result.chosen();
    const auto& list = result.rows();
    if (list.empty()) {
        if (!result.coded())
            y = d.line(y, QStringLiteral("Ningún diámetro da el armado."), 10);
    } else {
        const bool beam = m.kind == design::MemberKind::Beam;
        const auto fields = design::layout(!result.coded() ? design::Layout::ReportDescribed
                                           : beam          ? design::Layout::ReportCodeBeam
                                                           : design::Layout::ReportCode);
        std::vector<const design::Field*> shownFields(fields.begin(), fields.end());
        if (result.checked())
            shownFields.push_back(&design::field("utilisation"));
        std::vector<TableColumn> columns;
        for (const design::Field* f : shownFields)
            columns.push_back({q(std::string(f->caption)), alignmentOf(f->align)});
        const std::size_t shown = std::min<std::size_t>(list.size(), kTableRows);
        std::vector<std::vector<QString>> rows;
        std::vector<bool> bold;
        CellSink sink;
        for (std::size_t i = 0; i < shown; ++i) {
            const design::RowView view{result, &list[i], chosen == i, {}};
            std::vector<QString> cells;
            for (const design::Field* f : shownFields)
                cells.push_back(sink.cell(*f, view));
            rows.push_back(std::move(cells));
            bold.push_back(chosen == i);
        }
        const auto [below, drawn] = d.table(y, columns, rows, bold, 8, tableBottom(d));
        y = below;
        if (drawn < list.size())
            y = d.line(y,
                       (result.coded() ? QStringLiteral("… y %1 armados más")
                                       : QStringLiteral("… y %1 candidatos más"))
                           .arg(list.size() - drawn),
                       8.5);
    }
    y = memberMessages(d, y, result.scheduleMessages());

    QString chosenText = result.coded() ? QStringLiteral("Ningún armado cabe en la sección.")
                                        : QStringLiteral("Ningún candidato cabe en la sección.");
    QString massText;
    if (chosen) {
        const design::Row& r = list[*chosen];
        chosenText = QStringLiteral("Armado elegido: ") + q(r.line);
        if (r.isShort)
            chosenText += QStringLiteral(" (corto)");
        if (r.massKg)
            massText = QStringLiteral("Acero: %1 kg en %2 m").arg(num(*r.massKg), num(*m.lengthM));
    }
    memberFoot(d, y, drawing, diagram, chosenText, massText);
}

void PdfReport::refused(const std::string& message) {
    // Enough to find the fault; the program's error output has every one.
    constexpr std::size_t kListed = 200;
    if (d_->refused.size() < kListed)
        d_->refused.push_back(message);
    else
        ++d_->refusedNotListed;
}

void PdfReport::finish(const SteelTotals& totals) {
    Impl& d = *d_;
    d.newPage();
    d.painter.setPen(Qt::black);
    double y = d.page.top();
    y = d.line(y, QStringLiteral("Resumen"), 15, true);
    y += 4;
    y = d.line(y, QStringLiteral("Miembros calculados: %1").arg(totals.members()), 10);
    y = d.line(y, QStringLiteral("Filas rechazadas: %1").arg(totals.refused()), 10);
    y = d.line(
        y, QStringLiteral("Miembros sin un armado que quepa: %1").arg(totals.withoutChoice()), 10);
    y += 8;
    const std::vector<TableColumn> columns = {{QStringLiteral("Serie"), Qt::AlignLeft},
                                              {QStringLiteral("Diámetro")},
                                              {QStringLiteral("Ø mm")},
                                              {QStringLiteral("Miembros")},
                                              {QStringLiteral("Redondos")},
                                              {QStringLiteral("Longitud m")},
                                              {QStringLiteral("Masa kg")}};
    std::vector<std::vector<QString>> rows;
    for (const auto& t : totals.byDiameter())
        rows.push_back({q(t.series), q(t.ref), num(t.diameterMm, "#0.0"),
                        QString::number(t.members), QString::number(t.bars), num(t.lengthM),
                        num(t.massKg)});
    y = d.table(y, columns, rows, {}, 9, d.page.bottom(), true).first;
    y += 10;
    y = d.line(y,
               QStringLiteral("Acero total: %1 kg (%2 miembros con longitud)")
                   .arg(num(totals.massKg()))
                   .arg(totals.weighed()),
               11, true);

    if (!d.refused.empty()) {
        y += 10;
        y = d.line(y, QStringLiteral("Filas rechazadas"), 11, true);
        for (const std::string& message : d.refused) {
            // A message that would not fit the page starts the next one.
            if (y + 30 > d.page.bottom()) {
                d.newPage();
                y = d.page.top();
            }
            y = d.paragraph(y, q(message), 9);
        }
        if (d.refusedNotListed > 0)
            d.line(y,
                   QStringLiteral("… y %1 filas rechazadas más (la salida de errores las "
                                  "nombra todas).")
                       .arg(d.refusedNotListed),
                   9);
    }
    d.painter.end();
    d.device.close();
    if (d.device.error() != QFileDevice::NoError)
        throw OutputError("No se puede escribir el informe «" + d.file.path() + "».");
    d.file.commit();
}

} // namespace tresol::batch
