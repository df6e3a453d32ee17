#include "persistence/MeshExport.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <fstream>
#include <string>

#include "persistence/Exception.h"
#include "persistence/FloatText.h"
#include "persistence/GridFileText.h"

namespace {

constexpr const char* kIndexOutOfRange = "A triangle names a vertex the mesh does not have.";
constexpr const char* kUnknownMeshFormat = "Unknown mesh file type: use .obj, .stl or .ply.";
constexpr size_t kStlHeaderBytes = 80;

struct Point {
    float x, y, z;
};

Point vertex_at(const TriangleMeshView& mesh, uint32_t index) {
    const float* p = mesh.positions + size_t(index) * mesh.stride;
    return Point{p[0], p[1], p[2]};
}

void check_indices(const TriangleMeshView& mesh) {
    const size_t used = mesh.triangle_count() * 3;
    for (size_t i = 0; i < used; ++i) {
        if (mesh.indices[i] >= mesh.vertex_count) throw Util_E26EF::Exception{0, kIndexOutOfRange, nullptr};
    }
}

void check_stream(const std::ostream& out) {
    if (out.fail()) throw Util_E26EF::Exception{0, GridFileText::kOutputFailed, GridFileText::kWriteFailed};
}

// Little-endian encoding into a byte buffer that is written in large pieces.
class ByteBuffer {
public:
    void u8(uint8_t value) { bytes_.push_back(static_cast<char>(value)); }
    void u16(uint16_t value) {
        for (int i = 0; i < 2; ++i) u8(static_cast<uint8_t>(value >> (8 * i)));
    }
    void u32(uint32_t value) {
        for (int i = 0; i < 4; ++i) u8(static_cast<uint8_t>(value >> (8 * i)));
    }
    void f32(float value) {
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        u32(bits);
    }
    void text(const std::string& s) { bytes_ += s; }

    // Writes what is buffered once it is large, or always when `force`.
    void flush_to(std::ostream& out, bool force = false) {
        if (!force && bytes_.size() < (1u << 16)) return;
        out.write(bytes_.data(), static_cast<std::streamsize>(bytes_.size()));
        check_stream(out);
        bytes_.clear();
    }

private:
    std::string bytes_;
};

// The unit normal of the triangle by the right-hand rule; zero when it has no area.
Point face_normal(const Point& a, const Point& b, const Point& c) {
    const double ux = double(b.x) - a.x, uy = double(b.y) - a.y, uz = double(b.z) - a.z;
    const double vx = double(c.x) - a.x, vy = double(c.y) - a.y, vz = double(c.z) - a.z;
    const double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
    const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
    if (!(length > 0.0) || !std::isfinite(length)) return Point{0.0f, 0.0f, 0.0f};
    return Point{float(nx / length), float(ny / length), float(nz / length)};
}

void write_obj(const TriangleMeshView& mesh, std::ostream& out) {
    std::string text;
    for (uint32_t v = 0; v < mesh.vertex_count; ++v) {
        const Point p = vertex_at(mesh, v);
        text += 'v';
        for (float value : {p.x, p.y, p.z}) {
            text += ' ';
            append_float_text(text, value);
        }
        text += '\n';
        if (text.size() > (1u << 16)) {
            out << text;
            text.clear();
        }
    }
    for (size_t t = 0; t < mesh.triangle_count(); ++t) {
        text += 'f';
        for (size_t k = 0; k < 3; ++k) text += ' ' + std::to_string(mesh.indices[3 * t + k] + uint64_t(1));
        text += '\n';
        if (text.size() > (1u << 16)) {
            out << text;
            text.clear();
        }
    }
    out << text;
    check_stream(out);
}

void write_stl(const TriangleMeshView& mesh, std::ostream& out) {
    ByteBuffer buffer;
    std::string header = "holloform limit surface";
    header.resize(kStlHeaderBytes, ' ');
    buffer.text(header);
    buffer.u32(static_cast<uint32_t>(std::min<size_t>(mesh.triangle_count(), UINT32_MAX)));
    for (size_t t = 0; t < mesh.triangle_count() && t < UINT32_MAX; ++t) {
        const Point a = vertex_at(mesh, mesh.indices[3 * t]);
        const Point b = vertex_at(mesh, mesh.indices[3 * t + 1]);
        const Point c = vertex_at(mesh, mesh.indices[3 * t + 2]);
        for (const Point& p : {face_normal(a, b, c), a, b, c}) {
            buffer.f32(p.x);
            buffer.f32(p.y);
            buffer.f32(p.z);
        }
        buffer.u16(0);  // attribute byte count
        buffer.flush_to(out);
    }
    buffer.flush_to(out, true);
}

void write_ply(const TriangleMeshView& mesh, std::ostream& out) {
    ByteBuffer buffer;
    buffer.text("ply\nformat binary_little_endian 1.0\nelement vertex " + std::to_string(mesh.vertex_count) +
                "\nproperty float x\nproperty float y\nproperty float z\nelement face " +
                std::to_string(mesh.triangle_count()) + "\nproperty list uchar uint vertex_indices\nend_header\n");
    for (uint32_t v = 0; v < mesh.vertex_count; ++v) {
        const Point p = vertex_at(mesh, v);
        buffer.f32(p.x);
        buffer.f32(p.y);
        buffer.f32(p.z);
        buffer.flush_to(out);
    }
    for (size_t t = 0; t < mesh.triangle_count(); ++t) {
        buffer.u8(3);
        for (size_t k = 0; k < 3; ++k) buffer.u32(mesh.indices[3 * t + k]);
        buffer.flush_to(out);
    }
    buffer.flush_to(out, true);
}

}  // namespace

bool mesh_format_of_path(const std::string& path, MeshFormat& format) {
    const size_t dot = path.find_last_of('.');
    const size_t slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
    std::string extension = path.substr(dot + 1);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == "obj") {
        format = MeshFormat::Obj;
    } else if (extension == "stl") {
        format = MeshFormat::Stl;
    } else if (extension == "ply") {
        format = MeshFormat::Ply;
    } else {
        return false;
    }
    return true;
}

void write_mesh(const TriangleMeshView& mesh, MeshFormat format, std::ostream& out) {
    check_indices(mesh);
    switch (format) {
        case MeshFormat::Obj:
            write_obj(mesh, out);
            break;
        case MeshFormat::Stl:
            write_stl(mesh, out);
            break;
        case MeshFormat::Ply:
            write_ply(mesh, out);
            break;
    }
}

void write_mesh(const TriangleMeshView& mesh, const std::string& path) {
    MeshFormat format;
    if (!mesh_format_of_path(path, format)) throw Util_E26EF::Exception{0, kUnknownMeshFormat, nullptr};
    check_indices(mesh);  // before the file is touched
    const std::ios::openmode mode =
        format == MeshFormat::Obj ? std::ios::out | std::ios::trunc : std::ios::out | std::ios::trunc | std::ios::binary;
    std::ofstream out(path, mode);
    if (!out.is_open()) throw Util_E26EF::Exception{0, GridFileText::kCannotOpenForWriting, nullptr};
    write_mesh(mesh, format, out);
    out.close();
    if (out.fail()) throw Util_E26EF::Exception{0, GridFileText::kOutputFailed, GridFileText::kWriteFailed};
}
