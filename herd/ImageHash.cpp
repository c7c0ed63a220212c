#include "herd/ImageHash.h"

#include <openssl/evp.h>

ImageHash HashOfImage(std::span<const std::uint8_t> image) {
    ImageHash hash{};
    unsigned int size = 0;
    // SHA-256 cannot fail on bytes in memory; a failure would leave the digest zero, which no
    // image has.
    EVP_Digest(image.data(), image.size(), hash.data(), &size, EVP_sha256(), nullptr);
    return hash;
}
