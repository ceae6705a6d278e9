#include <weeapp/ui/images/image_decoding.h>
#include <weeapp/ui/images/image_downscaling.h>

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace weeapp::ui {

namespace {

// libjpeg reports fatal errors through error_exit, which must not return: it jumps back to the
// decoder. Warnings (a stream that ends early is one: libjpeg would pad it and carry on) count
// as failures too, so a damaged picture is never handed out in part.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    bool warned;
};

[[noreturn]] void failDecoding(j_common_ptr info)
{
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    std::longjmp(manager->jump, 1);
}

void noteMessage(j_common_ptr info, int level)
{
    if (level < 0)
        reinterpret_cast<ErrorManager*>(info->err)->warned = true;
}

void discardMessage(j_common_ptr) { }

// The decoding state lives on the heap, so nothing the jump skips over is a local variable
// whose value setjmp would leave indeterminate.
struct JpegJob {
    jpeg_decompress_struct info {};
    ErrorManager errors {};
    std::shared_ptr<Bitmap> bitmap { std::make_shared<Bitmap>() };
    std::vector<JSAMPLE> row;
    // For a picture larger than the decoded size: the boxes its scaled rows are shrunk into.
    std::unique_ptr<BoxDownscaler> boxes;
    bool created { false };
};

std::uint32_t pixelFromSamples(const JSAMPLE* sample, J_COLOR_SPACE space)
{
    if (space == JCS_CMYK) {
        // Adobe writes CMYK inverted: each sample is already 255 minus the ink.
        const std::uint32_t key = sample[3];
        return premultipliedPixel(sample[0] * key / 255, sample[1] * key / 255, sample[2] * key / 255, 255);
    }
    return premultipliedPixel(sample[0], sample[1], sample[2], 255);
}

// The smallest of the decoder's scalings (n/8, n from 1 to 8) that still gives at least the
// wanted size, so the boxes shrink the rest of the way.
unsigned scaleForAtLeast(const jpeg_decompress_struct& info, PixelSize wanted)
{
    for (unsigned eighths = 1; eighths < 8; ++eighths) {
        const std::uint64_t width = (std::uint64_t { info.image_width } * eighths + 7) / 8;
        const std::uint64_t height = (std::uint64_t { info.image_height } * eighths + 7) / 8;
        if (width >= static_cast<std::uint64_t>(wanted.width) && height >= static_cast<std::uint64_t>(wanted.height))
            return eighths;
    }
    return 8;
}

// Returns false when the stream is not a whole, sound JPEG picture.
bool runJob(JpegJob& job, std::span<const std::uint8_t> bytes)
{
    jpeg_decompress_struct& info = job.info;
    if (setjmp(job.errors.jump))
        return false;

    jpeg_create_decompress(&info);
    job.created = true;
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    if (!acceptableImageSize(info.image_width, info.image_height))
        return false;
    if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK)
        info.out_color_space = JCS_CMYK;
    else
        info.out_color_space = JCS_RGB;
    const PixelSize wanted = decodedSize(static_cast<int>(info.image_width), static_cast<int>(info.image_height));
    const bool shrinking = wanted.width != static_cast<int>(info.image_width) || wanted.height != static_cast<int>(info.image_height);
    if (shrinking) {
        info.scale_num = scaleForAtLeast(info, wanted);
        info.scale_denom = 8;
    }
    jpeg_start_decompress(&info);

    const auto width = static_cast<std::size_t>(info.output_width);
    const auto components = static_cast<std::size_t>(info.output_components);
    if (!acceptableImageSize(info.output_width, info.output_height) || (components != 3 && components != 4))
        return false;
    Bitmap& bitmap = *job.bitmap;
    if (shrinking) {
        job.boxes = std::make_unique<BoxDownscaler>(PixelSize { static_cast<int>(info.output_width), static_cast<int>(info.output_height) }, wanted);
    } else {
        bitmap.width = static_cast<int>(info.output_width);
        bitmap.height = static_cast<int>(info.output_height);
        bitmap.pixels.resize(width * info.output_height);
    }
    job.row.resize(width * components);

    while (info.output_scanline < info.output_height) {
        const std::size_t y = info.output_scanline;
        JSAMPROW rows[] = { job.row.data() };
        if (jpeg_read_scanlines(&info, rows, 1) != 1)
            return false;
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint32_t pixel = pixelFromSamples(&job.row[x * components], info.out_color_space);
            if (job.boxes)
                job.boxes->add(static_cast<int>(x), static_cast<int>(y), pixel);
            else
                bitmap.pixels[y * width + x] = pixel;
        }
    }
    jpeg_finish_decompress(&info);
    if (job.boxes && !job.errors.warned)
        job.bitmap = job.boxes->finish();
    return !job.errors.warned;
}

}

std::shared_ptr<Bitmap> decodeJpeg(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < 3 || bytes[0] != 0xFF || bytes[1] != 0xD8 || bytes[2] != 0xFF)
        return nullptr;

    auto job = std::make_unique<JpegJob>();
    job->info.err = jpeg_std_error(&job->errors.base);
    job->errors.base.error_exit = failDecoding;
    job->errors.base.emit_message = noteMessage;
    job->errors.base.output_message = discardMessage;
    job->errors.warned = false;

    const bool decoded = runJob(*job, bytes);
    if (job->created)
        jpeg_destroy_decompress(&job->info);
    return decoded ? job->bitmap : nullptr;
}

}
