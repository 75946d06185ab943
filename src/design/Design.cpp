#include "design/Design.h"

#include "design/CodeDesign.h"
#include "design/DetailDrawing.h"
#include "drawing/CCuadroDibujo.h"
#include "drawing/DrawingTarget.h"
#include "geometry/MemberOutline.h"
#include "platform/Numbers.h"
#include "platform/Single.h"
#include "platform/Value.h"
#include "reinforcement/CArmador.h"
#include "reinforcement/Carmasec.h"
#include "reinforcement/Cdiametro.h"
#include "reinforcement/Links.h"
#include "sections/CSeccEstruc.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace tresol::design {

namespace {

// The search's limits, as the design window sets them: 5 cm to 30 cm between bars, 1 to 1000 bars.
constexpr float kSeparMin = 0.05f;
constexpr float kSeparMax = 0.3f;
constexpr std::int32_t kNMin = 1;
constexpr std::int32_t kNMax = 1000;

// A column of more sides than this is no column: its polygon is not built.
constexpr std::int32_t kMaxSides = 360;

// Records what the core raises while it lives, into `out`.
class Recorder {
  public:
    explicit Recorder(std::vector<Message>& out) : out_(out) {}
    ~Recorder() {
        for (const auto& e : sink_.entries())
            out_.push_back({e.text, e.icon});
    }
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

  private:
    std::vector<Message>& out_;
    platform::RecordingSink sink_;
};

bool sensibleLength(float v) {
    return v >= 1e-4f && v <= 1e4f;
}

// The member's outline: a beam (or a four-sided column) is the rectangle of its width across (z)
// and its height up (y); a column of more sides the regular polygon of circumradius = width.
// Widths or heights outside 0.1 mm … 10 km (zero, negative, unreadable or absurd) give none:
// their properties would leave single precision, which the section classes refuse outright.
std::shared_ptr<CSeccEstruc> outline(const Member& m, std::int32_t sides,
                                     const std::shared_ptr<const Cdiametro>& catalogue) {
    const float b = platform::toSingleOrInfinity(m.widthCm / 100.0);
    const float h = platform::toSingleOrInfinity(m.heightCm / 100.0);
    if (!sensibleLength(b) || (sides == 4 ? !sensibleLength(h) : sides < 3 || sides > kMaxSides))
        return nullptr;
    const PointArray pto2d = memberOutlinePoints(sides, b, h);
    auto secc = std::make_shared<CSeccEstruc>();
    if (!secc->IniPorPuntos(3, 0, pto2d, catalogue, Value{0.0f}, false))
        return nullptr;
    return secc;
}

std::int32_t sidesOf(const Member& m) {
    if (m.kind == MemberKind::Beam)
        return 4;
    return platform::roundToInt32(m.multiple).value_or(0);
}

// Why the list is empty for a member it searched on sound data. Under the list's own rules for
// the section (a count that is a multiple of the multiple, up to kNMax bars, centres at least a
// diameter and kSeparMin apart and at most kSeparMax), the most area any diameter gives: below
// the area needed, that is the reason; otherwise the area needed falls between the counts the
// spacing allows, and the window of areas the list takes is named.
Message emptyListMessage(const CArmador& arm, const Cdiametro& cat, double areaCm2,
                         std::int32_t multiple) {
    double most = 0;
    for (std::int32_t i = cat.GetIndiMin(); i <= cat.GetIndiMax(); ++i) {
        const float d = cat.GetDiametroMetros(i);
        const double barArea = static_cast<double>(cat.GetAreaIndice(i)) * 10000.0;
        // Every count from the multiple up is at least kNMin. From two bars on, the spacing only
        // narrows as bars are added: once below its least, no larger count is apart enough.
        for (std::int32_t n = multiple; n <= kNMax; n += multiple) {
            const float s = arm.GetSeparacion(n, d);
            if (s >= d && s >= kSeparMin && s <= kSeparMax)
                most = std::max(most, barArea * n);
            else if (n >= 2 && (s < d || s < kSeparMin))
                break;
        }
    }
    const std::string apart =
        "a entre " + platform::commaFormat(static_cast<double>(kSeparMin) * 100, "#") + " y " +
        platform::commaFormat(static_cast<double>(kSeparMax) * 100, "#") + " cm";
    Message m;
    m.icon = platform::MsgIcon::Information;
    if (most <= 0)
        m.text = "ninguna disposición de " + std::to_string(kNMin) + " a " + std::to_string(kNMax) +
                 " redondos queda " + apart;
    else if (most < areaCm2)
        // Rounded down: the section does hold the figure given.
        m.text = "no cabe: como máximo " +
                 platform::commaFormat(std::floor(most * 10 + 1e-9) / 10, "#0.0") + " cm²";
    else
        // The list takes from 1 % short of the area to 80 % over it.
        m.text = "ninguna disposición da entre " + platform::commaFormat(areaCm2 * 0.99, "#0.00") +
                 " y " + platform::commaFormat(areaCm2 * 1.8, "#0.00") + " cm² con los redondos " +
                 apart;
    return m;
}

// The described list bends its links as EN 1992-1-1 does.
links::Frame linkFrame(const Member& m, const Cdiametro& catalogue) {
    return links::frame(m.kind == MemberKind::Column, sidesOf(m), m.widthCm, m.heightCm, m.coverCm,
                        m.linkMm, code::Code::EC2, catalogue);
}

// The bars of a reinforcement set as a link takes them, their diameters to the catalogue's
// seven digits.
std::vector<links::Bar> linkBars(const Carmasec& armado) {
    std::vector<links::Bar> bars;
    const std::int32_t n = armado.GetNumeroRedondos();
    bars.reserve(static_cast<std::size_t>(n));
    for (std::int32_t i = 1; i <= n; ++i)
        bars.push_back({{armado.GetY(i), armado.GetZ(i)},
                        platform::toSignificantDigits(double{armado.GetDiametro(i)} * 1000)});
    return bars;
}

// The bars a placement put on its section.
std::vector<BarCircle> barsOf(const Placement& p) {
    std::vector<BarCircle> bars;
    const auto armado = p.section ? p.section->GetArmado() : nullptr;
    if (!armado)
        return bars;
    const std::int32_t n = armado->GetNumeroRedondos();
    bars.reserve(static_cast<std::size_t>(n));
    for (std::int32_t i = 1; i <= n; ++i)
        bars.push_back({armado->GetY(i), armado->GetZ(i), armado->GetDiametro(i)});
    return bars;
}

// The note of a chosen candidate short of the required area, its shortfall in tenths of a per
// cent of that area rounded up, so that it never reads less than it is.
Message shortfallNote(const Candidate& c, double requiredCm2) {
    double pct = (requiredCm2 - c.totalAreaCm2) / requiredCm2 * 100.0;
    if (!(pct <= 100)) // an area beyond any number (1e308 typed in the window): all of it
        pct = 100;
    // Seven digits first: 0.8 % worked out as 0.8000000000000007 is 0.8, not 0.9.
    const auto tenths =
        static_cast<std::int64_t>(std::ceil(platform::toSignificantDigits(pct * 10.0, 7)));
    return {"Ninguno de los armados que caben llega al área necesaria; se elige el que más se "
            "acerca, " +
                c.line + " (" + platform::commaText(c.totalAreaCm2) + " cm² de " +
                platform::commaText(requiredCm2) + " cm²): falta " + std::to_string(tenths / 10) +
                "," + std::to_string(tenths % 10) + " % del área necesaria.",
            platform::MsgIcon::Information};
}

// Whether `a` is a better choice than `b`: among rows with enough steel the one with less; among
// short ones the one with more; between equal areas the one with fewer bars.
bool better(const Candidate& a, const Candidate& b) {
    if (a.totalAreaCm2 != b.totalAreaCm2)
        return a.isShort ? a.totalAreaCm2 > b.totalAreaCm2 : a.totalAreaCm2 < b.totalAreaCm2;
    return a.bars < b.bars;
}

// A line placed on a section: the placement, its bars and their gaps.
struct PlacedLine {
    Placement placement;
    std::vector<BarCircle> bars;
    std::optional<BarGaps> gaps;
};

// Placing a line on its section is most of what a run costs, and a schedule places the same
// lines on the same sections over and over (a building's columns share a few sections). Each
// thread keeps what it placed under everything a placement depends on: the catalogue's state,
// the kind, sides and figures of the outline, the cover, the face, the link and the line.
class PlacementCache {
  public:
    struct Key {
        std::uint64_t catalogue = 0;
        std::int32_t kind = 0, sides = 0, face = 0;
        // The bits of the width, height, cover and link: equal figures, equal placements (a
        // missing height is NaN, and is equal to itself here).
        std::array<std::uint64_t, 4> figures{};
        std::string line;
        bool operator==(const Key&) const = default;
    };

    static Key keyOf(const Member& m, std::int32_t sides, const Cdiametro& catalogue,
                     std::string line) {
        Key k;
        k.catalogue = catalogue.stamp();
        k.kind = static_cast<std::int32_t>(m.kind);
        k.sides = sides;
        k.face = m.kind == MemberKind::Beam && m.face == 1 ? 1 : 0;
        k.figures = {
            std::bit_cast<std::uint64_t>(m.widthCm), std::bit_cast<std::uint64_t>(m.heightCm),
            std::bit_cast<std::uint64_t>(m.coverCm), std::bit_cast<std::uint64_t>(m.linkMm)};
        k.line = std::move(line);
        return k;
    }

    const PlacedLine* find(const Key& key) const {
        const auto it = placed_.find(key);
        return it == placed_.end() ? nullptr : &it->second;
    }
    const PlacedLine& keep(Key key, PlacedLine placed) {
        // Bounded: a long run of ever new sections starts afresh now and then.
        if (placed_.size() >= kMost)
            placed_.clear();
        return placed_.insert_or_assign(std::move(key), std::move(placed)).first->second;
    }

  private:
    struct Hash {
        std::size_t operator()(const Key& k) const {
            std::uint64_t h = k.catalogue * 0x9E3779B97F4A7C15ULL;
            auto mix = [&h](std::uint64_t v) { h = (h ^ v) * 0x100000001B3ULL + (h >> 29); };
            mix(static_cast<std::uint64_t>(k.kind) << 40 |
                static_cast<std::uint64_t>(k.face) << 32 | static_cast<std::uint32_t>(k.sides));
            for (const std::uint64_t f : k.figures)
                mix(f);
            mix(std::hash<std::string>{}(k.line));
            return static_cast<std::size_t>(h);
        }
    };
    static constexpr std::size_t kMost = 2048;
    std::unordered_map<Key, PlacedLine, Hash> placed_;
};

} // namespace

std::optional<BarGaps> measureGaps(const std::vector<BarCircle>& bars) {
    if (bars.size() < 2)
        return std::nullopt;
    for (const BarCircle& b : bars)
        if (!std::isfinite(b.y) || !std::isfinite(b.z) || !std::isfinite(b.diameter))
            return std::nullopt; // no order to sweep them in
    // Swept along a slanted direction: no two bars of a line parallel to an axis (a beam's
    // layer, a column's side) share a position along it, so each bar meets only its near ones.
    struct Swept {
        double along, y, z, r;
    };
    // Kept between calls on the same thread: a schedule measures every row of every member.
    thread_local std::vector<Swept> swept;
    swept.clear();
    double largest = 0;
    for (const BarCircle& b : bars) {
        swept.push_back({b.y * 0.8 + b.z * 0.6, b.y, b.z, b.diameter / 2});
        largest = std::max(largest, b.diameter);
    }
    std::sort(swept.begin(), swept.end(),
              [](const Swept& a, const Swept& b) { return a.along < b.along; });
    double centre = std::numeric_limits<double>::infinity();
    double clear = centre;
    for (std::size_t i = 0; i < swept.size(); ++i)
        for (std::size_t j = i + 1; j < swept.size(); ++j) {
            // Further along than this, neither distance can be beaten.
            if (swept[j].along - swept[i].along >= std::max(centre, clear + largest))
                break;
            const double dy = swept[j].y - swept[i].y, dz = swept[j].z - swept[i].z;
            const double d = std::sqrt(dy * dy + dz * dz);
            centre = std::min(centre, d);
            clear = std::min(clear, d - swept[i].r - swept[j].r);
        }
    return BarGaps{platform::toSignificantDigits(centre * 100.0),
                   platform::toSignificantDigits(clear * 100.0)};
}

std::shared_ptr<CSeccEstruc> memberOutline(const Member& member,
                                           std::shared_ptr<const Cdiametro> catalogue) {
    platform::RecordingSink quiet;
    return outline(member, sidesOf(member), catalogue);
}

DesignResult::DesignResult() = default;
DesignResult::~DesignResult() = default;
DesignResult::DesignResult(DesignResult&&) noexcept = default;
DesignResult& DesignResult::operator=(DesignResult&&) noexcept = default;

namespace {

// A catalogue of a series as `fill` sets it.
std::shared_ptr<const Cdiametro> made(void (*fill)(Cdiametro&, const std::string&),
                                      const std::string& series) {
    auto cat = std::make_shared<Cdiametro>();
    fill(*cat, series);
    return cat;
}

void standardSizes(Cdiametro& cat, const std::string& series) {
    cat.Ini(series, "m", false, false);
}

void codeSizes(Cdiametro& cat, const std::string& series) {
    cat.IniCodeSizes(series);
}

} // namespace

// Each made once per series and only read: every run of a series shares it, on any thread. A
// series of another name is made, and refused there.
std::shared_ptr<const Cdiametro> standardCatalogue(const std::string& series) {
    static const auto euro = made(standardSizes, "Euro"), mex = made(standardSizes, "Mex");
    return series == "Euro" ? euro : series == "Mex" ? mex : made(standardSizes, series);
}

std::shared_ptr<const Cdiametro> codeCatalogue(const std::string& series) {
    static const auto euro = made(codeSizes, "Euro"), mex = made(codeSizes, "Mex");
    return series == "Euro" ? euro : series == "Mex" ? mex : made(codeSizes, series);
}

DesignResult design(const Member& member, std::shared_ptr<const Cdiametro> catalogue,
                    const Options& options) {
    DesignResult r;
    r.member_ = member;
    r.catalogue_ = catalogue ? std::move(catalogue) : standardCatalogue(member.series);
    const Cdiametro& cat = *r.catalogue_;

    float area = platform::toSingleOrInfinity(member.areaCm2 / 10000.0);
    float ancho = platform::toSingleOrInfinity(member.widthCm / 100.0);
    // With a link the bars lie inside it: the list and its placements take the cover through it,
    // to the bars' surfaces.
    float recub = platform::toSingleOrInfinity(
        member.linkMm > 0 ? (member.coverCm + member.linkMm / 10) / 100.0 : member.coverCm / 100.0);
    r.armador_ = std::make_unique<CArmador>();
    {
        Recorder rec(r.messages_);
        r.searched_ = r.armador_->Ini(area, r.catalogue_, ancho, false, kSeparMin, kSeparMax, kNMin,
                                      kNMax, recub, member.multiple);
        r.base_ = outline(member, sidesOf(member), r.catalogue_);
    }
    r.cover_ = recub;
    // Nothing listed for sound data says why, once, for every face. Data the search refused or
    // cut (a cover too wide for the width zeroes both) has had its message already.
    const bool sound = r.searched_ && std::isfinite(area) && area > 0 && std::isfinite(ancho) &&
                       ancho > 0 && std::isfinite(recub) && recub >= 0;
    if (sound && r.armador_->GetNumRedondos() == 0)
        r.messages_.push_back(emptyListMessage(
            *r.armador_, cat, member.areaCm2, platform::roundToInt32(member.multiple).value_or(1)));

    const CArmador& arm = *r.armador_;
    const std::int32_t k = arm.GetNumRedondos();
    r.candidates_.reserve(static_cast<std::size_t>(k));
    for (std::int32_t i = 1; i <= k; ++i) {
        Candidate c;
        c.row = i;
        c.line = arm.GetLinea(i);
        c.bars = arm.GetNumero(i);
        c.diameterIndex = arm.GetIndiDiam(i);
        c.ref = cat.GetDiamRefer(c.diameterIndex);
        const float d = cat.GetDiametroMetros(c.diameterIndex);
        const double barArea = static_cast<double>(cat.GetAreaIndice(c.diameterIndex)) * 10000.0;
        const double total = barArea * c.bars;
        const float s = arm.GetSeparacion(c.bars, d);
        c.diameterMm = platform::toSignificantDigits(static_cast<double>(d) * 1000.0);
        c.barAreaCm2 = platform::toSignificantDigits(barArea);
        c.totalAreaCm2 = platform::toSignificantDigits(total);
        c.excessPct = member.areaCm2 > 0
                          ? platform::toSignificantDigits((c.totalAreaCm2 - member.areaCm2) /
                                                          member.areaCm2 * 100.0)
                          : std::numeric_limits<double>::quiet_NaN();
        c.spacingCm = platform::toSignificantDigits(static_cast<double>(s) * 100.0);
        c.clearSpacingCm = platform::toSignificantDigits((static_cast<double>(s) - d) * 100.0);
        c.isShort = c.totalAreaCm2 < member.areaCm2;
        if (!r.base_) {
            c.placed = 0; // nothing to place the bars on
        } else if (options.checkPlacement) {
            thread_local PlacementCache cache;
            PlacementCache::Key key = PlacementCache::keyOf(member, sidesOf(member), cat, c.line);
            const PlacedLine* placed = cache.find(key);
            if (!placed) {
                PlacedLine made{r.place(i), {}, {}};
                made.bars = barsOf(made.placement);
                made.gaps = measureGaps(made.bars);
                placed = &cache.keep(std::move(key), std::move(made));
            }
            r.placements_.push_back(placed->placement);
            c.placed = placed->placement.placed;
            c.placeable = c.placed == c.bars;
            c.placement = placed->bars;
            if (placed->gaps) {
                c.centreSpacingCm = placed->gaps->centreCm;
                c.clearGapCm = placed->gaps->clearCm;
            }
        } else {
            // Unchecked: taken at the search's word.
            c.placed = c.bars;
            c.placeable = true;
        }
        r.candidates_.push_back(std::move(c));
    }

    r.choose({});
    return r;
}

void DesignResult::choose(const std::vector<bool>& allowed) {
    // The lightest that is not short; failing that, the least short, said so.
    std::optional<std::size_t> enough, shortest;
    for (std::size_t i = 0; i < candidates_.size(); ++i) {
        const Candidate& c = candidates_[i];
        if (!c.placeable || (i < allowed.size() && !allowed[i]))
            continue;
        std::optional<std::size_t>& best = c.isShort ? shortest : enough;
        if (!best || better(c, candidates_[*best]))
            best = i;
    }
    chosen_ = enough ? enough : shortest;
    shortfall_.reset();
    if (!enough && shortest)
        shortfall_ = shortfallNote(candidates_[*shortest], member_.areaCm2);
}

std::vector<Message> DesignResult::scheduleMessages() const {
    std::vector<Message> all = messages_;
    if (shortfall_)
        all.push_back(*shortfall_);
    return all;
}

void DesignResult::writeGrid(platform::GridControl& grid) const {
    if (armador_)
        armador_->PasaRedondosGrid(grid);
}

Placement DesignResult::place(std::int32_t row) const {
    if (row >= 1 && static_cast<std::size_t>(row) <= placements_.size())
        return placements_[static_cast<std::size_t>(row - 1)];
    Placement p;
    if (!base_)
        return p;
    // A copy of the bare outline: its reinforcement set is created with the first line.
    auto section = std::make_shared<CSeccEstruc>(*base_);
    p.section = section;
    if (!armador_ || row < 1 || row > armador_->GetNumRedondos())
        return p;
    p.line = armador_->GetLinea(row);
    {
        Recorder rec(p.messages);
        if (member_.kind == MemberKind::Column)
            section->AnyadeRefuerzoContorno(p.line, cover_);
        else
            section->AnyadeRefuerzoLineaCentrada(p.line, cover_, member_.face == 1 ? 1 : 0);
    }
    if (member_.linkMm > 0)
        if (const auto armado = section->GetArmado()) {
            // The corner bars go into the link's bends: the section is made again with them there.
            const links::Frame frame = linkFrame(member_, *catalogue_);
            std::vector<links::Bar> bars = linkBars(*armado);
            links::moveCornerBarsIntoBends(frame.outline, double{cover_} * 1000,
                                           links::innerBendRadiusMm(frame.code, frame.diameterMm),
                                           bars);
            section = std::make_shared<CSeccEstruc>(*base_);
            p.section = section;
            Recorder rec(p.messages);
            for (std::size_t i = 0; i < bars.size(); ++i)
                section->AnyadeRedondo(static_cast<float>(bars[i].centre.y),
                                       static_cast<float>(bars[i].centre.z),
                                       armado->GetIndiDiam(static_cast<std::int32_t>(i) + 1));
        }
    if (const auto armado = section->GetArmado())
        p.placed = armado->GetNumeroRedondos();
    if (member_.linkMm > 0 && p.placed > 0) {
        p.link = links::detail(linkFrame(member_, *catalogue_), linkBars(*section->GetArmado()));
        Callout all{p.line, {}};
        for (std::int32_t i = 0; i < p.placed; ++i)
            all.bars.push_back(i);
        p.callouts.push_back(std::move(all));
    }
    return p;
}

void DesignResult::draw(const Placement& placement, DrawingTarget& target) {
    if (!placement.section) {
        // No outline to draw: an empty picture rather than the previous member's.
        target.Cls();
        return;
    }
    if (placement.link) {
        // With a link the section is drawn as a detailer draws it, at a scale that leaves room
        // for its dimensions and labels.
        detail::draw(placement, target);
        return;
    }
    CCuadroDibujo cuadro;
    cuadro.IniciaAPelo(target);
    const CSeccEstruc& secc = *placement.section;
    secc.DibujaSeccion(cuadro, &secc, nullptr, 2, 1.2f, std::int16_t{0});
}

} // namespace tresol::design
