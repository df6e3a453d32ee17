#include "interaction/tools/ChordKeys.h"

#include <cstring>

#include "interaction/DefaultKey.h"
#include "interaction/Tool.h"

bool is_own_key(unsigned char key, const char* own_keys) {
    return key != 0 && std::strchr(own_keys, key) != nullptr;
}

void follow_chord(ToolContext& context, unsigned char key, bool pressed,
                  std::initializer_list<KeyTransition> transitions, const char* own_keys) {
    for (const KeyTransition& transition : transitions) {
        if (transition.key == key && transition.pressed == pressed) {
            Tool::change_tool(context, transition.make(context));
            return;
        }
    }
    if (is_own_key(key, own_keys)) return;
    default_key(context, key, pressed);
}
