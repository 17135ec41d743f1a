// The pictures compiled into the programs (drawn by draw_pictures.sh).
#pragma once

#include <cstddef>

namespace orv {

struct EmbeddedFile {
    const unsigned char* data;
    size_t size;
};

EmbeddedFile SplashJpeg();        // 717 x 308, progressive JPEG
EmbeddedFile FrameIconPng();      // 57 x 37
EmbeddedFile NewRowPng();         // 138 x 31, the RS232 panel's new-row button
EmbeddedFile DeleteRowPng();      // 24 x 18, an RS232 row's delete button
EmbeddedFile NotebookIcon0Png();  // 32 x 32
EmbeddedFile NotebookIcon1Png();  // 32 x 32

}  // namespace orv
