// The monitor's serial port: live line settings, lazy open and set-up, write, purge, and arming
// of the receiver for one receive cycle at a time. All operations run on the window's thread.
#pragma once
#include <windows.h>
#include <cstdint>
#include <memory>
#include "framework/UniqueHandle.h"
#include "serial/CommCfg.h"

class CommReceiver;
class CommSink;
class Dialog;
class StorageNode;

class CommPort {
public:
    static constexpr int32_t kErrorTextSize = 1024;
    static constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;

    CommPort();
    // With a receiver of the caller's (one that drives line conditions a device cannot raise).
    explicit CommPort(std::unique_ptr<CommReceiver> receiver);
    CommPort(const CommPort&) = delete;
    CommPort& operator=(const CommPort&) = delete;
    ~CommPort();

    // Makes sure the device is open and configured from the settings; fails as busy while a
    // receive cycle that did not end still holds the device.
    bool Open();
    // Sets the read interval time-out; below 1 means the settings' time-out.
    bool SetReadTimeout(int32_t ms);
    // Sends the bytes and waits until the device has taken them (bounded by its write time-outs).
    bool Write(const void* bytes, int32_t count);
    // Opens if needed, stops the event mask and clears both directions; false only when it cannot open.
    bool Purge();
    // Ends the receive cycle (its bytes go to its sink) and reads up to capacity bytes that have
    // arrived since into bytes, without waiting for more; the count, 0 when nothing waits.
    int32_t TakeWaiting(char* bytes, int32_t capacity);
    // If open: stops the event mask, clears and closes the device.
    void Close();
    // Asks the running receive cycle to end without waiting: its event wait ends at once, a read
    // that holds bytes runs on to its own end within the bound returned (ms). Comm Off waits
    // for ReceiveIdle within that bound while the window keeps its messages going.
    DWORD FinishReceive();
    // No receive cycle runs.
    bool ReceiveIdle() const;
    // How long a chunk in flight may run on at Comm Off: the read time-out plus the time the
    // read size takes at the line rate and a scheduling allowance, at most 2 s.
    DWORD FinishBoundMs() const;
    // Arms one receive cycle; a failure to open or set the time-out, or a receiver whose thread
    // is gone, reaches the sink as code 4.
    void StartReceive(CommSink* sink, int32_t readSize, int32_t timeoutMs);

    // The settings' one-line description (shared buffer, valid until the next description).
    const char* Describe() const;
    // The last failure, "Communication error:(%s)."; empty until one happens.
    const char* ErrorText() const { return errorText_; }

    CommCfg& Settings() { return settings_; }
    const CommCfg& Settings() const { return settings_; }
    bool IsOpen() const { return open_; }
    // The open device (INVALID_HANDLE_VALUE when closed), for inspection.
    HANDLE Device() const { return device_.get(); }
    // The receiver's thread, for inspection.
    DWORD ReceiverThreadId() const;

    // Runs the line settings dialog on the live settings; OK closes the device. (CommPortEdit.cpp)
    bool EditSettings(Dialog& owner);
    // The live settings as the stream "CommCfgDef" of storage. (CommPortSettings.cpp)
    bool SaveSettings(StorageNode& storage);
    bool LoadSettings(StorageNode& storage);

    // The name handed to the open call: a bare "COMn" goes through the device namespace.
    static void DeviceName(const char* portName, char* out, size_t capacity);

private:
    void SetError(DWORD code);
    // Ends the receiver's running cycle (a chunk in flight within FinishBoundMs) and waits until
    // it has delivered (bounded); false when it did not end in time (a driver that never
    // completes its request), and then the cycle is detached from its sink.
    bool EndCycle();
    // A cycle that did not end still runs on the device: true until it has ended, and then the
    // handle it kept is closed.
    bool CycleStuck();

    bool open_ = false;
    UniqueFileHandle device_;
    // The handle a cycle that did not end was still using at Close: closed only once the cycle is
    // over, so that it is never closed, or its value reused, under a request in flight.
    UniqueFileHandle retired_;
    bool stuck_ = false;
    int32_t characterTimeMs_ = 0;
    CommCfg settings_;
    char errorText_[kErrorTextSize] = {};
    int32_t readTimeoutMs_ = -1;
    std::unique_ptr<CommReceiver> receiver_;
};
