#pragma once
// A program folder of its own with effect files "SE00.WAV".."SE47.WAV", a
// small data library whose sound list names them, and a scripted dialog
// service that records every box.

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>

#include "WaveBytes.h"
#include "foundation/DataLibrary.h"
#include "foundation/DialogService.h"
#include "platform/core/Paths.h"

namespace testaudio {

inline constexpr int kFixtureEffects = 48;

class SoundFolder {
public:
    explicit SoundFolder(const std::string& tag)
    {
        root = std::filesystem::temp_directory_path() /
               ("velmorath-" + tag + "-" + std::to_string(::getpid()));
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root / "Music");
        platform::SetProgramFolder(root.string());
        for (int i = 0; i < kFixtureEffects; ++i) {
            names[static_cast<size_t>(i)] = "SE" + std::string(i < 10 ? "0" : "") + std::to_string(i);
            list[static_cast<size_t>(i)] = {names[static_cast<size_t>(i)].c_str(), "fixture"};
        }
        for (int i = 0; i < 25; ++i) errors[static_cast<size_t>(i)] = "";
        errors[25] = "no sound device";
        lib.WaveFileList = list;
        lib.ErrorMessage = errors;
        zrv::SetLib(&lib);
        zrv::SetDialogs(&dialogs);
    }
    ~SoundFolder()
    {
        zrv::SetDialogs(nullptr);
        zrv::SetLib(nullptr);
        std::filesystem::remove_all(root);
    }

    void Write(const std::filesystem::path& rel, const std::vector<uint8_t>& bytes) const
    {
        std::ofstream out(root / rel, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    // Every effect file, each samples long.
    void WriteAllEffects(uint32_t samples) const
    {
        auto wave = SimpleWave(samples);
        for (const auto& n : names) Write(n + ".WAV", wave);
    }

    std::filesystem::path root;
    std::array<std::string, kFixtureEffects> names;
    std::array<zrv::NamePair, kFixtureEffects> list{};
    std::array<const char*, 26> errors{};
    zrv::DataLibrary lib;
    zrv::ScriptedDialogService dialogs;
};

}  // namespace testaudio
