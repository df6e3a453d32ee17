#pragma once

#include <cstdint>
#include <memory>

class ToolContext;
class View;

// The current interaction tool gets every pointer, button and key event and
// one update per frame. A tool never draws. This class is also the default
// tool: its update applies the current brush at the focus while the left
// (add) or right (remove) button alone is held, and its keys select the
// camera tools.
//
// Tools replace themselves through change_tool, which destroys the tool
// that calls it: a handler must not touch its own members after that call.
class Tool {
public:
    explicit Tool(ToolContext& owner) : owner_(owner) {}
    Tool(const Tool&) = delete;
    Tool& operator=(const Tool&) = delete;

    // The pointer and button handlers do nothing in every tool: the edit
    // context has stored the values already and tools poll them in update.
    virtual void motion(int x, int y);
    virtual void button(int button, int state);
    // Once per frame. Every tool runs this default update first.
    virtual void update();
    // pressed is true for a key press and false for a release.
    virtual void key(unsigned char key, bool pressed);
    virtual ~Tool() = default;

    // Short name for the editor's title bar.
    virtual const char* name() const { return "brush"; }

    // Announces the switch, then makes new_tool the current tool of context.
    static void change_tool(ToolContext& context, std::unique_ptr<Tool> new_tool);

protected:
    ToolContext& owner() const { return owner_; }

private:
    ToolContext& owner_;
};

// A fresh tool of type T for the context.
template <class T>
std::unique_ptr<Tool> make_tool(ToolContext& context) {
    return std::make_unique<T>(context);
}

// The voxel under the view's focus point, each coordinate truncated toward
// zero. A coordinate that fits no 32-bit integer (or is not a number)
// becomes 0x80000000, which lies outside every grid; negative ones wrap to
// large unsigned values, which lie outside too.
struct FocusVoxel {
    std::uint32_t x;
    std::uint32_t y;
    std::uint32_t z;
};
FocusVoxel focus_voxel(const View& view);
