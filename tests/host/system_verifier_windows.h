#pragma once

// The stand-in verifier, built beside the test runner, copied for the length of a test into the
// system directory: the only place the saver takes PASSWORD.CPL from. Its log and answer reach
// it through the environment.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace korvane::testing {

inline std::string RunnerFolder() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/"));
}

inline std::string SystemVerifierPath() {
    char folder[MAX_PATH];
    GetSystemDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\PASSWORD.CPL";
}

class SystemVerifier {
  public:
    SystemVerifier() {
        char folder[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        logPath_ = std::string(folder) + "korvane_verifier_" +
                   std::to_string(GetCurrentProcessId()) + ".log";
        std::remove(logPath_.c_str());
        _putenv_s("KORVANE_TEST_PASSWORD_LOG", logPath_.c_str());
        Answer("0");
    }
    SystemVerifier(const SystemVerifier&) = delete;
    SystemVerifier& operator=(const SystemVerifier&) = delete;
    ~SystemVerifier() {
        Remove();
        std::remove(logPath_.c_str());
        _putenv_s("KORVANE_TEST_PASSWORD_LOG", "");
        _putenv_s("KORVANE_TEST_PASSWORD_ANSWER", "");
    }
    // False when the copy could not be made (the test then says so). `name` is another file of
    // the runner's folder to put in the verifier's place.
    bool Install(const char* name = "PASSWORD.CPL") {
        installed_ = CopyFileA((RunnerFolder() + "\\" + name).c_str(), SystemVerifierPath().c_str(),
                               FALSE) != 0;
        return installed_;
    }
    // A file that is no library at all in the verifier's place.
    bool InstallNonLibrary() {
        std::ofstream file(SystemVerifierPath(), std::ios::binary | std::ios::trunc);
        file << "This file is no library.\r\n";
        installed_ = true;
        return file.good();
    }
    void Remove() {
        if (installed_) {
            DeleteFileA(SystemVerifierPath().c_str());
            installed_ = false;
        }
    }
    static void Answer(const char* answer) { _putenv_s("KORVANE_TEST_PASSWORD_ANSWER", answer); }
    int TimesAsked() const {
        std::ifstream log(logPath_);
        int count = 0;
        for (std::string line; std::getline(log, line);) {
            count += line == "asked" ? 1 : 0;
        }
        return count;
    }

  private:
    std::string logPath_;
    bool installed_ = false;
};

}  // namespace korvane::testing
