#include "picture/codecs/decoders.h"

#include <QColorSpace>
#include <QImage>

#include <libheif/heif.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct ContextFree {
    void operator()(heif_context* context) const { heif_context_free(context); }
};
struct HandleFree {
    void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct ImageFree {
    void operator()(heif_image* image) const { heif_image_release(image); }
};
using Context = std::unique_ptr<heif_context, ContextFree>;
using Handle = std::unique_ptr<heif_image_handle, HandleFree>;
using Image = std::unique_ptr<heif_image, ImageFree>;

// The primary picture of the data, null when libheif cannot read its boxes.
// The context must outlive the handle.
Handle primary(const QByteArray& data, Context& context)
{
    context.reset(heif_context_alloc());
    if (!context || heif_context_read_from_memory_without_copy(context.get(), data.constData(), size_t(data.size()), nullptr).code != heif_error_Ok)
        return nullptr;
    heif_image_handle* handle = nullptr;
    if (heif_context_get_primary_image_handle(context.get(), &handle).code != heif_error_Ok)
        return nullptr;
    return Handle(handle);
}

QByteArray iccProfile(heif_image_handle* handle)
{
    if (heif_image_handle_get_color_profile_type(handle) != heif_color_profile_type_prof
        && heif_image_handle_get_color_profile_type(handle) != heif_color_profile_type_rICC)
        return {};
    QByteArray profile(qsizetype(heif_image_handle_get_raw_color_profile_size(handle)), Qt::Uninitialized);
    if (profile.isEmpty() || heif_image_handle_get_raw_color_profile(handle, profile.data()).code != heif_error_Ok)
        return {};
    return profile;
}

}

bool heifCanRead(const QByteArray& head)
{
    return head.size() >= 12
        && heif_check_filetype(reinterpret_cast<const uint8_t*>(head.constData()), int(head.size()))
        == heif_filetype_yes_supported;
}

bool heifRead(const QByteArray& data, QImage* image)
{
    Context context;
    const Handle handle = primary(data, context);
    if (!handle)
        return false;
    const bool alpha = heif_image_handle_has_alpha_channel(handle.get());
    heif_image* decoded = nullptr;
    if (heif_decode_image(handle.get(), &decoded, heif_colorspace_RGB,
                          alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, nullptr)
            .code
        != heif_error_Ok)
        return false;
    const Image picture(decoded);
    const int width = heif_image_get_width(picture.get(), heif_channel_interleaved);
    const int height = heif_image_get_height(picture.get(), heif_channel_interleaved);
    int stride = 0;
    const uint8_t* pixels = heif_image_get_plane_readonly(picture.get(), heif_channel_interleaved, &stride);
    if (!pixels || width <= 0 || height <= 0)
        return false;
    // Copied out: the pixels belong to libheif's image.
    QImage result = QImage(pixels, width, height, stride, alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888)
                        .convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (result.isNull())
        return false;
    if (const QByteArray profile = iccProfile(handle.get()); !profile.isEmpty())
        result.setColorSpace(QColorSpace::fromIccProfile(profile));
    *image = std::move(result);
    return true;
}

QSize heifSize(const QByteArray& head, qint64 fileSize)
{
    // libheif checks that the data each item points to lies within the file,
    // and a photo's data lies far past its start: the rest of the file is
    // stood in for by zeros, which reading the size never looks at (calloc's
    // large blocks are pages not made until touched).
    const qint64 total = std::max<qint64>(head.size(), fileSize);
    const std::unique_ptr<char, decltype(&std::free)> whole(static_cast<char*>(std::calloc(size_t(total), 1)), &std::free);
    if (!whole)
        return {};
    std::memcpy(whole.get(), head.constData(), size_t(head.size()));
    const QByteArray file = QByteArray::fromRawData(whole.get(), qsizetype(total));
    Context context;
    const Handle handle = primary(file, context);
    if (!handle)
        return {};
    return QSize(heif_image_handle_get_width(handle.get()), heif_image_handle_get_height(handle.get()));
}
