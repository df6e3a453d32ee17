#pragma once

// Something that must be let go of when the edit context it was registered
// with is destroyed (for example OpenGL texture names).
class I_Releasable {
public:
    virtual void release() = 0;

protected:
    ~I_Releasable() = default;
};
