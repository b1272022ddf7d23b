// The library's exports: each finds the data module (creating it on first
// use), catches everything, and hands texts back through one buffer.
#include <orvane/dravon.h>

#include "DravonTime.h"
#include "ScCommLine.h"
#include "SockLib.h"
#include "dm1.h"

#include <QCoreApplication>
#include <QThread>

#include <dlfcn.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string>
#include <string_view>

namespace {

using orvane::dravon::TDM;

orvane::SockLibUnit sockLib;

char textBuffer[32768];
TDeviceArray arrayRecord;
TDM* dm = nullptr;
orvane::QtTimerFactory qtTimers;

const char* ReturnText(std::string_view text) {
    const size_t n = std::min(text.size(), sizeof textBuffer - 1);
    std::memcpy(textBuffer, text.data(), n);
    textBuffer[n] = '\0';
    return textBuffer;
}

void DestroyDM() {
    TDM* d = dm;
    dm = nullptr;
    delete d;
}

// The data module cannot be made during static initialisation: its timers
// and sockets need the host's application object, which comes later. It is
// created by the first call that finds one and destroyed with it, or when the
// library is unloaded first.
TDM* DM() {
    if (dm) return dm;
    if (!QCoreApplication::instance()) return nullptr;
    orvane::ITimerFactory* timers = &qtTimers;
    void (*sleep)(int) = [](int ms) { QThread::msleep(static_cast<unsigned long>(ms)); };
    if (auto hook = reinterpret_cast<OrvaneDravonTestTimeFn>(dlsym(RTLD_DEFAULT, "OrvaneDravonTestTime"))) {
        if (orvane::dravon::DravonTime* t = hook()) {
            if (t->timers) timers = t->timers;
            if (t->sleep) sleep = t->sleep;
        }
    }
    dm = new TDM(*timers, sleep, [sleep] { return std::make_unique<orvane::dravon::ScCommLine>(sleep); });
    qAddPostRoutine(DestroyDM);
    return dm;
}

__attribute__((destructor)) void Unload() {
    if (!dm) return;
    QCoreApplication* app = QCoreApplication::instance();
    if (app) qRemovePostRoutine(DestroyDM);
    DestroyDM();
    // The serial ports' threads queue their calls on the application object;
    // cancelled ones still wait in its queue, and their code goes with this
    // library. Deliver them (as no-ops) while it is still mapped.
    if (app && QThread::currentThread() == app->thread())
        QCoreApplication::sendPostedEvents(app, QEvent::MetaCall);
}

// A text argument may be one this library returned, living in the buffer
// that the next answer overwrites: every export copies its texts before it
// does anything else, and writes the buffer only once it has its answer.
std::string Arg(const char* text) { return text ? std::string(text) : std::string(); }

template <class R, class F>
R Call(R fallback, F&& f) {
    try {
        if (TDM* d = DM()) return f(*d);
    } catch (...) {
    }
    return fallback;
}

// A plain decimal number: optional sign, digits with at most one point, at
// least one digit; nothing else.
bool IsPlainDecimal(std::string_view s) {
    size_t i = 0, digits = 0, points = 0;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
    for (; i < s.size(); ++i) {
        if (s[i] >= '0' && s[i] <= '9') ++digits;
        else if (s[i] == '.' && ++points == 1) continue;
        else return false;
    }
    return digits > 0;
}

} // namespace

extern "C" {

const char* Version(void) { return ReturnText("1.3"); }

bool Connect(void) {
    return Call(false, [](TDM& d) { return d.Connect(); });
}

void Disconnect(void) {
    Call(0, [](TDM& d) { d.Disconnect(); return 0; });
}

void ConnectionSetup(uint8_t kind, int32_t comPort, const char* host, int32_t tcpPort) {
    Call(0, [&](TDM& d) {
        d.ConnectionSetup(kind, comPort, Arg(host), tcpPort);
        return 0;
    });
}

int32_t WriteBufferLength(void) {
    return Call(0, [](TDM& d) { return d.WriteBufferLength(); });
}

int32_t ReadBufferLength(void) {
    return Call(0, [](TDM& d) { return d.ReadBufferLength(); });
}

void WriteCommand(const char* command) {
    if (!command) return;
    Call(0, [&](TDM& d) { d.WriteCommand(Arg(command)); return 0; });
}

const char* ReadResponse(void) {
    std::string text;
    Call(0, [&](TDM& d) { d.ReadResponse(text); return 0; });
    return ReturnText(text);
}

bool Connected(void) {
    return Call(false, [](TDM& d) { return d.Connected(); });
}

const char* ReadValue(const char* key) {
    std::string value;
    if (key) Call(0, [&](TDM& d) { d.ReadValue(Arg(key), value); return 0; });
    return ReturnText(value);
}

void ClearValues(void) {
    Call(0, [](TDM& d) { d.ClearValues(); return 0; });
}

void GetArray(TDeviceArray* destination, const char* name) {
    arrayRecord.count = 0;
    if (!destination || !name) return;
    Call(0, [&](TDM& d) {
        const std::string arrayName = Arg(name);
        if (!d.Active()) return 0;
        arrayRecord.count = static_cast<uint16_t>(d.GetArray(arrayName, arrayRecord.values, 1024));
        std::memcpy(destination, &arrayRecord, sizeof arrayRecord);
        return 0;
    });
}

float PCharToFloat(const char* text) {
    if (!text) return -1.0f;
    std::string_view s(text);
    s.remove_prefix(std::min(s.find_first_not_of(' '), s.size()));
    s = s.substr(0, s.find(' '));
    if (!IsPlainDecimal(s)) return -1.0f;
    if (s.front() == '+') s.remove_prefix(1);
    float v = -1.0f;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::fixed);
    return r.ec == std::errc() && r.ptr == s.data() + s.size() ? v : -1.0f;
}

int32_t AddDevice(void) {
    return Call(-1, [](TDM& d) { return d.AddDevice(); });
}

int32_t CheckDevices(void) {
    return Call(-1, [](TDM& d) { return d.CheckDevices(); });
}

bool SetDevice(int32_t index) {
    return Call(false, [&](TDM& d) { return d.SetDevice(index); });
}

int32_t ActiveDevice(void) {
    return Call(0, [](TDM& d) { return d.ActiveDevice(); });
}

int32_t DeviceCount(void) {
    return Call(0, [](TDM& d) { return d.DeviceCount(); });
}

} // extern "C"
