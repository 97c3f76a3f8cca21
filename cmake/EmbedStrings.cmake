# Writes a C++ source holding the bytes of every string-table source file.
# Usage: cmake -DOUT=file.cpp -DINPUTS="a.txt;b.txt" -P EmbedStrings.cmake
set(body "")
set(entries "")
set(index 0)
foreach(input ${INPUTS})
  file(READ ${input} hex HEX)
  string(LENGTH "${hex}" hexlen)
  math(EXPR size "${hexlen} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND body "static const unsigned char kSource${index}[] = {${bytes} 0};\n")
  get_filename_component(name ${input} NAME)
  string(APPEND entries "  {\"${name}\", kSource${index}, ${size}},\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE ${OUT}.tmp
"// Generated from resources/strings; do not edit.\n#include \"platform/StringTableData.h\"\n\nnamespace qingheng {\n${body}\nconst EmbeddedSource kEmbeddedStringSources[] = {\n${entries}  {nullptr, nullptr, 0}};\n}\n")
file(COPY_FILE ${OUT}.tmp ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.tmp)
