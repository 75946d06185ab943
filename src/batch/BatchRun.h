#pragma once

#include "batch/Drawings.h"
#include "batch/MemberReader.h"
#include "batch/Schedule.h"

#include <optional>
#include <string>
#include <vector>

namespace tresol::batch {

struct BatchOptions {
    std::string input = "-";                // a file, or '-' for standard input
    std::optional<InputFormat> inputFormat; // otherwise from the extension or the first character
    std::vector<std::string> outputs;       // schedules; none: standard output
    std::optional<OutputFormat> format;     // otherwise from each output's extension (CSV)
    CsvDialect csvDialect;                  // of every CSV written: schedules and totals
    std::string totals;                     // the totals by diameter, when given
    std::string drawingsFolder;
    DrawingFormats drawingFormats; // of the drawings and the diagrams (never DXF)
    std::string diagramsFolder;    // the chosen row's interaction diagram, members with actions
    std::string report;            // the PDF report, when given
    // Threads that design the members (1: the reading thread does it all). Members are read,
    // and everything is written, on the calling thread in input order, whatever the number.
    unsigned jobs = 1;
    bool quiet = false;
    bool progress = false; // stderr is a terminal
    // The search of every member without its own; a code search takes `code` (its code set per
    // member) with a member's own aggregate size over `code.aggregateMm`.
    design::SearchKind search = design::SearchKind::Described;
    code::Options code;
    // The link of every member without its own (mm; 0: none); given, the schedules take the
    // link's columns.
    std::optional<double> linkMm;
};

// Exit statuses.
inline constexpr int kAllDesigned = 0;
inline constexpr int kRowsRefused = 1;
inline constexpr int kUsageOrFileError = 2;

// Reads the members, designs each as it is read (on `jobs` threads, a bounded window of members
// ahead of the writing) and writes the schedules, totals, drawings and report as it goes, in
// input order, so that the outputs do not depend on the number of threads; messages go through
// the calling thread's platform::messages(), in row order. Drawings and the report need a
// QGuiApplication, and are painted on the calling thread. Returns the exit status.
int runBatch(const BatchOptions& options);

} // namespace tresol::batch
