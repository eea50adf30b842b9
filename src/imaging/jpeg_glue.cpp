#include "imaging/jpeg_glue.h"

#include "imaging/picture_limits.h"
#include "imaging/screen.h"

#include <cstring>
#include <string>
#include <typeinfo>

#include <jerror.h>

namespace nimbrel {
namespace {

constexpr std::size_t BufferSize = 4096;

// The routines of the error manager; trace level 0 and no message tables.
void EmitMessage(j_common_ptr, int) {}
void OutputMessage(j_common_ptr) {}
void FormatMessage(j_common_ptr, char*) {}

void InstallErrorManager(jpeg_error_mgr& error) {
    std::memset(&error, 0, sizeof error);
    error.error_exit = RaiseJpegError;
    error.emit_message = EmitMessage;
    error.output_message = OutputMessage;
    error.format_message = FormatMessage;
    error.reset_error_mgr = ResetJpegError;
}

JpegContext& ContextOf(j_common_ptr cinfo) {
    return *static_cast<JpegContext*>(cinfo->client_data);
}

} // namespace

void JpegContext::Prepare() {
    CloseContext();
    std::memset(&d, 0, sizeof d > sizeof c ? sizeof d : sizeof c);
    InstallErrorManager(error);
    progress = ProgressRecord{};
    finalDctMethod = JDCT_ISLOW;
    finalTwoPassQuantize = FALSE;
    finalDitherMode = JDITHER_NONE;
    pending = nullptr;
    common.err = &error;
    common.client_data = this;
    exists = true;
}

void JpegContext::CreateDecompress(TJPEGImage* picture) {
    Prepare();
    Guarded(*this, [this] { jpeg_CreateDecompress(&d, JPEG_LIB_VERSION, sizeof d); });
    // Past the cap the library asks for backing store, which it has not, and fails: this
    // bounds the coefficient buffers of progressive and buffered decodes.
    d.mem->max_memory_to_use = static_cast<long>(PictureLimits().MaxJpegLibraryMemory);
    if (picture != nullptr) {
        progress.library.progress_monitor = LibraryProgress;
        progress.picture = picture;
        d.progress = &progress.library;
    }
}

void JpegContext::CreateCompress(TJPEGImage* picture) {
    Prepare();
    Guarded(*this, [this] { jpeg_CreateCompress(&c, JPEG_LIB_VERSION, sizeof c); });
    if (picture != nullptr) {
        progress.library.progress_monitor = LibraryProgress;
        progress.picture = picture;
        c.progress = &progress.library;
    }
}

void JpegContext::CloseContext() {
    if (exists) {
        jpeg_destroy(&common);
        exists = false;
    }
}

void RaiseJpegError(j_common_ptr cinfo) {
    std::longjmp(ContextOf(cinfo).jump, 1);
}

void ResetJpegError(j_common_ptr cinfo) {
    cinfo->err->num_warnings = 0;
    cinfo->err->msg_code = 0;
}

void RaiseJpegCode(int code) {
    throw EJPEG("JPEG error #" + std::to_string(code));
}

void CheckPixelBudget(const jpeg_decompress_struct& d) {
    if (!WithinPixelBudget(d.image_width, d.image_height))
        throw EJPEG(TooLargeText("JPEG", d.image_width, d.image_height));
}

void RaiseFromContext(JpegContext& context) {
    if (context.pending) {
        std::exception_ptr pending = std::exchange(context.pending, nullptr);
        std::rethrow_exception(pending);
    }
    RaiseJpegCode(context.error.msg_code);
}

// ---- source manager

namespace {

struct SourceManager {
    jpeg_source_mgr library; // first: the library sees only this part
    TStream* stream;
    TMemoryStream* memory; // the same stream when it is a plain memory stream, else null
    JOCTET* buffer;
    boolean startOfFile;
    boolean endedEarly; // an end-of-image marker stood in for missing data
};

SourceManager& SourceOf(j_decompress_ptr cinfo) {
    return *reinterpret_cast<SourceManager*>(cinfo->src);
}

void InitSource(j_decompress_ptr cinfo) {
    SourceOf(cinfo).startOfFile = TRUE;
}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
    SourceManager& source = SourceOf(cinfo);
    // Bytes already in memory are handed over where they lie, all that are left at once,
    // instead of being copied piece by piece.
    if (source.memory != nullptr && source.memory->Remaining() > 0) {
        const auto position = static_cast<std::size_t>(source.memory->Position());
        source.library.next_input_byte = source.memory->Memory() + position;
        source.library.bytes_in_buffer = static_cast<std::size_t>(source.memory->Remaining());
        source.memory->SetPosition(source.memory->Size());
        source.startOfFile = FALSE;
        return TRUE;
    }
    std::size_t count = source.stream->Read(source.buffer, BufferSize);
    if (count == 0) {
        if (source.startOfFile)
            ERREXIT(cinfo, JERR_INPUT_EMPTY);
        WARNMS(cinfo, JWRN_JPEG_EOF);
        source.endedEarly = TRUE;
        // An end-of-image marker lets the library finish a truncated file.
        source.buffer[0] = 0xFF;
        source.buffer[1] = JPEG_EOI;
        count = 2;
    }
    source.library.next_input_byte = source.buffer;
    source.library.bytes_in_buffer = count;
    source.startOfFile = FALSE;
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
    if (count <= 0)
        return;
    SourceManager& source = SourceOf(cinfo);
    auto remaining = static_cast<std::size_t>(count);
    // A segment longer than the buffer (a camera's metadata before the frame header) is
    // passed over in the stream, not read; one that runs past the end is read as before,
    // so that a cut file ends exactly as it always has.
    if (remaining > source.library.bytes_in_buffer &&
        source.stream->Skip(remaining - source.library.bytes_in_buffer)) {
        source.library.next_input_byte += source.library.bytes_in_buffer;
        source.library.bytes_in_buffer = 0;
        return;
    }
    while (remaining > source.library.bytes_in_buffer) {
        remaining -= source.library.bytes_in_buffer;
        FillInputBuffer(cinfo);
    }
    source.library.next_input_byte += remaining;
    source.library.bytes_in_buffer -= remaining;
}

void TermSource(j_decompress_ptr) {}

} // namespace

void InstallSource(j_decompress_ptr cinfo, TStream& stream) {
    if (cinfo->src == nullptr) {
        auto* source = static_cast<SourceManager*>((*cinfo->mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(SourceManager)));
        source->buffer = static_cast<JOCTET*>((*cinfo->mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, BufferSize));
        cinfo->src = &source->library;
    }
    SourceManager& source = SourceOf(cinfo);
    source.library.init_source = InitSource;
    source.library.fill_input_buffer = FillInputBuffer;
    source.library.skip_input_data = SkipInputData;
    source.library.resync_to_restart = jpeg_resync_to_restart;
    source.library.term_source = TermSource;
    source.library.next_input_byte = nullptr;
    source.library.bytes_in_buffer = 0;
    source.stream = &stream;
    // Only the plain memory stream: a stream made from it may do more in its own Read.
    source.memory =
        typeid(stream) == typeid(TMemoryStream) ? static_cast<TMemoryStream*>(&stream) : nullptr;
    source.endedEarly = FALSE;
}

bool SourceEndedEarly(j_decompress_ptr cinfo) {
    return cinfo->src != nullptr && SourceOf(cinfo).endedEarly != FALSE;
}

// ---- destination manager

namespace {

struct DestinationManager {
    jpeg_destination_mgr library; // first: the library sees only this part
    TMemoryStream* stream;
    JOCTET* buffer;
};

DestinationManager& DestinationOf(j_compress_ptr cinfo) {
    return *reinterpret_cast<DestinationManager*>(cinfo->dest);
}

// A stream that cannot grow takes nothing; the library then reports a write error.
std::size_t WriteToStream(TMemoryStream& stream, const JOCTET* bytes, std::size_t count) noexcept {
    try {
        return stream.Write(bytes, count);
    } catch (...) {
        return 0;
    }
}

void InitDestination(j_compress_ptr cinfo) {
    DestinationManager& destination = DestinationOf(cinfo);
    destination.buffer = static_cast<JOCTET*>(
        (*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE, BufferSize));
    destination.library.next_output_byte = destination.buffer;
    destination.library.free_in_buffer = BufferSize;
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
    DestinationManager& destination = DestinationOf(cinfo);
    if (WriteToStream(*destination.stream, destination.buffer, BufferSize) != BufferSize)
        ERREXIT(cinfo, JERR_FILE_WRITE);
    destination.library.next_output_byte = destination.buffer;
    destination.library.free_in_buffer = BufferSize;
    return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
    DestinationManager& destination = DestinationOf(cinfo);
    const std::size_t count = BufferSize - destination.library.free_in_buffer;
    if (count > 0 && WriteToStream(*destination.stream, destination.buffer, count) != count)
        ERREXIT(cinfo, JERR_FILE_WRITE);
}

} // namespace

void InstallDestination(j_compress_ptr cinfo, TMemoryStream& stream) {
    if (cinfo->dest == nullptr) {
        cinfo->dest = static_cast<jpeg_destination_mgr*>((*cinfo->mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(DestinationManager)));
    }
    DestinationManager& destination = DestinationOf(cinfo);
    destination.library.init_destination = InitDestination;
    destination.library.empty_output_buffer = EmptyOutputBuffer;
    destination.library.term_destination = TermDestination;
    destination.stream = &stream;
    destination.buffer = nullptr;
}

// ---- progress

namespace {

// One report to the picture, when one is due. False when the listener raised an exception,
// which is then kept in the context.
bool ReportProgress(j_common_ptr cinfo) noexcept {
    JpegContext& context = ContextOf(cinfo);
    ProgressRecord& record = context.progress;
    if (cinfo->progress == nullptr || record.picture == nullptr)
        return true;
    const std::uint32_t now = TickCount();
    if (now - record.lastTick < 500)
        return true;
    const std::uint32_t previous = std::exchange(record.lastTick, now);
    if (previous == 0)
        return true;

    TRect changed;
    if (cinfo->is_decompressor) {
        const auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
        const int scanLine = static_cast<int>(d->output_scanline);
        changed = {0, record.lastScanLine, static_cast<int>(d->output_width),
                   scanLine < record.lastScanLine ? static_cast<int>(d->output_height) : scanLine};
    }
    const jpeg_progress_mgr& p = record.library;
    const double passFraction =
        p.pass_limit > 0 ? static_cast<double>(p.pass_counter) / static_cast<double>(p.pass_limit)
                         : 0.0;
    const double total = p.total_passes > 0 ? p.total_passes : 1;
    int percent = static_cast<int>((passFraction + p.completed_passes) * 100.0 / total);
    percent = percent < 0 ? 0 : percent > 100 ? 100 : percent;
    if (percent == record.lastPercent)
        return true;
    record.lastPercent = percent;
    if (cinfo->is_decompressor)
        record.lastScanLine =
            static_cast<int>(reinterpret_cast<j_decompress_ptr>(cinfo)->output_scanline);
    try {
        record.picture->Progress(TProgressStage::psRunning, static_cast<std::uint8_t>(percent),
                                 changed.Height() >= 4, changed, std::string());
    } catch (...) {
        context.pending = std::current_exception();
        return false;
    }
    return true;
}

} // namespace

void LibraryProgress(j_common_ptr cinfo) {
    if (!ReportProgress(cinfo))
        std::longjmp(ContextOf(cinfo).jump, 1);
}

// ---- colour maps

namespace {

// Where red and blue sit in a pixel of the output colour space.
struct ComponentOrder {
    int red, green, blue;
};
ComponentOrder OrderOf(J_COLOR_SPACE space) {
    return space == JCS_EXT_BGR ? ComponentOrder{2, 1, 0} : ComponentOrder{0, 1, 2};
}

} // namespace

TPaletteHandle PaletteFromColorMap(j_decompress_ptr cinfo) {
    TLogPalette palette;
    const int count = cinfo->actual_number_of_colors;
    const bool gray = cinfo->out_color_space == JCS_GRAYSCALE || cinfo->out_color_components == 1;
    const ComponentOrder order = OrderOf(cinfo->out_color_space);
    for (int i = 0; i < count && i < 256; ++i) {
        if (gray) {
            const JSAMPLE g = cinfo->colormap[0][i];
            palette.Entries.push_back({g, g, g, 0});
        } else {
            palette.Entries.push_back({cinfo->colormap[order.red][i],
                                       cinfo->colormap[order.green][i],
                                       cinfo->colormap[order.blue][i], 0});
        }
    }
    return CreatePalette(std::move(palette));
}

void BuildLibraryColorMap(j_decompress_ptr cinfo, const TLogPalette& palette) {
    const auto count =
        static_cast<JDIMENSION>(palette.Entries.size() < 256 ? palette.Entries.size() : 256);
    if (count == 0)
        return;
    JSAMPARRAY map =
        (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE, count, 3);
    const ComponentOrder order = OrderOf(cinfo->out_color_space);
    for (JDIMENSION i = 0; i < count; ++i) {
        map[order.red][i] = palette.Entries[i].Red;
        map[order.green][i] = palette.Entries[i].Green;
        map[order.blue][i] = palette.Entries[i].Blue;
    }
    cinfo->colormap = map;
    cinfo->actual_number_of_colors = static_cast<int>(count);
}

} // namespace nimbrel
