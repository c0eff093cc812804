#pragma once
// The tests play a program that uses the language-support library the way
// its callers do: the library is not linked, it is loaded with dlopen and its
// two exports are looked up with dlsym.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "langlib/lmqt_lngs.h"
#include "support/TempDir.h"

class LibraryHost : public ::testing::Test {
protected:
    void SetUp() override
    {
        handle_ = dlopen(LMQT_LNGS_FILE, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle_, nullptr) << dlerror();
        jezyk_ = reinterpret_cast<ZaladujJezykFn>(dlsym(handle_, "ZaladujJezyk"));
        msg_ = reinterpret_cast<ZaladujMSGFn>(dlsym(handle_, "ZaladujMSG"));
        ASSERT_NE(jezyk_, nullptr);
        ASSERT_NE(msg_, nullptr);
    }

    void TearDown() override
    {
        if (handle_) dlclose(handle_);
    }

    // Writes a language file (UTF-8 bytes as given) and returns its path.
    std::string WriteFile(const std::string& text, const std::string& name = "lang.ini")
    {
        const std::string path = dir_.File(name);
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    void Apply(QWidget* root, const char* section, const std::string& ini)
    {
        const std::string path = WriteFile(ini);
        jezyk_(0, root, section, path.c_str());
    }

    void* handle_ = nullptr;
    ZaladujJezykFn jezyk_ = nullptr;
    ZaladujMSGFn msg_ = nullptr;
    TempDir dir_;
};
