#pragma once

#include <cstdint>

// The editor as the host sees it. The operations are declared in the order
// of their virtual slots, destructor first. Button states follow the host's
// convention: false = pressed, true = released; key states are true for a
// press and false for a release.
class I_EditContext {
public:
    virtual ~I_EditContext() = default;

    // One frame: clock, current tool, roll levelling, drawing.
    virtual void display() = 0;
    virtual void reshape(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) = 0;
    virtual void motion(std::int32_t x, std::int32_t y) = 0;
    virtual void button(std::int32_t button, bool state) = 0;
    virtual void key(unsigned char key, bool state) = 0;

    // The process-wide settings store, shared by every edit context.
    virtual void set_string(std::uint32_t id, const char* value) = 0;
    virtual void copy_string(std::uint32_t id, char* buffer, std::uint32_t limit) const = 0;
    virtual const char* query_string(std::uint32_t id) const = 0;
    virtual void set_int(std::uint32_t id, std::int32_t value) = 0;
    virtual std::int32_t query_int(std::uint32_t id) const = 0;
    virtual void set_float(std::uint32_t id, float value) = 0;
    virtual float query_float(std::uint32_t id) const = 0;
    virtual void set_bool(std::uint32_t id, bool value) = 0;
    virtual bool query_bool(std::uint32_t id) const = 0;

    // One numbered action (core/SettingIds.h); numbers out of range do
    // nothing. Grid file failures throw Util_E26EF::Exception.
    virtual void do_action(std::uint32_t action) = 0;

protected:
    I_EditContext() = default;
    I_EditContext(const I_EditContext&) = delete;
    I_EditContext& operator=(const I_EditContext&) = delete;
};
