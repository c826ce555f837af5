#include "MonitorProcess.h"

#include <vector>
#include "framework/BoundedCopy.h"
#include "serial/CommCfg.h"
#include "serial/CommPort.h"
#include "settings/SettingsFile.h"
#include "support/Bench.h"

namespace {

struct Search {
    DWORD processId;
    HWND exclude;
    HWND found;
};

BOOL CALLBACK findTopLevel(HWND hwnd, LPARAM lparam)
{
    auto* s = reinterpret_cast<Search*>(lparam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != s->processId || hwnd == s->exclude || !IsWindowVisible(hwnd)) return TRUE;
    char cls[64] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") != 0) return TRUE;
    s->found = hwnd;
    return FALSE;
}

std::string windowText(HWND hwnd)
{
    std::vector<char> buf(8192);
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()), SMTO_ABORTIFHUNG,
                             5000, &got))
        return std::string();
    return std::string(buf.data(), got < buf.size() ? got : buf.size() - 1);
}

}  // namespace

std::string MonitorProcess::builtProgram()
{
    return bench::windowsPath(TAV_PROGRAM_UNIX_PATH);
}

std::string MonitorProcess::describePort(const char* portName, int rxTimeoutMs)
{
    CommCfg cfg;
    boundedCopy(cfg.portName, portName);
    cfg.rxTimeoutMs = rxTimeoutMs;
    return cfg.Describe();
}

bool MonitorProcess::writeSettings(const std::string& folder, const char* portName, int rxTimeoutMs,
                                   const char* logPath, int displayFormat)
{
    CommPort port;
    boundedCopy(port.Settings().portName, portName);
    port.Settings().rxTimeoutMs = rxTimeoutMs;
    char path[256] = {};
    boundedCopy(path, logPath);
    return SettingsFile::Save((folder + "\\Tavrenix.def").c_str(), path, displayFormat, port);
}

MonitorProcess::MonitorProcess(const std::string& folder) : folder_(folder)
{
    program_ = folder_ + "\\Tavrenix.exe";
    CopyFileA(builtProgram().c_str(), program_.c_str(), FALSE);
}

MonitorProcess::~MonitorProcess()
{
    kill();
}

bool MonitorProcess::start()
{
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string commandLine = "\"" + program_ + "\"";
    BOOL ok = CreateProcessA(program_.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(),
                             &si, &pi);
    if (!ok) {
        failure_ = "CreateProcess failed with " + std::to_string(GetLastError());
        return false;
    }
    CloseHandle(pi.hThread);
    process_.reset(pi.hProcess);
    processId_ = pi.dwProcessId;
    bench::pumpUntil([&] { return (window_ = findWindow()) != nullptr || !running(); }, 15000);
    if (!window_) {
        DWORD code = 0;
        GetExitCodeProcess(process_.get(), &code);
        failure_ = running() ? "no window in 15 s" : "ended with exit code " + std::to_string(code);
        return false;
    }
    // The window is shown while it is being built; the build is done when its loop waits for input.
    WaitForInputIdle(process_.get(), 5000);
    if (!probe_.attach(GetWindowThreadProcessId(window_, nullptr))) {
        failure_ = probe_.failure();
        return false;
    }
    if (bench::pumpUntil([&] { return menuState(40001) != -1; }, 5000)) return true;
    failure_ = "the window did not answer";
    return false;
}

HWND MonitorProcess::findWindow() const
{
    Search s{processId_, nullptr, nullptr};
    EnumWindows(findTopLevel, reinterpret_cast<LPARAM>(&s));
    if (!s.found) return nullptr;
    char title[128] = "";
    GetWindowTextA(s.found, title, sizeof title);
    return lstrcmpA(title, "Olventa Software Tavrenix V1.2") == 0 ? s.found : nullptr;
}

bool MonitorProcess::running() const
{
    return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

bool MonitorProcess::waitExit(DWORD timeoutMs, DWORD* exitCode)
{
    if (!process_) return true;
    bool ended = bench::pumpUntil([&] { return !running(); }, timeoutMs);
    if (ended && exitCode) GetExitCodeProcess(process_.get(), exitCode);
    return ended;
}

void MonitorProcess::kill()
{
    if (!running()) return;
    TerminateProcess(process_.get(), 99);
    WaitForSingleObject(process_.get(), 5000);
}

std::string MonitorProcess::text(int id) const
{
    HWND c = control(id);
    return c ? windowText(c) : std::string();
}

bool MonitorProcess::checked(int id) const
{
    DWORD_PTR state = 0;
    SendMessageTimeoutA(control(id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
    return state == BST_CHECKED;
}

bool MonitorProcess::enabled(int id) const
{
    return IsWindowEnabled(control(id)) != FALSE;
}

void MonitorProcess::command(int id) const
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window_, WM_COMMAND, MAKEWPARAM(id, 0), 0, SMTO_ABORTIFHUNG, 10000, &result);
}

void MonitorProcess::postCommand(int id) const
{
    PostMessageA(window_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void MonitorProcess::click(int id) const
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(control(id), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 10000, &result);
}

void MonitorProcess::postClick(int id) const
{
    PostMessageA(control(id), BM_CLICK, 0, 0);
}

void MonitorProcess::focus(int id) const
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(control(id), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2), SMTO_ABORTIFHUNG, 5000, &result);
    SendMessageTimeoutA(control(id), WM_LBUTTONUP, 0, MAKELPARAM(2, 2), SMTO_ABORTIFHUNG, 5000, &result);
}

void MonitorProcess::type(int id, const std::string& text) const
{
    focus(id);
    DWORD_PTR result = 0;
    SendMessageTimeoutA(control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000,
                        &result);
}

int MonitorProcess::menuState(int commandId) const
{
    return MenuProbe::state(window_, commandId);
}

bool MonitorProcess::menuChecked(int commandId) const
{
    int s = menuState(commandId);
    return s != -1 && (s & MF_CHECKED);
}

bool MonitorProcess::menuGrayed(int commandId) const
{
    int s = menuState(commandId);
    return s != -1 && (s & (MF_GRAYED | MF_DISABLED));
}

HWND MonitorProcess::waitMessageBox(DWORD timeoutMs) const
{
    HWND box = nullptr;
    bench::pumpUntil(
        [&] {
            Search s{processId_, window_, nullptr};
            EnumWindows(findTopLevel, reinterpret_cast<LPARAM>(&s));
            box = s.found;
            return box != nullptr;
        },
        timeoutMs);
    return box;
}

std::string MonitorProcess::boxText(HWND box)
{
    // The message is the one static control with text (the other shows the icon).
    std::string found;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[32] = "";
        GetClassNameA(c, cls, sizeof cls);
        if (lstrcmpiA(cls, "Static") != 0) continue;
        std::string t = windowText(c);
        if (!t.empty()) found = t;
    }
    return found;
}

std::string MonitorProcess::caption(HWND box)
{
    return windowText(box);
}

void MonitorProcess::pressOk(HWND box)
{
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

COLORREF MonitorProcess::lampPixel() const
{
    RECT r{};
    GetWindowRect(control(1009), &r);
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ReleaseDC(nullptr, screen);
    return c;
}

std::string MonitorProcess::waitPane(const std::string& needle, DWORD timeoutMs) const
{
    std::string pane;
    bench::pumpUntil(
        [&] {
            pane = paneText();
            return pane.find(needle) != std::string::npos;
        },
        timeoutMs);
    return pane;
}
