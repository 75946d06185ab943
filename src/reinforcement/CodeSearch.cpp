#include "reinforcement/CodeSearch.h"

#include "reinforcement/CodeSearchParts.h"

#include <string_view>

namespace tresol::code {

rules::Materials materials(const Options& o) {
    rules::Materials m = rules::defaults(o.code);
    if (o.concreteMpa != 0)
        m.fc = o.concreteMpa;
    if (o.steelMpa != 0)
        m.fy = o.steelMpa;
    return m;
}

namespace {

using namespace detail;

void enumerate(const Prep& p, double cap, Visitor visit) {
    if (p.column)
        enumerateColumn(p, cap, visit);
    else
        enumerateBeam(p, cap, visit);
}

constexpr std::size_t limitIndex(Limit l) {
    return static_cast<std::size_t>(l);
}

// Why a member has no row: what the codes' limits left, or the most that fits.
std::string noRowMessage(const Prep& p, double most, std::int32_t mostLayers,
                         const std::array<std::int32_t, 5>& refused) {
    const std::string largest = platform::commaFixed(p.asMax, 2) + " cm² (" +
                                numberWithComma(rules::maxRatio(p.code, p.column) * 100) +
                                " % de la sección)";
    if (p.asMax > 0 && p.floor > p.asMax)
        return "el área necesaria pasa del máximo de norma: " + largest;
    if (refused[limitIndex(Limit::Strain)] > 0)
        return "ninguna disposición que cabe llega a una deformación εt de 0,004 "
               "(ACI 318-19 9.3.3.1): la sección pide más canto";
    if (refused[limitIndex(Limit::AboveMax)] > 0)
        return "ninguna disposición que cabe queda bajo el máximo de norma: " + largest;
    if (refused[limitIndex(Limit::FewBars)] > 0)
        return "ninguna disposición que cabe tiene las " + std::to_string(p.leastBars) +
               " barras que pide ACI 318-19 10.7.3.1";
    if (most <= 0)
        return "no cabe ninguna disposición que cumpla las separaciones";
    const std::string where = p.column ? "" : mostLayers == 2 ? " en dos capas" : " en una capa";
    // Rounded down: the member holds at least what the message says it holds at most.
    std::string text = "no cabe: como máximo " +
                       platform::commaFixed(std::floor(most * 10 + 1e-9) / 10, 1) + " cm²" + where;
    if (p.floor > p.req)
        text += " (el mínimo de norma pide " + platform::commaFixed(p.floor, 2) + " cm²)";
    return text;
}

// The arrangements a member lists: every allowed one within the window, or, when the window
// holds none, the least allowed one wherever it lies. None, and why, when nothing is allowed.
std::vector<Cand> allowed(const Prep& p, std::string& why) {
    std::vector<Cand> cands;
    cands.reserve(128);
    enumerate(p, p.areaMax, [&](const Cand& c, Limit l) {
        if (l == Limit::Ok)
            cands.push_back(c);
    });
    if (!cands.empty())
        return cands;
    double least = kInf, most = 0;
    std::int32_t mostLayers = 0;
    std::array<std::int32_t, 5> refused{};
    enumerate(p, kInf, [&](const Cand& c, Limit l) {
        if (c.area > most) {
            most = c.area;
            mostLayers = c.layers;
        }
        if (l != Limit::Ok) {
            if (c.area >= p.floor)
                ++refused[limitIndex(l)];
            return;
        }
        if (c.area < least) {
            least = c.area;
            cands.clear();
        }
        if (c.area == least)
            cands.push_back(c);
    });
    if (cands.empty())
        why = noRowMessage(p, most, mostLayers, refused);
    return cands;
}

} // namespace

Result search(const Member& m, const Cdiametro& catalogue, const Options& o) {
    Result res;
    Prep p;
    std::string why;
    if (!prepare(m, catalogue, o, p, why)) {
        res.refused = true;
        res.messages.push_back(std::move(why));
        return res;
    }
    std::vector<Cand> cands = allowed(p, why);
    if (cands.empty()) {
        res.messages.push_back(std::move(why));
        return res;
    }

    double least = cands.front().area;
    for (const Cand& c : cands)
        least = std::min(least, c.area);
    std::size_t pref = cands.size();
    for (std::size_t i = 0; i < cands.size(); ++i)
        if (cands[i].area <= least * kPreferredWindow &&
            (pref == cands.size() || betterPreferred(cands[i], cands[pref])))
            pref = i;
    std::swap(cands[0], cands[pref]);

    // The rest by area; the least-area arrangement (then the first of them) is listed even
    // beyond `top`.
    const std::size_t rest = cands.size() - 1;
    // An unlimited list is still bounded: a wall-sized member has millions of arrangements.
    std::size_t keep = std::min(rest, kMaxRows - 1);
    if (o.top > 0) {
        const std::size_t leastNeeded = cands[0].area > least ? 1 : 0;
        keep = std::min(rest, std::max(static_cast<std::size_t>(o.top - 1), leastNeeded));
    }
    std::partial_sort(cands.begin() + 1, cands.begin() + 1 + static_cast<std::ptrdiff_t>(keep),
                      cands.end(), byArea);
    const std::size_t rows = 1 + keep;
    if (o.top == 0 && rows < cands.size())
        res.messages.push_back("solo se listan las primeras " + std::to_string(rows) + " de " +
                               std::to_string(cands.size()) + " disposiciones");
    res.arrangements.reserve(rows);
    for (std::size_t i = 0; i < rows; ++i) {
        res.arrangements.push_back(makeRow(p, cands[i], catalogue));
        res.arrangements.back().preferred = i == 0;
    }
    return res;
}

std::optional<Arrangement> readLine(const std::string& line, const Member& m,
                                    const Cdiametro& catalogue, const Options& o,
                                    std::string& error) {
    error.clear();
    Prep p;
    if (!prepare(m, catalogue, o, p, error))
        return std::nullopt;
    if (line.size() > 200) {
        error = "la línea es demasiado larga";
        return std::nullopt;
    }
    std::string why;
    const std::string gen = catalogue.GetRefGener();
    for (const Cand& c : allowed(p, why))
        if (lineText(rowLayers(p, c, catalogue), gen) == line)
            return makeRow(p, c, catalogue);
    error = "la línea no es una disposición de esta búsqueda: " + line;
    return std::nullopt;
}

std::vector<Bar> placeLine(const std::string& line, const Member& m, const Cdiametro& catalogue,
                           const Options& o, std::string& error) {
    auto r = readLine(line, m, catalogue, o, error);
    if (!r)
        return {};
    return std::move(r->placement);
}

} // namespace tresol::code
