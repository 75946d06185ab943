#include "batch/PdfReport.h"

#include "app/CanvasExport.h"
#include "batch/AtomicFile.h"
#include "batch/MemberInput.h"
#include "platform/Numbers.h"

#include <QFile>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
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
    double width; // share of the page width
    Qt::Alignment align = Qt::AlignRight;
};

} // namespace

struct PdfReport::Impl {
    AtomicFile file;
    QFile device;
    std::unique_ptr<QPdfWriter> writer;
    QPainter painter;
    bool firstPage = true;
    QRectF page; // the printable area, in points

    explicit Impl(std::string path) : file(std::move(path)) {}

    void newPage() {
        if (!firstPage)
            writer->newPage();
        firstPage = false;
    }

    void font(double points, bool bold = false) {
        QFont f = painter.font();
        f.setPointSizeF(points);
        f.setBold(bold);
        painter.setFont(f);
    }

    // One line of text at `y`; returns the y below it.
    double line(double y, const QString& text, double points, bool bold = false,
                Qt::Alignment align = Qt::AlignLeft) {
        font(points, bold);
        const double h = points * 1.45;
        painter.drawText(QRectF(page.left(), y, page.width(), h), align | Qt::AlignVCenter, text);
        return y + h;
    }

    // A table with a header row; returns the y below it.
    double table(double y, const std::vector<TableColumn>& columns,
                 const std::vector<std::vector<QString>>& rows, const std::vector<bool>& bold,
                 double points) {
        const double h = points * 1.6;
        double total = 0;
        for (const auto& c : columns)
            total += c.width;
        auto drawRow = [&](double top, auto cellText, bool isBold) {
            font(points, isBold);
            double x = page.left();
            for (std::size_t i = 0; i < columns.size(); ++i) {
                const double w = page.width() * columns[i].width / total;
                painter.drawText(QRectF(x + 2, top, w - 4, h), columns[i].align | Qt::AlignVCenter,
                                 cellText(i));
                x += w;
            }
        };
        painter.setPen(Qt::black);
        drawRow(
            y, [&](std::size_t i) { return columns[i].title; }, true);
        painter.setPen(QPen(QColor(160, 160, 160), 0.5));
        painter.drawLine(QPointF(page.left(), y + h), QPointF(page.right(), y + h));
        painter.setPen(Qt::black);
        y += h;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            drawRow(
                y, [&](std::size_t i) { return rows[r][i]; }, r < bold.size() && bold[r]);
            y += h;
        }
        return y;
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
    QString dims =
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
    for (const auto& msg : messages) {
        d.font(9);
        const QRectF box(d.page.left(), y + 2, d.page.width(), 40);
        QRectF used;
        d.painter.drawText(box, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop,
                           QStringLiteral("Aviso: ") + q(msg.text), &used);
        y = used.bottom() + 2;
    }
    return y;
}

// The drawing in the room left, the chosen line and its mass at the foot.
void memberFoot(PdfReport::Impl& d, double y, const Canvas& drawing, const QString& chosenText,
                const QString& massText) {
    QPainter& p = d.painter;
    const double foot = d.page.bottom() - 40;
    const double room = std::max(60.0, foot - y - 12);
    const double side = std::min(room, d.page.width());
    const QRectF area(d.page.center().x() - side / 2, y + 6, side, side);
    app::paintCanvas(p, drawing, area, p.font());
    p.setPen(Qt::black);
    double yf = d.line(foot, chosenText, 13, true, Qt::AlignHCenter);
    if (!massText.isEmpty())
        d.line(yf, massText, 10, false, Qt::AlignHCenter);
}

// However long the table, the drawing keeps half the page.
constexpr std::size_t kTableRows = 24;

} // namespace

void PdfReport::member(std::int64_t row, const design::DesignResult& result,
                       const Canvas& drawing) {
    Impl& d = *d_;
    const design::Member& m = result.member();
    double y = memberHead(d, row, m, {});

    const auto chosen = result.chosen();
    const auto& candidates = result.candidates();
    if (candidates.empty()) {
        y = d.line(y, QStringLiteral("Ningún diámetro da el armado."), 10);
    } else {
        const std::vector<TableColumn> columns = {
            {QStringLiteral("Nº"), 0.4},
            {QStringLiteral("Armado"), 1.2, Qt::AlignLeft},
            {QStringLiteral("Redondos"), 1.0},
            {QStringLiteral("Ø mm"), 0.8},
            {QStringLiteral("Área Ø cm²"), 1.15},
            {QStringLiteral("Área cm²"), 1.05},
            {QStringLiteral("Exceso %"), 1.0},
            {QStringLiteral("Sep. cm"), 0.9},
            {QStringLiteral("Libre cm"), 0.9},
            {QStringLiteral("Caben"), 1.0},
            {QStringLiteral("Elegido"), 0.9, Qt::AlignCenter}};
        const std::size_t shown = std::min<std::size_t>(candidates.size(), kTableRows);
        std::vector<std::vector<QString>> rows;
        std::vector<bool> bold;
        for (std::size_t i = 0; i < shown; ++i) {
            const design::Candidate& c = candidates[i];
            rows.push_back({QString::number(c.row), q(c.line), QString::number(c.bars),
                            num(c.diameterMm, "#0.0"), num(c.barAreaCm2), num(c.totalAreaCm2),
                            num(c.excessPct, "#0.0"), num(c.spacingCm), num(c.clearSpacingCm),
                            QStringLiteral("%1 de %2").arg(c.placed).arg(c.bars),
                            chosen == i ? QStringLiteral("sí") : QString()});
            bold.push_back(chosen == i);
        }
        y = d.table(y, columns, rows, bold, 8);
        if (shown < candidates.size())
            y = d.line(y, QStringLiteral("… y %1 candidatos más").arg(candidates.size() - shown),
                       8.5);
    }
    y = memberMessages(d, y, result.messages());

    QString chosenText = QStringLiteral("Ningún candidato cabe en la sección.");
    QString massText;
    if (chosen) {
        const design::Candidate& c = candidates[*chosen];
        chosenText = QStringLiteral("Armado elegido: ") + q(c.line);
        if (const auto mass = steelMassKg(c, m))
            massText = QStringLiteral("Acero: %1 kg en %2 m").arg(num(*mass), num(*m.lengthM));
    }
    memberFoot(d, y, drawing, chosenText, massText);
}

void PdfReport::member(std::int64_t row, const design::CodeDesignResult& result,
                       const Canvas& drawing) {
    Impl& d = *d_;
    const design::Member& m = result.member();
    const code::Options& o = result.options();
    double y = memberHead(
        d, row, m,
        QStringLiteral("Separación libre según %1, árido de %2 mm")
            .arg(o.code == code::Code::ACI ? QStringLiteral("ACI 318") : QStringLiteral("EC2"),
                 num(o.aggregateMm, "#0.#")));

    const auto chosen = result.chosen();
    const auto& list = result.arrangements();
    if (!list.empty()) {
        const bool beam = m.kind == design::MemberKind::Beam;
        std::vector<TableColumn> columns = {{QStringLiteral("Nº"), 0.4},
                                            {QStringLiteral("Armado"), 2.2, Qt::AlignLeft},
                                            {QStringLiteral("Redondos"), 0.9},
                                            {QStringLiteral("Área cm²"), 0.95},
                                            {QStringLiteral("Exceso %"), 0.9},
                                            {QStringLiteral("Libre mm"), 1.1},
                                            {QStringLiteral("Mín. mm"), 0.9},
                                            {beam ? QStringLiteral("d cm") : QString(), 0.7},
                                            {QStringLiteral("Cuantía %"), 0.9},
                                            {QStringLiteral("Avisos"), 1.2, Qt::AlignLeft},
                                            {QStringLiteral("Elegido"), 0.8, Qt::AlignCenter}};
        const std::size_t shown = std::min<std::size_t>(list.size(), kTableRows);
        std::vector<std::vector<QString>> rows;
        std::vector<bool> bold;
        for (std::size_t i = 0; i < shown; ++i) {
            const code::Arrangement& a = list[i];
            QString clear, minimum;
            for (const code::Layer& layer : a.layers) {
                if (!clear.isEmpty()) {
                    clear += QStringLiteral(" / ");
                    minimum += QStringLiteral(" / ");
                }
                clear += num(layer.clearSpacingMm, "#0.0");
                minimum += num(layer.minClearMm, "#0.0");
            }
            QString flags;
            for (const auto& f : a.flags)
                flags += (flags.isEmpty() ? QString() : QStringLiteral("; ")) + q(f);
            rows.push_back({QString::number(i + 1), q(a.line), QString::number(a.bars),
                            num(a.totalAreaCm2), num(a.excessPct, "#0.0"), clear, minimum,
                            a.effectiveDepthCm ? num(*a.effectiveDepthCm, "#0.0") : QString(),
                            num(a.ratioPct), flags,
                            chosen == i ? QStringLiteral("sí") : QString()});
            bold.push_back(chosen == i);
        }
        y = d.table(y, columns, rows, bold, 8);
        if (shown < list.size())
            y = d.line(y, QStringLiteral("… y %1 armados más").arg(list.size() - shown), 8.5);
    }
    y = memberMessages(d, y, result.messages());

    QString chosenText = QStringLiteral("Ningún armado cabe en la sección.");
    QString massText;
    if (chosen) {
        const code::Arrangement& a = list[*chosen];
        chosenText = QStringLiteral("Armado elegido: ") + q(a.line);
        if (const auto mass = steelMassKg(a, m))
            massText = QStringLiteral("Acero: %1 kg en %2 m").arg(num(*mass), num(*m.lengthM));
    }
    memberFoot(d, y, drawing, chosenText, massText);
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
    const std::vector<TableColumn> columns = {{QStringLiteral("Serie"), 0.8, Qt::AlignLeft},
                                              {QStringLiteral("Diámetro"), 0.9},
                                              {QStringLiteral("Ø mm"), 0.8},
                                              {QStringLiteral("Miembros"), 0.9},
                                              {QStringLiteral("Redondos"), 0.9},
                                              {QStringLiteral("Longitud m"), 1.1},
                                              {QStringLiteral("Masa kg"), 1.1}};
    std::vector<std::vector<QString>> rows;
    for (const auto& t : totals.byDiameter())
        rows.push_back({q(t.series), q(t.ref), num(t.diameterMm, "#0.0"),
                        QString::number(t.members), QString::number(t.bars), num(t.lengthM),
                        num(t.massKg)});
    y = d.table(y, columns, rows, {}, 9);
    y += 10;
    d.line(y,
           QStringLiteral("Acero total: %1 kg (%2 miembros con longitud)")
               .arg(num(totals.massKg()))
               .arg(totals.weighed()),
           11, true);
    d.painter.end();
    d.device.close();
    if (d.device.error() != QFileDevice::NoError)
        throw OutputError("No se puede escribir el informe «" + d.file.path() + "».");
    d.file.commit();
}

} // namespace tresol::batch
