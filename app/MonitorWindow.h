// The program's main window (dialog 101 with menu 106): the serial port and its receiver, the
// capture pane, the disk log and the send line, switched by the Comm and Log menus and boxes.
#pragma once
#include <cstdint>
#include <memory>
#include "app/CapturePane.h"
#include "app/ChunkProfile.h"
#include "app/LogFile.h"
#include "framework/Dialog.h"

class CommPort;
class MonitorSink;
struct CommNotice;

class MonitorWindow : public Dialog {
public:
    static constexpr int kSendTextSize = 1024;

    MonitorWindow();
    ~MonitorWindow() override;

    bool commandIssued(int id) override;
    bool valueChanged(int id, const Value& value, int item) override;
    bool selectionChanged(int id, int position, int code) override;
    void timerTick() override;
    // The help windows close with the window, while its thread still runs a message loop.
    bool closing() override;
    void userMessage(WPARAM wparam, LPARAM lparam) override;

    // Comm switch.
    void CommOn();
    void CommOff();
    // A notice of the receiver, on the window's thread.
    void OnNotice(const CommNotice& notice);
    void UpdateIndicator();

    // Log switch and file choice.
    void LogOn();
    void LogOff();
    void SelectLogFile();

    // The capture pane.
    void AddEntry(int32_t count, const void* bytes, bool isMessage);
    // A message formatted printf-style into 1024 characters.
    void ShowMessage(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // A text from elsewhere, shown as it is.
    void ShowText(const char* text);
    void SetDisplayFormat(int32_t format);
    void ClearPane();

    // Help > About and Help > Contents.
    void ShowAbout();
    void ShowHelp();
    // Comm > "Edit  ..." and its button: the line settings dialog.
    void EditLineSettings();

    // The send line to the device as it stands; its failure text goes to the pane.
    void Send();
    // File > Exit: saves the settings file (a failed save is told in a message box), then closes.
    void Exit();

    const CapturePane& Pane() const { return pane_; }
    // Time per step of the received chunks so far (the benchmarks read and reset it).
    ChunkProfile& Profile() { return profile_; }
    bool IsCommOn() const { return commOn_; }
    bool IsLogOn() const { return logOn_; }
    int32_t IndicatorIcon() const { return indicatorIcon_; }
    const char* LogPath() const { return logPath_; }

private:
    void SetLogControls(bool on);
    // The pane control gets the pane text now.
    void ShowPane();
    // Comm Off: lets the receive cycle end, its chunk in flight within the port's bound, while
    // the window goes on handling its messages.
    void AwaitChunkInFlight();
    // A log write or flush failed: tell it once in the pane and end logging without it.
    void EndLogAfterFailure();

    std::unique_ptr<CommPort> port_;
    std::unique_ptr<MonitorSink> sink_;
    bool commOn_ = false;
    bool commEnding_ = false;                       // Comm Off waits for the chunk in flight
    static constexpr DWORD kEndSlackMs = 250;       // beyond the port's bound
    CapturePane pane_;  // the pane text with the history it is rendered from
    int32_t indicatorIcon_ = 0;
    int32_t pendingChunks_ = 0;
    char logPath_[LogFile::kPathSize] = {};
    bool logOn_ = false;
    LogFile logFile_;
    int32_t displayFormat_ = 0;
    char sendText_[kSendTextSize] = {};
    static constexpr int64_t kPaneIntervalMs = 50;  // one timer tick
    bool timerOn_ = true;                           // the 50 ms timer runs
    bool paneStale_ = false;                        // the control lags the pane text until the tick
    int64_t paneShownAt_ = 0;                       // performance counter at the last ShowPane
    ChunkProfile profile_;
};
