#pragma once

// The switches and constants of the surface dynamics, read from the settings once per limit surface display
// and passed unchanged to every step of that display. The initial values are the editor's start values.
struct PhysicsParameters {
    bool do_physics = true;                    // off: vertices are shown where they are and not moved
    bool do_viscous_drag = false;              // force -drag * velocity
    bool do_grid_spring = true;                // spring toward the vertex's own voxel
    bool do_dynamic_neighbour_spring = true;   // spring toward the mean simulated position of the neighbours
    bool do_static_neighbour_spring = false;   // spring toward the mean of the neighbours' voxels

    float time_step = 0.02f;            // dt
    float viscous_drag = 0.1f;          // drag
    float grid_stiffness = 0.0625f;     // kg
    float grid_damping = 1.0f;          // cg
    float neighbour_stiffness = 1.0f;   // kn, both neighbour springs
    float neighbour_damping = 1.0f;     // cn, both neighbour springs
};
