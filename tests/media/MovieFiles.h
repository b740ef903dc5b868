#pragma once
// Sample movies for the media tests, made once per test program in a folder
// of its own by the same generator the build uses, and a few damaged files.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/core/Paths.h"
#include "tools/moviegen/MovieGen.h"

namespace testmedia {

inline const std::filesystem::path& Folder()
{
    static const std::filesystem::path folder = [] {
        auto dir = std::filesystem::temp_directory_path() / ("velmorath-media-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir / "MOVIE");
        std::string why;
        if (!moviegen::WriteOpening((dir / "MOVIE" / "OPENING.MPG").string(), why) ||
            !moviegen::WriteEventMovie((dir / "MOVIE" / "Hs410622.AVI").string(), why))
            ADD_FAILURE() << "the sample movies cannot be made: " << why;
        platform::SetProgramFolder(dir.string());
        return dir;
    }();
    return folder;
}

inline std::vector<uint8_t> Bytes(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void Write(const std::filesystem::path& p, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The CP932 path the programs would use for a file of MOVIE.
inline std::string Movie(const char* name)
{
    Folder();
    return platform::MoviePath(name);
}

// A PCM wave of one second: a file that holds sound and no picture.
inline std::vector<uint8_t> SoundOnlyWave()
{
    const std::vector<int16_t> s = moviegen::MakeSound(22050, 1.0);
    const uint32_t data = static_cast<uint32_t>(s.size() * 2);
    std::vector<uint8_t> b;
    auto put = [&](const char* t) { b.insert(b.end(), t, t + 4); };
    auto u32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    auto u16 = [&](uint16_t v) {
        b.push_back(static_cast<uint8_t>(v));
        b.push_back(static_cast<uint8_t>(v >> 8));
    };
    put("RIFF");
    u32(36 + data);
    put("WAVE");
    put("fmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(22050);
    u32(44100);
    u16(2);
    u16(16);
    put("data");
    u32(data);
    const auto* p = reinterpret_cast<const uint8_t*>(s.data());
    b.insert(b.end(), p, p + data);
    return b;
}

}  // namespace testmedia
