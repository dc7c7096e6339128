#include "render/picture_present.h"

// Windows offers nothing cheaper than the GL's own scaling: the picture stays the GL's.
const char* startPicturePresenter(const char** why)
{
    *why = nullptr;
    return nullptr;
}

void presentPicture() {}
