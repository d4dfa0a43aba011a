# Build step of morvale_embed_resources: writes OUTPUT, a C++ table of the FILES' bytes.
set(arrays "")
set(entries "")
set(index 0)
foreach(file ${FILES})
    get_filename_component(name ${file} NAME)
    file(READ ${file} hex HEX)
    string(LENGTH "${hex}" hexLength)
    if(hexLength EQUAL 0)
        set(bytes "0")
        set(size 0)
    else()
        string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
        string(REGEX REPLACE "((0x..,){16})" "\\1\n    " bytes "${bytes}")
        math(EXPR size "${hexLength} / 2")
    endif()
    string(APPEND arrays "const unsigned char resource${index}[] = {\n    ${bytes}};\n")
    string(APPEND entries "    {RT_RCDATA, \"${name}\", resource${index}, ${size}},\n")
    math(EXPR index "${index} + 1")
endforeach()
file(WRITE ${OUTPUT}.tmp
"// Generated from the resource files at build time; do not edit.
#include \"win32/resources.h\"

namespace {

${arrays}
const win32::ResourceEntry entries[] = {
${entries}};

const win32::ResourceTableRegistration registration(entries, ${index});

}  // namespace
")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
