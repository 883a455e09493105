#include "picture/jpeg_decoder.h"

#include "core/failure.h"


#include <atomic>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jerror.h>
#include <jpeglib.h>

namespace Jpeg {

namespace {

std::atomic<int> begun = 0;

QSize atScale(QSize size, int eighths)
{
    return {int((qint64(size.width()) * eighths + 7) / 8), int((qint64(size.height()) * eighths + 7) / 8)};
}

int eighthsFor(QSize size, QSize atLeast, qint64 maxPixels)
{
    int eighths = 8;
    if (atLeast.isValid())
        while (eighths > 1 && atScale(size, eighths - 1).width() >= atLeast.width()
               && atScale(size, eighths - 1).height() >= atLeast.height())
            --eighths;
    while (eighths > 0 && qint64(atScale(size, eighths).width()) * atScale(size, eighths).height() > maxPixels)
        --eighths;
    return eighths;
}

struct Handler : jpeg_error_mgr {
    jmp_buf failed;
    bool endedEarly = false;
    char message[JMSG_LENGTH_MAX] = {};
};

// libjpeg fills a frame whose data ends early (a cut-off file, or a header
// claiming more pixels than the data holds) up with grey and calls that a
// warning.
void warn(j_common_ptr c, int level)
{
    auto* h = static_cast<Handler*>(c->err);
    if (level < 0 && (h->msg_code == JWRN_HIT_MARKER || h->msg_code == JWRN_JPEG_EOF))
        h->endedEarly = true;
}

void fail(j_common_ptr c)
{
    auto* h = static_cast<Handler*>(c->err);
    h->format_message(c, h->message);
    longjmp(h->failed, 1);
}

QByteArray iccProfile(j_decompress_ptr info)
{
    JOCTET* icc = nullptr;
    unsigned int length = 0;
    if (!jpeg_read_icc_profile(info, &icc, &length))
        return {};
    QByteArray profile(reinterpret_cast<const char*>(icc), qsizetype(length));
    std::free(icc);
    return profile;
}

}

QSize scaledSize(QSize size, QSize atLeast, qint64 maxPixels)
{
    const int eighths = eighthsFor(size, atLeast, maxPixels);
    return eighths == 0 ? QSize() : atScale(size, eighths);
}

int passes() { return begun; }

Decoded decode(const QByteArray& data, QImage into, QSize atLeast, qint64 maxPixels, const std::atomic<bool>* cancelled)
{
    Handler handler;
    jpeg_decompress_struct info;
    info.err = jpeg_std_error(&handler);
    handler.error_exit = fail;
    handler.emit_message = warn;
    Decoded result;
    // The jump lands in this frame, whose objects the exception then
    // destroys as usual; the profile is read only after the last call that
    // can fail.
    if (setjmp(handler.failed)) {
        jpeg_destroy_decompress(&info);
        Errors::raise(Errors::invalidPicture(QString::fromLocal8Bit(handler.message)));
    }
    jpeg_create_decompress(&info);
    ++begun;
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.constData()), static_cast<unsigned long>(data.size()));
    jpeg_save_markers(&info, JPEG_APP0 + 2, 0xFFFF);
    jpeg_read_header(&info, TRUE);
    const QByteArray profile = iccProfile(&info);
    const int eighths = eighthsFor(QSize(int(info.image_width), int(info.image_height)), atLeast, maxPixels);
    if (eighths == 0) {
        jpeg_destroy_decompress(&info);
        return result;
    }
    info.scale_num = unsigned(eighths);
    info.scale_denom = 8;
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    jpeg_start_decompress(&info);
    const QSize output(int(info.output_width), int(info.output_height));
    result.image = into.size() == output && into.format() == QImage::Format_RGB32
        ? std::move(into) : QImage(output, QImage::Format_RGB32);
    if (result.image.isNull()) {
        jpeg_destroy_decompress(&info);
        Errors::raise(Errors::invalidPicture(QStringLiteral("out of memory")));
    }
    uchar* bits = result.image.bits();
    while (info.output_scanline < info.output_height) {
        if (cancelled && cancelled->load(std::memory_order_relaxed)) {
            jpeg_destroy_decompress(&info);
            Errors::raise(Errors::invalidPicture(QStringLiteral("the picture is no longer wanted")));
        }
        JSAMPROW row = bits + qsizetype(info.output_scanline) * result.image.bytesPerLine();
        jpeg_read_scanlines(&info, &row, 1);
    }
    result.cutOff = handler.endedEarly;
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    result.cmyk = cmyk;
    result.profile = profile;
    return result;
}

}
