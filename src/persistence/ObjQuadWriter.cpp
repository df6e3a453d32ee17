#include "persistence/ObjQuadWriter.h"

#include <cstring>
#include <fstream>

#include "persistence/Exception.h"
#include "persistence/FloatText.h"
#include "persistence/GridFileText.h"

ObjQuadWriter::CornerKey ObjQuadWriter::key_of(const Corner& corner) {
    CornerKey key;
    for (int i = 0; i < 3; ++i) {
        const float value = corner[i] + 0.0f;  // -0 + 0 is +0
        std::memcpy(&key[i], &value, sizeof value);
    }
    return key;
}

size_t ObjQuadWriter::CornerKeyHash::operator()(const CornerKey& key) const {
    uint64_t h = 1469598103934665603ull;
    for (uint32_t word : key) h = (h ^ word) * 1099511628211ull;
    return static_cast<size_t>(h ^ (h >> 29));
}

void ObjQuadWriter::add_corner(float x, float y, float z) {
    const Corner corner{x, y, z};
    const auto inserted = index_of_.emplace(key_of(corner), static_cast<uint32_t>(vertices_.size()));
    if (inserted.second) vertices_.push_back(corner);
    pending_[pending_count_++] = inserted.first->second;
    if (pending_count_ == 4) {
        quads_.push_back(pending_);
        pending_count_ = 0;
        complete_vertex_count_ = static_cast<uint32_t>(vertices_.size());
    }
}

void ObjQuadWriter::write(std::ostream& out) const {
    std::string line;
    for (uint32_t i = 0; i < complete_vertex_count_; ++i) {
        const Corner& corner = vertices_[i];
        line = "v";
        for (float value : corner) {
            line += ' ';
            append_float_text(line, value);
        }
        line += '\n';
        out << line;
    }
    for (const auto& quad : quads_) {
        out << 'f';
        for (uint32_t index : quad) out << ' ' << index + 1;
        out << '\n';
    }
}

void ObjQuadWriter::write(const std::string& path) const {
    std::ofstream out(path, std::ios::out | std::ios::trunc);
    if (!out.is_open()) throw Util_E26EF::Exception{0, GridFileText::kCannotOpenForWriting, nullptr};
    write(static_cast<std::ostream&>(out));
    out.close();
    if (out.fail()) throw Util_E26EF::Exception{0, GridFileText::kOutputFailed, GridFileText::kWriteFailed};
}
