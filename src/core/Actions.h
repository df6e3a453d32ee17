#pragma once

#include <cstdint>

class EditContext;

// Runs numbered action `action` (ActionId in core/SettingIds.h) on the
// context; numbers from ActionSentinel up do nothing. Save and Load throw
// Util_E26EF::Exception on file failures; a failed Load leaves the world as
// it was.
void do_action(EditContext& context, std::uint32_t action);
