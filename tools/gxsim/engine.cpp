// The generator set a simulated controller runs: time in steps, the physics of
// speed, oil pressure and temperature, and the readings and outputs it shows.

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
