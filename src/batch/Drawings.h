#pragma once

#include "batch/SafeName.h"
#include "design/Design.h"
#include "drawing/Canvas.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tresol::batch {

struct DrawingFormats {
    bool svg = false;
    bool png = false;
    bool pdf = false;
    bool dxf = false;

    bool any() const { return svg || png || pdf || dxf; }
};

// Reads 'svg,png,pdf,dxf' (any subset, any case); false with the unknown word in `error`.
bool parseDrawingFormats(std::string_view text, DrawingFormats& formats, std::string& error);

// The size, in pixels, of the canvas a member's section is drawn on for files and the report.
inline constexpr float kDrawingSize = 480;

// Writes each member's drawing into a folder, one file per format, named after the member's id.
class DrawingWriter {
  public:
    // Creates the folder if needed. Throws OutputError.
    DrawingWriter(std::string folder, DrawingFormats formats);

    // Every file is written under a temporary name and renamed. Throws OutputError.
    void write(std::int64_t row, const design::Member& member, const design::Placement& placement,
               const Canvas& canvas);

  private:
    std::string folder_;
    DrawingFormats formats_;
    SafeNames names_;
};

} // namespace tresol::batch
