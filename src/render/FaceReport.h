#pragma once

#include <cstdint>
#include <ostream>

// Prints a display mode's face count now and then while face counting is on:
// the first report at the 31st display, then at every 30th.
class FaceReport {
public:
    static constexpr uint32_t kInterval = 30;

    // Counts one display showing `faces` faces; writes "Faces: " and the
    // count on its own line to `out` when a report is due.
    void count_display(uint32_t faces, std::ostream& out);

    uint32_t displays_since_report() const { return counter_; }

private:
    uint32_t counter_ = 0;
};

// The process-wide reports of the two display modes.
FaceReport& squares_face_report();
FaceReport& surface_face_report();
