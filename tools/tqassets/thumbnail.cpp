#include "thumbnail.h"

#include <memory>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include "image.h"

bool WriteThumbnail(const std::string& input, const std::string& output, int factor) {
    int width = 0, height = 0, channels = 0;
    std::unique_ptr<stbi_uc, void (*)(void*)> pixels(stbi_load(input.c_str(), &width, &height, &channels, 4),
                                                     stbi_image_free);
    if (!pixels || factor < 1 || width < factor || height < factor)
        return false;
    Image small(width / factor, height / factor);
    const int area = factor * factor;
    for (int y = 0; y < small.Height(); ++y)
        for (int x = 0; x < small.Width(); ++x) {
            int sum[4] = {0, 0, 0, 0};
            for (int dy = 0; dy < factor; ++dy)
                for (int dx = 0; dx < factor; ++dx) {
                    const stbi_uc* p = pixels.get() + (size_t(y * factor + dy) * width + x * factor + dx) * 4;
                    for (int c = 0; c < 4; ++c)
                        sum[c] += p[c];
                }
            small.Set(x, y, Byte(double(sum[0]) / area), Byte(double(sum[1]) / area),
                      Byte(double(sum[2]) / area), Byte(double(sum[3]) / area));
        }
    return small.Save(output);
}
