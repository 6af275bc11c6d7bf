#include "qmv/png_file.h"

#include <png.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace qmv {

bool writePng(const std::string& path, const RgbaImage& image, std::string* error) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGBA;
    if (png_image_write_to_file(&png, path.c_str(), 0, image.pixels.data(), 0, nullptr) == 0) {
        if (error != nullptr) *error = png.message;
        std::remove(path.c_str());
        return false;
    }
    return true;
}

std::string partialPngPath(const std::string& path) {
    return path + ".part-" + std::to_string(getpid());
}

bool writePngReplacing(const std::string& path, const RgbaImage& image, std::string* error,
                       void (*beforeRename)()) {
    const std::string partial = partialPngPath(path);
    std::string reason;
    const bool written = writePng(partial, image, &reason);
    if (beforeRename != nullptr) beforeRename();
    if (written && std::rename(partial.c_str(), path.c_str()) == 0) return true;
    if (reason.empty()) reason = std::strerror(errno);
    std::remove(partial.c_str());
    if (error != nullptr) *error = reason;
    return false;
}

bool readPng(const std::string& path, RgbaImage* image, std::string* error) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&png, path.c_str()) == 0) {
        if (error != nullptr) *error = png.message;
        return false;
    }
    png.format = PNG_FORMAT_RGBA;
    image->width = static_cast<int>(png.width);
    image->height = static_cast<int>(png.height);
    image->pixels.resize(PNG_IMAGE_SIZE(png));
    if (png_image_finish_read(&png, nullptr, image->pixels.data(), 0, nullptr) == 0) {
        if (error != nullptr) *error = png.message;
        png_image_free(&png);
        return false;
    }
    return true;
}

}  // namespace qmv
