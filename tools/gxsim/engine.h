#pragma once

// The simulated generator set behind one controller: the engine and alternator
// (speed, volts, amps, oil pressure, temperature, battery, hours run) and the
// controller's start/stop sequence, protections and modes. Time is passed in
// explicitly in milliseconds, so a whole start can run in microseconds.

#include "profileimage.h"

#include <cstdint>
#include <optional>

namespace gxsim {

enum class Mode { Auto, Man, Off };

// Where the sequence is. The status "state" byte is derived from it.
enum class Phase {
    Standby,      // 0
    StartDelay,   // 0, start delay counting (timer 0)
    Preheat,      // 1 (timer 1)
    Crank,        // 2 (timer 2)
    CrankRest,    // 0 with the start flag (timer 3)
    Running,      // 3, off load (warm-up timer 5, override timer 4)
    Transfer,     // 3, contactor delay before taking the load (timer 13)
    OnLoad,       // 4
    Restoration,  // 4, restoration period (timer 6)
    Cooling,      // 3, cooling period (timer 7)
    Stopping,     // 0, stop output on while the engine runs down and is held (timer 8)
    Shutdown      // 5
};

// Commands a controller takes from the panel, the PC or the network.
enum class Command {
    GenStart, GenStop, Reload, RemoteTest, FaultReset, OutputA, OutputB,
    ManMode, AutoMode, ManStart, ManStop, OffMode
};

// Fault codes the engine raises itself.
namespace fault {
constexpr int FailedToStart = 14, OverSpeed = 15, EmergencyStop = 16, LowOilShutdown = 17,
              HighTempShutdown = 18, UnderSpeed = 13, GenOverVolts = 12, ChargeFail = 23,
              GenUnderVolts = 28, HighCurrentWarning = 35, OverCurrent = 56, IdmtTimeout = 68,
              HighTempWarning = 184, LowOilWarning = 189, BatteryHigh = 198, BatteryLow = 199,
              Input3 = 240, NetworkNode = 48;
// Codes that only warn unless raised explicitly as a shutdown.
bool isWarning(int code);
} // namespace fault

class Engine {
public:
    explicit Engine(const ProfileImage& profile);

    // Moves the simulation forward to `nowMs`, milliseconds on a monotonic clock
    // that starts at 0 when the engine is made. Earlier times are ignored.
    void advanceTo(std::int64_t nowMs);
    std::int64_t now() const { return now_; }

    void command(Command c);

    // Plant and panel inputs.
    void setRemoteStart(bool on) { remoteStart_ = on; }
    void setMainsPresent(bool on) { mainsPresent_ = on; }
    void setInput(int input /*3..5*/, bool active) { inputs_[input - 3] = active; }
    void setBatteryTenths(int tenths) { batteryBase_ = tenths; }
    void setOilOverride(std::optional<int> psi) { oilOverride_ = psi; }
    void setTempOverride(std::optional<int> c) { tempOverride_ = c; }
    void setSpeedOverride(std::optional<int> rpm) { speedOverride_ = rpm; }
    void setLoadAmps(int amps) { loadAmps_ = amps; }
    void setWillNotFire(bool on) { willNotFire_ = on; }
    void setChargerFailed(bool on) { chargerFailed_ = on; }
    void setHoursHundredths(std::uint64_t h) { hoursBase_ = h; runMs_ = 0; }
    // Raises a fault as if a protection had tripped.
    void raiseFault(int code, bool shutdown);

    // Observed state.
    Phase phase() const { return phase_; }
    int stateByte() const;
    Mode mode() const { return mode_; }
    int faultCode() const { return faultCode_; }
    bool faultIsShutdown() const { return faultShutdown_; }
    int latestFault() const { return latestFault_; }
    std::uint64_t latestFaultSerial() const { return latestFaultSerial_; }
    int startNumber() const { return startNum_; }
    int rpm() const;
    int frequency() const;
    int genVolts(int phase /*1..3*/) const;
    int genAmps(int phase /*1..3*/) const;
    int oilPsi() const;
    int tempC() const;
    int batteryTenths() const;
    unsigned idmtCount() const { return unsigned(idmt_); }
    std::uint64_t hoursHundredths() const { return hoursBase_ + std::uint64_t(runMs_ / 36000); }
    bool remoteStart() const { return remoteStart_; }
    bool mainsPresent() const { return mainsPresent_; }
    bool inputActive(int input) const { return inputs_[input - 3]; }
    bool outputA() const { return outputA_; }
    bool outputB() const { return outputB_; }
    bool testRun() const { return testRunMs_ > 0; }
    bool chargeStartRun() const { return chargeStartMs_ > 0; }
    bool chargerFailed() const { return chargerFailed_; }
    bool engineStopped() const { return rpm_ <= 0.0; }
    bool stopOutput() const { return stopOutput_; }
    bool energiseToStop() const { return stopOutput_ && profile_.timer(TEnergiseToStop) > 0; }
    bool startFlag() const { return startFlag_; }
    bool startDelayOver() const { return startDelayOver_; }
    bool overrideOver() const { return !overrideRunning(); }
    bool warmupOver() const { return warmupMs_ <= 0; }
    bool restorationOver() const { return phase_ != Phase::Restoration; }
    bool contactorClosedOrIdle() const { return phase_ != Phase::Transfer; }
    bool loadCycle() const { return loadCycle_; }
    bool loadAccepted() const;
    bool crankRestOrCooling() const { return phase_ == Phase::CrankRest || phase_ == Phase::Cooling; }
    bool atsSupport() const;
    bool cranking() const { return phase_ == Phase::Crank; }
    bool fuelOn() const { return fuel_; }
    bool preheating() const { return phase_ == Phase::Preheat; }
    // Programmable output n (1..4) as its configured function drives it.
    bool programmableOutput(int n) const;

    bool running() const;
    bool overrideRunning() const;

    // Remaining tenths of a second of status timer t (0..8, 13); 0 when idle.
    unsigned timerTenths(int t) const;

private:
    void step(int dtMs);
    void physics(int dtMs);
    void sequence(int dtMs);
    void protections(int dtMs);
    bool loadDemand() const;
    bool runDemand() const;
    void beginStart();
    void beginStop();
    void goOnLoad();
    void shutdown(int code);
    void setFault(int code, bool shutdown);
    int ratedRpm() const { return 1500; }
    double nominalVolts() const;

    const ProfileImage& profile_;
    std::int64_t now_ = 0;

    Mode mode_ = Mode::Auto;
    Phase phase_ = Phase::Standby;
    int phaseMs_ = 0;        // countdown of the current timed phase
    int overrideMs_ = 0;     // timer 4
    int warmupMs_ = 0;       // timer 5
    int stopHoldMs_ = -1;    // timer 8; -1 while the engine still runs down
    bool stopOutput_ = false;
    bool startFlag_ = false;
    bool startDelayOver_ = false;
    bool loadCycle_ = false;
    int startNum_ = 0;
    bool manLoad_ = false; // MAN mode: put on load by the Re-load command

    int faultCode_ = 0;
    bool faultShutdown_ = false;
    int latestFault_ = 0;
    std::uint64_t latestFaultSerial_ = 0;

    // Inputs.
    bool remoteStart_ = false;
    bool mainsPresent_ = true;
    int mainsFailMs_ = 0;
    bool inputs_[3] = {false, false, false};
    bool pcStart_ = false;
    int testRunMs_ = 0;
    int chargeStartMs_ = 0;
    bool outputA_ = false, outputB_ = false;
    bool willNotFire_ = false;
    bool chargerFailed_ = false;
    std::optional<int> oilOverride_, tempOverride_, speedOverride_;
    int loadAmps_ = 40;
    int batteryBase_ = 128;

    // Plant.
    double rpm_ = 0;
    bool fired_ = false;
    bool fuel_ = false;
    int crankedMs_ = 0;
    double oil_ = 0;
    double temp_ = 40;
    double idmt_ = 0;
    std::uint64_t hoursBase_ = 123456; // 1234.56 h
    std::int64_t runMs_ = 0;
};

} // namespace gxsim
