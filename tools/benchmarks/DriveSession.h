// One Tavrenix.exe driven by text commands, so that a script on the Linux side can work its
// window while it acts on the line itself. One command per line, fields separated by tabs; every
// command gets one answer line, "ok ..." or "err ...".
//
//   settings FOLDER PORT TIMEOUT_MS LOG_PATH FORMAT   write FOLDER\Tavrenix.def
//   start FOLDER [EXE]    copy the built program (or EXE) into FOLDER and run it there (ok: its process id)
//   command ID | post ID  a menu command, handled before the answer | posted
//   click ID | postclick ID | type ID TEXT | leave
//   text ID               a control's text, hexadecimal
//   checked ID | menu ID  a box's check | a menu item's state bits
//   box MS | boxok        the text (hexadecimal) of a message box within MS | press its OK
//   handles | memory      the program's open handles | working set and private bytes
//   running | wait MS     alive? | wait for its end (ok: exit code)
//   latency FAR COUNT GAP_MS   bursts into port FAR, ms until each shows in the pane
//   kill | quit
#pragma once
#include <windows.h>
#include <memory>
#include <string>
#include <vector>

class MonitorProcess;

class DriveSession {
public:
    DriveSession();
    ~DriveSession();
    DriveSession(const DriveSession&) = delete;
    DriveSession& operator=(const DriveSession&) = delete;

    // The answer to one command line; quit is set by "quit".
    std::string Execute(const std::string& line, bool& quit);

    static std::vector<std::string> Split(const std::string& line);
    static std::string Hex(const std::string& bytes);

private:
    std::string Run(const std::vector<std::string>& args);
    bool Started() const;

    std::unique_ptr<MonitorProcess> program_;
    HWND box_ = nullptr;
};
