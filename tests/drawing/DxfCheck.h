#pragma once

// Reading a DXF file back through an independent reader (ezdxf, run by dxf_check.py) and a
// scratch directory for the files written.

#include "TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace tresol::testing {

// Where the drawings written go: a fresh directory, removed afterwards, or with TRESOL_DXF_KEEP
// set, the directory it names, kept.
struct DxfDir : TempDir {
    DxfDir() : TempDir("TRESOL_DXF_KEEP") {}
};

// One model-space entity as the reader saw it: its kind and its fields (key=value).
struct DxfEntity {
    std::string kind;
    std::map<std::string, std::string> fields;

    std::string at(const std::string& key) const {
        return fields.contains(key) ? fields.at(key) : std::string();
    }
    std::vector<double> numbers(const std::string& key) const {
        std::istringstream in(at(key));
        return {std::istream_iterator<double>(in), std::istream_iterator<double>()};
    }
    double number(const std::string& key) const {
        const auto v = numbers(key);
        return v.empty() ? 0.0 : v.front();
    }
};

struct DxfReadBack {
    std::string skipped; // why the reader could not run; empty when it ran
    std::string failure; // the reader ran but could not read the file
    int auditErrors = -1;
    std::vector<DxfEntity> entities;
};

// The folder of the DXF checkers: from the source tree CTest names, or where this header was
// compiled from (a relative path there only holds from the build folder).
inline std::filesystem::path dxfCheckDir() {
    if (const char* src = std::getenv("TRESOL_SOURCE_DIR"); src && *src)
        return std::filesystem::path(src) / "tests" / "drawing";
    return std::filesystem::path(__FILE__).parent_path();
}

// Runs dxf_check.py (or another checker printing the same kind of listing) on the file with the
// Python that has ezdxf (Debian's own first, where python3-ezdxf installs) and parses its
// listing, kept beside the file as <file>.txt.
inline DxfReadBack readDxf(const std::string& path,
                           const std::filesystem::path& script = dxfCheckDir() / "dxf_check.py") {
    static const std::string py =
        std::system("/usr/bin/python3 -c 'import ezdxf' 2>/dev/null") == 0 ? "/usr/bin/python3"
        : std::system("python3 -c 'import ezdxf' 2>/dev/null") == 0        ? "python3"
                                                                           : "";
    if (py.empty())
        return {"python3 with ezdxf not found (apt-get install python3-ezdxf)", "", -1, {}};
    if (!std::filesystem::exists(script))
        return {"checker script not found: " + script.string(), "", -1, {}};
    const int rc = std::system(
        (py + " '" + script.string() + "' '" + path + "' >'" + path + ".txt' 2>&1").c_str());
    std::ifstream in(path + ".txt");
    const std::string out((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (rc != 0) {
        const std::string status =
            script.filename().string() + " exit " + std::to_string(WEXITSTATUS(rc));
        return {"", status + ": " + out, -1, {}};
    }
    DxfReadBack r;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        DxfEntity e;
        if (const auto t = line.find(" text="); t != std::string::npos) {
            e.fields["text"] = line.substr(t + 6); // the rest of the line, blanks included
            line.resize(t);
        }
        std::istringstream words(line);
        words >> e.kind;
        for (std::string w, key; words >> w;) {
            if (const auto eq = w.find('='); eq != std::string::npos)
                e.fields[key = w.substr(0, eq)] = w.substr(eq + 1);
            else
                e.fields[key] += " " + w; // a value of several words
        }
        if (e.kind == "AUDIT")
            r.auditErrors = static_cast<int>(e.number("errors"));
        else if (!e.kind.empty())
            r.entities.push_back(std::move(e));
    }
    return r;
}

// The same for a section drawing, through the checker that adds layers, styles and dimensions.
inline DxfReadBack readSectionDxf(const std::string& path) {
    return readDxf(path, dxfCheckDir() / ".." / "design" / "section_dxf_check.py");
}

} // namespace tresol::testing
