// The controller's protections: faults raised, warnings and shutdowns, and the
// checks it makes on every step.

#include "engine.h"

#include <algorithm>
#include <cmath>

namespace gxsim {

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

} // namespace gxsim
