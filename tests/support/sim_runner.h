#pragma once

// Running the built simulator from a test: a scratch folder per test case, the exit status
// of one run, and whole-file reads of what it wrote.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace korvane {

struct SimScratch {
    SimScratch() {
        dir = std::filesystem::temp_directory_path() /
              ("korvane-sim-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
    }
    ~SimScratch() { std::filesystem::remove_all(dir); }
    std::filesystem::path dir;
};

// Runs korvane-sim with the arguments, standard error into `errors`; its exit status.
inline int RunSim(const std::string& arguments, const std::filesystem::path& errors) {
    const std::string command =
        std::string(KORVANE_SIM_PATH) + " " + arguments + " 2>" + errors.string();
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace korvane
