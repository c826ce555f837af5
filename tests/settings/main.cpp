// Runs the tests, or with a mode argument writes files for checks outside this program:
//   --write-damaged FOLDER [PER_KIND] [SEED]  damaged settings files and their manifest
//   --write-sample FILE                       the sample settings file
//   --read-sample FILE                        loads a settings file and prints what came back
//   --save-loop FILE TIMES FORMAT             saves TIMES, log path C:\FORMAT; exit code: saves failed
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include "serial/CommPort.h"
#include "settings/SettingsFile.h"
#include "DamagedFileGenerator.h"
#include "SampleSettings.h"

int main(int argc, char** argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "--write-damaged") == 0) {
        std::string folder = argv[2];
        if (folder.back() != '\\' && folder.back() != '/') folder += '\\';
        CreateDirectoryA(folder.c_str(), nullptr);
        int perKind = argc > 3 ? std::atoi(argv[3]) : 300;
        uint32_t seed = argc > 4 ? static_cast<uint32_t>(std::strtoul(argv[4], nullptr, 10)) : 1;
        int written = DamagedFileGenerator(seed).WriteFolder(folder, perKind);
        std::printf("%d files written to %s\n", written, folder.c_str());
        return written > 0 ? 0 : 1;
    }
    if (argc >= 3 && std::strcmp(argv[1], "--write-sample") == 0) return SampleSettings::Write(argv[2]) ? 0 : 1;
    if (argc >= 3 && std::strcmp(argv[1], "--read-sample") == 0) {
        std::printf("%s\n", SampleSettings::Read(argv[2]).c_str());
        return 0;
    }
    if (argc >= 5 && std::strcmp(argv[1], "--save-loop") == 0) {
        char logPath[256] = "C:\\";
        std::strncat(logPath, argv[4], 200);
        CommPort port;
        int failed = 0;
        for (int i = std::atoi(argv[3]); i > 0; --i) failed += !SettingsFile::Save(argv[2], logPath, std::atoi(argv[4]), port);
        return failed;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
