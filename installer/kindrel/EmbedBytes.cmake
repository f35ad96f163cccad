# cmake -DINPUT=file -DOUTPUT=header -DNAME=symbol -P EmbedBytes.cmake
# Writes the file's bytes as a zero-terminated char array named NAME.
file(READ ${INPUT} hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1', " bytes "${hex}")
file(WRITE ${OUTPUT} "#pragma once\n// Generated from ${INPUT}: do not edit.\ninline constexpr char ${NAME}[] = {${bytes}'\\0'};\n")
