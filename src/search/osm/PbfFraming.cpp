#include "PbfFraming.h"

#include <protozero/exception.hpp>
#include <protozero/pbf_reader.hpp>

namespace {

// libosmium's own bounds.
const std::size_t maxHeaderBytes = 64 * 1024;
const std::int64_t maxBlobBytes = 32 * 1024 * 1024;

bool fail(std::string* why, const std::string& text)
{
    *why = text;
    return false;
}

// The kind and data size a blob header names.
bool parseHeader(const std::string& bytes, std::string* type, std::int64_t* dataSize)
{
    try {
        protozero::pbf_reader header(bytes);
        while (header.next()) {
            if (header.tag() == 1 && header.wire_type() == protozero::pbf_wire_type::length_delimited)
                *type = header.get_string();
            else if (header.tag() == 3 && header.wire_type() == protozero::pbf_wire_type::varint)
                *dataSize = header.get_int32();
            else
                header.skip();
        }
    } catch (const protozero::exception&) {
        return false;
    }
    return true;
}

} // namespace

bool PbfFraming::check(const Read& read, std::uint64_t fileSize, std::string* why)
{
    std::uint64_t at = 0;
    std::string bytes;
    for (int blob = 0; at < fileSize; ++blob) {
        if (fileSize - at < 4 || !read(at, 4, &bytes))
            return fail(why, "cut short");
        const std::size_t length = static_cast<std::size_t>(static_cast<unsigned char>(bytes[0])) << 24 |
                                   static_cast<std::size_t>(static_cast<unsigned char>(bytes[1])) << 16 |
                                   static_cast<std::size_t>(static_cast<unsigned char>(bytes[2])) << 8 |
                                   static_cast<unsigned char>(bytes[3]);
        if (length == 0 || length > maxHeaderBytes)
            return fail(why, "a blob header of " + std::to_string(length) + " bytes");
        if (fileSize - at - 4 < length || !read(at + 4, length, &bytes))
            return fail(why, "cut short");
        std::string type;
        std::int64_t dataSize = 0;
        if (!parseHeader(bytes, &type, &dataSize))
            return fail(why, "a damaged blob header");
        if (type != (blob == 0 ? "OSMHeader" : "OSMData"))
            return fail(why, blob == 0 ? "it does not start with an OSMHeader blob" : "a blob of an unknown kind");
        if (dataSize <= 0 || dataSize > maxBlobBytes)
            return fail(why, "a blob of " + std::to_string(dataSize) + " bytes");
        at += 4 + length;
        if (fileSize - at < static_cast<std::uint64_t>(dataSize))
            return fail(why, "cut short");
        at += static_cast<std::uint64_t>(dataSize);
    }
    return at > 0 || fail(why, "empty");
}
