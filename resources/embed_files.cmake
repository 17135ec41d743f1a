# Writes a C++ source holding files as byte arrays, one accessor per file.
# -DSOURCE_DIR=<dir> -DOUTPUT=<file.cpp> -DPICTURES=Name=file,Name=file,...
string(REPLACE "," ";" pictures "${PICTURES}")
set(text "// Generated from resources/ by embed_files.cmake.\n#include \"resources/embedded.h\"\n\nnamespace orv {\n")
foreach(entry IN LISTS pictures)
  string(REGEX MATCH "^[^=]+" name ${entry})
  string(REGEX REPLACE "^[^=]*=" "" file ${entry})
  file(READ ${SOURCE_DIR}/${file} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x..,){16})" "\\1\n" bytes "${bytes}")
  string(APPEND text "\nnamespace {\nconst unsigned char k${name}[] = {\n${bytes}\n};\n}  // namespace\n\n"
         "EmbeddedFile ${name}()\n{\n    return {k${name}, sizeof k${name}};\n}\n")
endforeach()
string(APPEND text "\n}  // namespace orv\n")
file(WRITE ${OUTPUT} "${text}")
