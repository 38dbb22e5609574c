// JPEG over libjpeg-turbo. The library's error exit would end the process;
// ours jumps back to the function that started the library call. Those
// functions hold no C++ object with a destructor, so the jump skips none.

#include "image-read-write/Codecs.h"
#include "image-read-write/ImageExportType.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>
#include <jerror.h>

namespace ImageReadWrite::detail {
namespace {

struct JpegErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    bool sawPrematureEnd;
};

void jpegErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    std::longjmp(err->jump, 1);
}

void jpegEmitMessage(j_common_ptr cinfo, int level) {
    auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    if (level < 0) {
        // A truncated stream decodes to grey filler with only a warning;
        // we treat it as the failure it is.
        if (err->pub.msg_code == JWRN_JPEG_EOF) err->sawPrematureEnd = true;
        err->pub.num_warnings++;
    }
}

void jpegOutputMessage(j_common_ptr) {}

void installErrorManager(JpegErrorManager& err) {
    jpeg_std_error(&err.pub);
    err.pub.error_exit = jpegErrorExit;
    err.pub.emit_message = jpegEmitMessage;
    err.pub.output_message = jpegOutputMessage;
    err.sawPrematureEnd = false;
}

constexpr J_COLOR_SPACE nativeARGB32() {
    // ARGB32 words in memory: B, G, R, A on little-endian machines.
    return std::endian::native == std::endian::little ? JCS_EXT_BGRA : JCS_EXT_ARGB;
}
constexpr J_COLOR_SPACE nativeXRGB32() {
    return std::endian::native == std::endian::little ? JCS_EXT_BGRX : JCS_EXT_XRGB;
}

// ---- writing

struct CompressHolder {
    jpeg_compress_struct cinfo;
    JpegErrorManager err;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    CompressHolder() {
        std::memset(&cinfo, 0, sizeof cinfo);
        installErrorManager(err);
        cinfo.err = &err.pub;
    }
    ~CompressHolder() {
        jpeg_destroy_compress(&cinfo);
        std::free(buffer);
    }
};

bool compress(jpeg_compress_struct* cinfo, JpegErrorManager* err, const std::uint8_t* pixels, int stride,
              JDIMENSION width, JDIMENSION height, int quality, UINT16 densityX, UINT16 densityY,
              unsigned char** buffer, unsigned long* size) {
    if (setjmp(err->jump)) return false;
    jpeg_create_compress(cinfo);
    jpeg_mem_dest(cinfo, buffer, size);
    cinfo->image_width = width;
    cinfo->image_height = height;
    cinfo->input_components = 4;
    cinfo->in_color_space = nativeXRGB32();
    jpeg_set_defaults(cinfo);
    if (quality >= 0) jpeg_set_quality(cinfo, quality, TRUE);
    cinfo->write_JFIF_header = TRUE;
    cinfo->density_unit = 1; // dots per inch
    cinfo->X_density = densityX;
    cinfo->Y_density = densityY;
    jpeg_start_compress(cinfo, TRUE);
    while (cinfo->next_scanline < cinfo->image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixels + std::size_t(cinfo->next_scanline) * std::size_t(stride));
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
    return true;
}

UINT16 density(double dpi) {
    const double d = std::round(dpi);
    if (!(d >= 1)) return 1;
    if (d > 65535) return 65535;
    return UINT16(d);
}

// ---- reading

// A scan walks every block of the components it covers, however few bytes
// it holds: one run of end-of-block codes covers thousands of blocks, so a
// file may repeat a scan of a few dozen bytes until reading it takes
// minutes. Reading charges each scan for the blocks it walks before
// decoding it and refuses the file once the scans together have walked the
// picture more than kScanWalks times. The charge is in eighths of a block:
// 8 for a block a scan visits, and for a refinement scan one more for every
// coefficient of its band, each of which it looks at in every block (a
// refinement scan over the whole band costs about seven times a first one).
// libjpeg's own progression comes to about 19 walks in this measure (15
// without chroma subsampling), a script of 29 scans in narrow bands to 19,
// a sequential file to one. Reading a flat 4096 x 4096 picture whose scans
// stop just short of the budget costs less than twice an ordinary read.
constexpr std::uint64_t kScanWalks = 64;

struct ScanCharge {
    jpeg_progress_mgr pub;
    JpegErrorManager* err;
    int lastScan = 0;
    std::uint64_t charged = 0;
    std::uint64_t budget = 0;
};

std::uint64_t blocksOf(const jpeg_component_info& component) {
    return std::uint64_t(component.width_in_blocks) * component.height_in_blocks;
}

// Called by the library before each step of input (an iMCU row, or the
// next scan's header) and of output.
void chargeScan(j_common_ptr common) {
    auto* cinfo = reinterpret_cast<j_decompress_ptr>(common);
    auto* charge = reinterpret_cast<ScanCharge*>(cinfo->progress);
    if (cinfo->input_scan_number == charge->lastScan) return;
    charge->lastScan = cinfo->input_scan_number;
    std::uint64_t blocks = 0;
    for (int i = 0; i < cinfo->comps_in_scan && i < MAX_COMPS_IN_SCAN; ++i) {
        if (cinfo->cur_comp_info[i]) blocks += blocksOf(*cinfo->cur_comp_info[i]);
    }
    const bool refinement = cinfo->progressive_mode && cinfo->Ah != 0 && cinfo->Ss != 0;
    const std::uint64_t perBlock = 8 + (refinement ? std::uint64_t(std::max(0, cinfo->Se - cinfo->Ss + 1)) : 0);
    charge->charged += blocks * perBlock;
    if (charge->charged > charge->budget) std::longjmp(charge->err->jump, 1);
}

struct DecompressHolder {
    jpeg_decompress_struct cinfo;
    JpegErrorManager err;
    ScanCharge charge;
    DecompressHolder() {
        std::memset(&cinfo, 0, sizeof cinfo);
        installErrorManager(err);
        cinfo.err = &err.pub;
        charge.pub = {};
        charge.pub.progress_monitor = chargeScan;
        charge.err = &err;
    }
    ~DecompressHolder() { jpeg_destroy_decompress(&cinfo); }
};

bool readHeader(jpeg_decompress_struct* cinfo, JpegErrorManager* err, ScanCharge* charge, const std::uint8_t* data,
                unsigned long size) {
    if (setjmp(err->jump)) return false;
    jpeg_create_decompress(cinfo);
    cinfo->progress = &charge->pub;
    jpeg_mem_src(cinfo, data, size);
    if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK) return false;
    const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    cinfo->out_color_space = cmyk ? JCS_CMYK : nativeARGB32();
    jpeg_calc_output_dimensions(cinfo);
    std::uint64_t blocks = 0;
    for (int i = 0; i < cinfo->num_components; ++i) blocks += blocksOf(cinfo->comp_info[i]);
    charge->budget = blocks * 8 * kScanWalks;
    return true;
}

// Reads every scanline into `rows` (one pointer per output row).
bool readPixels(jpeg_decompress_struct* cinfo, JpegErrorManager* err, std::uint8_t* const* rows) {
    if (setjmp(err->jump)) return false;
    jpeg_start_decompress(cinfo);
    while (cinfo->output_scanline < cinfo->output_height) {
        JSAMPROW row = rows[cinfo->output_scanline];
        if (jpeg_read_scanlines(cinfo, &row, 1) != 1) return false;
    }
    jpeg_finish_decompress(cinfo);
    return !err->sawPrematureEnd;
}

} // namespace

Bytes encodeJPEG(const gfx::Image& image, const EncodeSettings& settings) {
    const char* type = ImageTypeIdentifier::jpeg;
    checkEncodable(image, type);
    // With no quality given the library's default applies.
    const int quality = settings.quality ? int(std::lround(*settings.quality * 100)) : -1;
    CompressHolder holder;
    // The premultiplied components are the image composited over black,
    // which is what a format without alpha can show of it.
    if (!compress(&holder.cinfo, &holder.err, image.data(), image.stride(), JDIMENSION(image.width()),
                  JDIMENSION(image.height()), quality < 0 ? -1 : (quality < 1 ? 1 : quality), density(settings.dpiX),
                  density(settings.dpiY), &holder.buffer, &holder.size)) {
        failEncoding(type);
    }
    if (!holder.buffer || holder.size == 0) failEncoding(type);
    return Bytes(holder.buffer, holder.buffer + holder.size);
}

gfx::ImagePtr decodeJPEG(ByteView data, std::int64_t maxPixels) {
    if (data.empty()) failDecoding();
    DecompressHolder holder;
    if (!readHeader(&holder.cinfo, &holder.err, &holder.charge, data.data(), static_cast<unsigned long>(data.size()))) {
        failDecoding();
    }
    const auto width = std::int64_t(holder.cinfo.output_width);
    const auto height = std::int64_t(holder.cinfo.output_height);
    checkDecodedSize(width, height, maxPixels);
    auto image = std::make_shared<gfx::Image>(int(width), int(height));
    const bool cmyk = holder.cinfo.out_color_space == JCS_CMYK;
    Bytes cmykPixels;
    std::vector<std::uint8_t*> rows(static_cast<std::size_t>(height));
    if (cmyk) {
        cmykPixels.resize(std::size_t(width) * std::size_t(height) * 4);
        for (std::size_t y = 0; y < rows.size(); ++y) rows[y] = cmykPixels.data() + y * std::size_t(width) * 4;
    } else {
        for (std::size_t y = 0; y < rows.size(); ++y) rows[y] = image->data() + y * std::size_t(image->stride());
    }
    if (!readPixels(&holder.cinfo, &holder.err, rows.data())) failDecoding();
    if (cmyk) {
        // Adobe writes CMYK JPEGs inverted (255 means no ink); the library
        // hands the stored values through, so r = c x k / 255.
        const bool inverted = holder.cinfo.saw_Adobe_marker;
        const std::uint8_t* p = cmykPixels.data();
        for (int y = 0; y < image->height(); ++y) {
            std::uint32_t* row = image->row(y);
            for (int x = 0; x < image->width(); ++x, p += 4) {
                unsigned c = p[0], m = p[1], ye = p[2], k = p[3];
                if (!inverted) {
                    c = 255 - c;
                    m = 255 - m;
                    ye = 255 - ye;
                    k = 255 - k;
                }
                row[x] = premultiplied(std::uint8_t(c * k / 255), std::uint8_t(m * k / 255), std::uint8_t(ye * k / 255),
                                       255);
            }
        }
    }
    return image;
}

} // namespace ImageReadWrite::detail
