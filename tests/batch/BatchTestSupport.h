#pragma once

#include "batch/CsvReader.h"
#include "batch/MemberReader.h"

#include "TempDir.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <sys/wait.h>

namespace tresol::testing {

using BatchDir = TempDir;

inline std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Outcome {
    int status = -1;
    std::string out, err;
};

inline std::string shellQuoted(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Runs the program with `args`, standard input from `input` (or nothing).
inline Outcome batch(const BatchDir& dir, const std::vector<std::string>& args,
                     const std::string& input = "") {
    std::string cmd = shellQuoted(TRESOL_BATCH_EXE);
    for (const auto& a : args) {
        cmd += ' ';
        cmd += shellQuoted(a);
    }
    const std::string out = dir.file(".stdout"), err = dir.file(".stderr");
    cmd += " >" + shellQuoted(out) + " 2>" + shellQuoted(err) + " <" +
           shellQuoted(input.empty() ? std::string("/dev/null") : input);
    const int raw = std::system(cmd.c_str());
    Outcome r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = slurp(out);
    r.err = slurp(err);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return r;
}

inline std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        out.push_back(l);
    return out;
}

// The records of a CSV text, header first.
inline std::vector<std::vector<std::string>> csvRecords(const std::string& text) {
    std::istringstream in(text);
    batch::CsvReader reader(in);
    std::vector<std::vector<std::string>> out;
    for (std::vector<std::string> f; reader.next(f);)
        out.push_back(f);
    return out;
}

// The rows of a CSV text as the program reads them.
inline std::vector<batch::InputRow> rowsOf(const std::string& text) {
    std::istringstream in(text);
    std::vector<batch::InputRow> out;
    batch::readMembers(in, batch::InputFormat::Csv,
                       [&](batch::InputRow&& row) { out.push_back(std::move(row)); });
    return out;
}

inline double number(const std::string& s) {
    double v = NAN;
    std::from_chars(s.data(), s.data() + s.size(), v);
    return v;
}

} // namespace tresol::testing

// The helpers by their own names in the batch program's tests.
namespace tresol::batch {
using testing::batch;
using testing::BatchDir;
using testing::csvRecords;
using testing::number;
using testing::Outcome;
using testing::rowsOf;
using testing::shellQuoted;
using testing::slurp;
} // namespace tresol::batch
