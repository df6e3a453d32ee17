#pragma once

#include "interaction/Tool.h"

// Moves the eye along the world x axis (horizontal amount) and the world z
// axis (vertical amount), whatever the view's orientation. Owns no key:
// every key event goes to default_key, so only the default key handler's
// keys affect it, and no key returns from it to the default tool.
class WorldMoveTool final : public Tool {
public:
    using Tool::Tool;
    void update() override;
    void key(unsigned char key, bool pressed) override;
    const char* name() const override { return "world move"; }
};
