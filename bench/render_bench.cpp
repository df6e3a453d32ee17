// Frames of a sculpted grid drawn offscreen at 1024 x 768 (Mesa's software
// renderer through EGL): the squares display, and the limit surface split
// into its CPU part (sweep with physics, normals, texture data) and its
// drawing.
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <memory>
#include <random>
#include <vector>

#include "core/EditContext.h"
#include "core/RenderFrame.h"
#include "core/SettingIds.h"
#include "grid/BoxTraversal.h"
#include "grid/GridAffector.h"
#include "grid/World.h"
#include "render/FacePainter.h"
#include "render/GridDisplay.h"
#include "render/LimitSurfaceSweep.h"
#include "render/SurfaceMesh.h"
#include "render/Textures.h"

// The bench target compiles only bench/*.cpp, so it takes the tests' EGL
// harness in as source.
#include "../tests/support/EglContext.cpp"
#include "SculptedBall.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr uint32_t kCentre = 256;
constexpr int kRadius = 60;

// One editor with the sculpted grid and a current context, made once.
struct Scene {
    EglContext egl{kWidth, kHeight};
    std::unique_ptr<EditContext> editor;

    Scene() {
        if (!egl.ok()) return;
        editor = std::make_unique<EditContext>();
        editor->reshape(0, 0, kWidth, kHeight);
        sculpt_ball(editor->world());
    }

    // Looks at `centre` from `distance` away with a display box of `box_size`.
    void aim(float box_size_y, float box_size_xz, float distance) {
        View& view = editor->view();
        view = View();
        view.set_box_size(Vector3(box_size_xz, box_size_y, box_size_xz));
        view.set_far_offset(distance);
        view.set_focus_distance(distance);
        const Vector3 centre(kCentre, box_size_y < 100 ? kCentre + kRadius : kCentre, kCentre);
        view.move_eye_to(centre - view.forward_vector() * distance);
    }
};

Scene& scene() {
    static Scene made;
    return made;
}

// Range 0: the 32 x 16 x 32 box on top of the ball, seen from 40 voxels;
// range 1: the 128^3 box around the whole ball, seen from 150 voxels.
bool prepare(benchmark::State& state, bool squares) {
    Scene& s = scene();
    if (!s.editor) {
        state.SkipWithError(("no EGL context: " + s.egl.failure()).c_str());
        return false;
    }
    if (state.range(0) == 0) {
        s.aim(16, 32, 40);
    } else {
        s.aim(128, 128, 150);
    }
    s.editor->set_bool(BoolDisplayGridAsSquares, squares);
    s.editor->set_bool(BoolDisplayGridAsLimitMCA, !squares);
    return true;
}

// Counts the squares without drawing them.
class SquareCounter final : public SquareVisitor {
public:
    void begin_batch(const Square*) override {}
    void set_normal(float, float, float) override {}
    void emit_square() override { ++count; }
    void end_batch() override {}
    uint64_t count = 0;
};

void BM_SquaresFrame(benchmark::State& state) {
    if (!prepare(state, true)) return;
    EditContext& editor = *scene().editor;
    SquareCounter counter;
    visit_box_squares(editor.world().grid(), editor.compute_display_box(), counter, false);
    for (auto _ : state) {
        render_frame(editor);
        glFinish();
    }
    state.counters["squares"] = double(counter.count);
    state.counters["squares/s"] =
        benchmark::Counter(double(counter.count), benchmark::Counter::kIsIterationInvariantRate);
}

// The squares of a box as one array of coloured corners, for the anchor.
class QuadRecorder final : public SquareVisitor {
public:
    struct Corner {
        int32_t position[3];
        float colour[4];
    };
    std::vector<Corner> corners;

    void begin_batch(const Square* square) override { square_ = square; }
    void set_normal(float x, float y, float z) override {
        colour_ = &FacePainter::kColours[FacePainter::colour_index(x, y, z)];
    }
    void emit_square() override {
        for (const auto& c : square_->corners) {
            corners.push_back({{int32_t(c[0]), int32_t(c[1]), int32_t(c[2])},
                               {(*colour_)[0], (*colour_)[1], (*colour_)[2], (*colour_)[3]}});
        }
    }
    void end_batch() override {}

private:
    const Square* square_ = nullptr;
    const Rgba* colour_ = nullptr;
};

// Processor time of the whole process, the renderer's worker threads
// included: unlike wall-clock time, other processes on a busy machine do
// not inflate it.
std::chrono::nanoseconds process_time() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec);
}

// The squares frame and its anchor in turn: the anchor clears the buffers
// and draws the same quads, prepared once, with one bare glDrawArrays in the
// frame's own state (projection, camera, fog, culling). `ratio` is the
// frame's wall-clock time over the anchor's, `cpu_ratio` the same for the
// process's processor time.
void BM_SquaresFrameOverBareDraw(benchmark::State& state) {
    if (!prepare(state, true)) return;
    EditContext& editor = *scene().editor;
    QuadRecorder quads;
    visit_box_squares(editor.world().grid(), editor.compute_display_box(), quads, false);
    const bool fogged = editor.query_bool(BoolFoggingOn);
    render_frame(editor);  // leaves the frame's matrices and fog parameters set
    using Clock = std::chrono::steady_clock;
    Clock::duration frame_time{}, anchor_time{};
    std::chrono::nanoseconds frame_cpu{}, anchor_cpu{};
    for (auto _ : state) {
        const auto start = Clock::now();
        const auto start_cpu = process_time();
        render_frame(editor);
        glFinish();
        const auto middle = Clock::now();
        const auto middle_cpu = process_time();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        if (fogged) glEnable(GL_FOG);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glVertexPointer(3, GL_INT, sizeof(QuadRecorder::Corner), quads.corners.front().position);
        glColorPointer(4, GL_FLOAT, sizeof(QuadRecorder::Corner), quads.corners.front().colour);
        glDrawArrays(GL_QUADS, 0, GLsizei(quads.corners.size()));
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisable(GL_FOG);
        glFinish();
        anchor_time += Clock::now() - middle;
        anchor_cpu += process_time() - middle_cpu;
        frame_time += middle - start;
        frame_cpu += middle_cpu - start_cpu;
    }
    const double iterations = double(state.iterations());
    state.counters["frame_ms"] = std::chrono::duration<double, std::milli>(frame_time).count() / iterations;
    state.counters["anchor_ms"] = std::chrono::duration<double, std::milli>(anchor_time).count() / iterations;
    state.counters["ratio"] = double(frame_time.count()) / double(anchor_time.count());
    state.counters["cpu_ratio"] = double(frame_cpu.count()) / double(anchor_cpu.count());
    state.counters["squares"] = double(quads.corners.size() / 4);
}

void BM_SquaresTraversalOnly(benchmark::State& state) {
    if (!prepare(state, true)) return;
    EditContext& editor = *scene().editor;
    const IntBox box = editor.compute_display_box();
    for (auto _ : state) {
        SquareCounter counter;
        visit_box_squares(editor.world().grid(), box, counter, false);
        benchmark::DoNotOptimize(counter.count);
    }
}

// Sweep with physics, normals and texture data: everything before drawing.
void build_surface(EditContext& editor, const IntBox& box, SurfaceMesh& mesh) {
    mesh.reset();
    sweep_limit_surface(editor.world(), box, mesh, surface_frame(), physics_from_settings(editor));
    advance_surface_frame();
    mesh.compute_normals();
    mesh.compute_texture_data(float(box.x0), float(box.y0), float(box.z0), 1.0f / 256.0f);
}

void BM_SurfaceCpu(benchmark::State& state) {
    if (!prepare(state, false)) return;
    EditContext& editor = *scene().editor;
    const IntBox box = editor.compute_display_box();
    SurfaceMesh mesh;
    for (auto _ : state) build_surface(editor, box, mesh);
    state.counters["triangles"] = double(mesh.triangle_count());
    state.counters["vertices"] = double(mesh.vertex_count());
}

void BM_SurfaceDrawing(benchmark::State& state) {
    if (!prepare(state, false)) return;
    EditContext& editor = *scene().editor;
    render_frame(editor);  // sets up lights, projection and the textures
    render_frame(editor);
    SurfaceMesh& mesh = surface_mesh();  // the frame's mesh, drawn again and again
    const SurfaceTextures textures = ensure_surface_textures(editor);
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        mesh.draw_textured(textures.first, textures.second, true, false);
        glFinish();
    }
    state.counters["triangles"] = double(mesh.triangle_count());
}

void BM_SurfaceFrame(benchmark::State& state) {
    if (!prepare(state, false)) return;
    EditContext& editor = *scene().editor;
    for (auto _ : state) {
        render_frame(editor);
        glFinish();
    }
}

// The renderer draws on worker threads: wall-clock time is what counts.
BENCHMARK(BM_SquaresTraversalOnly)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SquaresFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SquaresFrameOverBareDraw)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SurfaceCpu)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SurfaceDrawing)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SurfaceFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
