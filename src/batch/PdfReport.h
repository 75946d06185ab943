#pragma once

#include "batch/SteelTotals.h"
#include "design/Run.h"
#include "drawing/Canvas.h"

#include <cstdint>
#include <memory>
#include <string>

namespace tresol::batch {

// The PDF report of a schedule: a page per member, written as soon as the member is designed,
// and a summary page at the end. Nothing of a member is kept once its page is written.
class PdfReport {
  public:
    // Throws OutputError when the file cannot be created.
    explicit PdfReport(std::string path);
    ~PdfReport();
    PdfReport(const PdfReport&) = delete;
    PdfReport& operator=(const PdfReport&) = delete;

    // The member's inputs, its candidate table, the drawing of its chosen bars and their line.
    // With actions, the chosen row's interaction diagram beside the drawing.
    void member(std::int64_t row, const design::RunResult& result, const Canvas& drawing,
                const Canvas* diagram = nullptr);
    // A row refused for `message` (which names it), listed on the summary page.
    void refused(const std::string& message);
    // The summary page; then the file is put in place. Throws OutputError.
    void finish(const SteelTotals& totals);

    struct Impl; // the painter and its page, shared by the page-drawing helpers

  private:
    std::unique_ptr<Impl> d_;
};

} // namespace tresol::batch
