#include "exchange/LimitSurfaceExport.h"

#include "dynamics/PhysicsParameters.h"
#include "exchange/ExchangeError.h"
#include "grid/World.h"
#include "persistence/Exception.h"
#include "persistence/MeshExport.h"
#include "render/LimitSurfaceSweep.h"
#include "render/SurfaceMesh.h"

void export_limit_surface(World& world, const IntBox& box, const std::string& path, uint32_t frame) {
    MeshFormat format;
    if (!mesh_format_of_path(path, format)) throw ExchangeError(path, "unknown mesh type (use .obj, .stl or .ply)");
    PhysicsParameters still;
    still.do_physics = false;
    SurfaceMesh mesh;
    sweep_limit_surface(world, box, mesh, frame, still);
    try {
        write_mesh(TriangleMeshView{mesh.positions().data(), 4, mesh.vertex_count(), mesh.indices().data(),
                                    mesh.index_count()},
                   path);
    } catch (const Util_E26EF::Exception& error) {
        throw ExchangeError(path, error.message ? error.message : "the mesh cannot be written");
    }
}
