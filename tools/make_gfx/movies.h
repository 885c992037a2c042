#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace gfx {

std::vector<std::string> MovieNames();
// Encodes Movie1.qzm .. Movie7.qzm into `dir`; false (with a message) on failure.
bool WriteMovies(const std::filesystem::path& dir);
// A sheet of six frames of each movie with a picture, as movieN.png in `dir`.
bool WriteMoviePreviews(const std::filesystem::path& dir);

}  // namespace gfx
