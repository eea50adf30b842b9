#pragma once
// Errors of pictures and bitmaps.
#include "sysutil/exception.h"

namespace nimbrel {

// A picture that cannot be read or made (bad file, unknown extension, library failure).
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

// An operation a picture does not allow (resizing a JPEG picture, ...).
class EInvalidGraphicOperation : public Exception {
public:
    using Exception::Exception;
};

// One object assigned to another of a kind it cannot take: "Cannot assign a %s to a %s".
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// Not enough memory for a bitmap of the requested size.
class EOutOfResources : public Exception {
public:
    using Exception::Exception;
};

} // namespace nimbrel
