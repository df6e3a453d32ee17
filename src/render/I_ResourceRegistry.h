#pragma once

#include "render/I_Releasable.h"

// Accepts resources to release when the registry's owner goes away. The
// registry does not own them: it only calls release() once on each.
class I_ResourceRegistry {
public:
    virtual void register_resource(I_Releasable* resource) = 0;

protected:
    ~I_ResourceRegistry() = default;
};
