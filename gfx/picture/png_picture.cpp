#include "gfx/picture/picture.h"

#include <png.h>

#include <bit>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// What one picture may make libpng allocate. The show's largest picture is
// 353x273 RGBA (under 400 KB); a replacement of up to 1024x1024 still loads.
// Anything that claims more (a huge dimension, a text chunk that says it
// holds 1.5 GB, a compressed chunk that inflates without end) is refused
// before the memory is taken.
constexpr png_uint_32 PICTURE_MAX_SIDE = 1024;           // pixels, either side
constexpr png_alloc_size_t PICTURE_CHUNK_MAX = 1 << 20;  // bytes, any one chunk, inflated
constexpr png_uint_32 PICTURE_CHUNK_COUNT_MAX = 64;      // ancillary chunks kept
constexpr size_t PICTURE_MEMORY_MAX = 12u << 20;         // bytes live at once: rows of the
                                                         // largest 16-bit RGBA picture and
                                                         // the decoder's buffers

// libpng's allocations, counted against PICTURE_MEMORY_MAX. Each block
// carries its size in front so that freeing gives it back.
struct PngBudget {
    size_t live = 0;
};

constexpr size_t BLOCK_HEADER = alignof(std::max_align_t);

png_voidp png_budget_malloc(png_structp png, png_alloc_size_t size)
{
    PngBudget* budget = static_cast<PngBudget*>(png_get_mem_ptr(png));
    if (size > PICTURE_MEMORY_MAX - budget->live)
        return nullptr;  // libpng turns this into an error, or skips the chunk
    auto* block = static_cast<unsigned char*>(std::malloc(BLOCK_HEADER + size));
    if (!block)
        return nullptr;
    std::memcpy(block, &size, sizeof size);
    budget->live += size;
    return block + BLOCK_HEADER;
}

void png_budget_free(png_structp png, png_voidp pointer)
{
    if (!pointer)
        return;
    auto* block = static_cast<unsigned char*>(pointer) - BLOCK_HEADER;
    size_t size;
    std::memcpy(&size, block, sizeof size);
    static_cast<PngBudget*>(png_get_mem_ptr(png))->live -= size;
    std::free(block);
}

struct PngFormat {
    int32_t kind;
    int32_t bytes_per_pixel;
};

PngFormat format_of(int colour_type)
{
    switch (colour_type) {
    case PNG_COLOR_TYPE_GRAY:
        return {PICTURE_GREY, 1};
    case PNG_COLOR_TYPE_RGB:
        return {PICTURE_RGB, 3};
    case PNG_COLOR_TYPE_PALETTE:
        return {PICTURE_PALETTE, 1};
    case PNG_COLOR_TYPE_RGB_ALPHA:
        return {PICTURE_RGBA, 4};
    default:
        return {PICTURE_OTHER, 1};
    }
}

// libpng would print its complaints on stderr; a picture that fails is
// reported once, by the caller, so they are kept quiet.
[[noreturn]] void png_quiet_error(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void png_quiet_warning(png_structp, png_const_charp) {}

// Everything between the signature check and the finished record. libpng
// reports damaged data by jumping back here, which becomes -1; the record
// is written only once the whole picture is in memory.
int32_t decode(FILE* file, Picture* pic)
{
    PngBudget budget;
    png_structp png =
        png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, png_quiet_error, png_quiet_warning, &budget,
                                 png_budget_malloc, png_budget_free);
    if (!png)
        return -1;
    png_set_user_limits(png, PICTURE_MAX_SIDE, PICTURE_MAX_SIDE);
    png_set_chunk_malloc_max(png, PICTURE_CHUNK_MAX);
    png_set_chunk_cache_max(png, PICTURE_CHUNK_COUNT_MAX);
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return -1;
    }
    // Only this block's own allocation outlives a longjmp, so it is volatile.
    uint8_t* volatile pixels = nullptr;
    if (setjmp(png_jmpbuf(png))) {
        std::free(pixels);
        png_destroy_read_struct(&png, &info, nullptr);
        return -1;
    }
    png_init_io(png, file);
    png_set_sig_bytes(png, 8);
    png_read_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);

    png_uint_32 width = 0, height = 0;
    int bit_depth = 0, colour_type = 0, unused = 0;
    png_get_IHDR(png, info, &width, &height, &bit_depth, &colour_type, &unused, &unused, &unused);
    png_bytepp rows = png_get_rows(png, info);

    const PngFormat format = format_of(colour_type);
    const size_t row_bytes = size_t(width) * size_t(format.bytes_per_pixel);
    // Samples are taken as 8 bits whatever the depth, so a deeper row holds
    // more than row_bytes and a shallower one less: copy only what is there.
    const size_t stored_row_bytes = png_get_rowbytes(png, info);
    pixels = static_cast<uint8_t*>(std::calloc(size_t(height), row_bytes));  // libpng refuses 0 x 0
    if (!pixels) {
        png_destroy_read_struct(&png, &info, nullptr);
        return -1;
    }
    for (png_uint_32 r = 0; r < height; r++)
        std::memcpy(pixels + r * row_bytes, rows[r],
                    row_bytes < stored_row_bytes ? row_bytes : stored_row_bytes);

    if (colour_type == PNG_COLOR_TYPE_PALETTE) {
        png_colorp entries = nullptr;
        int count = 0;
        if (png_get_PLTE(png, info, &entries, &count) & PNG_INFO_PLTE) {
            for (int i = 0; i < count && i < 256; i++) {
                pic->palette[i][0] = entries[i].red;
                pic->palette[i][1] = entries[i].green;
                pic->palette[i][2] = entries[i].blue;
            }
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);

    pic->kind = format.kind;
    pic->width = int32_t(width);
    pic->height = int32_t(height);
    pic->bit_depth = bit_depth;
    pic->pixels = pixels;
    return 0;
}

}  // namespace

int32_t load_png_picture(const char* path, Picture* pic)
{
    FILE* file = std::fopen(path, "rb");
    if (!file)
        return -1;
    png_byte signature[8] = {};
    int32_t result = -1;
    if (std::fread(signature, 1, 8, file) == 8 && png_sig_cmp(signature, 0, 8) == 0)
        result = decode(file, pic);
    std::fclose(file);
    return result;
}

// Only 4-byte pixels can be rewritten in place; other kinds are left alone.
void picture_to_argb(Picture* pic)
{
    if (pic->kind != PICTURE_RGBA)
        return;
    const int64_t count = int64_t(pic->width) * pic->height;
    uint8_t* bytes = pic->pixels;
    for (int64_t i = 0; i < count; i++, bytes += 4) {
        const uint32_t word = uint32_t(bytes[3]) << 24 | uint32_t(bytes[0]) << 16 | uint32_t(bytes[1]) << 8 |
                              uint32_t(bytes[2]);
        std::memcpy(bytes, &word, 4);
    }
}

void byte_swap_words(uint8_t* buffer, int32_t count)
{
    for (int32_t i = 0; i < count; i++, buffer += 4) {
        uint32_t word;
        std::memcpy(&word, buffer, 4);
        word = __builtin_bswap32(word);
        std::memcpy(buffer, &word, 4);
    }
}

void words_from_big_endian(uint8_t* buffer, int32_t count)
{
    if constexpr (std::endian::native == std::endian::little)
        byte_swap_words(buffer, count);
}
