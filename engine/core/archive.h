// The stream container (a fixed header, then versioned records) and the generic rules by
// which records, vectors, strings and matrices are read from it.
//
// A record type T is read by readVersioned(archive, value): a u32 version word, a class
// name string when bit 31 is set (skipped), a check against supported_version<T>, then
// readBody(archive, value, version), found by argument-dependent lookup next to T. A
// vector element that is stored inline rather than as a record provides readElement next
// to its type, and min_encoded_size when it takes more than 4 bytes.
#pragma once

#include <d3dx9math.h>

#include <cstdint>
#include <string>
#include <type_traits>
#include <typeinfo>
#include <vector>

#include "engine/core/stream_error.h"
#include "engine/core/stream_reader.h"

namespace kesh {

struct StreamHeader {
    char magic[6] = {'s', 't', 'r', 'e', 'a', 'm'};
    std::uint32_t first = 0;
    std::uint32_t second = 0;
    std::string text;
};

// Throws kesh::stream::error 0 unless the data begins with the six bytes "stream".
void readStreamHeader(StreamReader& reader, StreamHeader& header);

class InputArchive {
public:
    // Reads the header at once; reader is not owned and must outlive the archive.
    explicit InputArchive(StreamReader* reader);

    StreamReader* reader;
    StreamHeader header;
};

namespace serialization {

// The highest version of T this program reads.
template <class T>
struct supported_version : std::integral_constant<std::uint32_t, 0> {};

// The fewest bytes one vector element of type T can take in a file (a version word, a
// length or a 4-byte value).
template <class T>
struct min_encoded_size : std::integral_constant<std::uint32_t, 4> {};

// Reads a version word and its optional class name; returns the version. Throws
// version_error when it is above supported.
std::uint32_t readVersion(InputArchive& archive, std::uint32_t supported,
                          const std::type_info& type);

// Throws kesh::stream::error 1 when count elements of at least minSize bytes each cannot
// fit in what is left of the data.
void checkCount(const StreamReader& reader, std::uint32_t count, std::uint32_t minSize);

template <class T>
void readVersioned(InputArchive& archive, T& value);

// Elements stored without a version word.
void readElement(InputArchive& archive, std::string& value);
void readElement(InputArchive& archive, std::int32_t& value);
void readElement(InputArchive& archive, std::uint32_t& value);
void readElement(InputArchive& archive, float& value);

// Every other element is a record of its own.
template <class T>
void readElement(InputArchive& archive, T& value) {
    readVersioned(archive, value);
}

template <class T>
void readBody(InputArchive& archive, std::vector<T>& values, std::uint32_t /*version*/) {
    std::uint32_t count = 0;
    archive.reader->readU32(&count);
    if (count == 0) {
        return;
    }
    checkCount(*archive.reader, count, min_encoded_size<T>::value);
    values.resize(count);
    for (T& value : values) {
        readElement(archive, value);
    }
}

// Sixteen floats, row by row.
void readBody(InputArchive& archive, D3DXMATRIX& matrix, std::uint32_t version);

template <class T>
void readVersioned(InputArchive& archive, T& value) {
    const std::uint32_t version = readVersion(archive, supported_version<T>::value, typeid(T));
    readBody(archive, value, version);
}

// Reads a whole file holding one top-level record: header, record, and a check that the
// record did not run past the end of the data (kesh::stream::error 1).
template <class T>
void readTopLevel(StreamReader& reader, T& value) {
    InputArchive archive(&reader);
    readVersioned(archive, value);
    if (reader.eof()) {
        throw stream::error(1);
    }
}

}  // namespace serialization
}  // namespace kesh
