#pragma once
// The small picture files under tests/data/pictures, made with ImageMagick,
// compiled into the tests so that native and Windows tests share them.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tavelo::test {

// File name -> bytes.
const std::map<std::string, std::vector<std::uint8_t>>& PictureFixtures();
const std::vector<std::uint8_t>& PictureFixture(const std::string& name);

}  // namespace tavelo::test
