// Thumbnails: an image file (BMP, PNG, ...) scaled down by a whole factor, averaging each square
// of source pixels, and saved as PNG. The README's scene pictures are made this way from the
// demo's reference screenshots.
#pragma once

#include <string>

// Writes `output` from `input` made `factor` times smaller (1 keeps the size). False when the
// input cannot be read, the factor is below 1 or the output cannot be written.
bool WriteThumbnail(const std::string& input, const std::string& output, int factor);
