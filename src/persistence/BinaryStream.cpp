#include "persistence/BinaryStream.h"

#include <cstring>

#include "persistence/Exception.h"
#include "persistence/GridFileText.h"

namespace BinaryStream {

namespace {

void encode_u32(uint32_t value, unsigned char* bytes) {
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(value >> (8 * i));
}

uint32_t decode_u32(const unsigned char* bytes) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= uint32_t(bytes[i]) << (8 * i);
    return value;
}

void check_output(const std::ostream& out) {
    if (out.fail()) throw Util_E26EF::Exception{0, GridFileText::kOutputFailed, GridFileText::kWriteFailed};
}

void check_input(const std::istream& in, const char* detail) {
    if (in.fail()) throw Util_E26EF::Exception{0, GridFileText::kInputFailed, detail};
}

}  // namespace

void write_bytes(std::ostream& out, const void* bytes, size_t count) {
    out.write(static_cast<const char*>(bytes), static_cast<std::streamsize>(count));
    check_output(out);
}

void write_u32(std::ostream& out, uint32_t value) {
    unsigned char bytes[4];
    encode_u32(value, bytes);
    write_bytes(out, bytes, sizeof bytes);
}

void write_key(std::ostream& out, CellKey key) {
    write_u32(out, key.high);
    write_u32(out, key.low);
}

void write_plane(std::ostream& out, const BitPlane& plane) {
    unsigned char bytes[kPlaneBytes];
    for (uint32_t i = 0; i < BitPlane::kWordCount; ++i) encode_u32(plane.words[i], bytes + 4 * i);
    write_bytes(out, bytes, sizeof bytes);
}

void read_bytes(std::istream& in, void* bytes, size_t count) {
    in.read(static_cast<char*>(bytes), static_cast<std::streamsize>(count));
    check_input(in, GridFileText::kReadBytesFailed);
}

uint32_t read_u32(std::istream& in) {
    unsigned char bytes[4];
    in.read(reinterpret_cast<char*>(bytes), sizeof bytes);
    check_input(in, GridFileText::kReadWordFailed);
    return decode_u32(bytes);
}

CellKey read_key(std::istream& in) {
    CellKey key;
    key.high = read_u32(in);
    key.low = read_u32(in);
    return key;
}

BitPlane read_plane(std::istream& in) {
    unsigned char bytes[kPlaneBytes];
    read_bytes(in, bytes, sizeof bytes);
    BitPlane plane;
    decode_plane(bytes, plane);
    return plane;
}

CellKey decode_key(const unsigned char* bytes) { return CellKey{decode_u32(bytes), decode_u32(bytes + 4)}; }

void decode_plane(const unsigned char* bytes, BitPlane& plane) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    std::memcpy(plane.words, bytes, kPlaneBytes);
#else
    for (uint32_t i = 0; i < BitPlane::kWordCount; ++i) plane.words[i] = decode_u32(bytes + 4 * i);
#endif
}

void encode_key(CellKey key, unsigned char* bytes) {
    encode_u32(key.high, bytes);
    encode_u32(key.low, bytes + 4);
}

void encode_plane(const BitPlane& plane, unsigned char* bytes) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    std::memcpy(bytes, plane.words, kPlaneBytes);
#else
    for (uint32_t i = 0; i < BitPlane::kWordCount; ++i) encode_u32(plane.words[i], bytes + 4 * i);
#endif
}

// The stream only notes the end of the data when a skip runs out of bytes;
// a skip that could not pass all its bytes is reported as failed here rather
// than by whichever read comes next.
void skip_bytes(std::istream& in, uint32_t count) {
    in.ignore(static_cast<std::streamsize>(count));
    if (in.fail() || in.gcount() != static_cast<std::streamsize>(count)) {
        throw Util_E26EF::Exception{0, GridFileText::kInputFailed, GridFileText::kSkipFailed};
    }
}

}  // namespace BinaryStream
