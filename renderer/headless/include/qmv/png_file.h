// PNG files of 8-bit RGBA pictures, through libpng's simplified interface.
#pragma once

#include <string>

#include "qmv/rgba_image.h"

namespace qmv {

// Writes the picture; on failure returns false with the reason in *error
// and leaves no file behind.
bool writePng(const std::string& path, const RgbaImage& image, std::string* error);

// Reads any PNG as 8-bit RGBA.
bool readPng(const std::string& path, RgbaImage* image, std::string* error);

}  // namespace qmv
