// The program's embedded resources: tables of {type, name, bytes} compiled into the
// executable (a build step turns resource files into one table) and registered when the
// program starts, looked up by name without regard to case.
#pragma once

#include <cstddef>

#include "win32/types.h"

#ifndef RT_RCDATA
#define RT_RCDATA 10
#endif

namespace win32 {

struct ResourceEntry {
    WORD type;  // RT_RCDATA...
    const char* name;
    const unsigned char* bytes;
    std::size_t size;
};

// Makes a table the program's resources for the registration's lifetime; the entries are
// not copied.
class ResourceTableRegistration {
public:
    ResourceTableRegistration(const ResourceEntry* entries, std::size_t count);
    ~ResourceTableRegistration();
    ResourceTableRegistration(const ResourceTableRegistration&) = delete;
    ResourceTableRegistration& operator=(const ResourceTableRegistration&) = delete;

private:
    const ResourceEntry* entries_;
};

// The resource of the program module (NULL or GetModuleHandleW(NULL)) with this type and a
// name equal to `name` ignoring ASCII case; null for any other module or an unknown name.
const ResourceEntry* findResource(HMODULE module, WORD type, const wchar_t* name);

}  // namespace win32
