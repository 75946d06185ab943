#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace tresol::batch {

// Reads a CSV text one record at a time (RFC 4180: quoted fields with doubled quotes, separators
// and line breaks inside quotes, LF or CRLF line ends), skipping a UTF-8 byte-order mark and
// blank lines. The separator, ',' or ';', is the one the first record (the header) uses more.
// Fields come out in UTF-8: one that is not UTF-8 is read as Windows-1252, the code page a
// spreadsheet on a Spanish Windows saves its CSV in.
class CsvReader {
  public:
    explicit CsvReader(std::istream& in);

    // The next record's fields; false at the end of the text.
    bool next(std::vector<std::string>& fields);

    char separator() const { return separator_; }
    // The line on which the last record read starts (the first line is 1).
    std::int64_t line() const { return recordLine_; }
    // Whether the last record read ended inside an open quote.
    bool unterminatedQuote() const { return unterminated_; }

  private:
    int get();
    int peek();
    bool readRecord(std::vector<std::string>& fields);

    std::istream& in_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    char separator_ = ',';
    bool headerRead_ = false;
    std::string headerText_; // the first record, read ahead to find the separator
    std::size_t headerPos_ = 0;
    bool fromHeader_ = false;
    std::int64_t line_ = 1;
    std::int64_t recordLine_ = 0;
    bool unterminated_ = false;
};

} // namespace tresol::batch
