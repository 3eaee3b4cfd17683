#include "text/ReadFileBounded.h"

#include <algorithm>
#include <fstream>
#include <system_error>

namespace tessaly {

ReadStatus ReadFileBounded(const std::filesystem::path& path, std::size_t limit, std::string& text) {
    text.clear();
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return ReadStatus::kMissing;
    }
    if (error || status.type() != std::filesystem::file_type::regular) {
        return ReadStatus::kFailed;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return ReadStatus::kFailed;
    }
    // Read in pieces, so that a small file costs only its own size however large the limit is.
    char piece[4096];
    while (text.size() < limit && in) {
        in.read(piece, static_cast<std::streamsize>(std::min(sizeof piece, limit - text.size())));
        text.append(piece, static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) {
        text.clear();
        return ReadStatus::kFailed;
    }
    return ReadStatus::kRead;
}

}  // namespace tessaly
