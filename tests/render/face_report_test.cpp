// The face report cadence and the surface frame counter.
#include <gtest/gtest.h>

#include <sstream>

#include "render/FaceReport.h"
#include "render/GridDisplay.h"

namespace {

TEST(FaceReport, FirstAtThe31stDisplayThenEvery30th) {
    FaceReport report;
    std::ostringstream out;
    std::vector<uint32_t> reported_at;
    for (uint32_t display = 1; display <= 125; ++display) {
        const size_t before = out.str().size();
        report.count_display(display * 10, out);
        if (out.str().size() != before) reported_at.push_back(display);
    }
    EXPECT_EQ(reported_at, (std::vector<uint32_t>{31, 61, 91, 121}));
    EXPECT_EQ(out.str(), "Faces: 310\nFaces: 610\nFaces: 910\nFaces: 1210\n");
    EXPECT_EQ(report.displays_since_report(), 5u);
}

TEST(SurfaceFrameCounter, NeverTakesZero) {
    EXPECT_EQ(frame_after(1), 2u);
    EXPECT_EQ(frame_after(0xFFFFFFFEu), 0xFFFFFFFFu);
    EXPECT_EQ(frame_after(0xFFFFFFFFu), 1u);
    const uint32_t before = surface_frame();
    EXPECT_NE(before, 0u);
    advance_surface_frame();
    EXPECT_EQ(surface_frame(), frame_after(before));
}

}  // namespace
