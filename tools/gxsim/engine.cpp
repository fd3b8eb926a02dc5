#include "engine.h"

#include <algorithm>
#include <cmath>

namespace gxsim {

namespace fault {
bool isWarning(int code)
{
    switch (code) {
    case ChargeFail: case HighCurrentWarning: case 63: case HighTempWarning:
    case LowOilWarning: case BatteryHigh: case BatteryLow:
        return true;
    default:
        return false;
    }
}
} // namespace fault

namespace {
constexpr int kFireAfterCrankMs = 1500;   // cranking needed before the engine fires
constexpr double kCrankRpm = 250;
constexpr double kRiseRpmPerS = 1000;
constexpr double kFallRpmPerS = 750;
constexpr int kStepMs = 20;
constexpr int kCoarseStepMs = 1000;       // used to fast-forward very long idle gaps
constexpr double kAmbientC = 25;
} // namespace

Engine::Engine(const ProfileImage& profile) : profile_(profile) {}

void Engine::advanceTo(std::int64_t nowMs)
{
    while (now_ < nowMs) {
        const std::int64_t left = nowMs - now_;
        const int dt = int(std::min<std::int64_t>(left > 600000 ? kCoarseStepMs : kStepMs, left));
        step(dt);
        now_ += dt;
    }
}

void Engine::step(int dtMs)
{
    sequence(dtMs);
    physics(dtMs);
    protections(dtMs);
}

bool Engine::running() const
{
    switch (phase_) {
    case Phase::Running: case Phase::Transfer: case Phase::OnLoad:
    case Phase::Restoration: case Phase::Cooling:
        return true;
    default:
        return false;
    }
}

bool Engine::overrideRunning() const
{
    switch (phase_) {
    case Phase::Preheat: case Phase::Crank: case Phase::CrankRest:
        return true;
    default:
        return running() && overrideMs_ > 0;
    }
}

bool Engine::atsSupport() const
{
    for (int i = 0; i < 4; ++i)
        if (profile_.swSwitch(WOutput1 + i) == 51)
            return true;
    return false;
}

bool Engine::loadDemand() const
{
    if (mode_ != Mode::Auto)
        return false;
    const bool mainsFailed = atsSupport() && !mainsPresent_
        && mainsFailMs_ >= int(profile_.sysValue(SMainsFailDelay)) * 1000;
    return remoteStart_ || pcStart_ || testRunMs_ > 0 || mainsFailed;
}

bool Engine::runDemand() const
{
    return mode_ == Mode::Auto && (loadDemand() || chargeStartMs_ > 0);
}

bool Engine::loadAccepted() const
{
    // This set never dumps its load on a warning, so a running set always accepts it.
    return running();
}

double Engine::nominalVolts() const
{
    return profile_.swSwitch(WVoltageMeasurement) == 1 ? 400.0 : 230.0;
}

int Engine::stateByte() const
{
    switch (phase_) {
    case Phase::Preheat: return 1;
    case Phase::Crank: return 2;
    case Phase::Running: case Phase::Transfer: case Phase::Cooling: return 3;
    case Phase::OnLoad: case Phase::Restoration: return 4;
    case Phase::Shutdown: return 5;
    default: return 0;
    }
}

void Engine::beginStart()
{
    startFlag_ = true;
    startNum_ = 1;
    phase_ = Phase::Preheat;
    phaseMs_ = int(profile_.timer(TPreheat)) * 100;
}

void Engine::beginStop()
{
    fuel_ = false;
    startFlag_ = false;
    startDelayOver_ = false;
    manLoad_ = false;
    if (rpm_ <= 0 && !fired_) {
        phase_ = Phase::Standby;
        return;
    }
    stopOutput_ = true;
    stopHoldMs_ = -1;
    phase_ = Phase::Stopping;
}

void Engine::goOnLoad()
{
    if (atsSupport()) {
        phase_ = Phase::Transfer;
        phaseMs_ = int(profile_.timer(TContactor)) * 100;
    } else {
        phase_ = Phase::OnLoad;
        loadCycle_ = true;
    }
}

void Engine::setFault(int code, bool shutdown)
{
    if (code == 0)
        return;
    if (shutdown) {
        if (faultShutdown_ && faultCode_ == code)
            return;
        faultCode_ = code;
        faultShutdown_ = true;
    } else {
        if (faultShutdown_ || faultCode_ == code)
            return;
        faultCode_ = code;
    }
    latestFault_ = code;
    static std::uint64_t serial = 0; // shared by every controller, so the newest fault can be found
    latestFaultSerial_ = ++serial;
}

void Engine::shutdown(int code)
{
    setFault(code, true);
    startFlag_ = false;
    startDelayOver_ = false;
    pcStart_ = false;
    testRunMs_ = 0;
    chargeStartMs_ = 0;
    manLoad_ = false;
    if (fuel_ || rpm_ > 0) {
        stopOutput_ = true;
        stopHoldMs_ = -1;
    }
    fuel_ = false;
    phase_ = Phase::Shutdown;
}

void Engine::raiseFault(int code, bool shutdownFault)
{
    if (shutdownFault)
        shutdown(code);
    else
        setFault(code, false);
}

void Engine::command(Command c)
{
    const bool startingOrRunning = phase_ != Phase::Standby && phase_ != Phase::StartDelay
        && phase_ != Phase::Stopping && phase_ != Phase::Shutdown;
    switch (c) {
    case Command::GenStart:
        if (mode_ == Mode::Man)
            command(Command::ManStart);
        else if (mode_ == Mode::Auto)
            pcStart_ = true;
        break;
    case Command::GenStop:
        pcStart_ = false;
        testRunMs_ = 0;
        if (mode_ == Mode::Man)
            command(Command::ManStop);
        break;
    case Command::Reload:
        if (mode_ == Mode::Man && running())
            manLoad_ = true;
        break;
    case Command::RemoteTest:
        if (mode_ == Mode::Auto)
            testRunMs_ = std::max(1, int(profile_.sysValue(SRemoteTestTime))) * 60000;
        break;
    case Command::FaultReset:
        faultCode_ = 0;
        faultShutdown_ = false;
        if (phase_ == Phase::Shutdown)
            phase_ = stopOutput_ ? Phase::Stopping : Phase::Standby;
        break;
    case Command::OutputA: outputA_ = !outputA_; break;
    case Command::OutputB: outputB_ = !outputB_; break;
    case Command::ManMode:
        mode_ = Mode::Man;
        if (phase_ == Phase::StartDelay)
            phase_ = Phase::Standby;
        break;
    case Command::AutoMode:
        mode_ = Mode::Auto;
        manLoad_ = false;
        break;
    case Command::OffMode:
        mode_ = Mode::Off;
        pcStart_ = false;
        testRunMs_ = 0;
        if (startingOrRunning)
            beginStop();
        else if (phase_ == Phase::StartDelay)
            phase_ = Phase::Standby;
        break;
    case Command::ManStart:
        if (mode_ == Mode::Man && phase_ == Phase::Standby && !faultShutdown_)
            beginStart();
        break;
    case Command::ManStop:
        if (mode_ == Mode::Man && startingOrRunning)
            beginStop();
        break;
    }
}

void Engine::sequence(int dt)
{
    mainsFailMs_ = mainsPresent_ ? 0 : mainsFailMs_ + dt;
    if (testRunMs_ > 0)
        testRunMs_ = std::max(0, testRunMs_ - dt);
    if (chargeStartMs_ > 0 && fired_)
        chargeStartMs_ = std::max(0, chargeStartMs_ - dt);
    const unsigned chargeStartV = profile_.sysValue(SChargeStartVolts);
    if (mode_ == Mode::Auto && phase_ == Phase::Standby && chargeStartMs_ == 0 && chargeStartV > 0
        && batteryTenths() < int(chargeStartV) * 10)
        chargeStartMs_ = std::max(1, int(profile_.sysValue(SChargeStartPeriod))) * 60000;

    if (running()) {
        overrideMs_ = std::max(0, overrideMs_ - dt);
        warmupMs_ = std::max(0, warmupMs_ - dt);
    }
    if (stopOutput_) {
        if (stopHoldMs_ < 0) {
            if (rpm_ <= 0) // the engine has stopped: the hold time starts now
                stopHoldMs_ = int(profile_.timer(TEnergiseToStop)) * 100;
        } else {
            stopHoldMs_ = std::max(0, stopHoldMs_ - dt);
        }
        if (stopHoldMs_ == 0) {
            stopOutput_ = false;
            stopHoldMs_ = -1;
        }
    }

    const auto countdown = [&] {
        phaseMs_ -= dt;
        return phaseMs_ <= 0;
    };
    const bool startPhase = phase_ == Phase::Preheat || phase_ == Phase::Crank || phase_ == Phase::CrankRest;
    if (startPhase && (mode_ == Mode::Off || (mode_ == Mode::Auto && !runDemand()))) {
        beginStop();
        return;
    }

    switch (phase_) {
    case Phase::Standby:
        if (runDemand() && !faultShutdown_) {
            phase_ = Phase::StartDelay;
            phaseMs_ = int(profile_.timer(TStartDelay)) * 100;
        }
        break;
    case Phase::StartDelay:
        if (!runDemand()) {
            phase_ = Phase::Standby;
        } else if (countdown()) {
            startDelayOver_ = true;
            beginStart();
        }
        break;
    case Phase::Preheat:
        if (countdown()) {
            phase_ = Phase::Crank;
            phaseMs_ = int(profile_.timer(TCrank)) * 100;
            fuel_ = true;
            crankedMs_ = 0;
        }
        break;
    case Phase::Crank: {
        const bool mpu = profile_.swSwitch(WMagneticPickup) == 0;
        const bool disconnect = fired_
            && (mpu ? rpm_ >= profile_.sysValue(SCrankDisconnectRpm)
                    : frequency() >= int(profile_.sysValue(SCrankDisconnectHz)));
        if (disconnect) {
            phase_ = Phase::Running;
            startFlag_ = false;
            loadCycle_ = false;
            overrideMs_ = int(profile_.timer(TOverride)) * 100;
            warmupMs_ = int(profile_.timer(TWarmup)) * 100;
        } else if (countdown()) {
            fuel_ = false;
            fired_ = false;
            rpm_ = 0;
            if (startNum_ >= std::max(1, int(profile_.sysValue(SStartAttempts)))) {
                shutdown(fault::FailedToStart);
            } else {
                ++startNum_;
                phase_ = Phase::CrankRest;
                phaseMs_ = int(profile_.timer(TCrankRest)) * 100;
            }
        }
        break;
    }
    case Phase::CrankRest:
        if (countdown()) {
            phase_ = Phase::Preheat;
            phaseMs_ = int(profile_.timer(TPreheat)) * 100;
        }
        break;
    case Phase::Running:
        if (mode_ == Mode::Auto) {
            if (loadDemand() && warmupOver())
                goOnLoad();
            else if (!runDemand()) {
                phase_ = Phase::Cooling;
                phaseMs_ = int(profile_.timer(TCooling)) * 100;
            }
        } else if (mode_ == Mode::Man && warmupOver() && (manLoad_ || profile_.swSwitch(WLoadInMan) == 1)) {
            goOnLoad();
        }
        break;
    case Phase::Transfer:
        if (mode_ == Mode::Auto && !loadDemand())
            phase_ = Phase::Running;
        else if (countdown()) {
            phase_ = Phase::OnLoad;
            loadCycle_ = true;
        }
        break;
    case Phase::OnLoad:
        if (mode_ == Mode::Auto && !loadDemand()) {
            phase_ = Phase::Restoration;
            phaseMs_ = int(profile_.timer(TRestoration)) * 100;
        } else if (mode_ == Mode::Man && !manLoad_ && profile_.swSwitch(WLoadInMan) != 1) {
            phase_ = Phase::Running;
        }
        break;
    case Phase::Restoration:
        if (mode_ != Mode::Auto || loadDemand()) {
            phase_ = Phase::OnLoad;
        } else if (countdown()) {
            phase_ = Phase::Cooling;
            phaseMs_ = int(profile_.timer(TCooling)) * 100;
        }
        break;
    case Phase::Cooling:
        if (mode_ == Mode::Man) {
            phase_ = Phase::Running;
        } else if (loadDemand()) {
            goOnLoad();
        } else if (runDemand()) {
            phase_ = Phase::Running;
        } else if (countdown()) {
            beginStop();
        }
        break;
    case Phase::Stopping:
        if (!stopOutput_)
            phase_ = Phase::Standby;
        break;
    case Phase::Shutdown:
        break;
    }
}

void Engine::physics(int dt)
{
    const double s = dt / 1000.0;
    const bool crankOn = phase_ == Phase::Crank;
    if (crankOn) {
        crankedMs_ += dt;
        if (!fired_ && fuel_ && !willNotFire_ && crankedMs_ >= kFireAfterCrankMs)
            fired_ = true;
    }
    if (!fuel_)
        fired_ = false;

    if (fired_) {
        const double flc = std::max(1u, profile_.sysValue(SFullLoadCurrent));
        const bool loaded = phase_ == Phase::OnLoad || phase_ == Phase::Restoration;
        const double target = speedOverride_ ? double(*speedOverride_)
                                             : ratedRpm() - (loaded ? 10.0 * loadAmps_ / flc : 0.0);
        if (rpm_ < target)
            rpm_ = std::min(target, std::max(rpm_, kCrankRpm) + kRiseRpmPerS * s);
        else
            rpm_ = std::max(target, rpm_ - kFallRpmPerS * s);
    } else if (crankOn) {
        rpm_ = rpm_ > kCrankRpm ? std::max(kCrankRpm, rpm_ - kFallRpmPerS * s) : kCrankRpm;
    } else {
        rpm_ = std::max(0.0, rpm_ - kFallRpmPerS * s);
        if (rpm_ < kCrankRpm)
            rpm_ = 0; // below starter speed the engine stops at once
    }

    const double oilTarget = fired_ ? 60.0 * std::min(1.0, rpm_ / ratedRpm()) : crankOn ? 8.0 : 0.0;
    oil_ += (oilTarget - oil_) * std::min(1.0, dt / 400.0);

    const double flc = std::max(1u, profile_.sysValue(SFullLoadCurrent));
    const bool loaded = phase_ == Phase::OnLoad || phase_ == Phase::Restoration;
    const double tempTarget = fired_ ? 82.0 + (loaded ? 8.0 * loadAmps_ / flc : 0.0) : kAmbientC;
    temp_ += (tempTarget - temp_) * std::min(1.0, dt / (fired_ ? 60000.0 : 600000.0));

    if (fired_)
        runMs_ += dt;
}

void Engine::protections(int dt)
{
    if (phase_ == Phase::Shutdown)
        return;
    const bool over = overrideRunning();

    if (fired_) {
        int speedLimit = int(profile_.sysValue(SOverSpeed));
        int freqLimit = int(profile_.sysValue(SOverFrequency));
        if (over) {
            const int pct = int(profile_.sysValue(SOverSpeedOverride));
            speedLimit = speedLimit * (100 + pct) / 100;
            freqLimit = freqLimit * (100 + pct) / 100;
        }
        if ((speedLimit > 0 && rpm() > speedLimit) || (freqLimit > 0 && frequency() > freqLimit)) {
            shutdown(fault::OverSpeed);
            return;
        }
        if (tempC() > int(profile_.sysValue(STempShutdown))) {
            shutdown(fault::HighTempShutdown);
            return;
        }
        if (tempC() > int(profile_.sysValue(STempWarning)))
            setFault(fault::HighTempWarning, false);
    }

    if (running() && !over) {
        if (oilPsi() < int(profile_.sysValue(SOilShutdown))) {
            shutdown(fault::LowOilShutdown);
            return;
        }
        if (oilPsi() < int(profile_.sysValue(SOilWarning)))
            setFault(fault::LowOilWarning, false);
        if (rpm() < int(profile_.sysValue(SUnderSpeed)) || frequency() < int(profile_.sysValue(SUnderFrequency))) {
            shutdown(fault::UnderSpeed);
            return;
        }
        if (genVolts(1) > int(profile_.sysValue(SGenOverVolts))) {
            shutdown(fault::GenOverVolts);
            return;
        }
        if (genVolts(1) < int(profile_.sysValue(SGenUnderVolts))) {
            shutdown(fault::GenUnderVolts);
            return;
        }
    }

    // Over-current: instant trip, then the IDMT accumulator.
    const double flc = std::max(1u, profile_.sysValue(SFullLoadCurrent));
    const int amps = std::max({genAmps(1), genAmps(2), genAmps(3)});
    if (amps > 0 && amps * 10 > flc * profile_.sysValue(SInstantTrip)) {
        shutdown(fault::OverCurrent);
        return;
    }
    if (amps > flc) {
        const double ratio = amps / flc;
        idmt_ += dt / 1000.0 * 100.0 * (ratio * ratio - 1.0);
        setFault(fault::HighCurrentWarning, false);
        const int tc = int(profile_.sysValue(SIdmtTimeConstant));
        if (tc > 5 && idmt_ >= (tc - 5) * 100.0) {
            idmt_ = (tc - 5) * 100.0;
            shutdown(fault::IdmtTimeout);
            return;
        }
    } else {
        idmt_ = std::max(0.0, idmt_ - dt / 10.0);
    }

    if (phase_ != Phase::Crank) {
        const int bt = batteryTenths();
        if (bt > int(profile_.sysValue(SBatteryOver)) * 10)
            setFault(fault::BatteryHigh, false);
        else if (bt < int(profile_.sysValue(SBatteryUnder)) * 10)
            setFault(fault::BatteryLow, false);
    }
    if (fired_ && chargerFailed_)
        setFault(fault::ChargeFail, false);

    // Programmable inputs 3..5.
    for (int i = 0; i < 3; ++i) {
        if (!inputs_[i])
            continue;
        const int code = fault::Input3 + i;
        switch (profile_.swSwitch(WInput3 + i)) {
        case 1: if (running() && !over) { shutdown(code); return; } break;
        case 2: shutdown(code); return;
        case 3: if (running() && !over) setFault(code, false); break;
        case 4: setFault(code, false); break;
        default: break;
        }
    }
}

int Engine::rpm() const { return int(std::lround(rpm_)); }

int Engine::frequency() const
{
    return int(std::lround(rpm_ / 30.0)); // four-pole alternator: 1500 rpm is 50 Hz
}

int Engine::genVolts(int p) const
{
    if (p > int(profile_.sysValue(SGenPhases)) || rpm_ < 300)
        return 0;
    static constexpr int offset[3] = {0, 2, -1};
    return int(std::lround(nominalVolts() * rpm_ / ratedRpm())) + offset[p - 1];
}

int Engine::genAmps(int p) const
{
    if (p > int(profile_.sysValue(SGenPhases)) || !fired_)
        return 0;
    return (phase_ == Phase::OnLoad || phase_ == Phase::Restoration) ? loadAmps_ : 0;
}

int Engine::oilPsi() const { return oilOverride_ ? *oilOverride_ : int(std::lround(oil_)); }

int Engine::tempC() const { return tempOverride_ ? *tempOverride_ : int(std::lround(temp_)); }

int Engine::batteryTenths() const
{
    if (phase_ == Phase::Crank)
        return std::max(0, batteryBase_ - 20);
    if (fired_ && !chargerFailed_)
        return batteryBase_ + 10;
    return batteryBase_;
}

bool Engine::programmableOutput(int n) const
{
    const int fn = profile_.swSwitch(WOutput1 + n - 1);
    const bool fault = faultCode_ != 0;
    switch (fn) {
    case 1: return mode_ == Mode::Auto;
    case 2: return mode_ == Mode::Man;
    case 3: return mode_ != Mode::Off;
    case 4: return phase_ == Phase::StartDelay;
    case 5: return phase_ != Phase::Standby && phase_ != Phase::Shutdown;
    case 6: return fired_;
    case 8: return running() && genVolts(1) >= int(profile_.sysValue(SGenVoltsOk));
    case 9: return phase_ == Phase::Cooling;
    case 10: case 11: case 12: case 13: return phase_ == Phase::Preheat;
    case 14: return stopOutput_;
    case 15: return phase_ == Phase::OnLoad || phase_ == Phase::Restoration;
    case 20: case 21: return fault;
    case 22: return fault && faultShutdown_;
    case 23: return fault && !faultShutdown_;
    case 24: return faultCode_ == fault::FailedToStart;
    case 25: return faultCode_ == fault::OverSpeed;
    case 26: return faultCode_ == fault::UnderSpeed;
    case 27: return faultCode_ == fault::GenUnderVolts;
    case 28: return faultCode_ == fault::GenOverVolts;
    case 29: return faultCode_ == fault::HighCurrentWarning;
    case 30: return faultCode_ == fault::OverCurrent;
    case 34: return faultCode_ == fault::EmergencyStop;
    case 35: return faultCode_ == fault::LowOilShutdown;
    case 36: return faultCode_ == fault::LowOilWarning;
    case 37: return faultCode_ == fault::HighTempShutdown;
    case 38: return faultCode_ == fault::HighTempWarning;
    case 39: case 40: case 41: return inputs_[fn - 39];
    case 42: return faultCode_ == fault::ChargeFail;
    case 43: return faultCode_ == fault::BatteryLow;
    case 44: return faultCode_ == fault::BatteryHigh;
    case 45: return faultCode_ == fault::BatteryLow || faultCode_ == fault::BatteryHigh;
    case 46: case 47: return outputA_;
    case 48: case 49: return outputB_;
    case 50: return testRunMs_ > 0;
    case 51: return phase_ == Phase::Transfer || phase_ == Phase::OnLoad || phase_ == Phase::Restoration;
    default: return false;
    }
}

unsigned Engine::timerTenths(int t) const
{
    int ms = 0;
    switch (t) {
    case 0: ms = phase_ == Phase::StartDelay ? phaseMs_ : 0; break;
    case 1: ms = phase_ == Phase::Preheat ? phaseMs_ : 0; break;
    case 2: ms = phase_ == Phase::Crank ? phaseMs_ : 0; break;
    case 3: ms = phase_ == Phase::CrankRest ? phaseMs_ : 0; break;
    case 4: ms = running() ? overrideMs_ : 0; break;
    case 5: ms = running() ? warmupMs_ : 0; break;
    case 6: ms = phase_ == Phase::Restoration ? phaseMs_ : 0; break;
    case 7: ms = phase_ == Phase::Cooling ? phaseMs_ : 0; break;
    case 8: ms = stopOutput_ && stopHoldMs_ > 0 ? stopHoldMs_ : 0; break;
    case 13: ms = phase_ == Phase::Transfer ? phaseMs_ : 0; break;
    default: break;
    }
    return ms > 0 ? unsigned((ms + 99) / 100) : 0;
}

} // namespace gxsim
