// The PDF report of the real tresol-batch program, read back as a reader sees it: its words
// (pdftotext) hold every header and value whole, and its pixels (pdftoppm) show every word
// whole, none cut at a column's edge nor run into the next.
#include "batch/MemberReader.h"
#include "design/MemberRow.h"
#include "design/Run.h"
#include "platform/Numbers.h"

#include "BatchTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <set>
#include <sstream>

namespace tresol::batch {
namespace {

std::string run(const std::string& command) {
    std::string out;
    if (std::FILE* p = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;)
            out.append(buffer, n);
        ::pclose(p);
    }
    return out;
}

struct Word {
    double x0, y0, x1, y1; // points
    std::string text;
};

// Every word of every page with its box, as pdftotext finds them.
std::vector<std::vector<Word>> pageWords(const std::string& pdf) {
    const std::string xml = run("pdftotext -bbox " + shellQuoted(pdf) + " -");
    static const std::regex word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    std::vector<std::vector<Word>> pages;
    std::size_t at = 0;
    while ((at = xml.find("<page ", at)) != std::string::npos) {
        const std::size_t end = std::min(xml.find("</page>", at), xml.size());
        std::vector<Word> words;
        const std::string page = xml.substr(at, end - at);
        for (std::sregex_iterator i(page.begin(), page.end(), word), e; i != e; ++i) {
            std::string text = (*i)[5];
            for (const auto& [entity, c] : {std::pair{"&lt;", "<"},
                                            {"&gt;", ">"},
                                            {"&amp;", "&"},
                                            {"&quot;", "\""},
                                            {"&apos;", "'"}})
                for (std::size_t k; (k = text.find(entity)) != std::string::npos;)
                    text.replace(k, std::string(entity).size(), c);
            words.push_back({std::stod((*i)[1]), std::stod((*i)[2]), std::stod((*i)[3]),
                             std::stod((*i)[4]), text});
        }
        pages.push_back(std::move(words));
        at = end;
    }
    return pages;
}

// A page rendered in grey levels, two pixels to the point.
struct Raster {
    int width = 0, height = 0;
    std::string pixels;

    // Whether anything is printed in the box (points).
    bool ink(double x0, double x1, double y0, double y1) const {
        for (int y = std::max(0, int(y0 * 2)); y <= std::min(height - 1, int(y1 * 2)); ++y)
            for (int x = std::max(0, int(x0 * 2)); x <= std::min(width - 1, int(x1 * 2)); ++x)
                if (static_cast<unsigned char>(pixels[std::size_t(y) * width + x]) < 128)
                    return true;
        return false;
    }
};

Raster render(const BatchDir& dir, const std::string& pdf, std::size_t page) {
    const std::string stem = dir.path() + "/page";
    const std::string n = std::to_string(page);
    run("pdftoppm -r 144 -gray -singlefile -f " + n + " -l " + n + " " + shellQuoted(pdf) + " " +
        shellQuoted(stem));
    const std::string pgm = slurp(stem + ".pgm");
    Raster r;
    std::istringstream in(pgm);
    std::string magic;
    int maxGrey = 0;
    in >> magic >> r.width >> r.height >> maxGrey;
    in.get();
    r.pixels = pgm.substr(static_cast<std::size_t>(in.tellg()));
    return r;
}

// Every word of the report printed whole: its first and last letters inked (a word cut at a
// column's edge loses them), no two words on one line overlapping. A letter's ink lies within
// its advance, so within 0.6 of the word's mean letter width from either end.
void expectEveryWordWhole(const BatchDir& dir, const std::string& pdf) {
    const auto pages = pageWords(pdf);
    ASSERT_FALSE(pages.empty());
    for (std::size_t p = 0; p < pages.size(); ++p) {
        SCOPED_TRACE("page " + std::to_string(p + 1));
        const Raster r = render(dir, pdf, p + 1);
        ASSERT_GT(r.width, 0);
        const auto& words = pages[p];
        for (std::size_t i = 0; i < words.size(); ++i) {
            const Word& w = words[i];
            std::size_t letters = 0;
            for (unsigned char c : w.text)
                letters += (c & 0xC0) != 0x80;
            if (letters >= 3) {
                const double edge = (w.x1 - w.x0) / static_cast<double>(letters) * 0.6;
                EXPECT_TRUE(r.ink(w.x0, w.x0 + edge, w.y0, w.y1)) << "cut at the left: " << w.text;
                EXPECT_TRUE(r.ink(w.x1 - edge, w.x1, w.y0, w.y1)) << "cut at the right: " << w.text;
            }
            for (std::size_t j = i + 1; j < words.size(); ++j) {
                const Word& v = words[j];
                const double across = std::min(w.y1, v.y1) - std::max(w.y0, v.y0);
                const double along = std::min(w.x1, v.x1) - std::max(w.x0, v.x0);
                EXPECT_FALSE(across > 0.5 * std::min(w.y1 - w.y0, v.y1 - v.y0) && along > 0.3)
                    << "«" << w.text << "» runs into «" << v.text << "»";
            }
        }
    }
}

// A page as read: its words, and its text with one blank between words.
struct PageText {
    std::set<std::string> words;
    std::string text;
};

std::vector<PageText> pageTexts(const std::string& pdf) {
    std::vector<PageText> out;
    for (const auto& page : pageWords(pdf)) {
        PageText p;
        for (const Word& w : page) {
            p.words.insert(w.text);
            p.text += (p.text.empty() ? "" : " ") + w.text;
        }
        out.push_back(std::move(p));
    }
    return out;
}

// Each word of `text` is a whole word of the page: not cut, not run into another.
void expectWords(const PageText& page, const std::string& text) {
    std::istringstream in(text);
    for (std::string t; in >> t;)
        EXPECT_TRUE(page.words.count(t)) << "«" << t << "» of «" << text << "»";
}

std::string fixed(double v, const char* pattern) {
    return platform::formatNumber(v, pattern);
}

const std::vector<std::string> kDescribedHeaders = {
    "Nº",       "Armado",        "Redondos", "Ø mm",  "Área Ø cm²", "Área cm²",
    "Exceso %", "Entre ejes cm", "Libre cm", "Caben", "Corto",      "Elegido"};
const std::vector<std::string> kCodeHeaders = {"Nº",        "Armado",   "Redondos", "Área cm²",
                                               "Exceso %",  "Libre mm", "Mín. mm",  "d cm",
                                               "Cuantía %", "Avisos",   "Elegido"};

TEST(Report, TablesShowEveryHeaderAndValueWhole) {
    BatchDir dir;
    // Described: a beam, an octagon, a beam whose every placeable row is short, a hexagon of
    // numbered bars. Code-checked: EC2 and ACI beams with two layers and two sizes (the longest
    // lines and per-layer figures), a column (no effective depth) with a large aggregate. Two
    // refused rows.
    const std::string members =
        "id,kind,series,area_cm2,cover_cm,width_cm,height_cm,multiple,length_m,search,"
        "aggregate_mm\n"
        "V-101,viga,Euro,10,3,30,50,1,6,,\n"
        "P-2,pilar,Euro,36,3,45,,8,3.1,,\n"
        "V-corta,viga,Euro,34.6,3,60,80,1,5,,\n"
        "P-3,pilar,Mex,30,3.5,40,,6,2.8,,\n"
        "V-104,viga,Euro,24,3,25,60,1,5,ec2,\n"
        "V-105,viga,Mex,18.5,4,40,60,1,7.25,aci,\n"
        "P-4,pilar,Euro,20,3,30,,6,3.1,aci,25\n"
        "V-mala,viga,Euro,diez,3,30,50,1,6,,\n"
        "P-mala,pilar,Euro,20,3,40,40,12,3,,\n";
    const std::string pdf = dir.file("informe.pdf");
    const Outcome r =
        batch(dir, {dir.file("m.csv", members), "-q", "-o", dir.file("s.csv"), "--report", pdf});
    ASSERT_EQ(r.status, 1) << r.err; // rows refused
    const auto pages = pageTexts(pdf);
    const auto read = rowsOf(members);
    ASSERT_EQ(pages.size(), 7u + 1);

    std::size_t page = 0;
    int twoLayers = 0;
    for (const InputRow& in : read) {
        if (!in.member)
            continue;
        SCOPED_TRACE(in.member->id);
        const design::RunResult result = design::run(*in.member, design::searchOf(in, {}));
        const PageText& text = pages.at(page++);
        const bool beam = in.member->kind == design::MemberKind::Beam;
        for (const auto& h : result.coded() ? kCodeHeaders : kDescribedHeaders)
            if (beam || h != "d cm")
                expectWords(text, h);
        ASSERT_FALSE(result.rows().empty());
        // A table too long for its half page ends with "… y N armados más": the rows shown.
        std::size_t shown = result.rows().size();
        if (const auto more = text.text.find("… y "); more != std::string::npos)
            shown -= std::stoul(text.text.substr(more + std::string("… y ").size()));
        ASSERT_GT(shown, 0u);
        for (std::size_t i = 0; i < shown; ++i) {
            const design::Row& row = result.rows()[i];
            expectWords(text, row.line);
            expectWords(text, fixed(row.totalAreaCm2, "#0.00"));
            if (!result.coded()) {
                ASSERT_TRUE(row.gaps);
                expectWords(text, fixed(row.gaps->centreCm, "#0.00"));
                expectWords(text, fixed(row.gaps->clearCm, "#0.00"));
                expectWords(text, std::to_string(row.placed) + " de " + std::to_string(row.bars));
                continue;
            }
            for (const auto& layer : row.layers) {
                expectWords(text, fixed(layer.clearSpacingMm, "#0.0"));
                expectWords(text, fixed(*layer.minClearMm, "#0.0"));
            }
            twoLayers += row.layers.size() == 2;
        }
        if (result.coded()) {
            // The aggregate size as typed: "20 mm", not "20. mm".
            EXPECT_NE(text.text.find("árido de " +
                                     platform::numberText(result.search().code.aggregateMm) +
                                     " mm"),
                      std::string::npos);
        }
    }
    EXPECT_GT(twoLayers, 0);
    const std::string& octagon = pages[1].text;
    EXPECT_NE(octagon.find("Polígono regular: R = 45 cm, 8 lados"), std::string::npos) << octagon;
    EXPECT_EQ(octagon.find("Ancho"), std::string::npos);
    // The short choice, said on its page: 11 fi 20 = 34.55752 lacks 0.12 % of 34.6.
    const std::string& shortPage = pages[2].text;
    EXPECT_NE(shortPage.find("Armado elegido: 11 fi 20 (corto)"), std::string::npos) << shortPage;
    EXPECT_NE(shortPage.find("falta 0,2 % del área necesaria"), std::string::npos) << shortPage;
    // The summary lists each refused row with its reason.
    const std::string& summary = pages.back().text;
    EXPECT_NE(summary.find("Filas rechazadas: 2"), std::string::npos);
    for (const InputRow& in : read) {
        if (!in.member) {
            EXPECT_NE(summary.find(in.error), std::string::npos) << in.error << "\n" << summary;
        }
    }

    expectEveryWordWhole(dir, pdf);
}

} // namespace
} // namespace tresol::batch
