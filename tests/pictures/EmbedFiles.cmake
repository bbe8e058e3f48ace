# Writes OUTPUT, a C++ source with the bytes of every file in FOLDER, for
# PictureFixtures.h. Run as a script: cmake -DFOLDER=... -DOUTPUT=... -P.
file(GLOB files ${FOLDER}/*)
list(SORT files)
set(entries "")
foreach(path IN LISTS files)
  get_filename_component(name ${path} NAME)
  file(READ ${path} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND entries "      {\"${name}\", {${bytes}}},\n")
endforeach()
file(WRITE ${OUTPUT}.new "// Made by EmbedFiles.cmake from ${FOLDER}.
#include \"PictureFixtures.h\"

#include <stdexcept>

namespace tavelo::test {

const std::map<std::string, std::vector<std::uint8_t>>& PictureFixtures() {
  static const std::map<std::string, std::vector<std::uint8_t>> files = {
${entries}  };
  return files;
}

const std::vector<std::uint8_t>& PictureFixture(const std::string& name) {
  const auto found = PictureFixtures().find(name);
  if (found == PictureFixtures().end()) throw std::runtime_error(\"No picture fixture \" + name);
  return found->second;
}

}  // namespace tavelo::test
")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
