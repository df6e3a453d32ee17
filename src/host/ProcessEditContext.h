#pragma once

class EditContext;

// The process-wide edit context, for the control API functions defined
// outside ControlApi.cpp. Throws std::logic_error naming `function` while
// do_action runs (from inside the vertex callback).
EditContext& process_edit_context_for(const char* function);
