#include "grid/CubeTables.h"

namespace {

constexpr std::uint8_t kEndOfRow = 255;
constexpr unsigned kRowBytes = 16;

using TriangleRow = std::array<std::uint8_t, kRowBytes>;
using TriangleTable = std::array<TriangleRow, kCubeCases>;
using AdjacencyRow = std::array<std::uint8_t, kCubeCorners>;
using CornerAdjacencyTable = std::array<AdjacencyRow, kCubeCases>;

// The triangles of every case that has any, each written as its three corner
// digits. Every case not listed has no triangles.
struct CaseTriangles {
    unsigned cube_case;
    const char* triangles;
};

constexpr CaseTriangles kTrianglesByCase[] = {
    {7, "021"}, {11, "031"}, {13, "023"}, {14, "123"}, {15, "312 210"}, {19, "014"}, {21, "042"},
    {23, "142"}, {27, "403 431"}, {29, "304 342"}, {30, "123"}, {31, "142 123"}, {35, "150"},
    {39, "502 521"}, {42, "135"}, {43, "035"}, {45, "302"}, {46, "512 523"}, {47, "350 302"},
    {49, "405"}, {50, "541"}, {51, "014 415"}, {53, "542 520"}, {54, "415"}, {55, "421 415"},
    {57, "054"}, {58, "413 435"}, {59, "035 054"}, {61, "423 430 405"}, {62, "354 341 312"},
    {63, "423 435"}, {69, "206"}, {71, "106 162"}, {75, "031"}, {76, "263"}, {77, "063"},
    {78, "631 612"}, {79, "063 031"}, {81, "460"}, {83, "146 160"}, {84, "624"}, {85, "042 246"},
    {86, "246"}, {87, "214 246"}, {89, "604"}, {91, "146 160 103"}, {92, "324 346"},
    {93, "630 604"}, {94, "631 612 624"}, {95, "631 614"}, {99, "501"}, {101, "062"},
    {103, "215 250 206"}, {106, "351"}, {107, "035"}, {108, "632"}, {109, "630"},
    {110, "126 163 135"}, {111, "063 035"}, {112, "456"}, {113, "560"}, {114, "156 164"},
    {115, "560 501"}, {116, "245 256"}, {117, "056 062"}, {118, "562 524 541"}, {119, "562 521"},
    {120, "564"}, {121, "560"}, {122, "413 435 456"}, {123, "035 056"}, {124, "245 256 263"},
    {125, "630 605"}, {126, "412 635"}, {127, "356"}, {135, "210"}, {138, "137"}, {139, "710 703"},
    {140, "327"}, {141, "730 702"}, {142, "127"}, {143, "271 210"}, {147, "140"}, {149, "420"},
    {151, "421"}, {154, "713"}, {155, "037 071 014"}, {156, "273"}, {157, "304 342 327"},
    {158, "271"}, {159, "271 214"}, {162, "175"}, {163, "017 075"}, {166, "175"},
    {167, "502 521 517"}, {168, "753"}, {169, "537"}, {170, "375 351"}, {171, "503 537"},
    {172, "275 253"}, {173, "275 253 230"}, {174, "127 175"}, {175, "502 527"}, {176, "574"},
    {177, "057 074"}, {178, "174"}, {179, "174 140"}, {180, "745"}, {181, "057 074 042"},
    {182, "174"}, {183, "421 417"}, {184, "453 437"}, {185, "740 705 753"}, {186, "741 713"},
    {187, "037 074"}, {188, "532 527 574"}, {189, "053 274"}, {190, "127 174"}, {191, "274"},
    {196, "672"}, {197, "720 706"}, {198, "726"}, {199, "067 072 021"}, {200, "736"}, {201, "367"},
    {202, "671 613"}, {203, "710 703 736"}, {204, "672 273"}, {205, "306 367"}, {206, "712 726"},
    {207, "710 706"}, {208, "647"}, {209, "047 076"}, {210, "476"}, {211, "601 614 647"},
    {212, "472"}, {213, "472 420"}, {214, "724"}, {215, "472 421"}, {216, "364 347"},
    {217, "473 436 460"}, {218, "364 347 371"}, {219, "147 360"}, {220, "247 273"},
    {221, "473 430"}, {222, "247 271"}, {223, "147"}, {224, "765"}, {225, "657"}, {226, "651 617"},
    {227, "176 165 150"}, {228, "265 257"}, {229, "720 706 765"}, {230, "651 617 672"},
    {231, "506 721"}, {232, "536"}, {233, "365"}, {234, "365 351"}, {235, "365 350"},
    {236, "653 632"}, {237, "653 630"}, {238, "126 165"}, {239, "065"}, {240, "456 657"},
    {241, "605 657"}, {242, "417 476"}, {243, "176 160"}, {244, "724 745"}, {245, "057 072"},
    {246, "724 741"}, {247, "172"}, {248, "536 564"}, {249, "536 560"}, {250, "364 341"},
    {251, "036"}, {252, "245 253"}, {253, "053"}, {254, "124"},
};

constexpr TriangleTable build_triangle_table() {
    TriangleTable table{};
    for (unsigned c = 0; c < kCubeCases; ++c)
        for (unsigned b = 0; b < kRowBytes; ++b) table[c][b] = kEndOfRow;
    for (const CaseTriangles& entry : kTrianglesByCase) {
        unsigned n = 0;
        for (const char* digit = entry.triangles; *digit != '\0'; ++digit)
            if (*digit != ' ') table[entry.cube_case][n++] = static_cast<std::uint8_t>(*digit - '0');
    }
    return table;
}

constexpr TriangleTable kTriangleTable = build_triangle_table();

// Joins the two corners of every triangle edge.
constexpr CornerAdjacencyTable build_corner_adjacency() {
    CornerAdjacencyTable table{};
    for (unsigned c = 0; c < kCubeCases; ++c) {
        const TriangleRow& row = kTriangleTable[c];
        for (unsigned t = 0; t < kMaxCubeTriangles * 3 && row[t] != kEndOfRow; t += 3) {
            for (unsigned e = 0; e < 3; ++e) {
                const unsigned a = row[t + e];
                const unsigned b = row[t + (e + 1) % 3];
                table[c][a] = static_cast<std::uint8_t>(table[c][a] | (1u << b));
                table[c][b] = static_cast<std::uint8_t>(table[c][b] | (1u << a));
            }
        }
    }
    return table;
}

constexpr CornerAdjacencyTable kCornerAdjacencyTable = build_corner_adjacency();

}  // namespace

CubeTriangles::CubeTriangles(const std::uint8_t* row) {
    while (count_ < kMaxCubeTriangles && row[3 * count_] != kEndOfRow) {
        const std::uint8_t* corners = row + 3 * count_;
        triangles_[count_] = CubeTriangle{corners[0], corners[1], corners[2]};
        ++count_;
    }
}

CubeTriangles triangles_of(unsigned cube_case) {
    if (cube_case >= kCubeCases) return CubeTriangles();
    return CubeTriangles(kTriangleTable[cube_case].data());
}

std::uint8_t corner_adjacency(unsigned cube_case, unsigned corner) {
    if (cube_case >= kCubeCases || corner >= kCubeCorners) return 0;
    return kCornerAdjacencyTable[cube_case][corner];
}
