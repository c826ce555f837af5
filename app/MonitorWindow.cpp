#include "app/MonitorWindow.h"

#include <cderr.h>
#include <commdlg.h>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include "app/AboutBox.h"
#include "app/HelpViewer.h"
#include "app/MonitorSink.h"
#include "app/PaneControl.h"
#include "framework/Application.h"
#include "framework/BoundedCopy.h"
#include "framework/ButtonImages.h"
#include "framework/ControlAnchor.h"
#include "framework/EditOptions.h"
#include "framework/Value.h"
#include "framework/WindowIcons.h"
#include "resources/resource.h"
#include "serial/CommPort.h"
#include "serial/CommReceiver.h"
#include "settings/SettingsFile.h"

namespace {

const ButtonImages kPortEdit(IDC_PORT_EDIT, IDI_DOTS, 0, AnchorMoveRight);
const ControlAnchor kPortText(IDC_PORT_TEXT, AnchorGrowWidth);
const ButtonImages kLogSelect(IDC_LOG_SELECT, IDI_DOTS, 0, AnchorMoveRight);
const EditOptions kLogPath(IDC_LOG_PATH, 0, AnchorGrowWidth);
const WindowIcons kWindowIcons(IDD_MONITOR, IDI_APP, IDI_APP, 0);
const ControlAnchor kFrame(IDC_FRAME, AnchorGrowWidth);
const EditOptions kPane(IDC_PANE, 0, AnchorGrowWidth | AnchorGrowHeight);
const EditOptions kSendText(IDC_SEND_TEXT, 0, AnchorGrowWidth);
const ControlAnchor kSend(IDC_SEND, AnchorMoveRight);

const ControlDescriptor* const kDescriptors[] = {
    &kPortEdit, &kPortText, &kLogSelect, &kLogPath, &kWindowIcons,
    &kFrame,    &kPane,     &kSendText,  &kSend,    nullptr,
};

// Taken at Comm Off beyond the device's asked queue: a driver may keep a larger one.
constexpr int64_t kTakeAllowance = 128 << 10;

const char kPathTooLong[] = "The chosen path is too long for the log file (at most 255 characters).";
const char kLogFilter[] = "Log Files (*.TXT)\0*.txt\0All Files (*.*)\0*.*\0";

const int kFormatItems[kDisplayFormatCount] = {ID_FORMAT_NORMAL, ID_FORMAT_HEX, ID_FORMAT_MNEMONIC,
                                               ID_FORMAT_ALL_HEX};

}  // namespace

MonitorWindow::MonitorWindow()
    : Dialog(IDD_MONITOR, kDescriptors, nullptr, false, false), port_(std::make_unique<CommPort>())
{
    SettingsFile::Load(logPath_, displayFormat_, *port_);
    sink_ = std::make_unique<MonitorSink>(*port_, *this);
    setText(IDC_PORT_TEXT, port_->Describe(), -1);
    setText(IDC_LOG_PATH, logPath_, -1);
    setInt(-1, 1, ID_COMM_OFF);
    setInt(-1, 1, ID_LOG_OFF);
    SetDisplayFormat(displayFormat_);
    setText(IDC_SEND_TEXT, sendText_, -1);
}

MonitorWindow::~MonitorWindow()
{
    detach();  // no message reaches the members below while they go
    // The receiver's thread ends with the port; only then may the sink it calls go.
    port_.reset();
    sink_.reset();
}

bool MonitorWindow::commandIssued(int id)
{
    // While Comm Off lets its chunk end (2 s at most), no dialog's loop may hold that wait open.
    const bool modal = id == IDC_PORT_EDIT || id == ID_COMM_EDIT || id == IDC_LOG_SELECT ||
                       id == ID_LOG_SELECT_FILE || id == ID_HELP_ABOUT;
    if (commEnding_ && modal) return false;
    switch (id) {
    case ID_FILE_EXIT: Exit(); break;
    case ID_HELP_ABOUT: ShowAbout(); break;
    case IDC_PORT_EDIT:
    case ID_COMM_EDIT: EditLineSettings(); break;
    case IDC_LOG_SELECT:
    case ID_LOG_SELECT_FILE: SelectLogFile(); break;
    case IDC_SEND: Send(); break;
    case ID_DISPLAY_CLEAR: ClearPane(); break;
    case ID_FORMAT_NORMAL: SetDisplayFormat(0); break;
    case ID_FORMAT_HEX: SetDisplayFormat(1); break;
    case ID_FORMAT_MNEMONIC: SetDisplayFormat(2); break;
    case ID_FORMAT_ALL_HEX: SetDisplayFormat(3); break;
    case ID_LOG_ON:
        if (!logOn_) LogOn();
        break;
    case ID_LOG_OFF:
        if (logOn_) LogOff();
        break;
    case ID_COMM_ON:
        if (!commOn_) CommOn();
        break;
    case ID_COMM_OFF:
        if (commOn_) CommOff();
        break;
    case ID_HELP_CONTENTS: ShowHelp(); break;
    default: break;
    }
    return false;
}

bool MonitorWindow::valueChanged(int id, const Value& value, int)
{
    if (id == IDC_LOG_PATH) boundedCopy(logPath_, value.text());
    if (id == IDC_SEND_TEXT) boundedCopy(sendText_, value.text());
    return true;
}

bool MonitorWindow::selectionChanged(int id, int, int code)
{
    if (id == IDC_LOG_CHECK) {
        if (code) LogOn();
        else LogOff();
    } else if (id == IDC_COMM_CHECK) {
        if (code) CommOn();
        else CommOff();
    }
    return true;
}

void MonitorWindow::timerTick()
{
    UpdateIndicator();
    if (paneStale_) ShowPane();
    // Lines reach the disk within one tick, so a crash loses at most the last 50 ms.
    if (logOn_ && !logFile_.FlushIfWritten()) EndLogAfterFailure();
    // Lamp settled, pane shown, log flushed: ticks would do nothing until the next entry, and
    // under Wine each costs a wake-up. The next entry starts the timer again.
    if (pendingChunks_ == 0 && !paneStale_) {
        runTimer(false);
        timerOn_ = false;
    }
}

bool MonitorWindow::closing()
{
    HelpViewer::Program().CloseWindows();
    return true;
}

void MonitorWindow::userMessage(WPARAM, LPARAM lparam)
{
    // Only the sink's own block, and only while a notice is posted, is a notice.
    if (!sink_ || lparam != reinterpret_cast<LPARAM>(sink_->Notice()) || !sink_->InFlight()) return;
    OnNotice(*sink_->Notice());
}

void MonitorWindow::CommOn()
{
    // A Comm Off still waiting for its chunk finishes first.
    if (commEnding_) return;
    commOn_ = true;
    ShowMessage("[%s] On", port_->Describe());
    enable(IDC_PORT_EDIT, false, -1);
    port_->Purge();
    // A notice still queued from before is handled first; its handler arms the receiver.
    if (!sink_->InFlight()) port_->StartReceive(sink_.get(), 0, 0);
    setInt(IDC_COMM_CHECK, 1, -1);
    setInt(-1, 1, ID_COMM_ON);
    setInt(-1, 0, ID_COMM_OFF);
    enable(-1, false, ID_COMM_EDIT);
}

void MonitorWindow::CommOff()
{
    if (commEnding_) return;
    commOn_ = false;
    commEnding_ = true;
    AwaitChunkInFlight();
    commEnding_ = false;
    // What arrived while on is shown, not purged: the cycle's last read, then what waits in the
    // device (it piles up while this thread is slow to re-arm).
    char waiting[CommReceiver::kBufferSize];
    int32_t n = port_->TakeWaiting(waiting, CommReceiver::kDefaultReadSize);
    // A posted notice is taken now, whatever it holds: handled later it would switch Comm off twice.
    bool failed = sink_->InFlight() && sink_->Notice()->code == CommSink::kCodeFailure;
    if (failed) {
        ShowText(sink_->Notice()->text);
        sink_->Taken();
    } else if (sink_->InFlight()) {
        OnNotice(*sink_->Notice());
    }
    // Until the device is empty, within what a full device holds: a line that delivers faster
    // than this takes cannot keep Comm on.
    int64_t budget = int64_t(port_->Settings().InputQueueBytes()) + kTakeAllowance;
    for (; n > 0; n = budget > 0 ? port_->TakeWaiting(waiting, CommReceiver::kDefaultReadSize) : 0) {
        AddEntry(n, waiting, false);
        budget -= n;
    }
    port_->Purge();
    ShowMessage("Comm port off.");
    enable(IDC_PORT_EDIT, true, -1);
    setInt(IDC_COMM_CHECK, 0, -1);
    setInt(-1, 0, ID_COMM_ON);
    setInt(-1, 1, ID_COMM_OFF);
    enable(-1, true, ID_COMM_EDIT);
    // A failed device (one unplugged, a line gone) answers no more: the next Comm On opens it anew.
    if (failed) port_->Close();
}

void MonitorWindow::AwaitChunkInFlight()
{
    // The chunk being read ends by its own time-out, so that its bytes reach the buffer (a
    // cancelled read's never do on Windows), within the port's bound.
    const DWORD bound = port_->FinishReceive();
    const DWORD start = GetTickCount();
    // Everything but the receiver's notice is handled meanwhile; CommOff takes that notice itself.
    const UINT notice = WM_USER + 1;
    bool quit = false;
    while (!quit && !port_->ReceiveIdle() && GetTickCount() - start < bound + kEndSlackMs) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG m;
        while (!quit && (PeekMessageA(&m, nullptr, 0, notice - 1, PM_REMOVE) ||
                         PeekMessageA(&m, nullptr, notice + 1, 0xFFFFFFFF, PM_REMOVE))) {
            if (m.message == WM_QUIT) {
                // Handed on to the message loop, which ends with it.
                PostQuitMessage(static_cast<int>(m.wParam));
                quit = true;
            } else if (!Application::get().offerToDialogs(&m)) {
                TranslateMessage(&m);
                DispatchMessageA(&m);
            }
        }
    }
}

void MonitorWindow::OnNotice(const CommNotice& notice)
{
    const int64_t start = ChunkProfile::Now();
    if (notice.code == CommSink::kCodeData) {
        profile_.Add(ChunkProfile::Notice, start - sink_->PostedAt());
        ++pendingChunks_;
        // Dark for an instant on every chunk; the next tick lights it again. A lamp that is dark
        // already (chunks faster than the ticks) needs no new icon.
        if (indicatorIcon_ != IDI_LAMP_OFF) {
            indicatorIcon_ = IDI_LAMP_OFF;
            setInt(IDC_INDICATOR, IDI_LAMP_OFF, -1);
        }
        profile_.Lap(ChunkProfile::Lamp, start);
        AddEntry(notice.length, notice.text, false);
    } else if (notice.code == CommSink::kCodeMessage) {
        // Bytes cut or lost: told, and monitoring goes on.
        ShowText(notice.text);
    } else if (commOn_) {
        // CommOff shows the failure, switches off and closes the device.
        CommOff();
        return;
    }
    // A failure that reaches a window already off belongs to a session that is over.
    sink_->Taken();
    if (commOn_) {
        const int64_t at = ChunkProfile::Now();
        port_->StartReceive(sink_.get(), 0, 0);
        profile_.Lap(ChunkProfile::Rearm, at);
    }
    profile_.Lap(ChunkProfile::Whole, start);
}

void MonitorWindow::UpdateIndicator()
{
    int32_t wanted = IDI_LAMP_OFF;
    if (commOn_) {
        if (pendingChunks_ > 0) --pendingChunks_;
        wanted = pendingChunks_ > 0 ? IDI_LAMP_ACTIVE : IDI_LAMP_ON;
    }
    if (wanted != indicatorIcon_) {
        indicatorIcon_ = wanted;
        setInt(IDC_INDICATOR, wanted, -1);
    }
}

void MonitorWindow::SetLogControls(bool on)
{
    enable(IDC_LOG_PATH, !on, -1);
    enable(IDC_LOG_SELECT, !on, -1);
    setInt(-1, on ? 1 : 0, ID_LOG_ON);
    setInt(-1, on ? 0 : 1, ID_LOG_OFF);
    enable(-1, !on, ID_LOG_SELECT_FILE);
    setInt(IDC_LOG_CHECK, on ? 1 : 0, -1);
}

void MonitorWindow::LogOn()
{
    if (LogFile::IsBlankPath(logPath_)) {
        showMessage("Can't open log, file name is blank.", "");
        setInt(IDC_LOG_CHECK, 0, -1);
        return;
    }
    if (!logFile_.Open(logPath_)) {
        char text[1024];
        std::snprintf(text, sizeof text, "Error attempting to open log file:\n  (%s)", logPath_);
        showMessage(text, "");
        setInt(IDC_LOG_CHECK, 0, -1);
        return;
    }
    logOn_ = true;
    SetLogControls(true);
    ShowMessage("Loggin to (%s)", logPath_);
}

void MonitorWindow::LogOff()
{
    ShowMessage("Logging stopped.");
    if (!logOn_) {
        SetLogControls(false);
        return;
    }
    logOn_ = false;
    bool closed = logFile_.Close();
    SetLogControls(false);
    if (!closed) ShowMessage("Error writing log file (%s); logging stopped.", logPath_);
}

void MonitorWindow::EndLogAfterFailure()
{
    logOn_ = false;
    logFile_.Close();
    SetLogControls(false);
    ShowMessage("Error writing log file (%s); logging stopped.", logPath_);
}

void MonitorWindow::SelectLogFile()
{
    if (LogFile::IsBlankPath(logPath_)) LogFile::DefaultPath(logPath_);
    // A buffer of its own: for a name that does not fit, the dialog writes the size it needs
    // into the buffer's first bytes, which must never become the log path.
    char chosen[LogFile::kPathSize];
    boundedCopy(chosen, logPath_);
    if (!chooseFile(chosen, kLogFilter, "", false)) {
        if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL) showMessage(kPathTooLong, "");
        return;
    }
    LogFile::WithDefaultExtension(chosen);
    boundedCopy(logPath_, chosen);
    setText(IDC_LOG_PATH, logPath_, -1);
}

void MonitorWindow::AddEntry(int32_t count, const void* bytes, bool isMessage)
{
    // Every change of the lamp, the pane or the log comes with an entry: ticks are due again.
    if (!timerOn_) {
        runTimer(true);
        timerOn_ = true;
    }
    int64_t at = ChunkProfile::Now();
    const char* line = pane_.AddEntry(count, bytes, isMessage);
    at = profile_.Lap(ChunkProfile::Entry, at);
    bool logFailed = logOn_ && !logFile_.WriteLine(line);
    at = profile_.Lap(ChunkProfile::Log, at);
    // Each update of the pane control costs milliseconds under Wine: data lines that follow each
    // other within a tick reach the control together at the tick. Messages show at once.
    if (isMessage || at - paneShownAt_ >= kPaneIntervalMs * ChunkProfile::Frequency() / 1000)
        ShowPane();
    else
        paneStale_ = true;
    if (logFailed) EndLogAfterFailure();
}

void MonitorWindow::ShowPane()
{
    const int64_t at = ChunkProfile::Now();
    HWND control = GetDlgItem(hwnd(), IDC_PANE);
    if (!PaneControl::Update(control, pane_)) {
        setText(IDC_PANE, pane_.Text(), -1);
        if (control) SendMessageA(control, EM_SETMODIFY, FALSE, 0);
    }
    pane_.MarkShown();
    paneStale_ = false;
    paneShownAt_ = profile_.Lap(ChunkProfile::Pane, at);
}

void MonitorWindow::ShowMessage(const char* format, ...)
{
    char text[CapturePane::kMessageSize];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (n < 0) text[0] = '\0';
    ShowText(text);
}

void MonitorWindow::ShowText(const char* text)
{
    const char* t = text ? text : "";
    AddEntry(static_cast<int32_t>(std::strlen(t)), t, true);
}

void MonitorWindow::SetDisplayFormat(int32_t format)
{
    displayFormat_ = static_cast<int32_t>(ToDisplayFormat(format));
    for (int32_t f = 0; f < kDisplayFormatCount; ++f) setInt(-1, f == displayFormat_ ? 1 : 0, kFormatItems[f]);
    pane_.SetDisplayFormat(displayFormat_);
    ShowPane();
}

void MonitorWindow::ClearPane()
{
    pane_.ClearPane();
    ShowPane();
}

void MonitorWindow::ShowAbout()
{
    AboutBox::Show(*this);
}

void MonitorWindow::ShowHelp()
{
    // No owner and the result ignored: without an engine help does nothing.
    HelpViewer::Program().ShowContents();
}

void MonitorWindow::EditLineSettings()
{
    port_->EditSettings(*this);
    setText(IDC_PORT_TEXT, port_->Describe(), -1);
}

void MonitorWindow::Send()
{
    if (!port_->Write(sendText_, static_cast<int32_t>(std::strlen(sendText_)))) ShowText(port_->ErrorText());
}

void MonitorWindow::Exit()
{
    HRESULT status = S_OK;
    if (!SettingsFile::Save(logPath_, displayFormat_, *port_, &status)) {
        char path[256];
        SettingsFile::DefaultPath(path);
        char why[256];
        SettingsFile::FailureText(status, why);
        char text[1024];
        std::snprintf(text, sizeof text, "The settings were not saved:\n  (%s)\n%s", path, why);
        showMessage(text, "");
    }
    close();
}
