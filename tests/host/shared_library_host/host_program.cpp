// A C++ host linked against libholloform.so through the public header alone.
// Each check runs in a process of its own (the first argument names it),
// since several are about what the first call into a fresh library does.
// Exit status 0 when the check holds; the reason is printed otherwise.

#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <utility>

#include "host/Holloform.h"

namespace {

// Allocation failure injection: while armed, the countdown-th allocation
// throws std::bad_alloc.
long allocations_until_failure = 0;

bool fail(const std::string& reason) {
    std::fprintf(stderr, "%s\n", reason.c_str());
    return false;
}

// Every allocation of the first construction in turn fails; each failure
// reaches the caller and leaves no edit context, until one try gets through
// and finds the defaults. Under the leak checker, nothing may stay behind.
bool failed_construction_is_retried() {
    for (long failing = 1;; ++failing) {
        allocations_until_failure = failing;
        try {
            const int levels = Holloform::query_int(IntGridLevels);
            allocations_until_failure = 0;
            if (failing == 1) return fail("the construction allocated nothing");
            return levels == 3 || fail("after retries, query_int gave " + std::to_string(levels));
        } catch (const std::bad_alloc&) {
            allocations_until_failure = 0;
        }
        if (failing > 100000) return fail("the construction never completed");
    }
}

int vertices = 0;
void count_vertex(float, float, float) { ++vertices; }

// A handle's edit context exports through the shared callback, until that
// is cleared.
bool handles_work_through_the_library() {
    Holloform::I_EditContextOwnerhip handle = Holloform::acquire_edit_context();
    if (!handle) return fail("no edit context");
    Holloform::set_vertex3_func(count_vertex);
    handle->set_bool(BoolD_OutsideSolid, true);
    handle->do_action(ActionNewClearGrid);
    handle->do_action(ActionExportDisplayBoxAsSquares);
    if (vertices == 0 || vertices % 4 != 0) return fail("export sent " + std::to_string(vertices) + " vertices");
    const int sent = vertices;
    Holloform::set_vertex3_func(nullptr);
    handle->do_action(ActionExportDisplayBoxAsSquares);
    return vertices == sent || fail("an export reached a cleared callback");
}

}  // namespace

void* operator new(std::size_t size) {
    if (allocations_until_failure > 0 && --allocations_until_failure == 0) throw std::bad_alloc();
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

int main(int argc, char** argv) {
    const std::string check = argc > 1 ? argv[1] : "";
    const std::pair<const char*, bool (*)()> checks[] = {
        {"failed-construction", failed_construction_is_retried}, {"handles", handles_work_through_the_library}};
    for (const auto& [name, run] : checks) {
        if (check == name) return run() ? 0 : 1;
    }
    std::fprintf(stderr, "unknown check '%s'\n", check.c_str());
    return 1;
}
