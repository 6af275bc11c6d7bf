// PNG files of 8-bit RGBA pictures, through libpng's simplified interface.
#pragma once

#include <string>

#include "qmv/rgba_image.h"

namespace qmv {

// Writes the picture; on failure returns false with the reason in *error
// and leaves no file behind.
bool writePng(const std::string& path, const RgbaImage& image, std::string* error);

// The name a picture meant for `path` is written under first: the path with
// ".part-" and the process id added.
std::string partialPngPath(const std::string& path);

// Writes the picture under partialPngPath(path) and renames it to `path`,
// so that a failed write leaves a file already at `path` whole.
// `beforeRename`, when given, runs once the picture is written. On failure
// returns false with the reason in *error and leaves no partial file.
bool writePngReplacing(const std::string& path, const RgbaImage& image, std::string* error,
                       void (*beforeRename)() = nullptr);

// Reads any PNG as 8-bit RGBA.
bool readPng(const std::string& path, RgbaImage* image, std::string* error);

}  // namespace qmv
