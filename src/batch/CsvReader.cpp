#include "batch/CsvReader.h"

#include "batch/Utf8.h"

#include <utility>

namespace tresol::batch {
namespace {

constexpr int kEnd = -1;
constexpr std::size_t kBufferSize = 1 << 16;

// A field in Windows-1252 (what a spreadsheet on a Spanish Windows saves as CSV: "Pórtico" with
// 0xF3) in UTF-8. The five codes the code page leaves unassigned keep their C1 code points.
void windows1252ToUtf8(std::string& s) {
    static constexpr char16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::string out;
    out.reserve(s.size() + s.size() / 2);
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        const char32_t u = c >= 0x80 && c < 0xA0 ? kHigh[c - 0x80] : c;
        if (u < 0x80) {
            out.push_back(static_cast<char>(u));
        } else if (u < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (u >> 6)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (u >> 12)));
            out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        }
    }
    s = std::move(out);
}

} // namespace

CsvReader::CsvReader(std::istream& in) : in_(in), buffer_(kBufferSize) {}

int CsvReader::peek() {
    if (fromHeader_) {
        if (headerPos_ < headerText_.size())
            return static_cast<unsigned char>(headerText_[headerPos_]);
        fromHeader_ = false;
        headerText_.clear();
        headerText_.shrink_to_fit();
    }
    if (pos_ == end_) {
        if (!in_)
            return kEnd;
        in_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        pos_ = 0;
        end_ = static_cast<std::size_t>(in_.gcount());
        if (end_ == 0)
            return kEnd;
    }
    return static_cast<unsigned char>(buffer_[pos_]);
}

int CsvReader::get() {
    const int c = peek();
    if (c == kEnd)
        return c;
    if (fromHeader_)
        ++headerPos_;
    else
        ++pos_;
    if (c == '\n')
        ++line_;
    return c;
}

bool CsvReader::next(std::vector<std::string>& fields) {
    if (!headerRead_) {
        headerRead_ = true;
        // The header is read ahead raw: which separator it uses decides how every record,
        // the header included, is split.
        bool quoted = false;
        int commas = 0, semicolons = 0;
        for (int c = peek(); c != kEnd; c = peek()) {
            ++pos_;
            headerText_.push_back(static_cast<char>(c));
            if (c == '"')
                quoted = !quoted;
            else if (!quoted && c == ',')
                ++commas;
            else if (!quoted && c == ';')
                ++semicolons;
            else if (!quoted && c == '\n' &&
                     headerText_.find_first_not_of("\r\n\xEF\xBB\xBF") != std::string::npos)
                break;
        }
        if (headerText_.starts_with("\xEF\xBB\xBF"))
            headerText_.erase(0, 3);
        separator_ = semicolons > commas ? ';' : ',';
        fromHeader_ = true;
    }
    return readRecord(fields);
}

bool CsvReader::readRecord(std::vector<std::string>& fields) {
    unterminated_ = false;
    for (int c = peek(); c == '\r' || c == '\n'; c = peek())
        get();
    if (peek() == kEnd) {
        fields.clear();
        return false;
    }
    recordLine_ = line_;

    // Field strings are reused from record to record: no allocation per field once warm.
    std::size_t n = 0;
    auto field = [&]() -> std::string& {
        if (n == fields.size())
            fields.emplace_back();
        return fields[n];
    };
    field().clear();
    bool quoted = false;
    bool wasQuoted = false;
    for (;;) {
        const int c = get();
        if (quoted) {
            if (c == kEnd) {
                unterminated_ = true;
                break;
            }
            if (c == '"') {
                if (peek() == '"')
                    field().push_back(static_cast<char>(get()));
                else
                    quoted = false;
            } else {
                field().push_back(static_cast<char>(c));
            }
            continue;
        }
        if (c == kEnd || c == '\n')
            break;
        if (c == '\r') {
            if (peek() == '\n')
                get();
            break;
        }
        if (c == static_cast<unsigned char>(separator_)) {
            ++n;
            field().clear();
            wasQuoted = false;
            continue;
        }
        std::string& f = field();
        if (c == '"' && !wasQuoted && f.find_first_not_of(' ') == std::string::npos) {
            // Blanks before an opening quote are not part of the field.
            f.clear();
            quoted = wasQuoted = true;
            continue;
        }
        f.push_back(static_cast<char>(c));
    }
    fields.resize(n + 1);
    for (std::string& f : fields)
        if (!isUtf8(f))
            windows1252ToUtf8(f);
    return true;
}

} // namespace tresol::batch
