#include "DriveSession.h"

#include <cstdio>
#include <cstdlib>
#include "LatencyProbe.h"
#include "MenuProbe.h"
#include "MenuProbeProtocol.h"
#include "MonitorProcess.h"
#include "ProcessProbe.h"

DriveSession::DriveSession() = default;

DriveSession::~DriveSession() = default;

std::vector<std::string> DriveSession::Split(const std::string& line)
{
    std::vector<std::string> fields;
    size_t at = 0;
    for (;;) {
        size_t tab = line.find('\t', at);
        fields.push_back(line.substr(at, tab == std::string::npos ? std::string::npos : tab - at));
        if (tab == std::string::npos) break;
        at = tab + 1;
    }
    return fields;
}

std::string DriveSession::Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

bool DriveSession::Started() const
{
    return program_ && program_->window();
}

std::string DriveSession::Execute(const std::string& line, bool& quit)
{
    std::string trimmed = line;
    while (!trimmed.empty() && (trimmed.back() == '\n' || trimmed.back() == '\r')) trimmed.pop_back();
    std::vector<std::string> args = Split(trimmed);
    if (args[0] == "quit") {
        quit = true;
        return "ok";
    }
    return Run(args);
}

std::string DriveSession::Run(const std::vector<std::string>& a)
{
    const std::string& cmd = a[0];
    auto need = [&](size_t n) { return a.size() >= n + 1; };
    auto num = [&](size_t i) { return std::atoi(a[i].c_str()); };

    if (cmd == "settings" && need(5)) {
        return MonitorProcess::writeSettings(a[1], a[2].c_str(), num(3), a[4].c_str(), num(5)) ? "ok" : "err save";
    }
    if (cmd == "start" && need(1)) {
        program_.reset();
        box_ = nullptr;
        program_ = std::make_unique<MonitorProcess>(a[1]);
        // Another build of the program (an earlier commit, to compare) in place of this one's.
        if (need(2) && !CopyFileA(a[2].c_str(), program_->programPath().c_str(), FALSE)) return "err copy " + a[2];
        if (!program_->start()) return "err no window: " + program_->failure();
        return "ok " + std::to_string(ProcessProbe::ProcessOfWindow(program_->window()));
    }
    if (cmd == "running") return std::string("ok ") + (program_ && program_->running() ? "1" : "0");
    if (cmd == "wait" && need(1)) {
        DWORD code = 0;
        if (!program_ || !program_->waitExit(DWORD(num(1)), &code)) return "err running";
        return "ok " + std::to_string(code);
    }
    if (cmd == "kill") {
        if (program_) program_->kill();
        return "ok";
    }
    if (!Started()) return "err no program";

    if (cmd == "command" && need(1)) {
        program_->command(num(1));
        return "ok";
    }
    if (cmd == "post" && need(1)) {
        program_->postCommand(num(1));
        return "ok";
    }
    if (cmd == "click" && need(1)) {
        program_->click(num(1));
        return "ok";
    }
    if (cmd == "postclick" && need(1)) {
        program_->postClick(num(1));
        return "ok";
    }
    if (cmd == "type" && need(2)) {
        program_->type(num(1), a[2]);
        return "ok";
    }
    if (cmd == "leave") {
        program_->leave();
        return "ok";
    }
    if (cmd == "text" && need(1)) return "ok " + Hex(program_->text(num(1)));
    if (cmd == "checked" && need(1)) return std::string("ok ") + (program_->checked(num(1)) ? "1" : "0");
    if (cmd == "menu" && need(1)) return "ok " + std::to_string(program_->menuState(num(1)));
    if (cmd == "box" && need(1)) {
        box_ = program_->waitMessageBox(DWORD(num(1)));
        if (!box_) return "err none";
        return "ok " + Hex(MonitorProcess::boxText(box_));
    }
    if (cmd == "boxok") {
        if (!box_) return "err none";
        MonitorProcess::pressOk(box_);
        box_ = nullptr;
        return "ok";
    }
    if (cmd == "handles") {
        ProcessProbe probe(ProcessProbe::ProcessOfWindow(program_->window()));
        int n = probe.HandleCount();
        return n < 0 ? "err unanswered" : "ok " + std::to_string(n);
    }
    if (cmd == "memory") {
        ProcessProbe probe(ProcessProbe::ProcessOfWindow(program_->window()));
        uint64_t workingSet = 0, privateBytes = 0;
        if (!probe.Memory(workingSet, privateBytes)) return "err unanswered";
        return "ok " + std::to_string(workingSet) + " " + std::to_string(privateBytes);
    }
    if (cmd == "heap") {
        // The program's own heap, then the system libraries' heaps, through the probe inside it.
        int64_t own = MenuProbe::heapBytes(program_->window(), menuprobe::kHeapRuntime);
        int64_t others = MenuProbe::heapBytes(program_->window(), menuprobe::kHeapOthers);
        if (own < 0 || others < 0) return "err unanswered";
        return "ok " + std::to_string(own) + " " + std::to_string(others);
    }
    if (cmd == "gui") {
        ProcessProbe probe(ProcessProbe::ProcessOfWindow(program_->window()));
        int gdi = 0, user = 0;
        if (!probe.GuiObjects(gdi, user)) return "err unanswered";
        return "ok " + std::to_string(gdi) + " " + std::to_string(user);
    }
    if (cmd == "latency" && need(3)) {
        LatencyProbe probe(*program_, a[1].c_str());
        if (!probe.ready()) return "err far port";
        std::string out = "ok";
        char figure[32];
        for (double ms : probe.Run(num(2), DWORD(num(3)), 5000)) {
            std::snprintf(figure, sizeof figure, " %.3f", ms);
            out += figure;
        }
        return out;
    }
    return "err unknown command " + cmd;
}
