#include "render/FaceReport.h"

void FaceReport::count_display(uint32_t faces, std::ostream& out) {
    if (counter_ >= kInterval) {
        out << "Faces: " << faces << std::endl;
        counter_ = 0;
    }
    ++counter_;
}

FaceReport& squares_face_report() {
    static FaceReport report;
    return report;
}

FaceReport& surface_face_report() {
    static FaceReport report;
    return report;
}
