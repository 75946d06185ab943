#pragma once

#include "batch/MemberInput.h"

#include <functional>
#include <istream>
#include <stdexcept>
#include <string>

namespace tresol::batch {

// A whole input refused: unreadable, empty, without the needed columns, not JSON. The text says
// why, without the file's name.
class InputError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

enum class InputFormat { Csv, Json };

// JSON when the text starts (after blanks) with '[' or '{', CSV otherwise.
InputFormat sniffFormat(std::istream& in);

using RowSink = std::function<void(InputRow&&)>;

// Reads the members of a CSV text one row at a time, handing each row to `sink` as soon as it is
// read and checked (a field left out taken from `defaults`); returns the number of rows. Throws
// InputError for a file that cannot be used.
std::int64_t readCsvMembers(std::istream& in, const RowSink& sink,
                            const design::RowDefaults& defaults = {});

// The same for a JSON array of member objects (keys as the CSV columns).
std::int64_t readJsonMembers(std::istream& in, const RowSink& sink,
                             const design::RowDefaults& defaults = {});

std::int64_t readMembers(std::istream& in, InputFormat format, const RowSink& sink,
                         const design::RowDefaults& defaults = {});

} // namespace tresol::batch
