#include "exchange/VoxFile.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

#include "exchange/ExchangeError.h"

namespace {

constexpr uint32_t kMaxModelSide = 256;
constexpr size_t kChunkHeaderBytes = 12;
constexpr int32_t kVersion = 150;

// --- reading ---------------------------------------------------------------

// A bounded view of the file's bytes; every read is checked against its end.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t begin, size_t end, const std::string& name, const char* what)
        : data_(data), pos_(begin), end_(end), name_(name), what_(what) {}

    size_t pos() const { return pos_; }
    size_t remaining() const { return end_ - pos_; }
    bool at_end() const { return pos_ >= end_; }

    void need(size_t bytes) const {
        if (bytes > remaining()) fail(std::string(what_) + " ends early (truncated data)");
    }
    int32_t i32() {
        need(4);
        const uint8_t* p = data_ + pos_;
        pos_ += 4;
        return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
    }
    uint8_t u8() {
        need(1);
        return data_[pos_++];
    }
    std::string id() {
        need(4);
        std::string text(reinterpret_cast<const char*>(data_ + pos_), 4);
        pos_ += 4;
        return text;
    }
    // A count or size: refused when negative.
    uint32_t count(const char* of) {
        const int32_t value = i32();
        if (value < 0) fail(std::string(what_) + " has a negative " + of);
        return uint32_t(value);
    }
    std::string string() {
        const uint32_t length = count("string length");
        need(length);
        std::string text(reinterpret_cast<const char*>(data_ + pos_), length);
        pos_ += length;
        return text;
    }
    std::map<std::string, std::string> dict() {
        const uint32_t pairs = count("dictionary size");
        // Each pair takes at least two length fields.
        if (uint64_t(pairs) * 8 > remaining()) fail(std::string(what_) + " has a dictionary larger than its data");
        std::map<std::string, std::string> result;
        for (uint32_t i = 0; i < pairs; ++i) {
            std::string key = string();
            result[key] = string();
        }
        return result;
    }
    void skip(size_t bytes) {
        need(bytes);
        pos_ += bytes;
    }
    [[noreturn]] void fail(const std::string& reason) const { throw ExchangeError(name_, reason); }
    const char* what() const { return what_; }

private:
    const uint8_t* data_;
    size_t pos_;
    size_t end_;
    const std::string& name_;
    const char* what_;
};

struct Chunk {
    std::string id;
    size_t offset = 0;  // of the header
    size_t content = 0;
    size_t content_size = 0;
    size_t children_end = 0;
};

std::string chunk_label(const Chunk& chunk) {
    std::string printable;
    for (char c : chunk.id) printable += (c >= 32 && c < 127) ? c : '?';
    return "chunk '" + printable + "' at byte " + std::to_string(chunk.offset);
}

Chunk read_chunk_header(ByteReader& reader, const std::string& name) {
    Chunk chunk;
    chunk.offset = reader.pos();
    if (reader.remaining() < kChunkHeaderBytes) {
        throw ExchangeError(name, "the file ends inside the header of a chunk at byte " + std::to_string(chunk.offset));
    }
    chunk.id = reader.id();
    const int32_t content = reader.i32();
    const int32_t children = reader.i32();
    if (content < 0 || children < 0) throw ExchangeError(name, chunk_label(chunk) + " has a negative size");
    if (uint64_t(content) + uint64_t(children) > reader.remaining()) {
        throw ExchangeError(name, chunk_label(chunk) + " claims " + std::to_string(uint64_t(content) + children) +
                                      " bytes but only " + std::to_string(reader.remaining()) + " remain");
    }
    chunk.content = reader.pos();
    chunk.content_size = size_t(content);
    chunk.children_end = chunk.content + size_t(content) + size_t(children);
    return chunk;
}

enum class NodeKind { Transform, Group, Shape };

struct SceneNode {
    NodeKind kind = NodeKind::Group;
    std::vector<int32_t> children;  // transform: one child; shape: none
    VoxTransform transform;
    uint32_t model = 0;
};

int64_t parse_integer(const std::string& text, size_t& at, bool& ok) {
    while (at < text.size() && text[at] == ' ') ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
    int64_t value = 0;
    size_t digits = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at, ++digits) {
        if (value > int64_t(INT32_MAX) + 1) {
            ok = false;  // keep reading the digits, but stop growing
        } else {
            value = value * 10 + (text[at] - '0');
        }
    }
    if (digits == 0) ok = false;
    return negative ? -value : value;
}

std::array<int64_t, 3> parse_translation(const std::string& text, const ByteReader& reader, int32_t node) {
    bool ok = true;
    size_t at = 0;
    std::array<int64_t, 3> t{};
    for (int64_t& c : t) c = parse_integer(text, at, ok);
    while (at < text.size() && text[at] == ' ') ++at;
    for (int64_t c : t) ok = ok && c >= INT32_MIN && c <= INT32_MAX;
    if (!ok || at != text.size()) {
        reader.fail("node " + std::to_string(node) + " has a translation _t that is not three integers: '" + text + "'");
    }
    return t;
}

std::array<std::array<int32_t, 3>, 3> parse_rotation(const std::string& text, const ByteReader& reader, int32_t node) {
    bool ok = true;
    size_t at = 0;
    const int64_t bits = parse_integer(text, at, ok);
    const uint32_t first = uint32_t(bits) & 3u;
    const uint32_t second = uint32_t(bits >> 2) & 3u;
    if (!ok || at != text.size() || bits < 0 || bits > 127 || first > 2 || second > 2 || first == second) {
        reader.fail("node " + std::to_string(node) + " has a rotation _r that is not a rotation: '" + text + "'");
    }
    const uint32_t columns[3] = {first, second, 3 - first - second};
    std::array<std::array<int32_t, 3>, 3> rotation{};
    for (uint32_t row = 0; row < 3; ++row) rotation[row][columns[row]] = (bits >> (4 + row)) & 1 ? -1 : 1;
    return rotation;
}

int32_t read_node_id(ByteReader& reader) {
    const int32_t id = reader.i32();
    if (id < 0) reader.fail("a scene graph node has the negative id " + std::to_string(id));
    return id;
}

SceneNode read_transform(ByteReader& reader, int32_t id) {
    SceneNode node;
    node.kind = NodeKind::Transform;
    reader.dict();
    node.children.push_back(reader.i32());
    reader.i32();  // reserved
    reader.i32();  // layer
    const uint32_t frames = reader.count("frame count");
    if (uint64_t(frames) * 4 > reader.remaining()) reader.fail("transform node " + std::to_string(id) + " lists more frames than it holds");
    for (uint32_t f = 0; f < frames; ++f) {
        const auto attributes = reader.dict();
        if (f != 0) continue;  // animation frames beyond the first are not shown
        const auto t = attributes.find("_t");
        if (t != attributes.end()) node.transform.translation = parse_translation(t->second, reader, id);
        const auto r = attributes.find("_r");
        if (r != attributes.end()) node.transform.rotation = parse_rotation(r->second, reader, id);
    }
    return node;
}

SceneNode read_group(ByteReader& reader) {
    SceneNode node;
    node.kind = NodeKind::Group;
    reader.dict();
    const uint32_t children = reader.count("child count");
    if (uint64_t(children) * 4 > reader.remaining()) reader.fail("a group node lists more children than it holds");
    for (uint32_t i = 0; i < children; ++i) node.children.push_back(reader.i32());
    return node;
}

SceneNode read_shape(ByteReader& reader, int32_t id) {
    SceneNode node;
    node.kind = NodeKind::Shape;
    reader.dict();
    const uint32_t models = reader.count("model count");
    if (models == 0) reader.fail("shape node " + std::to_string(id) + " names no model");
    const int32_t model = reader.i32();
    if (model < 0) reader.fail("shape node " + std::to_string(id) + " names the negative model " + std::to_string(model));
    node.model = uint32_t(model);
    return node;  // further models are animation frames
}

void read_model_voxels(ByteReader& reader, VoxModel& model) {
    const uint32_t count = reader.count("voxel count");
    if (uint64_t(count) * 4 > reader.remaining()) {
        reader.fail(std::string(reader.what()) + " lists " + std::to_string(count) + " voxels but holds only " + std::to_string(reader.remaining() / 4));
    }
    model.voxels.resize(count);
    for (auto& v : model.voxels) {
        v = {reader.u8(), reader.u8(), reader.u8()};
        reader.u8();  // colour index
        if (v[0] >= model.size[0] || v[1] >= model.size[1] || v[2] >= model.size[2]) {
            reader.fail(std::string(reader.what()) + ": voxel (" + std::to_string(v[0]) + ", " + std::to_string(v[1]) + ", " + std::to_string(v[2]) +
                        ") lies outside its model's size " + std::to_string(model.size[0]) + " x " +
                        std::to_string(model.size[1]) + " x " + std::to_string(model.size[2]));
        }
    }
}

class SceneReader {
public:
    SceneReader(const uint8_t* data, size_t size, const std::string& name) : data_(data), size_(size), name_(name) {}

    VoxScene read() {
        ByteReader file(data_, 0, size_, name_, "the file header");
        if (size_ < 4 || std::memcmp(data_, "VOX ", 4) != 0) fail("not a .vox file (it does not start with 'VOX ')");
        file.skip(8);  // magic and version: the chunks describe themselves
        const Chunk main = read_chunk_header(file, name_);
        if (main.id != "MAIN") fail("the first chunk is " + chunk_label(main) + ", not MAIN");
        ByteReader children(data_, main.content + main.content_size, main.children_end, name_, "the MAIN chunk");
        while (!children.at_end()) {
            const Chunk chunk = read_chunk_header(children, name_);
            read_chunk(chunk);
            children.skip(chunk.children_end - children.pos());
        }
        if (pending_size_) fail("the last SIZE chunk has no XYZI chunk after it");
        place_models();
        return std::move(scene_);
    }

private:
    [[noreturn]] void fail(const std::string& reason) const { throw ExchangeError(name_, reason); }

    void read_chunk(const Chunk& chunk) {
        const std::string label = chunk_label(chunk);
        ByteReader content(data_, chunk.content, chunk.content + chunk.content_size, name_, label.c_str());
        if (chunk.id == "SIZE") {
            if (pending_size_) fail(label + " follows a SIZE chunk without its XYZI chunk");
            VoxModel model;
            for (uint32_t& side : model.size) {
                const int32_t value = content.i32();
                if (value < 1 || uint32_t(value) > kMaxModelSide) {
                    fail(label + " gives a model side of " + std::to_string(value) + " (each side must be 1 to 256)");
                }
                side = uint32_t(value);
            }
            scene_.models.push_back(std::move(model));
            pending_size_ = true;
        } else if (chunk.id == "XYZI") {
            if (!pending_size_) fail(label + " has no SIZE chunk before it");
            pending_size_ = false;
            read_model_voxels(content, scene_.models.back());
        } else if (chunk.id == "nTRN" || chunk.id == "nGRP" || chunk.id == "nSHP") {
            const int32_t id = read_node_id(content);
            SceneNode node = chunk.id == "nTRN"   ? read_transform(content, id)
                             : chunk.id == "nGRP" ? read_group(content)
                                                  : read_shape(content, id);
            if (!nodes_.emplace(id, std::move(node)).second) fail("two scene graph nodes have the id " + std::to_string(id));
        }
        // Palettes, materials, layers, cameras and unknown chunks are skipped.
    }

    void place_models() {
        if (nodes_.empty()) {
            // No scene graph: every model at its own coordinates.
            for (uint32_t m = 0; m < scene_.models.size(); ++m) {
                VoxPlacement placement;
                placement.model = m;
                for (int a = 0; a < 3; ++a) placement.transform.translation[a] = scene_.models[m].size[a] / 2;
                add_placement(placement);
            }
            return;
        }
        if (nodes_.find(0) == nodes_.end()) fail("the scene graph has no root node (id 0)");
        walk_graph();
    }

    // Depth first from the root, composing transforms; a node reached twice
    // (a cycle or a shared subtree) is refused, so the walk stays linear.
    void walk_graph() {
        std::set<int32_t> visited;
        std::vector<std::pair<int32_t, VoxTransform>> stack{{0, VoxTransform{}}};
        while (!stack.empty()) {
            const auto [id, outer] = stack.back();
            stack.pop_back();
            if (!visited.insert(id).second) {
                fail("scene graph node " + std::to_string(id) + " is reached twice (the graph must be a tree)");
            }
            const SceneNode& node = nodes_.at(id);
            const VoxTransform here = node.kind == NodeKind::Transform ? outer.then_inner(node.transform) : outer;
            if (node.kind == NodeKind::Shape) {
                if (node.model >= scene_.models.size()) {
                    fail("shape node " + std::to_string(id) + " names model " + std::to_string(node.model) +
                         ", but the file holds " + std::to_string(scene_.models.size()) + " models");
                }
                add_placement(VoxPlacement{node.model, here});
            }
            for (auto child = node.children.rbegin(); child != node.children.rend(); ++child) {
                if (nodes_.find(*child) == nodes_.end()) {
                    fail("scene graph node " + std::to_string(id) + " refers to the missing node " + std::to_string(*child));
                }
                stack.emplace_back(*child, here);
            }
        }
    }

    void add_placement(const VoxPlacement& placement) {
        placed_ += scene_.models[placement.model].voxels.size();
        if (placed_ > kMaxVoxVoxels) fail("the scene places more than " + std::to_string(kMaxVoxVoxels) + " voxels");
        scene_.placements.push_back(placement);
    }

    const uint8_t* data_;
    size_t size_;
    const std::string& name_;
    VoxScene scene_;
    std::map<int32_t, SceneNode> nodes_;
    bool pending_size_ = false;
    uint64_t placed_ = 0;
};

// --- writing ---------------------------------------------------------------

class ByteWriter {
public:
    void i32(int64_t value) {
        const uint32_t v = uint32_t(int32_t(value));
        for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(char((v >> shift) & 0xFF));
    }
    void raw(const std::string& text) { bytes_ += text; }
    void u8(uint8_t value) { bytes_.push_back(char(value)); }
    void string(const std::string& text) {
        i32(int64_t(text.size()));
        raw(text);
    }
    void dict(const std::vector<std::pair<std::string, std::string>>& pairs) {
        i32(int64_t(pairs.size()));
        for (const auto& [key, value] : pairs) {
            string(key);
            string(value);
        }
    }
    // A chunk without children around `content`.
    void chunk(const char* id, const ByteWriter& content) {
        raw(id);
        i32(int64_t(content.bytes_.size()));
        i32(0);
        raw(content.bytes_);
    }
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
};

std::string rotation_text(const std::array<std::array<int32_t, 3>, 3>& rotation) {
    uint32_t bits = 0;
    for (uint32_t row = 0; row < 3; ++row) {
        for (uint32_t column = 0; column < 3; ++column) {
            if (rotation[row][column] == 0) continue;
            if (row < 2) bits |= column << (2 * row);
            if (rotation[row][column] < 0) bits |= 1u << (4 + row);
        }
    }
    return std::to_string(bits);
}

void write_scene_graph(const VoxScene& scene, ByteWriter& out) {
    ByteWriter root;  // transform 0 -> group 1
    root.i32(0);
    root.dict({});
    root.i32(1);
    root.i32(-1);
    root.i32(-1);
    root.i32(1);
    root.dict({});
    out.chunk("nTRN", root);
    ByteWriter group;
    group.i32(1);
    group.dict({});
    group.i32(int64_t(scene.placements.size()));
    for (size_t i = 0; i < scene.placements.size(); ++i) group.i32(int64_t(2 + 2 * i));
    out.chunk("nGRP", group);
    for (size_t i = 0; i < scene.placements.size(); ++i) {
        const VoxTransform& t = scene.placements[i].transform;
        ByteWriter transform;
        transform.i32(int64_t(2 + 2 * i));
        transform.dict({});
        transform.i32(int64_t(3 + 2 * i));
        transform.i32(-1);
        transform.i32(0);
        transform.i32(1);
        std::vector<std::pair<std::string, std::string>> frame{
            {"_t", std::to_string(t.translation[0]) + " " + std::to_string(t.translation[1]) + " " +
                       std::to_string(t.translation[2])}};
        if (t.rotation != VoxTransform{}.rotation) frame.emplace_back("_r", rotation_text(t.rotation));
        transform.dict(frame);
        out.chunk("nTRN", transform);
        ByteWriter shape;
        shape.i32(int64_t(3 + 2 * i));
        shape.dict({});
        shape.i32(1);
        shape.i32(int64_t(scene.placements[i].model));
        shape.dict({});
        out.chunk("nSHP", shape);
    }
}

}  // namespace

VoxTransform VoxTransform::then_inner(const VoxTransform& inner) const {
    VoxTransform result;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            int32_t sum = 0;
            for (int k = 0; k < 3; ++k) sum += rotation[r][k] * inner.rotation[k][c];
            result.rotation[r][c] = sum;
        }
    }
    result.translation = apply(inner.translation);
    return result;
}

std::array<int64_t, 3> VoxTransform::apply(const std::array<int64_t, 3>& point) const {
    std::array<int64_t, 3> result{};
    for (int r = 0; r < 3; ++r) {
        result[r] = translation[r];
        for (int k = 0; k < 3; ++k) result[r] += rotation[r][k] * point[k];
    }
    return result;
}

uint64_t VoxScene::placed_voxel_count() const {
    uint64_t total = 0;
    for (const VoxPlacement& p : placements) total += models[p.model].voxels.size();
    return total;
}

std::array<int64_t, 3> VoxScene::position(const VoxPlacement& placement, const std::array<uint8_t, 3>& v) const {
    const auto& size = models[placement.model].size;
    return placement.transform.apply({int64_t(v[0]) - size[0] / 2, int64_t(v[1]) - size[1] / 2,
                                      int64_t(v[2]) - size[2] / 2});
}

VoxScene parse_vox(const uint8_t* data, size_t size, const std::string& name) {
    return SceneReader(data, size, name).read();
}

VoxScene read_vox_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ExchangeError(path, "cannot open the file for reading");
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw ExchangeError(path, "reading the file failed");
    return parse_vox(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), path);
}

std::string vox_bytes(const VoxScene& scene) {
    ByteWriter children;
    for (const VoxModel& model : scene.models) {
        ByteWriter size;
        for (uint32_t side : model.size) size.i32(side);
        children.chunk("SIZE", size);
        ByteWriter voxels;
        voxels.i32(int64_t(model.voxels.size()));
        for (const auto& v : model.voxels) {
            voxels.u8(v[0]);
            voxels.u8(v[1]);
            voxels.u8(v[2]);
            voxels.u8(1);
        }
        children.chunk("XYZI", voxels);
    }
    write_scene_graph(scene, children);
    ByteWriter palette;
    for (int i = 0; i < 256; ++i) {
        const uint8_t grey = i == 0 ? 200 : 0;
        palette.u8(grey);
        palette.u8(grey);
        palette.u8(grey);
        palette.u8(255);
    }
    children.chunk("RGBA", palette);

    ByteWriter file;
    file.raw("VOX ");
    file.i32(kVersion);
    file.raw("MAIN");
    file.i32(0);
    file.i32(int64_t(children.bytes().size()));
    file.raw(children.bytes());
    return file.bytes();
}

void write_vox_file(const VoxScene& scene, const std::string& path) {
    const std::string bytes = vox_bytes(scene);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw ExchangeError(path, "cannot open the file for writing");
    out.write(bytes.data(), std::streamsize(bytes.size()));
    out.close();
    if (out.fail()) throw ExchangeError(path, "writing the file failed");
}
