# cmake -DINPUT=file -DOUTPUT=file.cpp -DSYMBOL=name -P embed_file.cmake
# Writes a C++ source that holds INPUT's bytes as korvane::SYMBOL and korvane::SYMBOLSize.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
# Lines of 32 bytes keep the file readable for compilers and people alike.
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){32})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
"// Generated from ${INPUT}; do not edit.\n"
"#include <cstddef>\n#include <cstdint>\n\n"
"namespace korvane {\n"
"extern const uint8_t ${SYMBOL}[] = {\n${bytes}\n};\n"
"extern const std::size_t ${SYMBOL}Size = ${size};\n"
"}  // namespace korvane\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
