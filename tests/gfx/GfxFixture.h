#pragma once
// Shared pieces of the picture tests: a scratch folder for files, writers of
// .PXS and .PLB files, and the scripted dialog service that captures boxes.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "foundation/DialogService.h"
#include "foundation/GfxSettings.h"
#include "platform/core/Paths.h"

namespace gfxtest {

class Scratch : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = std::filesystem::temp_directory_path() /
                ("velmorath-gfx-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_dir);
        zrv::SetDialogs(&m_boxes);
        zrv::SetProgramVariant(zrv::ProgramVariant::Battle);
    }
    void TearDown() override
    {
        zrv::SetDialogs(nullptr);
        zrv::SetProgramVariant(zrv::ProgramVariant::Battle);
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }

    // The program's (CP932) path of a file in the scratch folder.
    std::string Path(const std::string& name) const { return platform::FromNativePath((m_dir / name).string()); }

    std::string WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        std::ofstream out(m_dir / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return Path(name);
    }

    // A .PXS file whose pixel at (x, y) from the top is fn(x, y); padding
    // bytes hold pad. extra bytes are appended, a negative extra cuts bytes off.
    template <class Fn>
    std::string WritePxs(const std::string& name, uint32_t w, uint32_t h, Fn fn, int extra = 0, uint8_t pad = 0xEE)
    {
        std::vector<uint8_t> b;
        auto u32 = [&](uint32_t v) {
            for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
        };
        u32(w);
        u32(h);
        uint32_t stride = (w + 3) & ~3u;
        for (uint32_t row = 0; row < h; ++row) {
            uint32_t y = h - 1 - row;  // bottom row first
            for (uint32_t x = 0; x < stride; ++x) b.push_back(x < w ? uint8_t(fn(int(x), int(y))) : pad);
        }
        if (extra > 0) b.insert(b.end(), size_t(extra), 0x5A);
        if (extra < 0) b.resize(b.size() - size_t(-extra));
        return WriteBytes(name, b);
    }

    std::string WriteHeaderOnly(const std::string& name, uint32_t w, uint32_t h, size_t dataBytes)
    {
        std::vector<uint8_t> b;
        for (uint32_t v : {w, h})
            for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
        b.resize(b.size() + dataBytes, 7);
        return WriteBytes(name, b);
    }

    const std::vector<zrv::ScriptedDialogService::Shown>& Boxes() const { return m_boxes.Boxes(); }
    std::string LastBox() const { return m_boxes.Boxes().empty() ? "" : m_boxes.Boxes().back().text; }

    std::filesystem::path m_dir;
    zrv::ScriptedDialogService m_boxes;
};

}  // namespace gfxtest
