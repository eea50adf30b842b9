#pragma once
// The glue between TJPEGImage and the JPEG library: the coding context, the error, source,
// destination and progress managers, and the one place where the library's error exit
// comes back into C++.
//
// The library reports a failure by calling the error exit, which must not return. Ours jumps
// (longjmp) back to the setjmp of RunGuarded, the function that made the library call; only
// there is a C++ exception raised. Between the two, neither the library's C frames nor our
// callbacks hold any object with a destructor, and no C++ exception ever passes through the
// library: a progress listener's exception is caught in the callback, kept in the context,
// and raised again after the jump.
#include "imaging/jpeg_image.h"

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <exception>

#include <jpeglib.h>

namespace nimbrel {

struct ProgressRecord {
    jpeg_progress_mgr library{}; // first: the library sees only this part
    TJPEGImage* picture = nullptr;
    int lastPercent = 0;
    std::uint32_t lastTick = 0;
    int lastScanLine = 0;
};

// One decode or encode; the library object is destroyed when the context goes.
struct JpegContext {
    JpegContext() = default;
    JpegContext(const JpegContext&) = delete;
    JpegContext& operator=(const JpegContext&) = delete;
    ~JpegContext() { CloseContext(); }

    jpeg_error_mgr error{};
    ProgressRecord progress;
    J_DCT_METHOD finalDctMethod = JDCT_ISLOW;
    boolean finalTwoPassQuantize = FALSE;
    J_DITHER_MODE finalDitherMode = JDITHER_NONE;
    union {
        jpeg_common_struct common;
        jpeg_decompress_struct d;
        jpeg_compress_struct c;
    };
    bool exists = false; // a library object was created in the union
    std::jmp_buf jump{};
    std::exception_ptr pending; // raised again after the jump, instead of an EJPEG

    // Zeroes the object, installs the error routines and creates a decompression or a
    // compression object; with a picture, also the progress routine reporting to it.
    void CreateDecompress(TJPEGImage* picture);
    void CreateCompress(TJPEGImage* picture);
    // Destroys the library object if there is one.
    void CloseContext();

private:
    void Prepare();
};

// The error exit: jumps back to the running RunGuarded.
void RaiseJpegError(j_common_ptr cinfo);
// The error manager's reset: warnings and message code back to 0.
void ResetJpegError(j_common_ptr cinfo);
// Throws what a jump brought back: the pending exception, or EJPEG with the message code.
[[noreturn]] void RaiseFromContext(JpegContext& context);
// EJPEG for a library message code, raised from C++ code.
[[noreturn]] void RaiseJpegCode(int code);
// EJPEG when the header just read claims more pixels than the budget allows; called before
// anything is allocated for the image.
void CheckPixelBudget(const jpeg_decompress_struct& d);

// Runs `step` (library calls only, no object with a destructor) with the error exit armed;
// false when the library jumped out.
template <class Step> bool RunGuarded(JpegContext& context, Step& step) {
    if (setjmp(context.jump) != 0)
        return false;
    step();
    return true;
}

// RunGuarded, raising the error after the jump.
template <class Step> void Guarded(JpegContext& context, Step&& step) {
    if (!RunGuarded(context, step))
        RaiseFromContext(context);
}

// Source manager over a stream (the picture's bytes in memory, or a file whose header alone
// is wanted): 4096-byte fills, the empty-input error, and an end-of-image marker in place
// of missing data.
void InstallSource(j_decompress_ptr cinfo, TStream& stream);
// Whether the source ran out of data before the library reached the end of the image.
bool SourceEndedEarly(j_decompress_ptr cinfo);
// Destination manager over a memory stream, 4096 bytes at a time.
void InstallDestination(j_compress_ptr cinfo, TMemoryStream& stream);

// The progress routine of every context with a picture.
void LibraryProgress(j_common_ptr cinfo);

// The library's colour map as a palette, and a palette into the library's colour map.
TPaletteHandle PaletteFromColorMap(j_decompress_ptr cinfo);
void BuildLibraryColorMap(j_decompress_ptr cinfo, const TLogPalette& palette);

} // namespace nimbrel
