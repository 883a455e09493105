#include "picture/codecs/decoders.h"

#include <QColorSpace>
#include <QImage>

#include <jxl/decode.h>
#include <jxl/thread_parallel_runner.h>

#include <memory>

namespace {

struct DecoderFree {
    void operator()(JxlDecoder* decoder) const { JxlDecoderDestroy(decoder); }
};
struct RunnerFree {
    void operator()(void* runner) const { JxlThreadParallelRunnerDestroy(runner); }
};
using Decoder = std::unique_ptr<JxlDecoder, DecoderFree>;

// Orientations 5 to 8 turn the picture on its side.
QSize upright(const JxlBasicInfo& info)
{
    const QSize stored(int(info.xsize), int(info.ysize));
    return info.orientation >= JXL_ORIENT_TRANSPOSE ? stored.transposed() : stored;
}

Decoder decoderFor(const QByteArray& data, int events)
{
    Decoder decoder(JxlDecoderCreate(nullptr));
    if (!decoder || JxlDecoderSubscribeEvents(decoder.get(), events) != JXL_DEC_SUCCESS
        || JxlDecoderSetInput(decoder.get(), reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size()))
            != JXL_DEC_SUCCESS)
        return nullptr;
    JxlDecoderCloseInput(decoder.get());
    return decoder;
}

}

bool jxlCanRead(const QByteArray& head)
{
    const JxlSignature signature = JxlSignatureCheck(reinterpret_cast<const uint8_t*>(head.constData()), size_t(head.size()));
    return signature == JXL_SIG_CODESTREAM || signature == JXL_SIG_CONTAINER;
}

bool jxlRead(const QByteArray& data, QImage* image)
{
    const Decoder decoder = decoderFor(data, JXL_DEC_BASIC_INFO | JXL_DEC_COLOR_ENCODING | JXL_DEC_FULL_IMAGE);
    if (!decoder)
        return false;
    const std::unique_ptr<void, RunnerFree> runner(
        JxlThreadParallelRunnerCreate(nullptr, JxlThreadParallelRunnerDefaultNumWorkerThreads()));
    if (runner)
        JxlDecoderSetParallelRunner(decoder.get(), JxlThreadParallelRunner, runner.get());
    const JxlPixelFormat format{4, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
    JxlBasicInfo info{};
    QImage result;
    QByteArray profile;
    for (;;) {
        switch (JxlDecoderProcessInput(decoder.get())) {
        case JXL_DEC_BASIC_INFO:
            if (JxlDecoderGetBasicInfo(decoder.get(), &info) != JXL_DEC_SUCCESS)
                return false;
            break;
        case JXL_DEC_COLOR_ENCODING: {
            size_t size = 0;
            if (JxlDecoderGetICCProfileSize(decoder.get(), &format, JXL_COLOR_PROFILE_TARGET_DATA, &size) == JXL_DEC_SUCCESS
                && size > 0) {
                profile.resize(qsizetype(size));
                if (JxlDecoderGetColorAsICCProfile(decoder.get(), &format, JXL_COLOR_PROFILE_TARGET_DATA,
                                                   reinterpret_cast<uint8_t*>(profile.data()), size)
                    != JXL_DEC_SUCCESS)
                    profile.clear();
            }
            break;
        }
        case JXL_DEC_NEED_IMAGE_OUT_BUFFER: {
            result = QImage(upright(info), QImage::Format_RGBA8888);
            size_t size = 0;
            if (result.isNull() || JxlDecoderImageOutBufferSize(decoder.get(), &format, &size) != JXL_DEC_SUCCESS
                || size != size_t(result.sizeInBytes())
                || JxlDecoderSetImageOutBuffer(decoder.get(), &format, result.bits(), size) != JXL_DEC_SUCCESS)
                return false;
            break;
        }
        case JXL_DEC_FULL_IMAGE:
        case JXL_DEC_SUCCESS:
            // The first frame of an animation is the picture.
            if (result.isNull())
                return false;
            result.convertTo(info.alpha_bits ? QImage::Format_ARGB32 : QImage::Format_RGB32);
            if (!profile.isEmpty())
                result.setColorSpace(QColorSpace::fromIccProfile(profile));
            *image = std::move(result);
            return true;
        default:
            // An error, or data that ends early.
            return false;
        }
    }
}

QSize jxlSize(const QByteArray& head, qint64)
{
    const Decoder decoder = decoderFor(head, JXL_DEC_BASIC_INFO);
    JxlBasicInfo info{};
    if (!decoder || JxlDecoderProcessInput(decoder.get()) != JXL_DEC_BASIC_INFO
        || JxlDecoderGetBasicInfo(decoder.get(), &info) != JXL_DEC_SUCCESS)
        return {};
    return upright(info);
}
