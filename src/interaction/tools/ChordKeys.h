#pragma once

#include <initializer_list>
#include <memory>

class ToolContext;
class Tool;

// One edge of the keyboard chord graph: on this key event, switch to the
// tool that `make` builds.
struct KeyTransition {
    unsigned char key;
    bool pressed;
    std::unique_ptr<Tool> (*make)(ToolContext&);
};

// The key handling of the tools that live while their keys are held: the
// first transition that matches the event replaces the current tool; any
// other event on one of the tool's own keys (a repeated press, the release
// of a key that is not down) is ignored; everything else goes to
// default_key. Returns after the switch without touching the caller.
void follow_chord(ToolContext& context, unsigned char key, bool pressed,
                  std::initializer_list<KeyTransition> transitions, const char* own_keys);

// Whether key is one of the characters of own_keys.
bool is_own_key(unsigned char key, const char* own_keys);
