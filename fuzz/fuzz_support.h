// Shared by the fuzz targets: the model defined once, a notifier that keeps
// quiet, and the input bytes handed to the readers as a file.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/notify.h"
#include "model/equations.h"

namespace fuzz {

class QuietNotifier final : public Notifier {
public:
    MsgResult Show(MsgKind, MsgButtons, std::string_view) override { return MsgResult::Ok; }
};

inline void Setup() {
    static QuietNotifier quiet;
    static const bool done = [] {
        DefineModel();
        SetNotifier(&quiet);
        return true;
    }();
    (void)done;
}

// A file of this process holding `prefix` and then the bytes.
inline const std::string& InputFile(const char* extension, const std::string& prefix, const std::uint8_t* data,
                                    std::size_t size) {
    static const std::string name = [&] {
        const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        return std::string(folder) + "/ostrel-fuzz-" + std::to_string(getpid()) + "." + extension;
    }();
    static const bool removedAtExit = [] { return std::atexit([] { std::remove(name.c_str()); }) == 0; }();
    (void)removedAtExit;
    std::FILE* f = std::fopen(name.c_str(), "wb");
    if (f == nullptr) std::abort();
    std::fwrite(prefix.data(), 1, prefix.size(), f);
    if (size > 0) std::fwrite(data, 1, size, f);
    std::fclose(f);
    return name;
}

}  // namespace fuzz
