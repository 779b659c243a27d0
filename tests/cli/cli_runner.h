// Runs the built wellfit-cli as a user would, in a scratch folder of its own.
#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <random>
#include <sstream>
#include <string>

namespace wf::clitest {

namespace fs = std::filesystem;

inline std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct Outcome {
    int code = -1;
    std::string out, err;  // standard output, standard error
};

// wellfit-cli with args in folder dir. Standard error goes to err or, with
// mergeErr, into out together with standard output.
inline Outcome runCli(const fs::path& dir, const std::string& args, bool mergeErr = false) {
    const std::string errTo = mergeErr ? std::string("&1") : "'" + (dir / "stderr.txt").string() + "'";
    const std::string cmd = "cd '" + dir.string() + "' && '" WF_CLI_PROGRAM "' " + args + " 2>" + errTo;
    Outcome r;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int status = pclose(p);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (!mergeErr) r.err = readFile(dir / "stderr.txt");
    return r;
}

// A fresh scratch folder for each test (dir_), removed afterwards.
class CliFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        dir_ = fs::temp_directory_path() / ("wf-cli-" + std::to_string(rd()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    // Copies of files from a folder of the source tree.
    void copyFrom(const char* folder, std::initializer_list<const char*> files) {
        for (const char* f : files) fs::copy_file(fs::path(folder) / f, dir_ / f);
    }
    // The side file whose name matches apart from letter case (empty when none).
    fs::path sidePath(const std::string& name) const {
        const auto lower = [](std::string s) {
            for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            return s;
        };
        for (const auto& e : fs::directory_iterator(dir_))
            if (lower(e.path().filename().string()) == lower(name)) return e.path();
        return {};
    }
    std::string side(const std::string& name) const {
        const fs::path p = sidePath(name);
        return p.empty() ? std::string() : readFile(p);
    }

    fs::path dir_;
};

} // namespace wf::clitest
