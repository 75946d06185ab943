#pragma once

// Reading a DXF file back through an independent reader (ezdxf, run by dxf_check.py) and
// a scratch directory for the files written.

#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace tresol::testing {

class DxfDir {
  public:
    DxfDir() {
        static std::atomic<int> counter{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        path_ = std::filesystem::temp_directory_path() /
                ("tresol-dxf-" + std::to_string(::getpid()) + "-" + std::to_string(stamp) + "-" +
                 std::to_string(counter++));
        std::filesystem::create_directories(path_);
    }
    // With TRESOL_DXF_KEEP set to a directory, the drawings written are copied there.
    ~DxfDir() {
        std::error_code ec;
        if (const char* keep = std::getenv("TRESOL_DXF_KEEP"))
            for (const auto& f : std::filesystem::directory_iterator(path_, ec))
                std::filesystem::copy_file(f.path(),
                                           std::filesystem::path(keep) / f.path().filename(),
                                           std::filesystem::copy_options::overwrite_existing, ec);
        std::filesystem::remove_all(path_, ec);
    }
    DxfDir(const DxfDir&) = delete;
    DxfDir& operator=(const DxfDir&) = delete;

    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

// One model-space entity as the reader saw it: its kind and its fields (key=value).
struct DxfEntity {
    std::string kind;
    std::map<std::string, std::string> fields;

    const std::string& at(const std::string& key) const {
        static const std::string none;
        auto it = fields.find(key);
        return it == fields.end() ? none : it->second;
    }
    std::vector<double> numbers(const std::string& key) const {
        std::vector<double> out;
        std::istringstream in(at(key));
        for (double v; in >> v;)
            out.push_back(v);
        return out;
    }
    double number(const std::string& key) const {
        auto v = numbers(key);
        return v.empty() ? 0.0 : v.front();
    }
};

struct DxfReadBack {
    std::string skipped; // why the reader could not run; empty when it ran
    std::string failure; // the reader ran but could not read the file
    int auditErrors = -1;
    int auditFixes = -1;
    std::vector<DxfEntity> entities;
};

inline std::string runCommand(const std::string& cmd, int& status) {
    std::string out;
    status = -1;
    if (FILE* p = ::popen(cmd.c_str(), "r")) {
        std::array<char, 4096> buf;
        std::size_t n;
        while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0)
            out.append(buf.data(), n);
        const int rc = ::pclose(p);
        status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    }
    return out;
}

// The Python that has ezdxf: Debian's own first (python3-ezdxf installs there), then the
// first python3 on the PATH. Empty when none has it.
inline std::string pythonWithEzdxf() {
    static const std::string found = [] {
        for (const char* py : {"/usr/bin/python3", "python3"}) {
            int status = 0;
            runCommand(std::string(py) + " -c 'import ezdxf' 2>/dev/null", status);
            if (status == 0)
                return std::string(py);
        }
        return std::string();
    }();
    return found;
}

inline std::string dxfCheckScript() {
    if (const char* src = std::getenv("TRESOL_SOURCE_DIR"))
        return std::string(src) + "/tests/drawing/dxf_check.py";
    return (std::filesystem::path(__FILE__).parent_path() / "dxf_check.py").string();
}

inline DxfReadBack readDxf(const std::string& path) {
    DxfReadBack r;
    const std::string py = pythonWithEzdxf();
    if (py.empty()) {
        r.skipped = "python3 with ezdxf not found (apt-get install python3-ezdxf)";
        return r;
    }
    const std::string script = dxfCheckScript();
    if (!std::filesystem::exists(script)) {
        r.skipped = "checker script not found: " + script;
        return r;
    }
    int status = 0;
    const std::string out = runCommand(py + " '" + script + "' '" + path + "' 2>&1", status);
    if (status != 0) {
        r.failure = "dxf_check.py exit " + std::to_string(status) + ": " + out;
        return r;
    }
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        DxfEntity e;
        words >> e.kind;
        std::string word, key;
        while (words >> word) {
            const auto eq = word.find('=');
            if (eq != std::string::npos && eq > 0) {
                key = word.substr(0, eq);
                if (key == "text") { // the rest of the line, blanks included
                    const auto at = line.find(" text=");
                    e.fields[key] = line.substr(at + 6);
                    break;
                }
                e.fields[key] = word.substr(eq + 1);
            } else if (!key.empty()) {
                e.fields[key] += " " + word;
            }
        }
        if (e.kind == "AUDIT") {
            r.auditErrors = static_cast<int>(e.number("errors"));
            r.auditFixes = static_cast<int>(e.number("fixes"));
        } else if (!e.kind.empty()) {
            r.entities.push_back(std::move(e));
        }
    }
    return r;
}

} // namespace tresol::testing
