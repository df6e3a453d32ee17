#pragma once

#include "interaction/Tool.h"
#include "math/Vector3.h"

// The tools of the keys x and s turn the view about the far point taken when
// the tool is made: the horizontal amount turns about a world axis (the one
// nearest up for x, nearest the view direction for s), the vertical amount
// tilts about the eye's x axis. Roll levelling (BoolCompensateForTwist) is
// switched off while the tool lives and restored when its key is released.
class OrbitTool : public Tool {
public:
    void update() override;
    void key(unsigned char key, bool pressed) override;

    const Vector3& centre() const { return centre_; }
    int axis() const { return axis_; }
    double sign() const { return sign_; }
    bool saved_twist_flag() const { return saved_twist_flag_; }

protected:
    OrbitTool(ToolContext& owner, unsigned char own_key, const Vector3& axis_direction);

private:
    unsigned char own_key_;
    Vector3 centre_;
    double sign_ = 1.0;
    int axis_ = 0;
    bool saved_twist_flag_;
};

class OrbitUpTool final : public OrbitTool {
public:
    explicit OrbitUpTool(ToolContext& owner);
    const char* name() const override { return "orbit up"; }
};

class OrbitForwardTool final : public OrbitTool {
public:
    explicit OrbitForwardTool(ToolContext& owner);
    const char* name() const override { return "orbit forward"; }
};
